// How answers are laid out in reply messages: size limit, end item, READY in
// the last message only, and the order of answers.
#include <QtTest>

#include "wirekit.h"

using namespace wirekit;
using sim::Model;
using sim::SimUnit;

class ReplyPacking : public QObject {
    Q_OBJECT

private slots:
    void answerKeepsMessageRules_data();
    void answerKeepsMessageRules();
    void statusLeavesRestOfBufferAlone();
    void answersComeInRequestOrder();
};

void ReplyPacking::answerKeepsMessageRules_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("split");
    QTest::addColumn<int>("nameLength"); // 0: the model's own name
    QTest::addColumn<QByteArray>("answerCmds"); // in order, without READY and debug text

    const QByteArray info = QByteArray::fromHex("323334353637");
    QByteArray sweep;
    for (uint8_t ch = 1; ch <= 4; ++ch)
        sweep += channel(4, ch) + u8(Mute, 0);
    const QByteArray sweepCmds = QByteArray::fromHex("6162c3").repeated(4);

    QTest::newRow("product information") << none(GetInfo) << false << 0 << info;
    QTest::newRow("fader query") << channel(5, 1) + u8(Fader, 0) << false << 0 << QByteArray::fromHex("6162c1");
    QTest::newRow("assignment list") << assign(0, 0, 0, 0) << false << 0
                                     << QByteArray::fromHex("61624161624243").repeated(4);
    QTest::newRow("everything at once")
        << none(GetInfo) + none(Hz) + none(GetAutoPowerSave) + none(GetSerial) + none(RecFunc) + sweep
        << false << 0 << info + QByteArray::fromHex("1815393b") + sweepCmds;
    QTest::newRow("name fills a message") << none(GetInfo) << false << 61 << info;
    QTest::newRow("name one short of full") << none(GetInfo) << false << 60 << info;
    QTest::newRow("split") << none(GetInfo) + sweep << true << 0 << info + sweepCmds;
}

void ReplyPacking::answerKeepsMessageRules()
{
    QFETCH(QByteArray, request);
    QFETCH(bool, split);
    QFETCH(int, nameLength);
    QFETCH(QByteArray, answerCmds);

    for (bool debug : {false, true}) {
        auto unit = std::make_shared<SimUnit>(Model::Strata96);
        unit->splitReplies(split);
        unit->interleaveDebugText(debug);
        if (nameLength)
            unit->setProductName(std::string(size_t(nameLength), 'N'));
        Link link(unit);
        QCOMPARE(link.send(request), sim::Xfer::Ok);
        const QVector<Reply> answer = link.readAnswer();

        QByteArray seen;
        for (int m = 0; m < answer.size(); ++m) {
            const Reply &reply = answer[m];
            QVERIFY2(reply.clean(), qPrintable(QString("message %1").arg(m)));
            QVERIFY(reply.length <= 64);
            QCOMPARE(reply.countOf(Ready), m == answer.size() - 1 ? 1 : 0);
            const int answerItems = reply.items.size() - reply.countOf(Ready);
            // READY travels alone only when the message before has no room for it.
            QVERIFY(answerItems > 0 || (m > 0 && answer[m - 1].length + 3 > 64));
            if (split && answerItems)
                QCOMPARE(answerItems, 1);
            for (const Item &item : reply.items) {
                if (item.cmd != Ready && item.cmd != DebugText)
                    seen.append(char(item.cmd));
            }
        }
        QCOMPARE(seen.toHex(), answerCmds.toHex());
        QVERIFY(answer.last().ready());
        QCOMPARE(unit->pendingReplies(), 0);
    }
}

void ReplyPacking::statusLeavesRestOfBufferAlone()
{
    auto unit = std::make_shared<SimUnit>(Model::Strata10);
    uint8_t buf[80];
    memset(buf, 0xEE, sizeof buf);
    QCOMPARE(unit->controlIn(30, 0, 0, buf, 64), sim::Xfer::Ok);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), 6).toHex(), QByteArray("a102010000ee"));
    // Settings alone queue no answer.
    Link link(unit);
    link.send(channel(4, 1) + u8(SetMute, 1) + u32(SetHz, 96000));
    QCOMPARE(unit->pendingReplies(), 0);
    QVERIFY(link.read().ready());
}

void ReplyPacking::answersComeInRequestOrder()
{
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    Link link(unit);
    link.send(none(Hz));
    link.send(none(GetSerial));
    const QVector<Item> first = itemsOf(link.readAnswer());
    const QVector<Item> second = itemsOf(link.readAnswer());
    QCOMPARE(first.first().cmd, uint8_t(Hz));
    QCOMPARE(first.first().value, 48000u);
    QCOMPARE(second.first().cmd, uint8_t(Serial));
    QCOMPARE(second.first().bytes, QByteArray("S96A00417"));
}

QTEST_APPLESS_MAIN(ReplyPacking)
#include "tst_simreplies.moc"

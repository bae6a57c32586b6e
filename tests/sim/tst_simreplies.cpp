// How answers are laid out in reply messages: at most 64 bytes, closed by the
// end item unless full, READY in the last message only; and the meter read:
// template order, six meters a message, and its faults.
#include <QtTest>

#include "test_classes.h"
#include "wirekit.h"

using namespace wirekit;
using sim::SimUnit;

namespace {

// Kind and channel of the i-th meter; meters beyond 97 go on as kind 8.
QPair<int, int> templateAt(int i)
{
    const int groups[][2] = {{4, 22}, {7, 24}, {3, 22}, {6, 22}, {2, 6}, {8, 1}};
    for (const auto &g : groups) {
        if (i < g[1])
            return {g[0], i + 1};
        i -= g[1];
    }
    return {8, i + 2};
}

} // namespace

class ReplyLayout : public QObject {
    Q_OBJECT

private slots:
    void packing_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<bool>("split");
        QTest::addColumn<int>("nameLength");     // 0: the model's own name
        QTest::addColumn<QByteArray>("answers"); // commands as hex, each answer after a _, without READY
        const QByteArray info = "_32_33_34_35_36_37", sweepCmds = QByteArray("_6162c3").repeated(4);
        QByteArray sweep;
        for (uint8_t ch = 1; ch <= 4; ++ch)
            sweep += channel(4, ch) + u8(Mute, 0);

        QTest::newRow("everything at once")
            << none(GetInfo) + none(Hz) + none(GetAutoPowerSave) + none(GetSerial) + none(RecFunc) + sweep
            << false << 0 << info + "_18_15_39_3b" + sweepCmds;
        QTest::newRow("name fills a message") << none(GetInfo) << false << 61 << info;
        QTest::newRow("name one short of full") << none(GetInfo) << false << 60 << info;
        QTest::newRow("split") << none(GetInfo) + sweep << true << 0 << info + sweepCmds;
    }

    void packing()
    {
        QFETCH(QByteArray, request);
        QFETCH(bool, split);
        QFETCH(int, nameLength);
        QFETCH(QByteArray, answers);
        for (bool debug : {false, true}) {
            auto unit = std::make_shared<SimUnit>(sim::Model::Strata96);
            unit->splitReplies(split);
            unit->interleaveDebugText(debug);
            if (nameLength)
                unit->setProductName(std::string(size_t(nameLength), 'N'));
            const Link link(unit);
            QCOMPARE(link.send(request), sim::Xfer::Ok);
            const QVector<Reply> answer = link.readAnswer();

            // A message over 64 bytes would arrive cut short: unclean, or items missing.
            QVector<Item> seen;
            for (int m = 0; m < answer.size(); ++m) {
                const Reply &reply = answer[m];
                QVERIFY2(reply.clean(), qPrintable(QString("message %1").arg(m)));
                QCOMPARE(reply.countOf(Ready), m == answer.size() - 1 ? 1 : 0);
                const int answerItems = reply.items.size() - reply.countOf(Ready);
                // READY travels alone only when the message before has no room for it.
                QVERIFY(answerItems > 0 || (m > 0 && answer[m - 1].length + 3 > 64));
                QVERIFY(!split || answerItems <= 1);
                for (const Item &item : reply.items) {
                    if (item.cmd == DebugText)
                        QCOMPARE(item.bytes, QByteArray("dsp: ok"));
                    if (item.cmd != Ready)
                        seen << item;
                }
            }
            // With debug text on, a debug item comes before each answer.
            QCOMPARE(cmdsOf(seen), QByteArray(answers).replace("_", debug ? "12" : ""));
            QCOMPARE(answer.last().ready, 1);
            QCOMPARE(unit->pendingReplies(), 0);
        }
    }

    void meters_data()
    {
        QTest::addColumn<int>("perReply");
        QTest::addColumn<int>("dropAfter"); // -1: no drop
        QTest::addColumn<int>("extra");
        QTest::addColumn<bool>("askHzFirst");
        QTest::addColumn<QVector<int>>("perMessage"); // meters in each message
        const QVector<int> sixes(16, 6);
        QTest::newRow("as the unit sends") << 6 << -1 << 0 << false << sixes + QVector<int>{1};
        QTest::newRow("behind another answer") << 6 << -1 << 0 << true << QVector<int>{0} + sixes + QVector<int>{1};
        // Seven would be 70 bytes: the size limit wins, and a last message of
        // six leaves no room for READY, which comes alone.
        QVector<int> sevens;
        for (int i = 0; i < 13; ++i)
            sevens << 6 << 1;
        QTest::newRow("seven per reply") << 7 << -1 << 0 << false << sevens + QVector<int>{6, 0};
        QTest::newRow("dropped after ten") << 6 << 10 << 0 << false << QVector<int>{6, 4};
        QTest::newRow("three extra") << 6 << -1 << 3 << false << sixes + QVector<int>{4};
    }

    void meters()
    {
        QFETCH(int, perReply);
        QFETCH(int, dropAfter);
        QFETCH(int, extra);
        QFETCH(bool, askHzFirst);
        QFETCH(QVector<int>, perMessage);
        auto unit = std::make_shared<SimUnit>(sim::Model::Strata96);
        unit->setClock([] { return uint64_t(12345678); });
        unit->setMetersPerReply(perReply);
        unit->setExtraMeters(extra);
        if (dropAfter >= 0)
            unit->dropMetersAfter(dropAfter);
        const Link link(unit);
        link.send((askHzFirst ? none(Hz) : QByteArray()) + none(GetMeter));
        const QVector<Reply> answer = link.readAnswer();
        QVector<int> counts;
        for (int m = 0; m < answer.size(); ++m) {
            QVERIFY(answer[m].clean());
            QCOMPARE(answer[m].countOf(Ready), m == answer.size() - 1 ? 1 : 0);
            counts << answer[m].countOf(Meter);
        }
        QCOMPARE(counts, perMessage);

        // Read the way a host must: the channel items name the meter after them.
        const std::vector<sim::MeterPoint> now = unit->meterSnapshot();
        int i = 0, kind = 0, ch = 0;
        for (const Item &item : itemsOf(answer)) {
            if (item.cmd == Ch)
                kind = int(item.value);
            else if (item.cmd == ChNum)
                ch = int(item.value);
            else if (item.cmd == Meter) {
                QCOMPARE(qMakePair(kind, ch), templateAt(i));
                if (i < SimUnit::kMeterCount)
                    QCOMPARE(int(item.value), int(now[size_t(i)].level));
                ++i;
            }
        }
        // A drop cuts one read short; the next is whole again.
        if (dropAfter >= 0)
            QCOMPARE(link.ask(none(GetMeter)).size(), 3 * SimUnit::kMeterCount + 1);
    }
};

STRATA_TEST_CLASS(ReplyLayout)
#include "tst_simreplies.moc"

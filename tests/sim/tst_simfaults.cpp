// Fault injection: failed transfers, busy spells, silence, debug text,
// malformed replies, and requests the unit does not take.
#include <QtTest>

#include "wirekit.h"

using namespace wirekit;
using sim::Model;
using sim::SimUnit;
using sim::Xfer;

Q_DECLARE_METATYPE(sim::Xfer)

class FaultInjection : public QObject {
    Q_OBJECT

private slots:
    void failedTransfersHaveNoEffect_data();
    void failedTransfersHaveNoEffect();
    void busySpellHoldsAnswersBack();
    void silenceGivesEmptyReplies();
    void debugTextBeforeEachAnswer();
    void malformedReply_data();
    void malformedReply();
    void refusedRequests_data();
    void refusedRequests();
};

void FaultInjection::failedTransfersHaveNoEffect_data()
{
    QTest::addColumn<Xfer>("result");
    QTest::addColumn<bool>("out");
    QTest::addColumn<int>("count");
    const struct { const char *name; Xfer result; } kinds[] = {
        {"stall", Xfer::Stall}, {"time-out", Xfer::Timeout}, {"error", Xfer::Error}};
    for (const auto &k : kinds) {
        for (bool out : {true, false}) {
            for (int count : {1, 3})
                QTest::addRow("%s %s x%d", k.name, out ? "out" : "in", count) << k.result << out << count;
        }
    }
}

void FaultInjection::failedTransfersHaveNoEffect()
{
    QFETCH(Xfer, result);
    QFETCH(bool, out);
    QFETCH(int, count);

    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    Link link(unit);
    if (!out)
        link.send(none(Hz)); // an answer waits to be read
    const int before = unit->transferCount();
    if (result == Xfer::Stall)
        unit->stallNext(count);
    else if (result == Xfer::Timeout)
        unit->timeOutNext(count);
    else
        unit->failNext(count);

    for (int i = 0; i < count; ++i) {
        Xfer r = out ? link.send(u32(SetHz, 96000)) : Xfer::Ok;
        if (!out)
            QVERIFY(link.read(&r).items.isEmpty()); // nothing written
        QCOMPARE(r, result);
    }
    QCOMPARE(unit->sampleRate(), 48000u);
    QCOMPARE(int(unit->receivedMessages().size()), out ? 0 : 1);
    QCOMPARE(unit->pendingReplies(), out ? 0 : 1);
    QCOMPARE(unit->transferCount(), before + count);

    if (out) {
        QCOMPARE(link.send(u32(SetHz, 96000)), Xfer::Ok);
        QCOMPARE(unit->sampleRate(), 96000u);
    } else {
        Xfer r;
        QCOMPARE(link.read(&r).items.first().cmd, uint8_t(Hz));
        QCOMPARE(r, Xfer::Ok);
    }
}

void FaultInjection::busySpellHoldsAnswersBack()
{
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    Link link(unit);
    QVERIFY(link.read().ready());
    link.send(none(Hz));
    unit->busyFor(2);
    unit->stallNext(1);
    Xfer r;
    link.read(&r); // a stalled read does not count against the spell
    QCOMPARE(r, Xfer::Stall);
    // A request while busy is still taken; its answer queues behind.
    QCOMPARE(link.send(u32(SetHz, 44100) + none(GetSerial)), Xfer::Ok);
    QCOMPARE(unit->sampleRate(), 44100u);
    for (int i = 0; i < 2; ++i) {
        const Reply busy = link.read();
        QCOMPARE(busy.items.size(), 1);
        QVERIFY(busy.busy());
    }
    const Reply first = link.read();
    QCOMPARE(first.items.first().value, 48000u);
    QVERIFY(first.ready());
    QCOMPARE(link.read().items.first().cmd, uint8_t(Serial));
    QVERIFY(link.read().ready());
}

void FaultInjection::silenceGivesEmptyReplies()
{
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    Link link(unit);
    unit->silence(true);
    link.send(none(Hz));
    uint8_t buf[64];
    memset(buf, 0xEE, sizeof buf);
    QCOMPARE(unit->controlIn(30, 0, 0, buf, sizeof buf), Xfer::Ok);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), 64), QByteArray(64, '\0'));
    QCOMPARE(unit->pendingReplies(), 1);

    unit->silence(false);
    QCOMPARE(link.read().items.first().cmd, uint8_t(Hz));
}

void FaultInjection::debugTextBeforeEachAnswer()
{
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    unit->interleaveDebugText(true);
    const QVector<Item> items = Link(unit).ask(none(Hz) + channel(4, 2) + u8(Fader, 0));
    // Debug text, HZ, debug text, then the channel answer kept together.
    const uint8_t expected[] = {DebugText, Hz, DebugText, Ch, ChNum, Fader, Ready};
    QCOMPARE(items.size(), 7);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(items[i].cmd, expected[i]);
    QCOMPARE(items[0].type, uint8_t(5));
    QCOMPARE(items[0].bytes, QByteArray("dsp: ok"));
}

void FaultInjection::malformedReply_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("invalid type") << 1;
    QTest::newRow("array past the end") << 2;
    QTest::newRow("garbage") << 3;
}

void FaultInjection::malformedReply()
{
    QFETCH(int, kind);
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    Link link(unit);
    link.send(none(Hz));
    unit->malformNextReply(kind);
    QCOMPARE(unit->pendingReplies(), 2);

    uint8_t buf[64] = {};
    QCOMPARE(unit->controlIn(30, 0, 0, buf, sizeof buf), Xfer::Ok);
    const Reply bad = decode(buf, sizeof buf);
    QVERIFY(!bad.clean());
    QVERIFY(!bad.ready()); // nothing a careful reader could take for ready
    if (kind == 1)
        QCOMPARE(bad.badType, 9);
    if (kind == 2)
        QVERIFY(bad.overrun);
    if (kind == 3)
        QVERIFY(QByteArray(reinterpret_cast<char *>(buf), 64).count('\0') < 8);

    const Reply next = link.read(); // the queued answer follows, intact
    QVERIFY(next.clean());
    QCOMPARE(next.items.first().cmd, uint8_t(Hz));
}

void FaultInjection::refusedRequests_data()
{
    QTest::addColumn<bool>("out");
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("length");
    QTest::newRow("unknown out request") << true << 5 << 4;
    QTest::newRow("reply request sent out") << true << 30 << 4;
    QTest::newRow("request number sent in") << false << 29 << 64;
    QTest::newRow("65 bytes out") << true << 29 << 65;
}

void FaultInjection::refusedRequests()
{
    QFETCH(bool, out);
    QFETCH(int, request);
    QFETCH(int, length);
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    Link(unit).send(none(Hz));
    uint8_t buf[80] = {uint8_t(Hz), 1};
    const Xfer r = out ? unit->controlOut(uint8_t(request), 0, 0, buf, uint16_t(length))
                       : unit->controlIn(uint8_t(request), 0, 0, buf, uint16_t(length));
    QCOMPARE(r, Xfer::Stall);
    QCOMPARE(int(unit->receivedMessages().size()), 1);
    QCOMPARE(unit->pendingReplies(), 1);
}

QTEST_APPLESS_MAIN(FaultInjection)
#include "tst_simfaults.moc"

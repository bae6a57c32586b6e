// Fault injection: failed transfers, busy spells, silence and malformed
// replies, none of which may lose or change what the unit was asked.
#include <QtTest>

#include "wirekit.h"

using namespace wirekit;
using sim::Xfer;

class FaultInjection : public QObject {
    Q_OBJECT

private slots:
    void faultsLoseNothing_data()
    {
        QTest::addColumn<int>("kind");  // -1: busy for two reads, 0: silence, 1-3: malformNextReply's kind
        QTest::addColumn<int>("reads"); // replies the fault spoils
        QTest::newRow("failed transfers alone") << -2 << 0;
        QTest::newRow("busy") << -1 << 2;
        QTest::newRow("silence") << 0 << 2;
        QTest::newRow("invalid type") << 1 << 1;
        QTest::newRow("array past the end") << 2 << 1;
        QTest::newRow("garbage") << 3 << 1;
    }

    void faultsLoseNothing()
    {
        QFETCH(int, kind);
        QFETCH(int, reads);
        auto unit = std::make_shared<sim::SimUnit>(sim::Model::Strata96);
        const Link link(unit);
        link.send(none(Hz));
        if (kind == -1)
            unit->busyFor(2);
        else if (kind == 0)
            unit->silence(true);
        else if (kind > 0)
            unit->malformNextReply(kind);

        // Set in reverse: stalls still come first, then time-outs, then errors.
        // A failed transfer takes no request, writes and uses up nothing.
        unit->failNext(2);
        unit->timeOutNext(1);
        unit->stallNext(1);
        const int before = unit->transferCount();
        Xfer r = Xfer::Ok;
        QCOMPARE(link.send(u32(SetHz, 96000)), Xfer::Stall);
        QVERIFY(link.read(&r).items.isEmpty());
        QCOMPARE(r, Xfer::Timeout);
        QCOMPARE(link.send(u32(SetHz, 96000)), Xfer::Error);
        QVERIFY(link.read(&r).items.isEmpty());
        QCOMPARE(r, Xfer::Error);
        QCOMPARE(unit->transferCount(), before + 4);
        QCOMPARE(int(unit->receivedMessages().size()), 1);
        QCOMPARE(unit->sampleRate(), 48000u);
        // A request while replies are spoilt is still taken; its answer queues behind.
        QCOMPARE(link.send(u32(SetHz, 44100) + none(GetSerial)), Xfer::Ok);
        QCOMPARE(unit->sampleRate(), 44100u);

        for (int i = 0; i < reads; ++i) {
            uint8_t buf[64];
            memset(buf, 0xEE, sizeof buf);
            QCOMPARE(unit->controlIn(30, 0, 0, buf, sizeof buf), Xfer::Ok);
            const QByteArray raw(reinterpret_cast<char *>(buf), 64);
            const Reply bad = decode(buf, sizeof buf);
            QVERIFY(bad.ready <= 0 && bad.countOf(Hz) == 0); // nothing a careful reader takes for an answer
            if (kind == -1)
                QCOMPARE(cmdsOf(bad.items), QByteArray("a1"));
            else if (kind == 0)
                QCOMPARE(raw, QByteArray(64, '\0'));
            else if (kind == 1)
                QCOMPARE(bad.badType, 9);
            else if (kind == 2)
                QVERIFY(bad.overrun);
            else
                QVERIFY(!bad.clean() && raw.count('\0') < 8);
        }
        unit->silence(false);
        QCOMPARE(cmdsOf(link.read().items), QByteArray("18a1"));
        QCOMPARE(cmdsOf(link.read().items), QByteArray("39a1"));
        QCOMPARE(link.read().ready, 1);
    }
};

QTEST_APPLESS_MAIN(FaultInjection)
#include "tst_simfaults.moc"

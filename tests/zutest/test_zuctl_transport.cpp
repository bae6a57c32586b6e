// The control transport: what each vendor request carries, the retries of a
// stalled send, and ready polling with its 10 ms pauses.
#include <QtTest>

#include "scripted_unit.h"

Q_DECLARE_METATYPE(sim::Xfer)

class TransportTest : public UnitFixture {
    Q_OBJECT
private slots:
    void send_data();
    void send();
    void recv_data();
    void recv();
    void waitReady_data();
    void waitReady();
};

void TransportTest::send_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QList<sim::Xfer>>("script");
    QTest::addColumn<uint>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("pauses"); // of 10 ms

    using X = sim::Xfer;
    const QByteArray query = QByteArray::fromHex("31010000");
    const QString stall = stallLine(true) + zuctlLines({56});
    const QString timeout = timeoutLine(true) + zuctlLines({56});
    QTest::newRow("empty") << QByteArray() << QList<X>{} << 0u << "" << 1 << 0;
    QTest::newRow("64 bytes") << QByteArray(64, 'Z') << QList<X>{} << 0u << "" << 1 << 0;
    QTest::newRow("65 bytes refused") << QByteArray(65, 'Z') << QList<X>{} << 1u << zuctlLines({47}) << 0 << 0;
    QTest::newRow("three stalls") << query << QList<X>{X::Stall, X::Stall, X::Stall} << 1u
                                  << stall.repeated(3) + zuctlLines({65}) << 3 << 3;
    QTest::newRow("time-out, then sent") << query << QList<X>{X::Timeout} << 0u << timeout << 2 << 1;
    QTest::newRow("other error fails, not retried") << query << QList<X>{X::Error} << 1u
                                                << usbLine(248, "ERROR 0xffffffff") + zuctlLines({56}) << 1 << 0;
}

void TransportTest::send()
{
    QFETCH(QByteArray, message);
    QFETCH(QList<sim::Xfer>, script);
    QFETCH(int, pauses);

    for (sim::Xfer x : script)
        unit_->queueOut(x);
    uint8_t buf[100] = {};
    memcpy(buf, message.constData(), size_t(message.size()));
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    msg.pos = uint8_t(message.size());
    StdoutCapture capture;
    QTEST(zuctl_send(&ctl_, &msg), "status");
    QTEST(finished(capture), "output");
    const auto transfers = unit_->transfers();
    QTEST(int(transfers.size()), "attempts");
    for (const ScriptedUnit::Transfer &t : transfers) {
        QVERIFY(t.out);
        QCOMPARE(int(t.request), 29);
        QCOMPARE(t.data, message);
    }
    QCOMPARE(clock_->sleepCount(10000), pauses);
    QCOMPARE(clock_->sleepCount(), pauses);
}

void TransportTest::recv_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<sim::Xfer>("result");
    QTest::addColumn<QString>("output");

    const QByteArray ready = wire::ready(1) + wire::end();
    QTest::newRow("64") << 64 << ready << sim::Xfer::Ok << "";
    QTest::newRow("65 asks for 64") << 65 << ready << sim::Xfer::Ok << zuctlLines({82});
    QTest::newRow("100 asks for 64") << 100 << ready << sim::Xfer::Ok << zuctlLines({82});
    // The unit's byte count is not reported: what the buffer held before (a
    // request) must not be read as the unit's answer.
    QTest::newRow("nothing returned") << 64 << QByteArray() << sim::Xfer::Ok << "";
    QTest::newRow("stall, not retried")
        << 64 << QByteArray() << sim::Xfer::Stall << stallLine(false) + zuctlLines({89});
}

void TransportTest::recv()
{
    QFETCH(int, capacity);
    QFETCH(QByteArray, reply);
    QFETCH(sim::Xfer, result);

    unit_->queueReply(reply, result);
    uint8_t buf[100] = {};
    const QByteArray before = wire::u8(ZUMSG_CMD_CH, 4) + wire::none(ZUMSG_CMD_FADER);
    memcpy(buf, before.constData(), size_t(before.size()));
    zumsg_t msg;
    zumsg_init(&msg, buf, uint8_t(capacity));
    msg.pos = 7;
    StdoutCapture capture;
    QCOMPARE(zuctl_recv(&ctl_, &msg), result == sim::Xfer::Ok ? 0u : 1u);
    QTEST(finished(capture), "output");
    QCOMPARE(int(msg.pos), 0);
    const int asked = qMin(capacity, 64);
    const auto transfers = unit_->transfers();
    QCOMPARE(int(transfers.size()), 1);
    QCOMPARE(int(transfers[0].request), 30);
    QCOMPARE(int(transfers[0].length), asked);
    QCOMPARE(clock_->sleepCount(), 0);
    if (result == sim::Xfer::Ok)
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), asked), reply + QByteArray(asked - reply.size(), '\0'));
}

void TransportTest::waitReady_data()
{
    QTest::addColumn<QList<QByteArray>>("replies"); // then busy for good
    QTest::addColumn<bool>("noUnit");
    QTest::addColumn<uint>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("reads");
    QTest::addColumn<int>("pauses");

    using R = QList<QByteArray>;
    const QByteArray busy = wire::ready(0) + wire::end();
    const QByteArray ready = wire::ready(1) + wire::end();
    QTest::newRow("empty reply") << R{QByteArray()} << false << 0u << "" << 1 << 0;
    QTest::newRow("only other items") << R{wire::u8(0x15, 0) + wire::end()} << false << 0u << "" << 1 << 0;
    QTest::newRow("busy, then ready") << R{busy, ready} << false << 0u << "" << 2 << 1;
    QTest::newRow("busy and ready in one reply") << R{wire::ready(0) + ready} << false << 0u << "" << 1 << 0;
    QTest::newRow("ready wins over a later busy") << R{wire::ready(2) + busy} << false << 0u << "" << 1 << 0;
    QTest::newRow("u32 ready after other items")
        << R{busy, wire::u8(0x61, 4) + wire::u32(ZUMSG_CMD_READY, 0x100) + wire::end()} << false << 0u << "" << 2 << 1;
    QTest::newRow("busy for good") << R{} << false << 1u << "" << 1000 << 1000;
    QTest::newRow("no unit") << R{} << true << 1u << zuctlLines({89, 114}).repeated(1000) << 0 << 1000;
}

void TransportTest::waitReady()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(bool, noUnit);

    for (const QByteArray &reply : replies)
        unit_->queueReply(reply);
    unit_->setIdleReply(wire::ready(0) + wire::end());
    zuctl_t none{};
    StdoutCapture capture;
    QTEST(zuctl_wait_ready(noUnit ? &none : &ctl_), "status");
    QTEST(finished(capture), "output");
    QTEST(unit_->reads(), "reads");
    QTEST(clock_->sleepCount(10000), "pauses");
    QVERIFY(unit_->sentMessages().isEmpty());
}

STRATA_TEST_CLASS(TransportTest)
#include "test_zuctl_transport.moc"

// The control transport: what each vendor request carries, the retries of a
// stalled send, and ready polling with its 10 ms pauses.
#include <QtTest>

#include "scripted_unit.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

Q_DECLARE_METATYPE(sim::Xfer)

namespace {

zumsg_t messageOf(uint8_t *buf, uint8_t size, const QByteArray &bytes)
{
    zumsg_t msg;
    zumsg_init(&msg, buf, size);
    memcpy(buf, bytes.constData(), size_t(bytes.size()));
    msg.pos = uint8_t(bytes.size());
    return msg;
}

} // namespace

class TransportTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void sendCarriesPosBytes_data();
    void sendCarriesPosBytes();
    void sendRefusesMoreThan64Bytes();
    void sendRetriesOnlyStallsAndTimeOuts_data();
    void sendRetriesOnlyStallsAndTimeOuts();
    void recvAsksForCapacityUpTo64_data();
    void recvAsksForCapacityUpTo64();
    void recvFailsWithoutRetry();
    void recvOfNothingReadsAsEmpty();
    void waitReady_data();
    void waitReady();
    void waitReadyGivesUpAfterThousandCycles();
    void waitReadyWithoutUnitFailsEveryCycle();

private:
    UnitHarness harness_;
    std::unique_ptr<VirtualClock> clock_;
    std::shared_ptr<ScriptedUnit> unit_;
    zuctl_t ctl_{};
};

void TransportTest::init()
{
    clock_.reset(new VirtualClock);
    unit_ = harness_.attach(&ctl_);
    QVERIFY(ctl_.dev);
}

void TransportTest::cleanup()
{
    harness_.unplug(unit_);
    clock_.reset();
}

void TransportTest::sendCarriesPosBytes_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("query") << QByteArray("\x18\x01\x00\x00", 4);
    QTest::newRow("64 bytes") << QByteArray(64, '\x5a');
}

void TransportTest::sendCarriesPosBytes()
{
    QFETCH(QByteArray, message);
    uint8_t buf[64] = {};
    zumsg_t msg = messageOf(buf, sizeof buf, message);
    QCOMPARE(zuctl_send(&ctl_, &msg), 0u);
    const auto transfers = unit_->transfers();
    QCOMPARE(int(transfers.size()), 1);
    QVERIFY(transfers[0].out);
    QCOMPARE(int(transfers[0].request), 29);
    QCOMPARE(int(transfers[0].length), message.size());
    QCOMPARE(transfers[0].data, message);
}

void TransportTest::sendRefusesMoreThan64Bytes()
{
    uint8_t buf[100] = {};
    zumsg_t msg = messageOf(buf, sizeof buf, QByteArray(65, '\x01'));
    StdoutCapture capture;
    QCOMPARE(zuctl_send(&ctl_, &msg), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()), zuctlLines({47}));
    QVERIFY(unit_->transfers().empty());
}

void TransportTest::sendRetriesOnlyStallsAndTimeOuts_data()
{
    QTest::addColumn<QList<sim::Xfer>>("script");
    QTest::addColumn<uint>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("pauses");

    const QString stall = stallLine(true) + zuctlLines({56});
    const QString timeout = timeoutLine(true) + zuctlLines({56});
    using X = sim::Xfer;
    QTest::newRow("three stalls") << QList<X>{X::Stall, X::Stall, X::Stall} << 1u
                                  << stall + stall + stall + zuctlLines({65}) << 3 << 3;
    QTest::newRow("time-out, then sent") << QList<X>{X::Timeout} << 0u << timeout << 2 << 1;
    QTest::newRow("stall, time-out, then sent") << QList<X>{X::Stall, X::Timeout} << 0u
                                                << stall + timeout << 3 << 2;
    QTest::newRow("other error counts as sent")
        << QList<X>{X::Error} << 0u
        << "../../zutest/usbdevs.c:248:ERROR 0xffffffff\n" + zuctlLines({56}) << 1 << 0;
}

void TransportTest::sendRetriesOnlyStallsAndTimeOuts()
{
    QFETCH(QList<sim::Xfer>, script);
    QFETCH(uint, status);
    QFETCH(QString, output);
    QFETCH(int, attempts);
    QFETCH(int, pauses);

    for (sim::Xfer x : script)
        unit_->queueOut(x);
    uint8_t buf[64] = {};
    zumsg_t msg = messageOf(buf, sizeof buf, QByteArray("\x31\x01\x00\x00", 4));
    StdoutCapture capture;
    QCOMPARE(zuctl_send(&ctl_, &msg), status);
    QCOMPARE(QString::fromStdString(capture.finish()), output);
    QCOMPARE(int(unit_->transfers().size()), attempts);
    QCOMPARE(clock_->sleepCount(10000), pauses);
    QCOMPARE(clock_->sleepCount(), pauses);
}

void TransportTest::recvAsksForCapacityUpTo64_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("asked");
    QTest::addColumn<QString>("output");
    QTest::newRow("10") << 10 << 10 << "";
    QTest::newRow("64") << 64 << 64 << "";
    QTest::newRow("65") << 65 << 64 << zuctlLines({82});
    QTest::newRow("100") << 100 << 64 << zuctlLines({82});
}

void TransportTest::recvAsksForCapacityUpTo64()
{
    QFETCH(int, capacity);
    QFETCH(int, asked);
    QFETCH(QString, output);

    unit_->queueReply(wire::ready(1) + wire::end());
    uint8_t buf[100] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf, uint8_t(capacity));
    msg.pos = 7;
    StdoutCapture capture;
    QCOMPARE(zuctl_recv(&ctl_, &msg), 0u);
    QCOMPARE(QString::fromStdString(capture.finish()), output);
    QCOMPARE(int(msg.pos), 0);
    const auto transfers = unit_->transfers();
    QCOMPARE(int(transfers.size()), 1);
    QCOMPARE(int(transfers[0].request), 30);
    QCOMPARE(int(transfers[0].length), asked);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), 5), wire::ready(1) + wire::end());
}

void TransportTest::recvFailsWithoutRetry()
{
    unit_->queueInFailure(sim::Xfer::Stall);
    uint8_t buf[64] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    StdoutCapture capture;
    QCOMPARE(zuctl_recv(&ctl_, &msg), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()), stallLine(false) + zuctlLines({89}));
    QCOMPARE(unit_->reads(), 1);
    QCOMPARE(clock_->sleepCount(), 0);
}

// The unit's byte count is not reported: a reply of nothing must not leave
// what the buffer held before (here a query) to be read as the unit's answer.
void TransportTest::recvOfNothingReadsAsEmpty()
{
    uint8_t buf[64] = {};
    zumsg_t msg = messageOf(buf, sizeof buf, wire::u8(ZUMSG_CMD_CH, 4) + wire::none(ZUMSG_CMD_FADER));
    QCOMPARE(zuctl_recv(&ctl_, &msg), 0u);
    QCOMPARE(zumsg_get(&msg, nullptr, nullptr, nullptr, nullptr), 1u);
}

void TransportTest::waitReady_data()
{
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<int>("reads");

    const QByteArray busy = wire::ready(0) + wire::end();
    const QByteArray ready = wire::ready(1) + wire::end();
    QTest::newRow("empty reply") << QList<QByteArray>{QByteArray()} << 1;
    QTest::newRow("only other items") << QList<QByteArray>{wire::u8(0x15, 0) + wire::end()} << 1;
    QTest::newRow("busy, then ready") << QList<QByteArray>{busy, ready} << 2;
    QTest::newRow("busy twice, then empty") << QList<QByteArray>{busy, busy, QByteArray()} << 3;
    QTest::newRow("busy and ready in one reply")
        << QList<QByteArray>{wire::ready(0) + wire::ready(1) + wire::end()} << 1;
    QTest::newRow("ready wins over a later busy")
        << QList<QByteArray>{wire::ready(2) + wire::ready(0) + wire::end()} << 1;
    QTest::newRow("u32 ready after other items")
        << QList<QByteArray>{busy, wire::u8(0x61, 4) + wire::u32(ZUMSG_CMD_READY, 0x100) + wire::end()}
        << 2;
}

void TransportTest::waitReady()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(int, reads);

    for (const QByteArray &reply : replies)
        unit_->queueReply(reply);
    unit_->setIdleReply(wire::ready(0) + wire::end());
    StdoutCapture capture;
    QCOMPARE(zuctl_wait_ready(&ctl_), 0u);
    QCOMPARE(capture.finish(), std::string());
    QCOMPARE(unit_->reads(), reads);
    QCOMPARE(clock_->sleepCount(10000), reads - 1);
}

void TransportTest::waitReadyGivesUpAfterThousandCycles()
{
    unit_->setIdleReply(wire::ready(0) + wire::end());
    StdoutCapture capture;
    QCOMPARE(zuctl_wait_ready(&ctl_), 1u);
    QCOMPARE(capture.finish(), std::string());
    QCOMPARE(unit_->reads(), 1000);
    QCOMPARE(clock_->sleepCount(10000), 1000);
    QVERIFY(unit_->sentMessages().isEmpty());
}

void TransportTest::waitReadyWithoutUnitFailsEveryCycle()
{
    zuctl_t none{};
    StdoutCapture capture;
    QCOMPARE(zuctl_wait_ready(&none), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()), zuctlLines({89, 114}).repeated(1000));
    QCOMPARE(clock_->sleepCount(10000), 1000);
}

QTEST_GUILESS_MAIN(TransportTest)
#include "test_zuctl_transport.moc"

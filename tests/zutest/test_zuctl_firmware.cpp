// Firmware transfer: the blocks the host sends for the room the unit reports,
// waiting, cancelling, verifying.
#include <QtTest>

#include "scripted_unit.h"

namespace {

QByteArray status(uint32_t room, uint32_t offset)
{
    return wire::u32(ZUMSG_CMD_FW_ROOM, room) + wire::u32(ZUMSG_CMD_FW_OFFSET, offset) + wire::end();
}

QByteArray image(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 13 + 1);
    return bytes;
}

} // namespace

class FirmwareTest : public UnitFixture {
    Q_OBJECT
private slots:
    void update_data();
    void update();
    void notifyFollowsTheHostPosition_data();
    void notifyFollowsTheHostPosition();
};

void FirmwareTest::update_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QList<QByteArray>>("replies"); // ready polls read them too
    QTest::addColumn<QByteArray>("idle");
    QTest::addColumn<uint>("result");
    QTest::addColumn<uint>("progress");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QList<QByteArray>>("sent"); // the first messages sent
    QTest::addColumn<qulonglong>("slept");       // microseconds

    using R = QList<QByteArray>;
    const R started{QByteArray(), QByteArray()};
    QTest::newRow("empty image goes straight to verification")
        << 0 << R{} << status(0, 0) << 0u << 0u << "pos = 0/0\nFWUP OK\n"
        << R{hex("210400000000 0000"), hex("2201 0000")} << 0ull;
    QTest::newRow("block of 100 in chunks of 61 and 39, then a wait for room")
        << 1000 << started + R{status(100, 0)} << status(0, 0) << 1u << 100u
        << "pos = 0/1000\npos = 100/1000\n" + QString("pos = 100/1000\n").repeated(1000) + zuctlLines({272})
               + "timeout line:257\n"
        << R{hex("2104e8030000 0000"), hex("2201 0000"), hex("25053d") + image(61),
             hex("260527") + image(100).mid(61) + wire::end(), hex("2201 0000")}
        << 10000000ull;
    QTest::newRow("a chunk of 61 is the last of its block")
        << 61 << started + R{status(61, 0)} << status(0, 61) << 0u << 61u << "pos = 0/61\npos = 61/61\nFWUP OK\n"
        << R{hex("21043d000000 0000"), hex("2201 0000"), hex("26053d") + image(61)} << 0ull;
    QTest::newRow("unit cancels before the first byte")
        << 10 << R{} << status(0, 0) << 2u << 0u << "pos = 0/10\ncancel by device\n" + zuctlLines({260}) << R{} << 0ull;
    QTest::newRow("offset mismatch waits a thousand times")
        << 10 << R{} << status(10, 5) << 1u << 0u
        << "pos = 0/10\n" + QString("offset = 5, pos = 0\npos = 0/10\n").repeated(1000) + "offset = 5, pos = 0\n"
               + zuctlLines({272}) + "timeout line:264\n"
        << R{} << 10000000ull;
    QTest::newRow("verification gives up after sixty attempts")
        << 0 << R{} << status(5, 0) << 1u << 0u << "pos = 0/0\n" + zuctlLines({384}) << R{} << 60ull * (9 * 100000 + 1000000);
}

void FirmwareTest::update()
{
    QFETCH(int, length);
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QByteArray, idle);
    QFETCH(QList<QByteArray>, sent);

    for (const QByteArray &r : replies)
        unit_->queueReply(r);
    unit_->setIdleReply(idle);
    const QByteArray fw = image(length);
    uint32_t progress = 0;
    StdoutCapture capture;
    QTEST(zuctl_fwupdate(&ctl_, length ? reinterpret_cast<const uint8_t *>(fw.constData()) : nullptr,
                         uint32_t(length), &progress),
          "result");
    QTEST(finished(capture), "output");
    QTEST(progress, "progress");
    QCOMPARE(unit_->sentMessages().mid(0, sent.size()), sent);
    QTEST(qulonglong(clock_->sleptMicros()), "slept");
}

// The notifying transfer tells its caller each chunk's position and each
// verification attempt, on the calling thread, and ends as the plain one.
void FirmwareTest::notifyFollowsTheHostPosition_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("idle");
    QTest::addColumn<uint>("result");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("two chunks, verified at once")
        << 100 << status(0, 100) << 0u << QStringList{"61/100", "100/100", "100/100 verifying"};
    QTest::newRow("empty image") << 0 << status(0, 0) << 0u << QStringList{"0/0 verifying"};
    QTest::newRow("never verified")
        << 0 << status(5, 0) << 1u << QString("0/0 verifying\n").repeated(60).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void FirmwareTest::notifyFollowsTheHostPosition()
{
    QFETCH(int, length);
    QFETCH(QByteArray, idle);
    if (length > 0) {
        unit_->queueReply(QByteArray());
        unit_->queueReply(QByteArray());
        unit_->queueReply(status(uint32_t(length), 0));
    }
    unit_->setIdleReply(idle);
    const QByteArray fw = image(length);
    QStringList told;
    const auto record = [](void *ctx, uint32_t pos, uint32_t len, int verifying) {
        static_cast<QStringList *>(ctx)->append(QStringLiteral("%1/%2%3").arg(pos).arg(len).arg(verifying ? " verifying" : ""));
    };
    StdoutCapture capture;
    QTEST(zuctl_fwupdate_notify(&ctl_, length ? reinterpret_cast<const uint8_t *>(fw.constData()) : nullptr,
                                uint32_t(length), nullptr, record, &told),
          "result");
    finished(capture);
    QTEST(told, "told");
}

STRATA_TEST_CLASS(FirmwareTest)
#include "test_zuctl_firmware.moc"

// Firmware transfer and the diagnostic reads: the blocks the host sends for
// the room the unit reports, waiting, cancelling, verifying; the checksum,
// sample rate and debug text reads.
#include <QtTest>

#include "scripted_unit.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

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

const uint8_t *data(const QByteArray &bytes)
{
    return reinterpret_cast<const uint8_t *>(bytes.constData());
}

} // namespace

class FirmwareTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void emptyImageGoesStraightToVerification();
    void blockIsSentInChunksOf61();
    void chunkOf61IsTheLastOfItsBlock();
    void statusMayComeOverSeveralReplies();
    void unitCancelsBeforeTheFirstByte();
    void offsetMismatchWaitsThousandTimes();
    void verificationGivesUpAfterSixtyAttempts();
    void checksumAndSampleRateReads();
    void debugPrintKeepsTheLastText_data();
    void debugPrintKeepsTheLastText();

private:
    UnitHarness harness_;
    std::unique_ptr<VirtualClock> clock_;
    std::shared_ptr<ScriptedUnit> unit_;
    zuctl_t ctl_{};
};

void FirmwareTest::init()
{
    clock_.reset(new VirtualClock);
    unit_ = harness_.attach(&ctl_);
    QVERIFY(ctl_.dev);
}

void FirmwareTest::cleanup()
{
    harness_.unplug(unit_);
    clock_.reset();
}

void FirmwareTest::emptyImageGoesStraightToVerification()
{
    unit_->setIdleReply(status(0, 0));
    StdoutCapture capture;
    QCOMPARE(zuctl_fwupdate(&ctl_, nullptr, 0, nullptr), 0u);
    QCOMPARE(capture.finish(), std::string("pos = 0/0\nFWUP OK\n"));
    QCOMPARE(unit_->sentMessages(),
             (QList<QByteArray>{QByteArray::fromHex("210400000000 0000"), QByteArray::fromHex("2201 0000")}));
}

void FirmwareTest::blockIsSentInChunksOf61()
{
    const QByteArray fw = image(1000);
    for (const QByteArray &r : {QByteArray(), QByteArray(), status(100, 0), QByteArray(), QByteArray(), QByteArray()})
        unit_->queueReply(r);
    unit_->queueInFailure(sim::Xfer::Error);
    uint32_t progress = 0;
    StdoutCapture capture;
    QCOMPARE(zuctl_fwupdate(&ctl_, data(fw), 1000, &progress), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()),
             "pos = 0/1000\npos = 100/1000\n../../zutest/usbdevs.c:286:ERROR 0xffffffff\n"
                 + zuctlLines({89, 217}));
    QCOMPARE(progress, 100u);
    const QList<QByteArray> sent = unit_->sentMessages();
    QCOMPARE(sent.size(), 5);
    QCOMPARE(sent[0], QByteArray::fromHex("2104e8030000 0000"));
    QCOMPARE(sent[1], QByteArray::fromHex("2201 0000"));
    QCOMPARE(sent[2], QByteArray::fromHex("25053d") + fw.left(61));
    QCOMPARE(sent[3], QByteArray::fromHex("260527") + fw.mid(61, 39) + wire::end());
    QCOMPARE(sent[4], QByteArray::fromHex("2201 0000"));
}

void FirmwareTest::chunkOf61IsTheLastOfItsBlock()
{
    const QByteArray fw = image(61);
    for (const QByteArray &r : {QByteArray(), QByteArray(), status(61, 0), QByteArray(), QByteArray(), status(0, 61)})
        unit_->queueReply(r);
    uint32_t progress = 0;
    StdoutCapture capture;
    QCOMPARE(zuctl_fwupdate(&ctl_, data(fw), 61, &progress), 0u);
    QCOMPARE(capture.finish(), std::string("pos = 0/61\npos = 61/61\nFWUP OK\n"));
    QCOMPARE(progress, 61u);
    QCOMPARE(unit_->sentMessages().at(2), QByteArray::fromHex("26053d") + fw);
}

void FirmwareTest::statusMayComeOverSeveralReplies()
{
    const QByteArray fw = image(3);
    const QByteArray debug = wire::array(ZUMSG_CMD_DEBUG_TEXT, QByteArray("erase\0d", 7));
    for (const QByteArray &r : {QByteArray(), QByteArray(), wire::u8(ZUMSG_CMD_FW_ROOM, 3) + debug + wire::end(),
                                wire::u8(ZUMSG_CMD_FW_OFFSET, 0) + wire::end(), QByteArray(), QByteArray(),
                                status(0, 3)})
        unit_->queueReply(r);
    StdoutCapture capture;
    QCOMPARE(zuctl_fwupdate(&ctl_, data(fw), 3, nullptr), 0u);
    QCOMPARE(capture.finish(), std::string("pos = 0/3\n\n\n--debug--\n") + std::string("erase\0d", 7)
                                   + "\n---------\npos = 3/3\nFWUP OK\n");
    QCOMPARE(clock_->sleepCount(10000), 1);
}

void FirmwareTest::unitCancelsBeforeTheFirstByte()
{
    unit_->setIdleReply(status(0, 0));
    StdoutCapture capture;
    QCOMPARE(zuctl_fwupdate(&ctl_, data(image(10)), 10, nullptr), 2u);
    QCOMPARE(QString::fromStdString(capture.finish()), "pos = 0/10\ncancel by device\n" + zuctlLines({260}));
}

void FirmwareTest::offsetMismatchWaitsThousandTimes()
{
    unit_->setIdleReply(status(10, 5));
    StdoutCapture capture;
    QCOMPARE(zuctl_fwupdate(&ctl_, data(image(10)), 10, nullptr), 1u);
    const QString wait = QStringLiteral("offset = 5, pos = 0\n");
    QCOMPARE(QString::fromStdString(capture.finish()),
             "pos = 0/10\n" + (wait + "pos = 0/10\n").repeated(1000) + wait + zuctlLines({272})
                 + "timeout line:264\n");
    QCOMPARE(clock_->sleepCount(10000), 1000);
}

void FirmwareTest::verificationGivesUpAfterSixtyAttempts()
{
    unit_->setIdleReply(status(5, 0));
    StdoutCapture capture;
    QCOMPARE(zuctl_fwupdate(&ctl_, nullptr, 0, nullptr), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()), "pos = 0/0\n" + zuctlLines({384}));
    QCOMPARE(clock_->sleepCount(100000), 60 * 9);
    QCOMPARE(clock_->sleepCount(1000000), 60);
}

void FirmwareTest::checksumAndSampleRateReads()
{
    for (const QByteArray &r : {QByteArray(), QByteArray(), QByteArray(),
                                wire::u32(ZUMSG_CMD_FW_CHECKSUM, 0xCAFE) + wire::end()})
        unit_->queueReply(r);
    uint32_t checksum = 0;
    QCOMPARE(zuctl_get_fw_checksum(&ctl_, 0x11223344, &checksum), 0u);
    QCOMPARE(checksum, 0xCAFEu);
    QCOMPARE(unit_->sentMessages().last(), QByteArray::fromHex("270444332211 0000"));
    QCOMPARE(clock_->sleepCount(10000), 2);

    clock_->resetCounts();
    uint32_t hz = 7;
    StdoutCapture capture;
    QCOMPARE(zuctl_debug_get_hz(&ctl_, &hz), 1u);
    QCOMPARE(capture.finish(), std::string());
    QCOMPARE(hz, 7u);
    QCOMPARE(clock_->sleepCount(10000), 99);
    QCOMPARE(unit_->sentMessages().last(), QByteArray::fromHex("1801 0000"));
}

void FirmwareTest::debugPrintKeepsTheLastText_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("text");

    using namespace wire;
    QTest::newRow("no items") << QByteArray() << QByteArray();
    QTest::newRow("the later text wins, cut to 4")
        << array(0x12, "first") + u8(0x15, 1) + array(0x12, "second") + end() << QByteArray("seco");
    QTest::newRow("a zero command ends the reading")
        << array(0x12, "kept") + u8(0, 1) + array(0x12, "lost") + end() << QByteArray("kept");
}

void FirmwareTest::debugPrintKeepsTheLastText()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, text);

    unit_->queueReply(reply);
    uint8_t buf[8];
    memset(buf, '#', sizeof buf);
    uint8_t len = 0;
    QCOMPARE(zuctl_debugprint(&ctl_, buf, 4, &len), 0u);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), len), text);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf) + 4, 4), QByteArray("####"));
    QVERIFY(unit_->sentMessages().isEmpty());
}

QTEST_GUILESS_MAIN(FirmwareTest)
#include "test_zuctl_firmware.moc"

// Reads spread over several replies: the meter read and the assignment list;
// and the device group's scan over the registry's slots.
#include <QtTest>

#include "scripted_unit.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

namespace {

constexpr uint16_t kGuardValue = 0xBEEF;

// Meter i as the unit sends it: kind, number and a level derived from i.
QByteArray meterItems(int i)
{
    return wire::u8(ZUMSG_CMD_CH, uint8_t(i % 8 + 1)) + wire::u8(ZUMSG_CMD_CH_NUM, uint8_t(i))
           + wire::u16(ZUMSG_CMD_METER, uint16_t(i * 300 + 1));
}

// Meters first..first+count-1, perReply to a reply message.
QList<QByteArray> meterReplies(int first, int count, int perReply)
{
    QList<QByteArray> replies;
    for (int i = first; i < first + count; i += perReply) {
        QByteArray message;
        for (int j = i; j < std::min(first + count, i + perReply); ++j)
            message += meterItems(j);
        replies << message + wire::end();
    }
    return replies;
}

QByteArray assignment(uint8_t inKind, uint8_t inNo, uint8_t outKind, uint8_t outNo)
{
    using namespace wire;
    return u8(0x61, inKind) + u8(0x62, inNo) + none(0x41) + u8(0x61, outKind) + u8(0x62, outNo)
           + none(0x42) + none(0x43);
}

const char kFirstLine[] = "ZUMSG_DATA_CH_DIRECTMONITOR_OUT:1 -> ZUMSG_DATA_CH_LINE_OUT:1\n";

} // namespace

class ReadingsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void meterRead_data();
    void meterRead();
    void meterReadFailsWhenReplyCannotBeRead();
    void assignmentList_data();
    void assignmentList();
    void groupYieldsPresentUnitsInSlotOrder();

private:
    UnitHarness harness_;
    std::unique_ptr<VirtualClock> clock_;
    std::shared_ptr<ScriptedUnit> unit_;
    zuctl_t ctl_{};
};

void ReadingsTest::init()
{
    clock_.reset(new VirtualClock);
    unit_ = harness_.attach(&ctl_);
    QVERIFY(ctl_.dev);
}

void ReadingsTest::cleanup()
{
    sim::Bus::instance().unplugAll();
    usbdevs_refresh();
    clock_.reset();
}

void ReadingsTest::meterRead_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<int>("filled");
    QTest::addColumn<uint>("status");
    QTest::addColumn<int>("reads");
    QTest::addColumn<int>("pauses");

    QTest::newRow("97 in seventeen replies") << 97 << meterReplies(0, 97, 6) << 97 << 0u << 17 << 0;
    QTest::newRow("values beyond the count are dropped") << 4 << meterReplies(0, 6, 6) << 4 << 0u << 1 << 0;
    QTest::newRow("a quiet reply costs one pause")
        << 12 << meterReplies(0, 6, 6) + QList<QByteArray>{QByteArray()} + meterReplies(6, 6, 6) << 12 << 0u
        << 3 << 1;
    QTest::newRow("other items are skipped")
        << 2 << QList<QByteArray>{wire::ready(1) + meterItems(0) + wire::u8(0x15, 1) + meterItems(1) + wire::end()}
        << 2 << 0u << 1 << 0;
    QTest::newRow("no meters at all") << 97 << QList<QByteArray>() << 0 << 1u << 100 << 99;
    QTest::newRow("unit stops after three") << 5 << meterReplies(0, 3, 6) << 3 << 1u << 101 << 99;
    QTest::newRow("count 0") << 0 << QList<QByteArray>() << 0 << 0u << 0 << 0;
}

void ReadingsTest::meterRead()
{
    QFETCH(int, count);
    QFETCH(QList<QByteArray>, replies);
    QFETCH(int, filled);
    QFETCH(uint, status);
    QFETCH(int, reads);
    QFETCH(int, pauses);

    for (const QByteArray &r : replies)
        unit_->queueReply(r);
    zuctl_meter_info_t info[98];
    for (zuctl_meter_info_t &m : info)
        m = {0, 0, kGuardValue};
    uint8_t num = 0xAA;
    StdoutCapture capture;
    QCOMPARE(zuctl_get_meter(&ctl_, info, uint8_t(count), &num), status);
    QCOMPARE(QString::fromStdString(capture.finish()), status ? zuctlLines({1044}) : QString());
    QCOMPARE(int(num), status ? 0xAA : filled);

    // Sent at once, without a ready poll.
    const auto transfers = unit_->transfers();
    QVERIFY(transfers.front().out);
    QCOMPARE(transfers.front().data, QByteArray::fromHex("7101 0000"));
    QCOMPARE(unit_->reads(), reads);
    QCOMPARE(clock_->sleepCount(10000), pauses);
    for (int i = 0; i < filled; ++i) {
        QCOMPARE(info[i].ch_type, uint32_t(i % 8 + 1));
        QCOMPARE(int(info[i].ch_no), i);
        QCOMPARE(int(info[i].value), i * 300 + 1);
    }
    QCOMPARE(info[count].value, kGuardValue);
    QCOMPARE(info[count].ch_type, 0u);
}

void ReadingsTest::meterReadFailsWhenReplyCannotBeRead()
{
    unit_->queueReply(meterReplies(0, 2, 6).front());
    unit_->queueInFailure(sim::Xfer::Stall);
    zuctl_meter_info_t info[4] = {};
    StdoutCapture capture;
    QCOMPARE(zuctl_get_meter(&ctl_, info, 4, nullptr), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()), stallLine(false) + zuctlLines({89, 1017}));
    QCOMPARE(int(info[1].value), 301);
}

void ReadingsTest::assignmentList_data()
{
    QTest::addColumn<int>("textSize");
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("output");

    using R = QList<QByteArray>;
    const QByteArray two = assignment(5, 1, 1, 1) + wire::ready(1) + wire::end();
    const QByteArray second = assignment(9, 2, 2, 0) + wire::u8(0x15, 1) + wire::end();
    const QByteArray all = QByteArray(kFirstLine) + "UNKNOWN:2 -> ZUMSG_DATA_CH_MASTER_OUT:0\n"
                           + "cmd = 0x15, type=2, data = 1, size = 1\n";
    QTest::newRow("over two replies") << 200 << R{two, second} << all << all.size() << "";
    QTest::newRow("latches start at 0")
        << 200 << R{wire::none(0x43) + wire::end()} << QByteArray("UNKNOWN:0 -> UNKNOWN:0\n") << 23 << "";
    const QByteArray zero("cmd = 0, type=2, data = 7, size = 1\n");
    QTest::newRow("a zero command is listed") << 200 << R{wire::u8(0, 7) + wire::end()} << zero
                                              << zero.size() << "";
    QTest::newRow("nothing at all") << 200 << R{} << QByteArray() << 0 << "";
    // The first line is cut; the count then stands above the size and every
    // later reply with items stops at once.
    QTest::newRow("cut to the text size")
        << 20 << R{two, second} << QByteArray(kFirstLine).left(19) << int(strlen(kFirstLine))
        << zuctlLines({1216, 1216});
    QTest::newRow("exactly filled") << int(strlen(kFirstLine)) << R{assignment(5, 1, 1, 1) + wire::end()}
                                    << QByteArray(kFirstLine).chopped(1) << int(strlen(kFirstLine)) << "";
}

void ReadingsTest::assignmentList()
{
    QFETCH(int, textSize);
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QByteArray, text);
    QFETCH(int, length);
    QFETCH(QString, output);

    unit_->queueReply(QByteArray()); // the ready poll
    for (const QByteArray &r : replies)
        unit_->queueReply(r);
    std::vector<char> buf(size_t(textSize), '\0');
    buf.resize(buf.size() + 8, '#');
    size_t textLen = 999;
    StdoutCapture capture;
    QCOMPARE(zuctl_get_assign_ch(&ctl_, buf.data(), size_t(textSize), &textLen), 0u);
    QCOMPARE(QString::fromStdString(capture.finish()), output);
    QCOMPARE(QByteArray(buf.data()), text);
    QCOMPARE(int(textLen), length);
    QCOMPARE(QByteArray(buf.data() + textSize, 8), QByteArray(8, '#'));
    QCOMPARE(unit_->sentMessages(), QList<QByteArray>{QByteArray::fromHex("610200 620200 4101 610200 620200 4201 4301 0000")});
    QCOMPARE(clock_->sleepCount(100000), 4);
    QCOMPARE(unit_->reads(), 1 + 4);
}

void ReadingsTest::groupYieldsPresentUnitsInSlotOrder()
{
    harness_.unplug(unit_);
    std::vector<std::shared_ptr<ScriptedUnit>> units;
    for (int i = 0; i < 6; ++i) {
        units.push_back(std::make_shared<ScriptedUnit>());
        harness_.plug(units.back());
    }
    for (int i : {0, 1, 3, 4})
        harness_.unplug(units[size_t(i)]);

    zuctl_group_t *group = harness_.group();
    for (int pass = 0; pass < 2; ++pass) {
        QCOMPARE(zuctl_group_get_init(group), 0u);
        zuctl_t ctl{};
        QCOMPARE(zuctl_group_get_zu(group, &ctl), 0u);
        QCOMPARE(ctl.dev, &group->reg.devs[2]);
        QCOMPARE(zuctl_group_get_zu(group, &ctl), 0u);
        QCOMPARE(ctl.dev, &group->reg.devs[5]);
        QCOMPARE(zuctl_group_get_zu(group, &ctl), 1u);
        QCOMPARE(ctl.dev, &group->reg.devs[5]);
    }
}

QTEST_GUILESS_MAIN(ReadingsTest)
#include "test_zuctl_readings.moc"

// Reads spread over several replies: the meter read and the assignment list;
// and the device group's scan over the registry's slots.
#include <QtTest>

#include "scripted_unit.h"

namespace {

// Meter i as the unit sends it: kind, number and a level derived from i.
QByteArray meterItems(int i)
{
    return wire::u8(ZUMSG_CMD_CH, uint8_t(i % 8 + 1)) + wire::u8(ZUMSG_CMD_CH_NUM, uint8_t(i))
           + wire::u16(ZUMSG_CMD_METER, uint16_t(i * 300 + 1));
}

// Meters first..first+count-1, six to a reply.
QList<QByteArray> meterReplies(int first, int count)
{
    QList<QByteArray> replies;
    for (int i = first; i < first + count; i += 6) {
        QByteArray message;
        for (int j = i; j < std::min(first + count, i + 6); ++j)
            message += meterItems(j);
        replies << message + wire::end();
    }
    return replies;
}

QByteArray assignment(uint8_t inKind, uint8_t inNo, uint8_t outKind, uint8_t outNo)
{
    using namespace wire;
    return u8(0x61, inKind) + u8(0x62, inNo) + none(0x41) + u8(0x61, outKind) + u8(0x62, outNo) + none(0x42)
           + none(0x43);
}

const QByteArray kFirstLine("ZUMSG_DATA_CH_DIRECTMONITOR_OUT:1 -> ZUMSG_DATA_CH_LINE_OUT:1\n");

} // namespace

class ReadingsTest : public UnitFixture {
    Q_OBJECT
private slots:
    void meterRead_data();
    void meterRead();
    void assignmentList_data();
    void assignmentList();
    void groupYieldsPresentUnitsInSlotOrder();
};

void ReadingsTest::meterRead_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<int>("filled"); // the read fails when below the count
    QTest::addColumn<int>("reads");
    QTest::addColumn<int>("pauses");

    using R = QList<QByteArray>;
    QTest::newRow("97 in seventeen replies") << 97 << meterReplies(0, 97) << 97 << 17 << 0;
    QTest::newRow("values beyond the count are dropped") << 4 << meterReplies(0, 6) << 4 << 1 << 0;
    QTest::newRow("a quiet reply costs one pause")
        << 12 << meterReplies(0, 6) + R{QByteArray()} + meterReplies(6, 6) << 12 << 3 << 1;
    QTest::newRow("other items are skipped")
        << 2 << R{wire::ready(1) + meterItems(0) + wire::u8(0x15, 1) + meterItems(1) + wire::end()} << 2 << 1 << 0;
    QTest::newRow("no meters at all") << 97 << R{} << 0 << 100 << 99;
    QTest::newRow("unit stops after three, they keep their values") << 5 << meterReplies(0, 3) << 3 << 101 << 99;
    QTest::newRow("count 0") << 0 << R{} << 0 << 0 << 0;
}

void ReadingsTest::meterRead()
{
    QFETCH(int, count);
    QFETCH(QList<QByteArray>, replies);
    QFETCH(int, filled);
    const uint status = filled < count ? 1 : 0;

    for (const QByteArray &r : replies)
        unit_->queueReply(r);
    zuctl_meter_info_t info[98];
    for (zuctl_meter_info_t &m : info)
        m = {0, 0, 0xBEEF};
    uint8_t num = 0xAA;
    StdoutCapture capture;
    QCOMPARE(zuctl_get_meter(&ctl_, info, uint8_t(count), &num), status);
    QCOMPARE(finished(capture), status ? zuctlLines({1044}) : QString());
    QCOMPARE(int(num), status ? 0xAA : filled);
    // Sent at once, without a ready poll.
    QVERIFY(unit_->transfers().front().out);
    QCOMPARE(unit_->sentMessages(), QList<QByteArray>{QByteArray::fromHex("7101 0000")});
    QTEST(unit_->reads(), "reads");
    QTEST(clock_->sleepCount(10000), "pauses");
    for (int i = 0; i < filled; ++i) {
        QCOMPARE(info[i].ch_type, uint32_t(i % 8 + 1));
        QCOMPARE(int(info[i].ch_no), i);
        QCOMPARE(int(info[i].value), i * 300 + 1);
    }
    QCOMPARE(int(info[count].value), 0xBEEF);
    QCOMPARE(info[count].ch_type, 0u);
}

void ReadingsTest::assignmentList_data()
{
    QTest::addColumn<int>("textSize");
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("reads"); // replies, each after 100 ms

    using R = QList<QByteArray>;
    const QByteArray two = assignment(5, 1, 1, 1) + wire::ready(1) + wire::end();
    const QByteArray second = assignment(6, 2, 4, 0) + wire::u8(0x15, 1) + wire::end();
    const QByteArray all = kFirstLine + "UNKNOWN:2 -> ZUMSG_DATA_CH_ANALOG_IN:0\n"
                           + "cmd = 0x15, type=2, data = 1, size = 1\n";
    const QByteArray zero("cmd = 0, type=2, data = 7, size = 1\n");
    QTest::newRow("over two replies") << 200 << R{two, second} << all << all.size() << "" << 4;
    QTest::newRow("a zero command is listed") << 200 << R{wire::u8(0, 7) + wire::end()} << zero << zero.size() << ""
                                              << 4;
    const QByteArray bytes("cmd = 0x12, type=5, data = 64 73 70 00 ff, size = 5\n");
    QTest::newRow("array items show their bytes") << 200 << R{wire::array(0x12, QByteArray("dsp\0\xff", 5)) + wire::end()}
                                                   << bytes << bytes.size() << "" << 4;
    // Read on while replies bring items, up to the reply that brings none.
    const QByteArray one = assignment(5, 1, 1, 1) + wire::end();
    QTest::newRow("longer than four replies") << 400 << R{one, one, one, one, one, wire::ready(1) + wire::end()}
                                              << kFirstLine.repeated(5) << 5 * kFirstLine.size() << "" << 6;
    // The count then stands above the size, and every later reply with
    // items stops at once.
    QTest::newRow("cut to the text size") << 20 << R{two, second} << kFirstLine.left(19) << kFirstLine.size()
                                          << zuctlLines({1216, 1216}) << 4;
    QTest::newRow("exactly filled") << kFirstLine.size() << R{assignment(5, 1, 1, 1) + wire::end()}
                                    << kFirstLine.chopped(1) << kFirstLine.size() << "" << 4;
}

void ReadingsTest::assignmentList()
{
    QFETCH(int, textSize);
    QFETCH(QList<QByteArray>, replies);

    unit_->queueReply(QByteArray()); // the ready poll
    for (const QByteArray &r : replies)
        unit_->queueReply(r);
    std::vector<char> buf(size_t(textSize), '\0');
    buf.resize(buf.size() + 8, '#');
    size_t textLen = 999;
    StdoutCapture capture;
    QCOMPARE(zuctl_get_assign_ch(&ctl_, buf.data(), size_t(textSize), &textLen), 0u);
    QTEST(finished(capture), "output");
    QTEST(QByteArray(buf.data()), "text");
    QTEST(int(textLen), "length");
    QCOMPARE(QByteArray(buf.data() + textSize, 8), QByteArray(8, '#'));
    QCOMPARE(unit_->sentMessages(),
             QList<QByteArray>{QByteArray::fromHex("610200 620200 4101 610200 620200 4201 4301 0000")});
    QTEST(clock_->sleepCount(100000), "reads");
    QCOMPARE(unit_->reads(), 1 + clock_->sleepCount(100000));
}

void ReadingsTest::groupYieldsPresentUnitsInSlotOrder()
{
    std::vector<std::shared_ptr<ScriptedUnit>> units{unit_};
    for (int i = 1; i < 6; ++i) {
        units.push_back(std::make_shared<ScriptedUnit>());
        sim::Bus::instance().plug(units.back());
    }
    usbdevs_refresh();
    for (int i : {0, 1, 3, 4})
        sim::Bus::instance().unplug(units[size_t(i)]);

    for (int pass = 0; pass < 2; ++pass) {
        QCOMPARE(zuctl_group_get_init(&group_), 0u);
        zuctl_t ctl{};
        QCOMPARE(zuctl_group_get_zu(&group_, &ctl), 0u);
        QCOMPARE(ctl.dev, &group_.reg.devs[2]);
        QCOMPARE(zuctl_group_get_zu(&group_, &ctl), 0u);
        QCOMPARE(ctl.dev, &group_.reg.devs[5]);
        QCOMPARE(zuctl_group_get_zu(&group_, &ctl), 1u);
        QCOMPARE(ctl.dev, &group_.reg.devs[5]);
    }
}

STRATA_TEST_CLASS(ReadingsTest)
#include "test_zuctl_readings.moc"

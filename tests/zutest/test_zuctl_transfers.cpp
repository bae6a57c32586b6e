// Commands that span many replies or outlast the unit.
#include <QtTest>

#include "scripted_unit.h"

namespace {

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

void record(void *told, uint32_t pos, uint32_t len, int verifying)
{
    static_cast<QStringList *>(told)->append(QStringLiteral("%1/%2%3").arg(pos).arg(len).arg(verifying ? " v" : ""));
}

} // namespace

class TransfersTest : public UnitFixture {
    Q_OBJECT
private slots:
    void meterRead_data()
    {
        // filled: the read fails when below the count
        addColumns<int, QList<QByteArray>, int, int, int>("count", "replies", "filled", "reads", "pauses");
        using R = QList<QByteArray>;
        QTest::newRow("97 in seventeen replies") << 97 << meterReplies(0, 97) << 97 << 17 << 0;
        QTest::newRow("values beyond the count are dropped") << 4 << meterReplies(0, 6) << 4 << 1 << 0;
        QTest::newRow("a quiet reply costs one pause")
            << 12 << meterReplies(0, 6) + R{QByteArray()} + meterReplies(6, 6) << 12 << 3 << 1;
        QTest::newRow("other items are skipped")
            << 2 << R{wire::ready(1) + meterItems(0) + wire::u8(0x15, 1) + meterItems(1) + wire::end()} << 2 << 1 << 0;
        QTest::newRow("unit stops after three, they keep their values") << 5 << meterReplies(0, 3) << 3 << 101 << 99;
        QTest::newRow("count 0") << 0 << R{} << 0 << 0 << 0;
    }

    void meterRead()
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

    void assignmentList_data()
    {
        // reads: replies, each after 100 ms
        addColumns<int, QList<QByteArray>, QByteArray, int, QString, int>(
            "textSize", "replies", "text", "length", "output", "reads");
        using R = QList<QByteArray>;
        const QByteArray two = assignment(5, 1, 1, 1) + wire::ready(1) + wire::end();
        const QByteArray second = assignment(6, 2, 4, 0) + wire::u8(0x15, 1) + wire::end();
        const QByteArray all = kFirstLine + "UNKNOWN:2 -> ZUMSG_DATA_CH_ANALOG_IN:0\n"
                               + "cmd = 0x15, type=2, data = 1, size = 1\n";
        QTest::newRow("over two replies") << 200 << R{two, second} << all << all.size() << "" << 4;
        const QByteArray bytes("cmd = 0x12, type=5, data = 64 73 70 00 ff, size = 5\n");
        QTest::newRow("array items show their bytes")
            << 200 << R{wire::array(0x12, QByteArray("dsp\0\xff", 5)) + wire::end()} << bytes << bytes.size() << ""
            << 4;
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

    void assignmentList()
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

    void groupYieldsPresentUnitsInSlotOrder()
    {
        const auto second = std::make_shared<ScriptedUnit>(), third = std::make_shared<ScriptedUnit>();
        sim::Bus::instance().plug(second);
        sim::Bus::instance().plug(third);
        usbdevs_refresh();
        sim::Bus::instance().unplug(second);
        for (int pass = 0; pass < 2; ++pass) {
            QCOMPARE(zuctl_group_get_init(&group_), 0u);
            zuctl_t ctl{};
            for (int slot : {0, 2}) {
                QCOMPARE(zuctl_group_get_zu(&group_, &ctl), 0u);
                QCOMPARE(ctl.dev, &group_.reg.devs[slot]);
            }
            QCOMPARE(zuctl_group_get_zu(&group_, &ctl), 1u);
        }
    }

    // A unit pulled out mid-command: the command fails at once, the ready poll
    // too instead of polling a gone unit for ten seconds, and the freed handle
    // fails from then on.
    void unitLeavesDuringCommand_data()
    {
        // leaveDuringRead: that read still answers
        addColumns<Command, int, QString>("command", "leaveDuringRead", "output");
        const QString gone = usbLine(286, "ERROR 0xfffffffc") + zuctlLines({89});
        const QString sentToNoOne = usbLine(248, "ERROR 0xfffffffc") + zuctlLines({56});
        QTest::newRow("version, gone after the ready poll")
            << COMMAND(zuctl_get_version(c, nullptr)) << 0 << sentToNoOne + zuctlLines({900});
        QTest::newRow("ready poll, gone before its second cycle")
            << COMMAND(zuctl_wait_ready(c) == 0 ? zuctl_wait_ready(c) : 9u) << 0 << gone + zuctlLines({114});
        QTest::newRow("meters, after the first reply")
            << COMMAND(zuctl_get_meter(c, std::vector<zuctl_meter_info_t>(97).data(), 97, nullptr)) << 0
            << gone + zuctlLines({1017});
        QTest::newRow("assignment list, after the second reply")
            << COMMAND(zuctl_get_assign_ch(c, std::vector<char>(512).data(), 512, nullptr)) << 2
            << gone + zuctlLines({1210});
    }

    void unitLeavesDuringCommand()
    {
        QFETCH(Command, command);
        QFETCH(int, leaveDuringRead);
        // Every reply carries one meter, so the meter read keeps reading.
        unit_->setIdleReply(wire::u8(ZUMSG_CMD_CH, 4) + wire::u16(ZUMSG_CMD_METER, 5) + wire::end());
        std::weak_ptr<ScriptedUnit> unit = unit_;
        unit_->setBeforeRead([unit, leaveDuringRead](int read) {
            if (read == leaveDuringRead)
                sim::Bus::instance().unplug(unit.lock());
        });
        StdoutCapture capture;
        QCOMPARE(command(&ctl_), 1u);
        QTEST(finished(capture), "output");
        QCOMPARE(clock_->sleepCount(10000), 0);
        StdoutCapture after;
        usbdevs_refresh();
        QCOMPARE(usbdevs_dev_exist(ctl_.dev), 1u);
        uint8_t buf[64] = {};
        zumsg_t msg;
        zumsg_init(&msg, buf, sizeof buf);
        QCOMPARE(zuctl_recv(&ctl_, &msg), 1u);
        QCOMPARE(finished(after), removedLines("Scripted unit") + zuctlLines({89}));
    }

    void update_data()
    {
        // replies: ready polls read them too; sent: the first messages sent; slept: microseconds;
        // told: through the hook ("v" verifying), rows that ask no progress; empty: no hook
        addColumns<int, QList<QByteArray>, QByteArray, uint, uint, QString, QList<QByteArray>, qulonglong, QStringList>(
            "length", "replies", "idle", "result", "progress", "output", "sent", "slept", "told");
        using R = QList<QByteArray>;
        const R started{QByteArray(), QByteArray()};
        QTest::newRow("empty image goes straight to verification")
            << 0 << R{} << status(0, 0) << 0u << 0u << "pos = 0/0\nFWUP OK\n"
            << R{hex("210400000000 0000"), hex("2201 0000")} << 0ull << QStringList{"0/0 v"};
        QTest::newRow("block of 100 in chunks of 61 and 39, then a wait for room")
            << 1000 << started + R{status(100, 0)} << status(0, 0) << 1u << 100u
            << "pos = 0/1000\npos = 100/1000\n" + QString("pos = 100/1000\n").repeated(1000) + zuctlLines({272})
                   + "timeout line:257\n"
            << R{hex("2104e8030000 0000"), hex("2201 0000"), hex("25053d") + image(61),
                 hex("260527") + image(100).mid(61) + wire::end(), hex("2201 0000")}
            << 10000000ull << QStringList();
        QTest::newRow("two chunks, verified at once")
            << 100 << started + R{status(100, 0)} << status(0, 100) << 0u << 0u
            << "pos = 0/100\npos = 100/100\nFWUP OK\n" << R{} << 0ull << QStringList{"61/100", "100/100", "100/100 v"};
        QTest::newRow("a chunk of 61 is the last of its block")
            << 61 << started + R{status(61, 0)} << status(0, 61) << 0u << 61u << "pos = 0/61\npos = 61/61\nFWUP OK\n"
            << R{hex("21043d000000 0000"), hex("2201 0000"), hex("26053d") + image(61)} << 0ull << QStringList();
        QTest::newRow("unit cancels before the first byte")
            << 10 << R{} << status(0, 0) << 2u << 0u << "pos = 0/10\ncancel by device\n" + zuctlLines({260}) << R{}
            << 0ull << QStringList();
        QTest::newRow("offset mismatch waits a thousand times")
            << 10 << R{} << status(10, 5) << 1u << 0u
            << "pos = 0/10\n" + QString("offset = 5, pos = 0\npos = 0/10\n").repeated(1000) + "offset = 5, pos = 0\n"
                   + zuctlLines({272}) + "timeout line:264\n"
            << R{} << 10000000ull << QStringList();
        QTest::newRow("verification gives up after sixty attempts")
            << 0 << R{} << status(5, 0) << 1u << 0u << "pos = 0/0\n" + zuctlLines({384}) << R{}
            << 60ull * (9 * 100000 + 1000000) << QStringList();
    }

    void update()
    {
        QFETCH(int, length);
        QFETCH(QList<QByteArray>, replies);
        QFETCH(QByteArray, idle);
        QFETCH(QList<QByteArray>, sent);
        QFETCH(QStringList, told);
        for (const QByteArray &r : replies)
            unit_->queueReply(r);
        unit_->setIdleReply(idle);
        const QByteArray fw = image(length);
        const auto *data = length ? reinterpret_cast<const uint8_t *>(fw.constData()) : nullptr;
        uint32_t progress = 0;
        QStringList heard;
        StdoutCapture capture;
        QTEST(told.isEmpty() ? zuctl_fwupdate(&ctl_, data, uint32_t(length), &progress)
                             : zuctl_fwupdate_notify(&ctl_, data, uint32_t(length), nullptr, record, &heard),
              "result");
        QTEST(finished(capture), "output");
        QTEST(progress, "progress");
        QCOMPARE(unit_->sentMessages().mid(0, sent.size()), sent);
        QTEST(qulonglong(clock_->sleptMicros()), "slept");
        QCOMPARE(heard, told);
    }
};

STRATA_TEST_CLASS(TransfersTest)

#include "test_zuctl_transfers.moc"

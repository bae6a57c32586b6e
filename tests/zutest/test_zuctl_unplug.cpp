// A unit pulled out in the middle of a command: the command ends with the
// failure of its send, read or ready poll (no waiting out its time-out), the
// removal frees the slot, and the freed handle fails from then on.
#include <QtTest>

#include "scripted_unit.h"

class UnplugTest : public UnitFixture {
    Q_OBJECT
private slots:
    void unitLeavesDuringCommand_data();
    void unitLeavesDuringCommand();
};

void UnplugTest::unitLeavesDuringCommand_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<int>("leaveDuringRead"); // that read still answers
    QTest::addColumn<QString>("output");

    const QString gone = usbLine(286, "ERROR 0xfffffffc") + zuctlLines({89});
    // The send to a unit that has just gone fails the command at once.
    const QString sentToNoOne = usbLine(248, "ERROR 0xfffffffc") + zuctlLines({56});
    QTest::newRow("version, gone after the ready poll")
        << Command([](zuctl_t *c) { uint16_t v; return zuctl_get_version(c, &v); }) << 0
        << sentToNoOne + zuctlLines({900});
    // The ready poll stops on the registry's "no device" instead of polling
    // a gone unit for ten seconds.
    QTest::newRow("ready poll, gone before its second cycle")
        << Command([](zuctl_t *c) { return zuctl_wait_ready(c) == 0 ? zuctl_wait_ready(c) : 9u; }) << 0
        << gone + zuctlLines({114});
    QTest::newRow("meters, after the first reply") << Command([](zuctl_t *c) {
        zuctl_meter_info_t info[97] = {};
        return zuctl_get_meter(c, info, 97, nullptr);
    }) << 0 << gone + zuctlLines({1017});
    QTest::newRow("assignment list, after the second reply")
        << Command([](zuctl_t *c) { char text[512]; return zuctl_get_assign_ch(c, text, sizeof text, nullptr); })
        << 2 << gone + zuctlLines({1210});
}

void UnplugTest::unitLeavesDuringCommand()
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

STRATA_TEST_CLASS(UnplugTest)
#include "test_zuctl_unplug.moc"

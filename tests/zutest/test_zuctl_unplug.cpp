// A unit pulled out in the middle of a command: the command ends with the
// failure of its read (no waiting out its time-out), and a handle to the
// emptied slot fails every request from then on.
#include <QtTest>

#include <functional>

#include "scripted_unit.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

using Command = std::function<uint32_t(zuctl_t *)>;
Q_DECLARE_METATYPE(Command)

namespace {

const QString kGone = QStringLiteral("../../zutest/usbdevs.c:286:ERROR 0xfffffffc\n");
// The send to a unit that has just gone is reported and counted as sent.
const QString kSentToNoOne =
    QStringLiteral("../../zutest/usbdevs.c:248:ERROR 0xfffffffc\n../../zutest/zuctl.c:56:ERROR\n");

} // namespace

class UnplugTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void unitLeavesDuringCommand_data();
    void unitLeavesDuringCommand();
    void removedSlotFailsEveryRequest();

private:
    UnitHarness harness_;
    std::unique_ptr<VirtualClock> clock_;
    std::shared_ptr<ScriptedUnit> unit_;
    zuctl_t ctl_{};
};

void UnplugTest::init()
{
    clock_.reset(new VirtualClock);
    unit_ = harness_.attach(&ctl_);
    QVERIFY(ctl_.dev);
}

void UnplugTest::cleanup()
{
    sim::Bus::instance().unplugAll();
    usbdevs_refresh();
    clock_.reset();
}

void UnplugTest::unitLeavesDuringCommand_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<int>("leaveDuringRead"); // that read still answers
    QTest::addColumn<QString>("output");

    QTest::newRow("version, gone after the ready poll")
        << Command([](zuctl_t *c) { uint16_t v; return zuctl_get_version(c, &v); }) << 0
        << kSentToNoOne + kGone + zuctlLines({89, 907});
    QTest::newRow("fader, gone after the ready poll")
        << Command([](zuctl_t *c) { uint8_t v; return zuctl_get_fader(c, ZUMSG_DATA_CH_ANALOG_IN, 1, &v); })
        << 0 << kSentToNoOne + kGone + zuctlLines({89, 1414});
    QTest::newRow("meters, after the first reply")
        << Command([](zuctl_t *c) {
               zuctl_meter_info_t info[97] = {};
               uint8_t num = 0;
               return zuctl_get_meter(c, info, 97, &num);
           })
        << 0 << kGone + zuctlLines({89, 1017});
    QTest::newRow("assignment list, after the second reply")
        << Command([](zuctl_t *c) { char text[512]; return zuctl_get_assign_ch(c, text, sizeof text, nullptr); })
        << 2 << kGone + zuctlLines({89, 1210});
}

void UnplugTest::unitLeavesDuringCommand()
{
    QFETCH(Command, command);
    QFETCH(int, leaveDuringRead);
    QFETCH(QString, output);

    // Every reply carries one meter, so the meter read keeps reading.
    unit_->setIdleReply(wire::u8(ZUMSG_CMD_CH, 4) + wire::u16(ZUMSG_CMD_METER, 5) + wire::end());
    std::weak_ptr<ScriptedUnit> unit = unit_;
    unit_->setBeforeRead([unit, leaveDuringRead](int read) {
        if (read == leaveDuringRead)
            sim::Bus::instance().unplug(unit.lock());
    });
    StdoutCapture capture;
    QCOMPARE(command(&ctl_), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()), output);
    QCOMPARE(clock_->sleepCount(10000), 0);
}

void UnplugTest::removedSlotFailsEveryRequest()
{
    harness_.unplug(unit_);
    QCOMPARE(usbdevs_dev_exist(ctl_.dev), 1u);

    uint8_t buf[64] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    zumsg_put(&msg, ZUMSG_CMD_GET_METER, ZUMSG_TYPE_NONE, 0, 0);
    StdoutCapture capture;
    // A send to no unit is reported, tried once and counted as sent; the
    // read that follows fails.
    QCOMPARE(zuctl_send(&ctl_, &msg), 0u);
    QCOMPARE(zuctl_recv(&ctl_, &msg), 1u);
    QCOMPARE(QString::fromStdString(capture.text()), zuctlLines({56, 89}));

    // A command polls for ten seconds before it gives up.
    QCOMPARE(zuctl_set_fader(&ctl_, ZUMSG_DATA_CH_ANALOG_IN, 1, 50), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()),
             zuctlLines({56, 89}) + zuctlLines({89, 114}).repeated(1000) + zuctlLines({1329}));
    QCOMPARE(clock_->sleepCount(10000), 1000);
    QCOMPARE(unit_->reads(), 0);
}

QTEST_GUILESS_MAIN(UnplugTest)
#include "test_zuctl_unplug.moc"

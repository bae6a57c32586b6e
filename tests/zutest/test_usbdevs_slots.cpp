// The registry's slot table under simulated hot-plugging: which slot a unit
// takes, what the table reports, and what arrival and removal print.
#include <QtTest>

#include "stdout_capture.h"
#include "test_usbdevs_doubles.h"

class UsbdevsSlotsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init();
    void cleanup();

    void unitsPresentAtStartAreTakenByInit();
    void arrivalWaitsForRefresh();
    void getDevCountsOccupiedSlotsOnly_data();
    void getDevCountsOccupiedSlotsOnly();
    void replugTakesLowestFreeSlot();
    void eleventhUnitIgnoredUntilItArrivesAgain();
    void removalPrintsLineAndNameAndFreesSlot();
    void requestThroughFreedHandleFailsSilently();
    void otherProductsAreNotMatched();
    void unitGoneBeforeDeliveryIsNotTaken();
    void otherInterestMessageChangesNothing();

private:
    std::vector<std::shared_ptr<ScriptedDevice>> plugUnits(int count);

    usbdevs_t reg_;
};

void UsbdevsSlotsTest::init()
{
    StdoutCapture quiet;
    QCOMPARE(usbdevs_init(&reg_), 0u);
}

void UsbdevsSlotsTest::cleanup()
{
    usbdevs_exit(&reg_);
    sim::Bus::instance().unplugAll();
}

std::vector<std::shared_ptr<ScriptedDevice>> UsbdevsSlotsTest::plugUnits(int count)
{
    std::vector<std::shared_ptr<ScriptedDevice>> units;
    for (int i = 0; i < count; i++)
        units.push_back(plugUnit("Unit " + std::to_string(i), static_cast<uint8_t>(i % 4)));
    return units;
}

void UsbdevsSlotsTest::unitsPresentAtStartAreTakenByInit()
{
    usbdevs_exit(&reg_);
    plugUnit("Strata 10", 1);
    plugUnit("Strata 20", 3);

    StdoutCapture out;
    QCOMPARE(usbdevs_init(&reg_), 0u);
    QCOMPARE(out.finish(), addedLines("Strata 10") + addedLines("Strata 20"));
    usbdevs_dev_t *dev = nullptr;
    QCOMPARE(usbdevs_get_dev(&reg_, &dev, 1), 0u);
    QCOMPARE(slotOf(reg_, dev), 1);
    QCOMPARE(std::string(dev->name), std::string("Strata 20"));
}

void UsbdevsSlotsTest::arrivalWaitsForRefresh()
{
    StdoutCapture out;
    plugUnit("Strata 96");
    QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 0), 1u);
    QCOMPARE(out.text(), std::string());

    usbdevs_refresh();
    QCOMPARE(out.finish(), addedLines("Strata 96"));
    usbdevs_dev_t *dev = nullptr;
    QCOMPARE(usbdevs_get_dev(&reg_, &dev, 0), 0u);
    QCOMPARE(usbdevs_dev_exist(dev), 0u);
    QVERIFY(dev->location != 0);
    QVERIFY(dev->notification != 0);
    QCOMPARE(dev->owner, &reg_);
}

void UsbdevsSlotsTest::getDevCountsOccupiedSlotsOnly_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<uint>("result");
    QTest::addColumn<int>("slot");
    QTest::newRow("first occupied") << 0 << 0u << 0;
    QTest::newRow("second occupied skips the gap") << 1 << 0u << 3;
    QTest::newRow("past the occupied ones") << 2 << 1u << -1;
}

void UsbdevsSlotsTest::getDevCountsOccupiedSlotsOnly()
{
    QFETCH(int, index);
    QFETCH(uint, result);
    QFETCH(int, slot);

    StdoutCapture quiet;
    auto units = plugUnits(4);
    usbdevs_refresh();
    sim::Bus::instance().unplug(units[1]);
    sim::Bus::instance().unplug(units[2]);
    usbdevs_refresh();

    usbdevs_dev_t *dev = nullptr;
    QCOMPARE(usbdevs_get_dev(&reg_, &dev, static_cast<uint8_t>(index)), result);
    QCOMPARE(slotOf(reg_, dev), slot);
}

void UsbdevsSlotsTest::replugTakesLowestFreeSlot()
{
    StdoutCapture out;
    auto units = plugUnits(3);
    usbdevs_refresh();
    const uint32_t oldLocation = reg_.devs[1].location;
    sim::Bus::instance().unplug(units[0]);
    sim::Bus::instance().unplug(units[1]);
    usbdevs_refresh();

    out.text();
    sim::Bus::instance().plug(units[1]);
    usbdevs_refresh();
    QCOMPARE(std::string(reg_.devs[0].name), std::string("Unit 1"));
    QVERIFY(reg_.devs[0].location != oldLocation);
    QCOMPARE(usbdevs_dev_exist(&reg_.devs[1]), 1u);
    QCOMPARE(usbdevs_dev_exist(&reg_.devs[2]), 0u);
}

void UsbdevsSlotsTest::eleventhUnitIgnoredUntilItArrivesAgain()
{
    StdoutCapture out;
    auto units = plugUnits(11);
    usbdevs_refresh();
    std::string expected;
    for (int i = 0; i < 10; i++)
        expected += addedLines("Unit " + std::to_string(i));
    expected += "../../zutest/usbdevs.c:132:Device added\n";
    QCOMPARE(out.text(), expected);
    QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 9), 0u);
    QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 10), 1u);

    // A slot comes free; the eleventh unit stays out of it.
    sim::Bus::instance().unplug(units[3]);
    usbdevs_refresh();
    QCOMPARE(usbdevs_dev_exist(&reg_.devs[3]), 1u);
    QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 9), 1u);

    // Its removal was never registered, so pulling it out prints nothing.
    const std::string before = out.text();
    sim::Bus::instance().unplug(units[10]);
    usbdevs_refresh();
    QCOMPARE(out.text(), before);

    sim::Bus::instance().plug(units[10]);
    usbdevs_refresh();
    QCOMPARE(out.finish(), before + addedLines("Unit 10"));
    QCOMPARE(std::string(reg_.devs[3].name), std::string("Unit 10"));
}

void UsbdevsSlotsTest::removalPrintsLineAndNameAndFreesSlot()
{
    StdoutCapture out;
    auto units = plugUnits(2);
    usbdevs_refresh();
    out.text();

    sim::Bus::instance().unplug(units[0]);
    usbdevs_refresh();
    QCOMPARE(out.finish(), addedLines("Unit 0") + addedLines("Unit 1") + removedLines("Unit 0"));
    const usbdevs_dev_t &slot = reg_.devs[0];
    QVERIFY(slot.intf == nullptr);
    QCOMPARE(slot.location, 0u);
    QCOMPARE(slot.notification, 0u);
    QCOMPARE(slot.name[0], '\0');
    QCOMPARE(slot.owner, &reg_);
    QCOMPARE(usbdevs_dev_exist(&reg_.devs[1]), 0u);
}

void UsbdevsSlotsTest::requestThroughFreedHandleFailsSilently()
{
    StdoutCapture out;
    auto units = plugUnits(1);
    usbdevs_refresh();
    usbdevs_dev_t *dev = nullptr;
    QCOMPARE(usbdevs_get_dev(&reg_, &dev, 0), 0u);
    sim::Bus::instance().unplug(units[0]);
    usbdevs_refresh();
    out.text();
    const std::string before = out.text();

    uint8_t buf[64] = {};
    QCOMPARE(usbdevs_dev_vendor_request_out(dev, 29, 0, 0, 4, buf), 1u);
    QCOMPARE(usbdevs_dev_vendor_request_in(dev, 30, 0, 0, 64, buf), 1u);
    QCOMPARE(out.finish(), before);
    QCOMPARE(units[0]->transfers(), 0);
}

void UsbdevsSlotsTest::otherProductsAreNotMatched()
{
    StdoutCapture out;
    sim::Bus::instance().plug(std::make_shared<ScriptedDevice>(0x4321, "Other"));
    usbdevs_refresh();
    QCOMPARE(out.finish(), std::string());
    QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 0), 1u);
}

void UsbdevsSlotsTest::unitGoneBeforeDeliveryIsNotTaken()
{
    StdoutCapture out;
    auto units = plugUnits(1);
    sim::Bus::instance().unplug(units[0]);
    usbdevs_refresh();
    QCOMPARE(out.finish(), addedLines("Unit 0") +
                               "../../zutest/usbdevs.c:86:ERROR 0xfffffffc\n"
                               "../../zutest/usbdevs.c:145:ERROR 0x1\n");
    QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 0), 1u);
}

void UsbdevsSlotsTest::otherInterestMessageChangesNothing()
{
    StdoutCapture out;
    plugUnits(1);
    usbdevs_refresh();
    out.text();
    const std::string before = out.text();

    QCOMPARE(usbdevs_dev_notified(&reg_.devs[0], nullptr, 0xE0000020u, nullptr), 0u);
    QCOMPARE(out.finish(), before + "../../zutest/usbdevs.c:58:ERROR 0xe0000020\n");
    QCOMPARE(usbdevs_dev_exist(&reg_.devs[0]), 0u);
}

QTEST_GUILESS_MAIN(UsbdevsSlotsTest)
#include "test_usbdevs_slots.moc"

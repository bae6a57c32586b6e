// The USB device registry on the simulated bus.
#include <QtTest>

#include <atomic>
#include <thread>

#include "scripted_unit.h"

namespace {

std::vector<std::shared_ptr<ScriptedUnit>> plugUnits(int count, bool refresh = true)
{
    std::vector<std::shared_ptr<ScriptedUnit>> units;
    for (int i = 0; i < count; i++) {
        auto unit = std::make_shared<ScriptedUnit>("Unit " + std::to_string(i), usbdevs_product_id(uint8_t(i % 4)));
        units.push_back(unit);
        sim::Bus::instance().plug(unit);
    }
    if (refresh)
        usbdevs_refresh();
    return units;
}

void unplug(const std::shared_ptr<sim::Device> &unit)
{
    sim::Bus::instance().unplug(unit);
    usbdevs_refresh();
}

} // namespace

class RegistryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init() { QCOMPARE(usbdevs_init(&reg_), 0u); }
    void cleanup()
    {
        StdoutCapture quiet;
        usbdevs_set_wakeup(&reg_, nullptr, nullptr);
        usbdevs_exit(&reg_);
        sim::Bus::instance().unplugAll();
    }

    // Units present at start are taken by init, ten of them: the eleventh is
    // ignored until it arrives again, and pulling it out prints nothing.
    void unitsPresentAtStartTakeTenSlots()
    {
        usbdevs_exit(&reg_);
        auto units = plugUnits(11, false);
        sim::Bus::instance().plug(std::make_shared<ScriptedUnit>("Other", 0x4321)); // no product of ours
        StdoutCapture out;
        QCOMPARE(usbdevs_init(&reg_), 0u);
        QString expected;
        for (int i = 0; i < 10; i++)
            expected += addedLines(QString("Unit %1").arg(i));
        expected += usbLine(132, "Device added");
        QCOMPARE(QString::fromStdString(out.text()), expected);
        const usbdevs_dev_t &slot = reg_.devs[3];
        QVERIFY(slot.location != 0 && slot.notification != 0 && slot.owner == &reg_ && QString(slot.name) == "Unit 3");
        QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 9), 0u);
        QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 10), 1u);
        unplug(units[3]);
        QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 9), 1u);
        unplug(units[10]);
        expected += removedLines("Unit 3");
        QCOMPARE(QString::fromStdString(out.text()), expected);
        sim::Bus::instance().plug(units[10]);
        usbdevs_refresh();
        QCOMPARE(finished(out), expected + addedLines("Unit 10"));
        QCOMPARE(QString(reg_.devs[3].name), QString("Unit 10"));
    }

    // A request to a missing unit fails at once, without a diagnostic; a unit
    // plugged in again takes the lowest free slot, not always its old one.
    void removalFreesTheSlot()
    {
        StdoutCapture out;
        auto units = plugUnits(3);
        const uint32_t oldLocation = reg_.devs[1].location;
        unplug(units[0]);
        unplug(units[1]);
        QCOMPARE(finished(out), addedLines("Unit 0") + addedLines("Unit 1") + addedLines("Unit 2")
                                    + removedLines("Unit 0") + removedLines("Unit 1"));
        const usbdevs_dev_t &slot = reg_.devs[0];
        QVERIFY(slot.intf == nullptr && slot.location == 0 && slot.notification == 0 && slot.name[0] == '\0');
        QCOMPARE(slot.owner, &reg_);
        uint8_t buf[64] = {};
        StdoutCapture silent;
        for (usbdevs_dev_t *dev : {&reg_.devs[0], &reg_.devs[5], static_cast<usbdevs_dev_t *>(nullptr)}) {
            QCOMPARE(usbdevs_dev_exist(dev), 1u);
            QCOMPARE(usbdevs_dev_vendor_request_out(dev, 29, 0, 0, 1, buf), 1u);
            QCOMPARE(usbdevs_dev_vendor_request_in(dev, 30, 0, 0, 64, buf), 1u);
        }
        QCOMPARE(finished(silent), QString());
        QVERIFY(units[0]->transfers().empty() && units[1]->transfers().empty());
        StdoutCapture quiet;
        sim::Bus::instance().plug(units[1]);
        usbdevs_refresh();
        QCOMPARE(QString(slot.name), QString("Unit 1"));
        QVERIFY(slot.location != oldLocation);
        QCOMPARE(usbdevs_dev_exist(&reg_.devs[1]), 1u);
    }

    // A node without access is counted until it leaves; neither it nor a unit
    // gone before its arrival is handled takes a slot.
    void unitThatCannotBeOpenedTakesNoSlot()
    {
        struct DeniedUnit : ScriptedUnit {
            using ScriptedUnit::ScriptedUnit;
            bool openDenied() const override { return true; }
        };
        StdoutCapture out;
        auto denied = std::make_shared<DeniedUnit>("Unit D", usbdevs_product_id(0));
        sim::Bus::instance().plug(denied);
        auto usable = plugUnits(1);
        uint32_t count = 0;
        QCOMPARE(usbdevs_access_denied(&reg_, &count), 0u);
        QCOMPARE(count, 1u);
        QCOMPARE(QString(reg_.devs[0].name), QString("Unit 0"));
        QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 1), 1u);
        unplug(denied);
        QCOMPARE(usbdevs_access_denied(&reg_, &count), 0u);
        QCOMPARE(count, 0u);
        auto gone = std::make_shared<ScriptedUnit>("Unit G");
        sim::Bus::instance().plug(gone);
        unplug(gone);
        QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 1), 1u);
        QCOMPARE(finished(out), addedLines("Unit D") + usbLine(86, "ERROR 0xfffffffd") + usbLine(145, "ERROR 0x1")
                                    + addedLines("Unit 0") + addedLines("Unit G") + usbLine(86, "ERROR 0xfffffffc")
                                    + usbLine(145, "ERROR 0x1"));
    }

    void refreshOnAnotherThreadDeliversNothing()
    {
        StdoutCapture out;
        plugUnits(1, false);
        std::thread([] { usbdevs_refresh(); }).join();
        QCOMPARE(QString::fromStdString(out.text()), QString());
        QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 0), 1u);
        usbdevs_refresh();
        QCOMPARE(finished(out), addedLines("Unit 0"));
        QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 0), 0u);
    }

    void requestsRaceWithReplugSafely()
    {
        constexpr int kCycles = 300;
        StdoutCapture out;
        auto unit = plugUnits(1)[0];
        usbdevs_dev_t *dev = nullptr;
        QCOMPARE(usbdevs_get_dev(&reg_, &dev, 0), 0u);
        std::atomic<bool> stop{false};
        std::atomic<int> ok{0}, failed{0}, other{0};
        std::thread worker([&] {
            uint8_t buf[64] = {};
            while (!stop) {
                uint32_t r = usbdevs_dev_vendor_request_out(dev, 29, 0, 0, 4, buf);
                r |= usbdevs_dev_vendor_request_in(dev, 30, 0, 0, 64, buf);
                (r == 0 ? ok : r == 1 ? failed : other)++;
                usbdevs_dev_exist(dev);
                usbdevs_get_dev(&reg_, nullptr, 0);
            }
        });
        for (int i = 0; i < kCycles; i++) {
            unplug(unit);
            sim::Bus::instance().plug(unit);
            usbdevs_refresh();
        }
        // Let the worker reach the replugged unit at least once.
        const int okBefore = ok;
        while (ok == okBefore && failed + ok < 1000000)
            std::this_thread::yield();
        stop = true;
        worker.join();
        QCOMPARE(other.load(), 0);
        QVERIFY(ok > okBefore);
        QCOMPARE(usbdevs_dev_exist(dev), 0u);
        // Whatever the interleaving, only these lines can have been printed.
        const QString text = finished(out);
        const QStringList allowed{"Unit 0", "../../zutest/usbdevs.c:132:Device added",
                                  "../../zutest/usbdevs.c:27:removed", "../../zutest/usbdevs.c:248:ERROR 0xfffffffc",
                                  "../../zutest/usbdevs.c:286:ERROR 0xfffffffc"};
        for (const QString &line : text.split('\n', Qt::SkipEmptyParts))
            QVERIFY2(allowed.contains(line), qPrintable(line));
        QCOMPARE(text.count(usbLine(132, "Device added")), kCycles + 1);
    }

private:
    usbdevs_t reg_;
};

STRATA_TEST_CLASS(RegistryTest)
#include "test_usbdevs.moc"

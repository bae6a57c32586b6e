// Where notifications are delivered, and a worker thread's requests racing
// with unplugging and replugging on the owning thread.
#include <QtTest>

#include <atomic>
#include <thread>

#include "stdout_capture.h"
#include "test_usbdevs_doubles.h"

namespace {

struct WakeupLog {
    std::atomic<int> calls{0};
    std::mutex lock;
    std::thread::id lastThread;
};

void recordWakeup(void *context)
{
    auto *log = static_cast<WakeupLog *>(context);
    std::lock_guard<std::mutex> guard(log->lock);
    log->lastThread = std::this_thread::get_id();
    ++log->calls;
}

// What the panel's Qt layer does: run the refresh on the owning thread's loop.
void scheduleRefresh(void *context)
{
    QMetaObject::invokeMethod(static_cast<QObject *>(context), [] { usbdevs_refresh(); },
                              Qt::QueuedConnection);
}

} // namespace

class UsbdevsThreadsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init();
    void cleanup();

    void refreshOnAnotherThreadDeliversNothing();
    void wakeupCalledFromPluggingThread();
    void wakeupDrivesDeliveryFromEventLoop();
    void wakeupInstalledLateHearsPendingArrival();
    void registryStartedOnWorkerIsServedByWorkerRefresh();
    void requestsRaceWithReplugSafely();

private:
    usbdevs_t reg_;
};

void UsbdevsThreadsTest::init()
{
    QCOMPARE(usbdevs_init(&reg_), 0u);
}

void UsbdevsThreadsTest::cleanup()
{
    usbdevs_exit(&reg_);
    sim::Bus::instance().unplugAll();
}

void UsbdevsThreadsTest::refreshOnAnotherThreadDeliversNothing()
{
    StdoutCapture out;
    plugUnit("Strata 14", 2);
    std::thread other([] { usbdevs_refresh(); });
    other.join();
    QCOMPARE(out.text(), std::string());
    QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 0), 1u);

    usbdevs_refresh();
    QCOMPARE(out.finish(), addedLines("Strata 14"));
    QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 0), 0u);
}

void UsbdevsThreadsTest::wakeupCalledFromPluggingThread()
{
    WakeupLog log;
    QCOMPARE(usbdevs_set_wakeup(&reg_, recordWakeup, &log), 0u);
    std::shared_ptr<ScriptedDevice> unit;
    std::thread::id plugger;
    std::thread other([&] {
        plugger = std::this_thread::get_id();
        unit = plugUnit("Strata 96");
    });
    other.join();
    QCOMPARE(log.calls.load(), 1);
    QVERIFY(log.lastThread == plugger);

    StdoutCapture quiet;
    usbdevs_refresh();
    sim::Bus::instance().unplug(unit);
    QCOMPARE(log.calls.load(), 2);
    QVERIFY(log.lastThread == std::this_thread::get_id());
    usbdevs_set_wakeup(&reg_, nullptr, nullptr);
}

void UsbdevsThreadsTest::wakeupDrivesDeliveryFromEventLoop()
{
    QObject receiver;
    usbdevs_set_wakeup(&reg_, scheduleRefresh, &receiver);
    StdoutCapture out;
    std::thread other([] { plugUnit("Strata 10", 1); });
    other.join();
    QTRY_COMPARE(usbdevs_get_dev(&reg_, nullptr, 0), 0u);
    QCOMPARE(out.finish(), addedLines("Strata 10"));
    usbdevs_set_wakeup(&reg_, nullptr, nullptr);
}

void UsbdevsThreadsTest::wakeupInstalledLateHearsPendingArrival()
{
    // The panel installs its hook after starting the registry.
    plugUnit("Strata 96");
    WakeupLog log;
    usbdevs_set_wakeup(&reg_, recordWakeup, &log);
    QCOMPARE(log.calls.load(), 1);
    StdoutCapture quiet;
    usbdevs_refresh();
    usbdevs_set_wakeup(&reg_, nullptr, nullptr);
    usbdevs_set_wakeup(&reg_, recordWakeup, &log);
    QCOMPARE(log.calls.load(), 1);
    usbdevs_set_wakeup(&reg_, nullptr, nullptr);
}

void UsbdevsThreadsTest::registryStartedOnWorkerIsServedByWorkerRefresh()
{
    StdoutCapture out;
    usbdevs_t workerReg;
    std::atomic<int> step{0};
    std::atomic<uint32_t> before{9}, after{9};
    std::thread worker([&] {
        usbdevs_init(&workerReg);
        step = 1;
        while (step != 2)
            std::this_thread::yield();
        before = usbdevs_get_dev(&workerReg, nullptr, 0);
        usbdevs_refresh();
        after = usbdevs_get_dev(&workerReg, nullptr, 0);
        usbdevs_exit(&workerReg);
    });
    while (step != 1)
        std::this_thread::yield();
    plugUnit("Strata 20", 3);
    usbdevs_refresh(); // delivers for the main thread's registry only
    step = 2;
    worker.join();
    QCOMPARE(before.load(), 1u);
    QCOMPARE(after.load(), 0u);
    QCOMPARE(usbdevs_get_dev(&reg_, nullptr, 0), 0u);
    QCOMPARE(out.finish(), addedLines("Strata 20") + addedLines("Strata 20"));
}

void UsbdevsThreadsTest::requestsRaceWithReplugSafely()
{
    constexpr int kCycles = 300;
    StdoutCapture out;
    auto unit = plugUnit("Strata 96");
    usbdevs_refresh();
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
        sim::Bus::instance().unplug(unit);
        usbdevs_refresh();
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
    QCOMPARE(slotOf(reg_, dev), 0);
    // Whatever interleaving happened, only these lines can have been printed.
    const std::string text = out.finish();
    size_t pos = 0;
    int added = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        QVERIFY(end != std::string::npos);
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line == "../../zutest/usbdevs.c:132:Device added")
            ++added;
        else
            QVERIFY2(line == "Strata 96" || line == "../../zutest/usbdevs.c:27:removed" ||
                         line == "../../zutest/usbdevs.c:248:ERROR 0xfffffffc" ||
                         line == "../../zutest/usbdevs.c:286:ERROR 0xfffffffc",
                     line.c_str());
    }
    QCOMPARE(added, kCycles + 1);
}

QTEST_GUILESS_MAIN(UsbdevsThreadsTest)
#include "test_usbdevs_threads.moc"

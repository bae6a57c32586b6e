// The device worker's exchanges, its slots called on the test's thread
// against simulated units: what each transfers and which signals answer,
// the scan's slot order, and an unplugged unit failing until it is dropped.
#include <QtTest>

#include "service/qzudeviceunit.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "virtual_clock.h"

namespace {

// The worker's signals as lines, in the order they were emitted.
class WorkerLog : public QObject
{
public:
    explicit WorkerLog(QZUDeviceUnit *worker)
    {
        auto add = [this](const char *name) {
            return [this, name](bool ok) { lines << QString("%1 %2").arg(name).arg(ok); };
        };
        connect(worker, &QZUDeviceUnit::zu_send_result, this, add("send"));
        connect(worker, &QZUDeviceUnit::zu_recv_result, this, [this](bool ok, const QByteArray &d) {
            lines << QString("recv %1 %2").arg(ok).arg(d.size());
        });
        connect(worker, &QZUDeviceUnit::ret_deselect, this, add("deselect"));
        connect(worker, &QZUDeviceUnit::ret_is_selected, this, add("selected"));
        connect(worker, &QZUDeviceUnit::ret_select_default, this, add("scan"));
        connect(worker, &QZUDeviceUnit::ret_get_meter, this, [this](bool ok, const QByteArray &m, int n) {
            lines << QString("meter %1 %2 %3").arg(ok).arg(m.size() / int(sizeof(zuctl_meter_info_t))).arg(n);
        });
    }
    QStringList lines;
};

const QByteArray kHzRequest("\x18\x01\x00\x00", 4);

// The registry takes in plug and unplug from this thread's event loop.
void deliverBusEvents()
{
    QCoreApplication::processEvents();
}

} // namespace

class DeviceWorker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void cleanup();

    void exchangesWithAUnit();
    void exchangesWithoutAUnitScanOnceEach();
    void scanTakesTheLowestOccupiedSlot();
    void unpluggedUnitFailsUntilDropped();

private:
    VirtualClock clock_;
};

void DeviceWorker::cleanup()
{
    sim::Bus::instance().unplugAll();
    deliverBusEvents();
}

void DeviceWorker::exchangesWithAUnit()
{
    auto unit = sim::plugSimUnit(sim::Model::Strata96);
    QZUDeviceUnit worker;
    WorkerLog log(&worker);
    clock_.resetCounts();

    // 32 sample-rate queries fill 64 bytes; the rest is cut off.
    const QByteArray request = kHzRequest.left(2).repeated(32) + QByteArray(36, '\x7f');
    worker.zu_send(request);
    const auto sent = unit->receivedMessages();
    QCOMPARE(sent.size(), size_t(1));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(sent[0].data()), int(sent[0].size())),
             request.left(64));
    // One pause after the request and one after the reply read.
    QCOMPARE(clock_.sleepCount(10000), 2);
    worker.wait(0);
    QCOMPARE(clock_.sleepCount(10000), 3);
    worker.zu_get_meter();
    QCOMPARE(log.lines, (QStringList{"send 1", "recv 1 64", "meter 1 97 97"}));
}

void DeviceWorker::exchangesWithoutAUnitScanOnceEach()
{
    QZUDeviceUnit worker;
    WorkerLog log(&worker);
    worker.zu_send(kHzRequest);
    worker.zu_get_meter();
    QCOMPARE(log.lines, (QStringList{"deselect 1", "scan 0", "send 0", "deselect 1", "scan 0",
                                     "recv 0 64", "deselect 1", "scan 0", "meter 0 97 0"}));
}

void DeviceWorker::scanTakesTheLowestOccupiedSlot()
{
    QZUDeviceUnit worker;
    WorkerLog log(&worker);
    std::vector<std::shared_ptr<sim::SimUnit>> units;
    for (int i = 0; i < 6; ++i)
        units.push_back(sim::plugSimUnit(sim::Model::Strata10));
    deliverBusEvents();
    for (int i : {0, 1, 3, 4})
        sim::Bus::instance().unplug(units[size_t(i)]);
    deliverBusEvents();

    // Slots 2 and 5 are taken: the scan selects slot 2.
    worker.select_default();
    worker.zu_send(kHzRequest);
    QCOMPARE(units[2]->receivedMessages().size(), size_t(1));
    QCOMPARE(units[5]->receivedMessages().size(), size_t(0));

    sim::Bus::instance().unplugAll();
    deliverBusEvents();
    worker.select_default();
    QVERIFY(!worker.check_is_selected());
    QCOMPARE(log.lines.mid(0, 2), (QStringList{"deselect 1", "scan 1"}));
    QCOMPARE(log.lines.mid(4), (QStringList{"deselect 1", "scan 0", "deselect 1", "scan 0"}));
}

void DeviceWorker::unpluggedUnitFailsUntilDropped()
{
    auto unit = sim::plugSimUnit(sim::Model::Strata96);
    QZUDeviceUnit worker;
    WorkerLog log(&worker);
    sim::Bus::instance().unplug(unit);
    deliverBusEvents();

    // The handle is kept: no rescan happens by itself.
    worker.zu_recv();
    worker.is_selected();
    worker.deselect();
    worker.is_selected();
    unit = sim::plugSimUnit(sim::Model::Strata96);
    deliverBusEvents();
    worker.is_selected();
    worker.zu_recv();
    QCOMPARE(log.lines, (QStringList{"recv 0 64", "selected 1", "deselect 1", "deselect 1", "scan 0",
                                     "selected 0", "deselect 1", "scan 1", "selected 1", "recv 1 64"}));
}

QTEST_GUILESS_MAIN(DeviceWorker)
#include "tst_deviceworker.moc"

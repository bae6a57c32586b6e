// The simulated bus: plugging, unplugging, watching, transfers by location,
// and transfers on one thread while another injects faults and unplugs.
#include <QtTest>

#include <atomic>
#include <thread>

#include "wirekit.h"

using namespace wirekit;
using sim::Bus;
using sim::Model;
using sim::SimUnit;
using sim::Xfer;

namespace {

// What a watcher heard: +location for an arrival, -location for a removal.
struct Recorder {
    QVector<qint64> events;
    QVector<sim::Device *> devices;
    sim::BusWatcher watcher()
    {
        return {[this](const std::shared_ptr<sim::Device> &d, uint32_t loc) {
                    events.append(qint64(loc));
                    devices.append(d.get());
                },
                [this](uint32_t loc) { events.append(-qint64(loc)); }};
    }
};

Xfer sendTo(uint32_t location, const QByteArray &items)
{
    const QByteArray message = items + QByteArray(2, '\0');
    return Bus::instance().controlOut(location, 29, 0, 0, reinterpret_cast<const uint8_t *>(message.constData()),
                                      uint16_t(message.size()));
}

Xfer readFrom(uint32_t location, Reply *reply)
{
    uint8_t buf[64] = {};
    const Xfer r = Bus::instance().controlIn(location, 30, 0, 0, buf, sizeof buf);
    *reply = decode(buf, sizeof buf);
    return r;
}

} // namespace

class SimulatedBus : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void watcherHearsPresentThenChanges();
    void transfersReachUnitUntilUnplugged();
    void moreThanTenUnits();
    void watcherMayReenterBus();
    void transfersWhileFaultsAndUnplug();
    void plugAndWatchFromTwoThreads();
};

void SimulatedBus::cleanup()
{
    Bus::instance().unplugAll();
}

void SimulatedBus::watcherHearsPresentThenChanges()
{
    auto a = plugSimUnit(Model::Strata96);
    auto b = plugSimUnit(Model::Strata10);
    Recorder rec;
    const int token = Bus::instance().watch(rec.watcher());
    QCOMPARE(rec.events.size(), 2);
    QCOMPARE(rec.devices, QVector<sim::Device *>({a.get(), b.get()}));
    const qint64 la = rec.events[0], lb = rec.events[1];
    QVERIFY(la > 0 && lb > 0 && la != lb);

    auto c = std::make_shared<SimUnit>(Model::Strata20);
    const qint64 lc = Bus::instance().plug(c);
    Bus::instance().unplug(a);
    Bus::instance().unplug(a);                  // no longer there: nothing happens
    QCOMPARE(qint64(Bus::instance().plug(b)), lb); // already there: nothing happens
    // Plugged in again, a unit is a new arrival at a new location.
    const qint64 la2 = Bus::instance().plug(a);
    QVERIFY(la2 != la && la2 != lb && la2 != lc);
    Bus::instance().unplugAll();
    QCOMPARE(rec.events, QVector<qint64>({la, lb, lc, -la, la2, -lb, -lc, -la2}));

    Bus::instance().unwatch(token);
    Bus::instance().plug(a);
    QCOMPARE(rec.events.size(), 8);
}

void SimulatedBus::transfersReachUnitUntilUnplugged()
{
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    const uint32_t loc = Bus::instance().plug(unit);
    QCOMPARE(sendTo(loc, none(Hz)), Xfer::Ok);
    Reply reply;
    QCOMPARE(readFrom(loc, &reply), Xfer::Ok);
    QCOMPARE(reply.items.first().value, 48000u);

    Bus::instance().unplug(unit);
    const int transfers = unit->transferCount();
    QCOMPARE(sendTo(loc, none(Hz)), Xfer::NoDevice);
    QCOMPARE(readFrom(loc, &reply), Xfer::NoDevice);
    QCOMPARE(unit->transferCount(), transfers);
    QCOMPARE(sendTo(0, none(Hz)), Xfer::NoDevice);
}

void SimulatedBus::moreThanTenUnits()
{
    QVector<std::shared_ptr<SimUnit>> units;
    QVector<uint32_t> locations;
    for (int i = 0; i < 12; ++i) {
        units.append(std::make_shared<SimUnit>(Model::Strata96));
        locations.append(Bus::instance().plug(units.last()));
    }
    QCOMPARE(int(Bus::instance().devices().size()), 12);
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(sendTo(locations[i], u32(SetHz, 96000)), Xfer::Ok);
        QCOMPARE(units[i]->sampleRate(), 96000u);
    }
}

void SimulatedBus::watcherMayReenterBus()
{
    // A watcher that talks to the arriving unit and pulls it out again, the
    // way a registry that probes a unit and rejects it would.
    int arrivals = 0, departures = 0;
    Xfer probe = Xfer::Error;
    sim::BusWatcher w;
    w.arrived = [&](const std::shared_ptr<sim::Device> &device, uint32_t loc) {
        ++arrivals;
        probe = sendTo(loc, none(Hz));
        Bus::instance().unplug(device);
    };
    w.left = [&](uint32_t) { ++departures; };
    const int token = Bus::instance().watch(w);
    plugSimUnit(Model::Strata96);
    Bus::instance().unwatch(token);
    QCOMPARE(arrivals, 1);
    QCOMPARE(departures, 1);
    QCOMPARE(probe, Xfer::Ok);
    QVERIFY(Bus::instance().devices().empty());
}

void SimulatedBus::transfersWhileFaultsAndUnplug()
{
    auto unit = plugSimUnit(Model::Strata96);
    Recorder rec;
    Bus::instance().unwatch(Bus::instance().watch(rec.watcher()));
    const uint32_t location = uint32_t(rec.events.first());

    std::atomic<int> ok{0}, faulted{0}, broken{0};
    std::atomic<bool> gone{false};
    std::thread worker([&] {
        // The device worker's pattern: a request, then replies.
        while (!gone) {
            if (sendTo(location, none(GetMeter) + none(GetInfo)) == Xfer::NoDevice)
                gone = true;
            for (int i = 0; i < 20 && !gone; ++i) {
                Reply reply;
                const Xfer r = readFrom(location, &reply);
                gone = r == Xfer::NoDevice;
                faulted += r == Xfer::Stall || r == Xfer::Timeout || r == Xfer::Error;
                ok += r == Xfer::Ok;
                broken += r == Xfer::Ok && !reply.clean(); // all zero while silent reads clean
            }
        }
    });

    // Keep injecting until the worker has really run alongside: on a loaded
    // machine the 200 rounds alone may finish before it starts.
    for (int round = 0; (round < 200 || ok < 50) && round < 1000000 && !gone; ++round) {
        switch (round % 8) {
        case 0: unit->stallNext(2); break;
        case 1: unit->busyFor(3); break;
        case 2: unit->splitReplies(round % 16 == 2); break;
        case 3: unit->silence(true); break;
        case 4: unit->silence(false); break;
        case 5: unit->failNext(1); break;
        case 6: unit->interleaveDebugText(round % 16 == 6); break;
        default: unit->timeOutNext(1); break;
        }
        unit->meterSnapshot();
        unit->receivedMessages();
        std::this_thread::yield();
    }
    Bus::instance().unplug(unit);
    worker.join();

    QVERIFY(gone);
    QVERIFY(ok > 0);
    QCOMPARE(broken.load(), 0);
    QVERIFY(unit->transferCount() >= ok + faulted);
}

void SimulatedBus::plugAndWatchFromTwoThreads()
{
    // One thread plugs and unplugs while another watches and unwatches: a
    // watcher never hears a removal of a unit it has not heard arrive.
    std::atomic<bool> stop{false};
    std::thread plugger([&] {
        for (int i = 0; i < 200; ++i)
            Bus::instance().unplug(plugSimUnit(Model::Strata10));
        stop = true;
    });
    int watches = 0;
    bool orphanRemoval = false;
    while (!stop || watches == 0) {
        Recorder rec;
        const int token = Bus::instance().watch(rec.watcher());
        std::this_thread::yield();
        Bus::instance().unwatch(token);
        for (int i = 0; i < rec.events.size(); ++i)
            orphanRemoval |= rec.events[i] < 0 && !rec.events.mid(0, i).contains(-rec.events[i]);
        ++watches;
    }
    plugger.join();
    QVERIFY(!orphanRemoval);
    QVERIFY(Bus::instance().devices().empty());
}

QTEST_APPLESS_MAIN(SimulatedBus)
#include "tst_simbus.moc"

// The simulated bus: watching, transfers by location, re-entrant watchers, and
// transfers on one thread while another injects faults and unplugs.
#include <QtTest>

#include <atomic>
#include <thread>

#include "sim/faultdriver.h"
#include "wirekit.h"

using namespace wirekit;
using sim::Bus;
using sim::Model;
using sim::Xfer;

class SimulatedBus : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Bus::instance().unplugAll(); }

    void watcherHearsPresentThenChanges()
    {
        auto a = std::make_shared<sim::SimUnit>(Model::Strata96);
        auto b = std::make_shared<sim::SimUnit>(Model::Strata10);
        const qint64 la = Bus::instance().plug(a), lb = Bus::instance().plug(b);
        QVector<qint64> events; // +location for an arrival, -location for a removal
        const int token = Bus::instance().watch(
            {[&](const std::shared_ptr<sim::Device> &, uint32_t loc) { events << loc; },
             [&](uint32_t loc) { events << -qint64(loc); }});
        const qint64 lc = Bus::instance().plug(std::make_shared<sim::SimUnit>(Model::Strata20));
        Bus::instance().unplug(a);
        Bus::instance().unplug(a);                     // no longer there: nothing happens
        QCOMPARE(qint64(Bus::instance().plug(b)), lb); // already there: nothing happens
        // Plugged in again, a unit is a new arrival at a new location.
        const qint64 la2 = Bus::instance().plug(a);
        QVERIFY(la2 != la && la2 != lb && la2 != lc);
        Bus::instance().unplugAll();
        QCOMPARE(events, QVector<qint64>({la, lb, lc, -la, la2, -lb, -lc, -la2}));
        Bus::instance().unwatch(token);
        Bus::instance().plug(a);
        QCOMPARE(events.size(), 8);
    }

    void transfersByLocationUntilUnplugged()
    {
        // More than ten: the bus has no small fixed table.
        QVector<std::shared_ptr<sim::SimUnit>> units;
        QVector<uint32_t> locations;
        for (int i = 0; i < 12; ++i) {
            units << std::make_shared<sim::SimUnit>(Model::Strata96);
            locations << Bus::instance().plug(units.last());
        }
        for (uint32_t location : locations)
            QCOMPARE(Link(location).send(none(Hz)), Xfer::Ok);
        for (const auto &unit : units)
            QCOMPARE(unit->pendingReplies(), 1); // one request each: none misrouted

        Bus::instance().unplug(units[3]);
        Xfer r = Xfer::Ok;
        QCOMPARE(Link(locations[3]).send(none(Hz)), Xfer::NoDevice);
        Link(locations[3]).read(&r);
        QCOMPARE(r, Xfer::NoDevice);
        QCOMPARE(units[3]->transferCount(), 1);
        QCOMPARE(Link(uint32_t(0)).send(none(Hz)), Xfer::NoDevice);
        QCOMPARE(cmdsOf(Link(locations[11]).read().items), QByteArray("18a1"));
    }

    // An unplug fault takes the unit off the bus and brings it back at a new
    // location when its spell ends, with nothing of the old answers queued.
    void faultDriverUnplugsAndReplugs()
    {
        uint64_t nowUs = 0;
        auto unit = std::make_shared<sim::SimUnit>(Model::Strata96);
        unit->setClock([&nowUs] { return nowUs; });
        const uint32_t first = Bus::instance().plug(unit);
        std::vector<sim::FaultRule> rules;
        QVERIFY(sim::parseFaultList("unplug:2s@after=1", &rules, nullptr));
        unit->setFaultPlan(rules);
        sim::FaultDriver driver(unit);
        QCOMPARE(Link(first).send(none(Hz)), Xfer::Ok);
        QCOMPARE(Link(first).send(none(Hz)), Xfer::NoDevice);
        QCOMPARE(int(driver.step()), int(sim::SimUnit::BusAction::Unplug));
        QVERIFY(Bus::instance().devices().empty());
        nowUs = 1999999;
        QCOMPARE(int(driver.step()), int(sim::SimUnit::BusAction::None));
        nowUs = 2000000;
        QCOMPARE(int(driver.step()), int(sim::SimUnit::BusAction::Replug));
        QCOMPARE(int(Bus::instance().devices().size()), 1);
        const uint32_t second = Bus::instance().plug(unit); // already there: its location
        QVERIFY(second != 0 && second != first);
        QCOMPARE(unit->pendingReplies(), 0);
        QCOMPARE(cmdsOf(Link(second).read().items), QByteArray("a1"));
    }

    void watcherMayReenterBus()
    {
        // As a registry does that probes an arriving unit and rejects it.
        int departures = 0;
        Xfer probe = Xfer::Error;
        const int token = Bus::instance().watch({[&](const std::shared_ptr<sim::Device> &device, uint32_t loc) {
                                                     probe = Link(loc).send(none(Hz));
                                                     Bus::instance().unplug(device);
                                                 },
                                                 [&](uint32_t) { ++departures; }});
        plugSimUnit(Model::Strata96);
        Bus::instance().unwatch(token);
        QCOMPARE(probe, Xfer::Ok);
        QCOMPARE(departures, 1);
        QVERIFY(Bus::instance().devices().empty());
    }

    void transfersWhileFaultsAndUnplug()
    {
        auto unit = std::make_shared<sim::SimUnit>(Model::Strata96);
        const Link link(Bus::instance().plug(unit));
        std::atomic<int> ok{0}, faulted{0}, broken{0};
        std::atomic<bool> gone{false};
        std::thread worker([&] {
            // The device worker's pattern: a request, then replies.
            while (!gone) {
                gone = link.send(none(GetMeter) + none(GetInfo)) == Xfer::NoDevice;
                for (int i = 0; i < 20 && !gone; ++i) {
                    Xfer r = Xfer::Ok;
                    const Reply reply = link.read(&r);
                    gone = r == Xfer::NoDevice;
                    faulted += r == Xfer::Stall || r == Xfer::Timeout || r == Xfer::Error;
                    ok += r == Xfer::Ok;
                    broken += r == Xfer::Ok && !reply.clean(); // all zero while silent reads clean
                }
            }
        });

        // Keep injecting until the worker has really run alongside: on a
        // loaded machine the 200 rounds alone may finish before it starts.
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
        QVERIFY(gone && ok > 0);
        QCOMPARE(broken.load(), 0);
        QVERIFY(unit->transferCount() >= ok + faulted);
    }
};

QTEST_APPLESS_MAIN(SimulatedBus)
#include "tst_simbus.moc"

// The device service for a while against a Strata 96 with random faults from
// the fault switch and a pull-out every few seconds, driven as the window
// drives it: no request may stay with the worker beyond its time-out, the
// engine keeps coming back to idle and to the unit, memory stays flat. Also
// runs in the ThreadSanitizer build.
#include <QtTest>

#include "service/datamanager.h"
#include "sim/faultdriver.h"
#include "sim/faultlist.h"
#include "sim/simbus.h"
#include "soakwatch.h"

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
static constexpr bool kSanitized = true;
#else
static constexpr bool kSanitized = false;
#endif

class EngineSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }

    void servesThroughRandomFaults()
    {
        const int seconds = SoakWatch::seconds(10);
        const int unplugs = seconds / 4;
        auto unit = sim::plugSimUnit(sim::Model::Strata96);
        std::vector<sim::FaultRule> rules;
        std::string error;
        QVERIFY2(sim::parseFaultList("random:0.02,unplug:1s@every=4s", &rules, &error), error.c_str());
        unit->setFaultPlan(rules);
        sim::FaultDriver driver(unit);
        driver.start();

        DataManager engine;
        SoakWatch watch(&engine, qMax(3000, seconds * 250));
        int readings = 0, versions = 0, returns = 0;
        bool present = false;
        connect(&engine, &QZUDevice::sig_recv_version, this, [&versions] { ++versions; });
        // The window's 100 ms and 1000 ms ticks, and a user's setting now and then.
        QTimer fast, slow;
        levelMeter snapshot[QZUDevice::kMeterCount] = {};
        connect(&fast, &QTimer::timeout, this, [&] {
            const bool now = engine.queryExistDevice();
            returns += now && !present;
            present = now;
            // As the meter page does: a reading not renewed drops the unit,
            // and the next presence query looks for it afresh.
            if (now && engine.getMeterdata(snapshot))
                ++readings;
            else if (now)
                engine.deselect();
        });
        int tick = 0;
        connect(&slow, &QTimer::timeout, this, [&] {
            if (!engine.queryExistDevice())
                return;
            engine.getFirmVersion();
            engine.getSampleRate();
            engine.getSerialNumber();
            engine.getRecFunction();
            engine.setInputVolume(uint8_t(++tick * 37));
            engine.setAudioInput(uint8_t(1 + tick % 4), tick & 1);
        });
        fast.start(100);
        slow.start(1000);
        QTest::qWait(seconds * 1000);
        fast.stop();
        slow.stop();
        // Faults over, the engine settles.
        unit->setFaultPlan({});
        QTRY_VERIFY_WITH_TIMEOUT(engine.exchanges_idle(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(engine.queryExistDevice(), 5000);

        const qint64 growth = watch.rssPeak() - watch.rssBaseline();
        qInfo("soak %d s: %d meter readings, %d versions, %d returns to the unit, %d returns to idle, "
              "longest exchange %lld ms, resident %lld KiB after warm-up, growth %lld KiB",
              seconds, readings, versions, returns, watch.idleReturns(), watch.longestBusyMs(),
              watch.rssBaseline() / 1024, growth / 1024);
        QVERIFY2(watch.longestBusyMs() < 12000, "an exchange stayed with the worker past every time-out");
        QVERIFY(watch.idleReturns() > seconds);
        QVERIFY(returns >= unplugs);
        QVERIFY(readings > seconds);
        QVERIFY(versions > 0);
        if (!kSanitized)
            QVERIFY2(growth <= 2 * 1024 * 1024, "resident memory grew after warm-up");
        sim::Bus::instance().unplugAll();
    }
};

QTEST_GUILESS_MAIN(EngineSoak)
#include "tst_enginesoak.moc"

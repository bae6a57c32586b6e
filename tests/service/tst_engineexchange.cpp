// The request engine with its real worker thread against the simulated unit:
// the typical start, the sweeps, setting slots as the unit sees them, the
// meter channel, and a unit pulled out while an exchange is under way.
#include <QtTest>

#include "engineprobe.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "virtual_clock.h"

using namespace items;

class EngineExchange : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init()
    {
        unit_ = sim::plugSimUnit(sim::Model::Strata96);
        engine_.reset(new EngineProbe);
        log_.reset(new SignalLog(engine_.get()));
    }
    void cleanup()
    {
        log_.reset();
        engine_.reset();
        sim::Bus::instance().unplugAll();
        QCoreApplication::processEvents();
    }

private:
    void becomeReady() // and forget what that took
    {
        engine_->request_version();
        QTRY_VERIFY(engine_->unit_ready && engine_->idle());
        log_->lines.clear();
        unit_->clearReceived();
    }
    QStringList received() const // the request messages the unit took, in hex
    {
        QStringList out;
        for (const auto &message : unit_->receivedMessages())
            out << QByteArray(reinterpret_cast<const char *>(message.data()), int(message.size())).toHex();
        return out;
    }

    VirtualClock clock_;
    std::shared_ptr<sim::SimUnit> unit_;
    std::unique_ptr<EngineProbe> engine_;
    std::unique_ptr<SignalLog> log_;

private slots:
    void typicalStartReadsStatusThenInfo()
    {
        // Not ready yet: a status read, whose ready item sends GET_INFO; the next reply brings the identity.
        engine_->request_version();
        QCOMPARE(engine_->recv_state, 2u);
        QTRY_COMPARE(log_->lines, (QStringList{"version 102", "build 23", "name \"Strata 96\"", "date \"Nov 12 2025\"",
                                               "time \"10:21:07\"", "sig \"KS96\""}));
        QTRY_VERIFY(engine_->idle() && engine_->unit_ready);
        QCOMPARE(received(), QStringList{(none(ZUMSG_CMD_GET_INFO) + end()).toHex()});
    }

    void sweepsTakeFourMessagesAndOne()
    {
        engine_->setLoopbackOut(1);
        QVERIFY(engine_->setAudioInput(2, false));
        becomeReady();
        engine_->getDirectMonitor();
        QTRY_COMPARE(log_->lines, (QStringList{"stereo 5 1 1", "stereo 5 3 1", "stereo 3 1 4", "stereo 4 1 1"}));
        QCOMPARE(received().size(), 4);

        log_->lines.clear();
        engine_->getAudioInput();
        QTRY_COMPARE(log_->lines, (QStringList{"mute 4 1 0", "mute 4 2 1", "mute 4 3 0", "mute 4 4 0"}));
        QCOMPARE(received().size(), 5);
    }

    // Only the latest value of a slot reaches the unit; a message that meets an
    // I/O error is not retried, and the failure blanks the identity.
    void settingsAsTheUnitSeesThem()
    {
        becomeReady();
        engine_->request_version();
        for (uint8_t value : {10, 20, 30})
            QVERIFY(engine_->setInputVolume(value));
        QTRY_VERIFY(unit_->fader(5, 1) == 30 && engine_->idle());
        QStringList faders;
        for (const QString &message : received())
            for (uint8_t value : {10, 20, 30})
                if (message.contains(u8(ZUMSG_CMD_SET_FADER, value).toHex()))
                    faders << QString::number(value);
        QCOMPARE(faders, QStringList{"30"});

        unit_->failNext(1);
        QVERIFY(engine_->setInputVolume(77));
        QTRY_VERIFY(engine_->idle());
        QCOMPARE(log_->lines.count("version 0"), 1);
        QCOMPARE(unit_->fader(5, 1), uint8_t(30));
    }

    void meterReadingsAreDoubleBuffered()
    {
        // Records 0-21, 22-45, 46-67, 68-89, 90-95 and 96, in the unit's order.
        std::vector<sim::MeterPoint> points;
        const uint8_t groups[][2] = {{4, 22}, {7, 24}, {3, 22}, {6, 22}, {2, 6}, {8, 1}};
        for (const auto &group : groups)
            for (uint8_t ch = 1; ch <= group[1]; ++ch)
                points.push_back({group[0], ch, uint16_t(10 * points.size() + 1)});
        points[5].level = 40000;
        points[6].level = 32768;
        unit_->setFixedMeters(points);
        levelMeter snapshot[QZUDevice::kMeterCount] = {};

        // The first poll has nothing yet and starts a read; the next gets it.
        QVERIFY(!engine_->getMeterdata(snapshot));
        QTRY_COMPARE(engine_->meter_state, 0u);
        QVERIFY(engine_->getMeterdata(snapshot));
        QCOMPARE(engine_->meter_num, 97);
        for (int i = 0; i < QZUDevice::kMeterCount; ++i)
            QCOMPARE(snapshot[i].value, i == 5 ? uint16_t(0) : points[size_t(i)].level);
        // Once used, a reading is cleared: one not renewed in time is a failure.
        QTRY_COMPARE(engine_->meter_state, 0u);
        engine_->initializeParameterForDevice();
        QVERIFY(!engine_->getMeterdata(snapshot));
    }

    void unplugDuringExchange_data()
    {
        QTest::addColumn<int>("exchange");
        QTest::addColumn<int>("failures"); // each blanks the identity
        QTest::newRow("request message") << 0 << 2; // the send fails, and the reply read after it
        QTest::newRow("reply read") << 1 << 1;
        QTest::newRow("meter read") << 2 << 0;
    }

    void unplugDuringExchange()
    {
        QFETCH(int, exchange); QFETCH(int, failures);
        becomeReady();
        levelMeter snapshot[QZUDevice::kMeterCount] = {};
        // The worker is held in a slot while the exchange is queued behind it and the unit leaves.
        QSemaphore entered, open;
        QMetaObject::invokeMethod(engine_->worker(), [&] { entered.release(); open.acquire(); });
        entered.acquire();
        if (exchange == 0)
            engine_->getSampleRate();
        else if (exchange == 1)
            engine_->zu_recv();
        else
            engine_->getMeterdata(snapshot);
        sim::Bus::instance().unplug(unit_);
        QCoreApplication::processEvents(); // the registry takes in the removal
        open.release();
        QTRY_VERIFY(engine_->idle() && engine_->meter_state == 0);
        QTRY_COMPARE(log_->lines.count("version 0"), failures);
        const QStringList blank{"version 0", "build 0", "name \"\"", "date \"\"", "time \"\""};
        QCOMPARE(log_->lines.mid(0, 5), failures ? blank : QStringList());
        if (exchange == 2)
            QVERIFY(!engine_->getMeterdata(snapshot));
        QVERIFY(!engine_->req_hz); // a query that was in the message is gone with it

        // The window drops the unit; presence queries report none until it is back.
        QVERIFY(!engine_->deselect());
        QTRY_VERIFY((engine_->queryExistDevice(), !engine_->is_selected_ret));
        unit_ = sim::plugSimUnit(sim::Model::Strata96);
        QTRY_VERIFY(engine_->queryExistDevice());
        log_->lines.clear();
        engine_->getSampleRate();
        QTRY_VERIFY(log_->lines.contains("hz 48000"));
    }
};

QTEST_GUILESS_MAIN(EngineExchange)
#include "tst_engineexchange.moc"

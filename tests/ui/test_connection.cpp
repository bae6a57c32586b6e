// The window following the simulated unit as it comes, goes and comes back,
// and the meters it shows of a Strata 96. The window's own timers run while a
// test waits; the slots are called by hand where a tick must come on time.
#include <QtTest>

#include <QPushButton>

#include <cmath>
#include <memory>

#include "panelwindow.h"
#include "service/datamanager.h"
#include "sim/simbus.h"
#include "sim/simunit.h"

using namespace panelwindow;

static constexpr int kTimeoutMs = 5000;
static const char *const kModelWidgets[] = {
    "pushButton_Meter", "label_textSerialNumber", "label_SerialNumber",
    "label_Strata96_info", "label_Strata10_info", "label_Strata14_info", "label_Strata20_info",
    "label_Strata96photo", "label_Strata10photo", "label_Strata14photo", "label_Strata20photo"};

static const QStringList k96Widgets{"pushButton_Meter", "label_textSerialNumber", "label_SerialNumber",
                                    "label_Strata96_info", "label_Strata96photo"};

// Every meter of the unit, in reply order, stands 0.5 dB below the one
// before, so a readout names the snapshot record it came from.
static QString readoutOf(int record)
{
    return QString::number(-1.0 - 0.5 * record, 'f', 1);
}

static bool servicePresence(bool present)
{
    return QTest::qWaitFor([present] { return dm.queryExistDevice() == present; }, kTimeoutMs);
}

class ConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void init()
    {
        // A scan that runs before the registry has heard of a removal selects
        // the unit again, so drop it until the service reports none.
        sim::Bus::instance().unplugAll();
        QVERIFY(QTest::qWaitFor([] { dm.deselect(); return !dm.queryExistDevice(); }, kTimeoutMs));
        DataManager::setMeterSource(0);
        DataManager::setPeakHold(1);
        m_window = std::make_unique<MainWindow>();
    }
    void cleanup()
    {
        m_window.reset();
        sim::Bus::instance().unplugAll();
    }

    // A model without meters is noticed gone only by the failed information
    // request of the one-second tick; then the same model or another comes.
    void modelWidgetsFollowTheModel_data()
    {
        QTest::addColumn<bool>("afterStrata20");
        QTest::addColumn<int>("model");   // -1: none plugged
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("widgets");
        const QStringList s20{"label_Strata20_info", "label_Strata20photo"};
        QTest::newRow("no unit") << false << -1 << int(Dead) << QStringList();
        QTest::newRow("Strata 96") << false << int(sim::Model::Strata96) << int(Info) << k96Widgets;
        QTest::newRow("Strata 10") << false << int(sim::Model::Strata10) << int(Info)
                                   << QStringList{"label_Strata10_info", "label_Strata10photo"};
        QTest::newRow("Strata 14") << false << int(sim::Model::Strata14) << int(Info)
                                   << QStringList{"label_Strata14_info", "label_Strata14photo"};
        QTest::newRow("Strata 20") << false << int(sim::Model::Strata20) << int(Info) << s20;
        QTest::newRow("same model after unplug") << true << int(sim::Model::Strata20) << int(Info) << s20;
        QTest::newRow("another model after unplug") << true << int(sim::Model::Strata96) << int(Info) << k96Widgets;
    }
    void modelWidgetsFollowTheModel()
    {
        QFETCH(bool, afterStrata20);
        QFETCH(int, model);
        if (afterStrata20) {
            QVERIFY(plugAndIdentify(sim::Model::Strata20));
            sim::Bus::instance().unplugAll();
            m_window->timerInterrupt_1000ms();
            QTRY_COMPARE_WITH_TIMEOUT(text(*m_window, "label_Device"), QStringLiteral("No Device"), kTimeoutMs);
            QVERIFY(servicePresence(false));
            m_window->timerInterrupt_100ms();
            QCOMPARE(page(*m_window), int(Dead));
        }
        if (model < 0) {
            QCOMPARE(page(*m_window), int(Dead));
            QCOMPARE(text(*m_window, "label_DeadBg"), QStringLiteral("Device is not connected"));
            for (const char *name : kModelWidgets)   // as if a model had been shown before
                widget(*m_window, name)->show();
            m_window->timerInterrupt_100ms();
            m_window->timerInterrupt_1000ms();
        } else {
            QVERIFY(plugAndIdentify(sim::Model(model)));
        }
        QTEST(page(*m_window), "page");
        QTEST(shownModelWidgets(), "widgets");
    }

    void unplugWhileMetersShownThenReplug()
    {
        QVERIFY(plugAndIdentify(sim::Model::Strata96));
        widget<QPushButton>(*m_window, "pushButton_Meter")->click();
        QCOMPARE(page(*m_window), int(Meter));
        // The failed meter reading drops the unit; the next ticks notice.
        sim::Bus::instance().unplugAll();
        QTRY_COMPARE_WITH_TIMEOUT(page(*m_window), int(Dead), kTimeoutMs);
        sim::plugSimUnit(sim::Model::Strata96);
        QTRY_COMPARE_WITH_TIMEOUT(page(*m_window), int(Info), kTimeoutMs);
    }

    // Failing exchanges blank the unit's name while the unit stays present:
    // the bars must not freeze at the last levels meanwhile, and must come
    // back soon after the unit answers again.
    void metersFallDuringAnOutageAndComeBack()
    {
        QVERIFY(plugAndIdentify(sim::Model::Strata96));
        auto unit = std::dynamic_pointer_cast<sim::SimUnit>(sim::Bus::instance().devices().front());
        QTRY_VERIFY_WITH_TIMEOUT(barHeight() > 0, kTimeoutMs);
        unit->stallNext(1 << 30);
        QTRY_COMPARE_WITH_TIMEOUT(text(*m_window, "label_Device"), QStringLiteral("No Device"), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(barHeight(), 0, kTimeoutMs);
        unit->stallNext(0);
        QTRY_VERIFY_WITH_TIMEOUT(barHeight() > 0, kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(text(*m_window, "label_Device"), QStringLiteral("Strata 96"), kTimeoutMs);
    }

    // Main L/R show the master out whatever the source.
    void meterStripsFollowTheSource_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("channel1Record");
        QTest::newRow("MTR SOURCE") << 0 << 68;
        QTest::newRow("MIC / LINE") << 1 << 0;
        QTest::newRow("USB RETURN") << 2 << 46;
        QTest::newRow("MTR RETURN") << 3 << 22;
        QTest::newRow("unknown source") << 6 << 0;
    }
    void meterStripsFollowTheSource()
    {
        QFETCH(int, source);
        QFETCH(int, channel1Record);
        DataManager::setMeterSource(static_cast<uint8_t>(source));
        QVERIFY(plugAndIdentify(sim::Model::Strata96));
        QTRY_COMPARE_WITH_TIMEOUT(readout("pushButton_peakText1"), readoutOf(channel1Record), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(readout("pushButton_peakText22"), readoutOf(channel1Record + 21), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(readout("pushButton_peakTextL"), readoutOf(94), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(readout("pushButton_peakTextR"), readoutOf(95), kTimeoutMs);
    }

private:
    // Plugs a unit with distinct meters and ticks until the window shows its
    // name and widgets.
    bool plugAndIdentify(sim::Model model)
    {
        std::vector<sim::MeterPoint> points;
        static const int kGroups[][2] = {{4, 22}, {7, 24}, {3, 22}, {6, 22}, {2, 6}, {8, 1}};   // kind, channels
        for (const auto &group : kGroups) {
            for (int ch = 1; ch <= group[1]; ++ch) {
                const double db = -1.0 - 0.5 * double(points.size());
                const auto level = static_cast<uint16_t>(std::lround(32767 * std::pow(10, db / 20)));
                points.push_back({uint8_t(group[0]), uint8_t(ch), level});
            }
        }
        sim::plugSimUnit(model)->setFixedMeters(points);
        if (!servicePresence(true))
            return false;
        m_window->timerInterrupt_100ms();
        m_window->timerInterrupt_1000ms();
        const QString name = QString::fromLatin1(sim::modelName(model));
        if (!QTest::qWaitFor([&] { return text(*m_window, "label_Device") == name; }, kTimeoutMs))
            return false;
        if (!servicePresence(true))
            return false;
        m_window->timerInterrupt_1000ms();
        return true;
    }
    QString readout(const char *name) const { return widget<QPushButton>(*m_window, name)->text(); }
    int barHeight() const { return widget(*m_window, "label_meter1")->height(); }
    QStringList shownModelWidgets() const
    {
        QStringList names;
        for (const char *name : kModelWidgets) {
            if (shown(*m_window, name))
                names.append(QLatin1String(name));
        }
        return names;
    }

    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(ConnectionTest)
#include "test_connection.moc"

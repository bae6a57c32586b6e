// The meter half of the window's 100 ms tick against the simulated Strata 96:
// which of the unit's meters each strip shows, and a reading that is not
// renewed within one tick deselecting the unit.
#include <QtTest>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

#include <cmath>
#include <memory>

#include "service/datamanager.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "ui/mainwindow.h"

namespace {

constexpr int kServiceTimeoutMs = 5000;

// The unit's meters in reply order; each gets a level of its own so that a
// readout names the meter it came from.
struct MeterGroup {
    uint8_t kind;
    uint8_t channels;
};
constexpr MeterGroup kReplyOrder[] = {{4, 22}, {7, 24}, {3, 22}, {6, 22}, {2, 6}, {8, 1}};

uint16_t levelOf(int position)
{
    return static_cast<uint16_t>(std::lround(32767.0 * std::pow(10.0, -(1.0 + 0.5 * position) / 20.0)));
}

QString readoutOf(int position)
{
    return QString::number(static_cast<float>(20.0 * std::log10(levelOf(position) / 32767.0)), 'f', 1);
}

std::vector<sim::MeterPoint> distinctMeters()
{
    std::vector<sim::MeterPoint> points;
    for (const MeterGroup &g : kReplyOrder) {
        for (uint8_t ch = 1; ch <= g.channels; ++ch)
            points.push_back({g.kind, ch, levelOf(static_cast<int>(points.size()))});
    }
    return points;
}

} // namespace

class MeterRefreshTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void init()
    {
        sim::Bus::instance().unplugAll();
        QVERIFY(QTest::qWaitFor([] { dm.deselect(); return !dm.queryExistDevice(); }, kServiceTimeoutMs));
        DataManager::setMeterSource(0);
        DataManager::setPeakHold(1);
        m_window = std::make_unique<MainWindow>();
        m_unit = sim::plugSimUnit(sim::Model::Strata96);
        m_unit->setFixedMeters(distinctMeters());
        QVERIFY(QTest::qWaitFor([] { return dm.queryExistDevice(); }, kServiceTimeoutMs));
        m_window->timerInterrupt_1000ms();
        auto *device = m_window->findChild<QLabel *>(QStringLiteral("label_Device"));
        QTRY_COMPARE_WITH_TIMEOUT(device->text(), QStringLiteral("Strata 96"), kServiceTimeoutMs);
    }
    void cleanup()
    {
        m_window.reset();
        sim::Bus::instance().unplugAll();
        m_unit.reset();
    }

    void stripsShowTheSourceMainsShowMasterOut_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("channel5Record");
        QTest::newRow("MTR SOURCE") << 0 << 72;
        QTest::newRow("MIC / LINE") << 1 << 4;
        QTest::newRow("USB RETURN") << 2 << 50;
        QTest::newRow("MTR RETURN") << 3 << 26;
        QTest::newRow("unknown source") << 6 << 4;
    }
    void stripsShowTheSourceMainsShowMasterOut()
    {
        QFETCH(int, source);
        QFETCH(int, channel5Record);
        DataManager::setMeterSource(static_cast<uint8_t>(source));
        QVERIFY(refreshUntil("pushButton_peakText5", readoutOf(channel5Record)));
        QCOMPARE(readout("pushButton_peakText22"), readoutOf(channel5Record + 17));
        QCOMPARE(readout("pushButton_peakTextL"), readoutOf(94));
        QCOMPARE(readout("pushButton_peakTextR"), readoutOf(95));
    }

    void readingNotRenewedWithinOneTickDeselects()
    {
        QVERIFY(refreshUntil("pushButton_peakTextL", readoutOf(94)));
        auto *bar = m_window->findChild<QLabel *>(QStringLiteral("label_meter_mainL"));
        QSignalSpy deselected(&dm, &QZUDevice::sig_deselect);
        // A tick that took a fresh reading, and at once another one, which
        // finds none.
        QElapsedTimer sinceTick;
        sinceTick.start();
        QVERIFY(QTest::qWaitFor([&] {
            if (sinceTick.elapsed() < 100 || !dm.queryExistDevice())
                return false;
            const int failures = deselected.count();
            m_window->timerInterrupt_100ms();
            sinceTick.restart();
            return deselected.count() == failures;
        }, kServiceTimeoutMs));
        const int failures = deselected.count();
        const int standing = bar->height();
        m_window->timerInterrupt_100ms();
        QCOMPARE(deselected.count(), failures + 1);
        QCOMPARE(bar->height(), standing - 21);
    }

private:
    QString readout(const char *name) const
    {
        return m_window->findChild<QPushButton *>(QLatin1String(name))->text();
    }

    // Drives the meter half of the tick at its own period until a readout
    // shows the wanted text; a tick that finds no new reading deselects the
    // unit, so wait for it to come back before the next one.
    bool refreshUntil(const char *name, const QString &text)
    {
        QElapsedTimer sinceTick;
        sinceTick.start();
        return QTest::qWaitFor([&] {
            if (readout(name) == text)
                return true;
            if (sinceTick.elapsed() >= 100 && dm.queryExistDevice()) {
                m_window->timerInterrupt_100ms();
                sinceTick.restart();
            }
            return readout(name) == text;
        }, kServiceTimeoutMs);
    }

    std::unique_ptr<MainWindow> m_window;
    std::shared_ptr<sim::SimUnit> m_unit;
};

QTEST_MAIN(MeterRefreshTest)
#include "test_meterrefresh.moc"

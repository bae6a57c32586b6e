// The window following the simulated unit as it is plugged in, pulled out
// and replaced by another model. The window's own timers run whenever the
// test waits for the device service; the slots are also called by hand where
// a test needs a tick at a known moment.
#include <QtTest>

#include <memory>

#include "panelwindow.h"
#include "service/datamanager.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "ui/mainwindow.h"

using namespace panelwindow;

Q_DECLARE_METATYPE(sim::Model)

namespace {

constexpr int kServiceTimeoutMs = 5000;

// The eleven widgets that depend on the model, and which of them each model
// shows.
const char *const kModelWidgets[] = {
    "pushButton_Meter", "label_textSerialNumber", "label_SerialNumber",
    "label_Strata96_info", "label_Strata10_info", "label_Strata14_info", "label_Strata20_info",
    "label_Strata96photo", "label_Strata10photo", "label_Strata14photo", "label_Strata20photo"};

bool servicePresence(bool present)
{
    return QTest::qWaitFor([present] { return dm.queryExistDevice() == present; }, kServiceTimeoutMs);
}

// A unit that goes stays selected in the service until its owner drops it,
// and a scan that runs before the registry has heard of the removal selects
// it again; so drop it until the service reports no unit.
bool forgetUnits()
{
    sim::Bus::instance().unplugAll();
    return QTest::qWaitFor([] {
        dm.deselect();
        return !dm.queryExistDevice();
    }, kServiceTimeoutMs);
}

} // namespace

class ConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsOnNotConnectedPage();
    void withoutUnitEverySecondHidesModelWidgets();
    void pluggedUnitShowsInformationPage();
    void modelWidgetsFollowTheModel_data();
    void modelWidgetsFollowTheModel();
    void unplugWhileMetersShownThenReplug();
    void unitLossShowsOnFirstTickAfterServiceNotices();
    void anotherModelReplacesNameLogoAndPhoto();
    void sameNameIsAppliedAgainAfterASecondTick();

private:
    bool plugAndIdentify(sim::Model model);
    QStringList shownModelWidgets() const;

    std::unique_ptr<MainWindow> m_window;
};

void ConnectionTest::initTestCase()
{
    initPanelResources();
}

void ConnectionTest::init()
{
    QVERIFY(forgetUnits());
    m_window = std::make_unique<MainWindow>();
}

void ConnectionTest::cleanup()
{
    m_window.reset();
    sim::Bus::instance().unplugAll();
}

bool ConnectionTest::plugAndIdentify(sim::Model model)
{
    sim::plugSimUnit(model);
    if (!servicePresence(true))
        return false;
    m_window->timerInterrupt_100ms();
    m_window->timerInterrupt_1000ms();
    const QString name = QString::fromLatin1(sim::modelName(model));
    if (!QTest::qWaitFor([&] { return text(*m_window, "label_Device") == name; }, kServiceTimeoutMs))
        return false;
    if (!servicePresence(true))
        return false;
    m_window->timerInterrupt_1000ms();
    return true;
}

QStringList ConnectionTest::shownModelWidgets() const
{
    QStringList names;
    for (const char *name : kModelWidgets) {
        if (shown(*m_window, name))
            names.append(QLatin1String(name));
    }
    return names;
}

void ConnectionTest::startsOnNotConnectedPage()
{
    QCOMPARE(page(*m_window), int(Dead));
    QCOMPARE(text(*m_window, "label_DeadBg"), QStringLiteral("Device is not connected"));
    QCOMPARE(text(*m_window, "label_Device"), QStringLiteral("a"));
    QCOMPARE(shownModelWidgets(), QStringList());
}

void ConnectionTest::withoutUnitEverySecondHidesModelWidgets()
{
    // As if a model had been shown before the unit went.
    for (const char *name : kModelWidgets)
        widget(*m_window, name)->show();

    for (int tick = 0; tick < 3; ++tick)
        m_window->timerInterrupt_100ms();
    m_window->timerInterrupt_1000ms();

    QCOMPARE(page(*m_window), int(Dead));
    QCOMPARE(shownModelWidgets(), QStringList());
}

void ConnectionTest::pluggedUnitShowsInformationPage()
{
    sim::plugSimUnit(sim::Model::Strata96);
    QVERIFY(servicePresence(true));

    // The first tick that hears of the unit switches the page.
    m_window->timerInterrupt_100ms();

    QCOMPARE(page(*m_window), int(Info));
}

void ConnectionTest::modelWidgetsFollowTheModel_data()
{
    QTest::addColumn<sim::Model>("model");
    QTest::addColumn<QStringList>("shownWidgets");
    QTest::newRow("Strata 96") << sim::Model::Strata96
                               << QStringList{"pushButton_Meter", "label_textSerialNumber", "label_SerialNumber",
                                              "label_Strata96_info", "label_Strata96photo"};
    QTest::newRow("Strata 10") << sim::Model::Strata10
                               << QStringList{"label_Strata10_info", "label_Strata10photo"};
    QTest::newRow("Strata 14") << sim::Model::Strata14
                               << QStringList{"label_Strata14_info", "label_Strata14photo"};
    QTest::newRow("Strata 20") << sim::Model::Strata20
                               << QStringList{"label_Strata20_info", "label_Strata20photo"};
}

void ConnectionTest::modelWidgetsFollowTheModel()
{
    QFETCH(sim::Model, model);
    QFETCH(QStringList, shownWidgets);

    QVERIFY(plugAndIdentify(model));

    QCOMPARE(page(*m_window), int(Info));
    QCOMPARE(shownModelWidgets(), shownWidgets);
}

void ConnectionTest::unplugWhileMetersShownThenReplug()
{
    QVERIFY(plugAndIdentify(sim::Model::Strata96));
    widget<QPushButton>(*m_window, "pushButton_Meter")->click();
    QCOMPARE(page(*m_window), int(Meter));

    // The failed meter reading drops the unit; the next ticks notice.
    sim::Bus::instance().unplugAll();
    QTRY_COMPARE_WITH_TIMEOUT(page(*m_window), int(Dead), kServiceTimeoutMs);

    sim::plugSimUnit(sim::Model::Strata96);
    QTRY_COMPARE_WITH_TIMEOUT(page(*m_window), int(Info), kServiceTimeoutMs);
}

void ConnectionTest::unitLossShowsOnFirstTickAfterServiceNotices()
{
    // A model without meters: only the failed information request of the
    // one-second tick tells that the unit has gone.
    QVERIFY(plugAndIdentify(sim::Model::Strata20));
    QCOMPARE(page(*m_window), int(Info));

    sim::Bus::instance().unplugAll();
    m_window->timerInterrupt_1000ms();
    QTRY_COMPARE_WITH_TIMEOUT(text(*m_window, "label_Device"), QStringLiteral("No Device"), kServiceTimeoutMs);
    QVERIFY(servicePresence(false));

    m_window->timerInterrupt_100ms();
    QCOMPARE(page(*m_window), int(Dead));
}

void ConnectionTest::anotherModelReplacesNameLogoAndPhoto()
{
    QVERIFY(plugAndIdentify(sim::Model::Strata96));

    sim::Bus::instance().unplugAll();
    QTRY_COMPARE_WITH_TIMEOUT(page(*m_window), int(Dead), kServiceTimeoutMs);

    QVERIFY(plugAndIdentify(sim::Model::Strata10));
    QCOMPARE(page(*m_window), int(Info));
    QCOMPARE(text(*m_window, "label_Device"), QStringLiteral("Strata 10"));
    QCOMPARE(shownModelWidgets(), (QStringList{"label_Strata10_info", "label_Strata10photo"}));
}

void ConnectionTest::sameNameIsAppliedAgainAfterASecondTick()
{
    QVERIFY(plugAndIdentify(sim::Model::Strata14));
    QLabel *device = widget<QLabel>(*m_window, "label_Device");
    m_window->slt_RecvDeviceName(QStringLiteral("Strata 14"));
    device->setText(QStringLiteral("marker"));

    m_window->slt_RecvDeviceName(QStringLiteral("Strata 14"));
    QCOMPARE(device->text(), QStringLiteral("marker"));

    QVERIFY(servicePresence(true));
    m_window->timerInterrupt_1000ms();
    m_window->slt_RecvDeviceName(QStringLiteral("Strata 14"));
    QCOMPARE(device->text(), QStringLiteral("Strata 14"));
}

QTEST_MAIN(ConnectionTest)
#include "test_connection.moc"

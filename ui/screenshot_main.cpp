// strata-screenshots: renders every page of the panel on the simulated units
// into PNG files, so the panel can be looked at without a display.
//
//   strata-screenshots [OUTPUT_DIR]     default: <build>/screenshots
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <unistd.h>

#include "service/simulationoption.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "ui/fontfallback.h"
#include "ui/mainwindow.h"

namespace {

constexpr int kPageInfo = 0;
constexpr int kPageMeter = 1;
constexpr int kPageDead = 2;
constexpr int kWaitMs = 10000;

// Lets the window's own timers run until `done` holds.
bool waitUntil(const std::function<bool()> &done, int timeoutMs = kWaitMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void runFor(int ms)
{
    waitUntil([] { return false; }, ms);
}

class Shooter
{
public:
    Shooter(MainWindow &window, const QDir &dir) : m_window(window), m_dir(dir) {}

    bool shoot(const QString &name)
    {
        const QString path = m_dir.filePath(name + QStringLiteral(".png"));
        if (!m_window.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
        std::printf("%s\n", qPrintable(path));
        return true;
    }

    int page() const { return child<QStackedWidget>("stackedWidget")->currentIndex(); }
    QString device() const { return child<QLabel>("label_Device")->text(); }
    bool shown(const char *name) const { return !child<QWidget>(name)->isHidden(); }
    void click(const char *name) { child<QPushButton>(name)->click(); }

private:
    template <class T>
    T *child(const char *name) const
    {
        T *found = m_window.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }

    MainWindow &m_window;
    QDir m_dir;
};

bool fail(const char *what)
{
    std::fprintf(stderr, "strata-screenshots: %s\n", what);
    return false;
}

// The three pages at the window sizes the scaling must hold up at; with
// QT_SCALE_FACTOR=2 the same sizes on a doubly dense screen.
bool shootSizes(MainWindow &window, Shooter &shooter)
{
    // From the window's minimum, menu bar and all: content areas of
    // 1120 x 680, 1600 x 980 and 2400 x 700.
    const QSize least = window.minimumSize();
    const QSize sizes[] = {least, least + QSize(480, 300), least + QSize(1280, 20)};
    bool ok = true;
    for (const QSize &size : sizes) {
        window.resize(size);
        if (!waitUntil([&] { return window.size() == size; }))
            return fail("the window did not take its size");
        const QString tag = QStringLiteral("size-%1x%2-").arg(size.width()).arg(size.height());
        shooter.click("pushButton_Meter");
        runFor(1200);
        ok = shooter.shoot(tag + QStringLiteral("meters")) && ok;
        shooter.click("pushButton_Information");
        runFor(300);
        ok = shooter.shoot(tag + QStringLiteral("information")) && ok;
        sim::Bus::instance().unplugAll();
        if (!waitUntil([&] { return shooter.page() == kPageDead; }))
            return fail("the unit did not go");
        runFor(300);
        ok = shooter.shoot(tag + QStringLiteral("not-connected")) && ok;
        sim::plugSimUnit(sim::Model::Strata96);
        if (!waitUntil([&] { return shooter.page() == kPageInfo && shooter.shown("pushButton_Meter"); }))
            return fail("the Strata 96 did not come back");
        runFor(1200);
    }
    window.close();
    return ok;
}

bool shootAll(MainWindow &window, Shooter &shooter)
{
    sim::Bus &bus = sim::Bus::instance();

    bus.unplugAll();
    if (!waitUntil([&] { return shooter.page() == kPageDead; }))
        return fail("the not-connected page did not appear");
    runFor(300);
    bool ok = shooter.shoot(QStringLiteral("01-not-connected"));

    struct Shot {
        sim::Model model;
        const char *name;
        const char *logo;
        const char *file;
    };
    const Shot shots[] = {
        {sim::Model::Strata96, "Strata 96", "label_Strata96_info", "02-information-strata96"},
        {sim::Model::Strata10, "Strata 10", "label_Strata10_info", "03-information-strata10"},
        {sim::Model::Strata14, "Strata 14", "label_Strata14_info", "04-information-strata14"},
        {sim::Model::Strata20, "Strata 20", "label_Strata20_info", "05-information-strata20"},
    };
    for (const Shot &shot : shots) {
        bus.unplugAll();
        if (!waitUntil([&] { return shooter.page() == kPageDead; }))
            return fail("the unit did not go");
        sim::plugSimUnit(shot.model);
        if (!waitUntil([&] {
                return shooter.page() == kPageInfo && shooter.device() == QLatin1String(shot.name) &&
                       shooter.shown(shot.logo);
            }))
            return fail("the information page did not show the unit");
        // One more round of replies, so the sample rate and serial are in.
        runFor(1200);
        ok = shooter.shoot(QLatin1String(shot.file)) && ok;
    }

    bus.unplugAll();
    if (!waitUntil([&] { return shooter.page() == kPageDead; }))
        return fail("the unit did not go");
    sim::plugSimUnit(sim::Model::Strata96);
    if (!waitUntil([&] { return shooter.device() == QLatin1String("Strata 96") && shooter.shown("pushButton_Meter"); }))
        return fail("the Strata 96 did not come back");
    shooter.click("pushButton_Meter");
    shooter.click("pushButton_MTRSource");
    shooter.click("pushButton_PeakHold3s");
    if (shooter.page() != kPageMeter)
        return fail("the meter page did not open");
    runFor(2500);
    ok = shooter.shoot(QStringLiteral("06-meters-hold-3s")) && ok;

    shooter.click("pushButton_USB");
    shooter.click("pushButton_PeakHoldInf");
    runFor(2500);
    ok = shooter.shoot(QStringLiteral("07-meters-usb-return-hold-infinite")) && ok;

    shooter.click("pushButton_Information");
    return shootSizes(window, shooter) && ok;
}

} // namespace

int main(int argc, char *argv[])
{
    // The simulated bus must be chosen before the device service starts,
    // which is before main: start again with it selected.
    if (!SimulationOption::isSimulated()) {
        setenv("STRATA_SIMULATE", "Strata 96", 1);
        execv("/proc/self/exe", argv);
        std::perror("strata-screenshots: cannot restart on the simulated unit");
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The pictures start from the stored defaults, and the clicks below must
    // not change the user's own meter source and peak-hold mode.
    QTemporaryDir settingsHome;
    if (!settingsHome.isValid()) {
        std::fprintf(stderr, "strata-screenshots: cannot create a settings folder\n");
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", settingsHome.path().toLocal8Bit());

    QApplication application(argc, argv);
    Q_INIT_RESOURCE(resources);
    panel::installFontFallbacks();

    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                 : QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots"));
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "strata-screenshots: cannot create %s\n", qPrintable(dir));
        return 1;
    }

    MainWindow window;
    window.setWindowTitle(window.windowTitle() + QStringLiteral(" (simulated unit)"));
    window.show();
    Shooter shooter(window, QDir(dir));
    return shootAll(window, shooter) ? 0 : 1;
}

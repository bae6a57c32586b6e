#include "panelrun.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef STRATA_BENCH_PANEL

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include "service/datamanager.h"
#include "ui/mainwindow.h"

namespace {

constexpr char kModel[] = "Strata 96";
constexpr int kIdentifyTimeoutMs = 15000;
constexpr int kMeterPage = 1;

// Counts how often the bars were moved, to show that metering ran.
class BarMoves : public QObject
{
public:
    long count = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Resize)
            ++count;
        return false;
    }
};

double cpuSeconds(const rusage &r)
{
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

bool waitForModel(const QLabel *device)
{
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (device->text() == QLatin1String(kModel) || waited.elapsed() > kIdentifyTimeoutMs)
            loop.quit();
    });
    poll.start(50);
    loop.exec();
    return device->text() == QLatin1String(kModel);
}

} // namespace

int runPanel(int argc, char **argv, int seconds)
{
    // The data manager picks its backend before main runs, so the simulated
    // unit has to be in the environment of a fresh start.
    const char *current = std::getenv("STRATA_SIMULATE");
    if (!current || std::strcmp(current, kModel) != 0) {
        setenv("STRATA_SIMULATE", kModel, 1);
        execv("/proc/self/exe", argv);
        std::perror("bench_meter_refresh: cannot restart on the simulated unit");
        return 1;
    }

    // A settings store of its own, on the peak hold the engine starts with,
    // so that the run neither depends on nor changes the user's settings.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    DataManager::setPeakHold(1);
    MainWindow window;
    window.show();

    auto *device = window.findChild<QLabel *>(QStringLiteral("label_Device"));
    auto *meterButton = window.findChild<QPushButton *>(QStringLiteral("pushButton_Meter"));
    auto *pages = window.findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    if (!device || !meterButton || !pages || !waitForModel(device)) {
        std::fprintf(stderr, "bench_meter_refresh: the panel did not identify the simulated %s\n", kModel);
        return 1;
    }
    meterButton->click();
    if (pages->currentIndex() != kMeterPage) {
        std::fprintf(stderr, "bench_meter_refresh: the meter page did not open\n");
        return 1;
    }

    BarMoves moves;
    for (QLabel *bar : window.findChildren<QLabel *>(QRegularExpression(QStringLiteral("^label_meter"))))
        bar->installEventFilter(&moves);

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer wall;
    wall.start();
    // How often the unit was present, sampled between the window's ticks.
    long samples = 0;
    long present = 0;
    QTimer presence;
    QObject::connect(&presence, &QTimer::timeout, [&] {
        ++samples;
        present += dm.queryExistDevice() ? 1 : 0;
    });
    presence.start(100);
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    app.exec();
    const double wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);

    const double cpu = cpuSeconds(after) - cpuSeconds(before);
    std::printf("panel metering the simulated %s, meter page on show, offscreen platform\n", kModel);
    std::printf("  wall time          %8.1f s\n", wallSeconds);
    std::printf("  CPU time           %8.2f s (all threads)\n", cpu);
    std::printf("  CPU share          %8.2f %% of one core\n", 100.0 * cpu / wallSeconds);
    std::printf("  peak memory (RSS)  %8.1f MiB\n", static_cast<double>(after.ru_maxrss) / 1024.0);
    std::printf("  bar resizes        %8ld (%.1f per second)\n", moves.count,
                static_cast<double>(moves.count) / wallSeconds);
    std::printf("  unit present       %8.1f %% of %ld samples\n",
                samples ? 100.0 * static_cast<double>(present) / static_cast<double>(samples) : 0.0, samples);
    return 0;
}

#else

int runPanel(int, char **, int)
{
    std::fprintf(stderr, "bench_meter_refresh: built without the panel; --panel is not available\n");
    return 2;
}

#endif

// CPU time of one full resize of the panel's window: every widget of the
// three pages placed, every font set and the twelve vector pictures rendered
// again. The window is shown on the offscreen platform on the simulated
// Strata 96; the resize events go straight to the window, alternating
// between the sizes, and each figure is over 200 resizes of the main
// thread's CPU time per size (screen pixel ratio as QT_SCALE_FACTOR sets it).
//
//   bench_window_resize
#include <QApplication>
#include <QResizeEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>
#include <vector>

#include "service/simulationoption.h"
#include "ui/mainwindow.h"

namespace {

constexpr int kWarmUp = 20;
constexpr int kMeasured = 200;

double threadCpuMicros()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e6 + double(ts.tv_nsec) / 1e3;
}

} // namespace

int main(int argc, char *argv[])
{
    // The device service starts before main: start again on the simulated
    // unit so that no real unit is touched.
    if (!SimulationOption::isSimulated()) {
        setenv("STRATA_SIMULATE", "Strata 96", 1);
        execv("/proc/self/exe", argv);
        std::perror("bench_window_resize: cannot restart on the simulated unit");
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);

    MainWindow window;
    window.show();
    QCoreApplication::processEvents();

    const QSize sizes[] = {{1120, 680}, {1600, 980}, {2400, 700}};
    std::vector<double> micros[3];
    for (int i = 0; i < kWarmUp + kMeasured * 3; ++i) {
        const QSize size = sizes[i % 3];
        QResizeEvent event(size, window.size());
        const double start = threadCpuMicros();
        QCoreApplication::sendEvent(&window, &event);
        const double spent = threadCpuMicros() - start;
        if (i >= kWarmUp)
            micros[i % 3].push_back(spent);
    }
    std::printf("full resize of the window (3 pages, pixel ratio %.1f), CPU per resize over %d resizes each:\n",
                window.devicePixelRatioF(), kMeasured);
    for (int k = 0; k < 3; ++k) {
        std::vector<double> &m = micros[k];
        std::sort(m.begin(), m.end());
        double sum = 0;
        for (double v : m)
            sum += v;
        std::printf("  %4d x %-4d  median %6.2f ms  mean %6.2f ms  95th percentile %6.2f ms\n", sizes[k].width(),
                    sizes[k].height(), m[m.size() / 2] / 1000.0, sum / double(m.size()) / 1000.0,
                    m[m.size() * 95 / 100] / 1000.0);
    }
    return 0;
}

// CPU time per meter refresh of the 24 strips, against a plain reference of
// 24 labels without style sheets that only follow the same levels. Both run
// in the same process on the offscreen platform, with their windows shown,
// tick by tick on the same programme material; each figure is the median
// over 1000 refreshes of the thread's CPU time.
//
//   bench_meter_refresh                 engine against the reference
//   bench_meter_refresh --panel [SEC [RUNS]] [--offscreen]
//       the whole panel metering the simulated Strata 96 beside
//       bench_plain_labels, as two processes over the same SEC seconds
//       (default 30), RUNS times (default 5): CPU shares, their ratio and
//       peak resident sizes (sidebyside.h says which display and why)
//   bench_meter_refresh --idle [SEC [RUNS]] [--offscreen]
//       the panel alone on the USB backend with no unit plugged in: its
//       CPU share at rest (default 30 s, 5 runs)
#include <QApplication>
#include <QEvent>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "panelrun.h"
#include "programme.h"
#include "sidebyside.h"
#include "stripsetups.h"

namespace {

constexpr int kStrips = DrawLevelMeter::kStripCount;
constexpr int kWarmUpTicks = 50;
constexpr int kMeasuredTicks = 1000;
constexpr double kGoalRatio = 3.0;

// What the engine changed, summed over a run.
class Touches : public QObject
{
public:
    long geometry = 0;
    long style = 0;
    long visibility = 0;
    long texts = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::Move:
        case QEvent::Resize: ++geometry; break;
        case QEvent::StyleChange: ++style; break;
        case QEvent::Show:
        case QEvent::Hide: ++visibility; break;
        default: break;
        }
        return false;
    }
};

double threadCpuMicros()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

struct Samples {
    std::vector<double> refresh;
    std::vector<double> withPaint;
};

// One tick of one setup: the refresh itself, then the repaint it caused.
template <class Refresh>
void measureTick(Refresh refresh, Samples *samples, bool keep)
{
    const double start = threadCpuMicros();
    refresh();
    const double refreshed = threadCpuMicros();
    QApplication::processEvents();
    const double painted = threadCpuMicros();
    if (keep) {
        samples->refresh.push_back(refreshed - start);
        samples->withPaint.push_back(painted - start);
    }
}

int runRefresh(int argc, char **argv)
{
    QApplication app(argc, argv);
    const BenchLooks looks = loadBenchLooks();
    MeterPageStrips page(looks);
    ReferenceBars reference(looks, false);
    ReferenceBars crowdedReference(looks, true);
    QApplication::processEvents();

    const Programme programme(kStrips, kWarmUpTicks + kMeasuredTicks);
    Samples engine;
    Samples plain;
    Samples crowded;
    engine.refresh.reserve(kMeasuredTicks);
    plain.refresh.reserve(kMeasuredTicks);
    for (int t = 0; t < programme.ticks(); ++t) {
        std::array<uint16_t, kStrips> levels{};
        for (int k = 0; k < kStrips; ++k)
            levels[static_cast<size_t>(k)] = programme.level(t, k);
        const bool keep = t >= kWarmUpTicks;
        measureTick([&] { page.refresh(levels); }, &engine, keep);
        measureTick([&] { reference.follow(levels); }, &plain, keep);
        measureTick([&] { crowdedReference.follow(levels); }, &crowded, keep);
    }

    // Once more, untimed, counting what each refresh changed.
    MeterPageStrips countedPage(looks);
    QApplication::processEvents();
    Touches touches;
    countedPage.watch(&touches);
    for (int t = 0; t < programme.ticks(); ++t) {
        std::array<uint16_t, kStrips> levels{};
        for (int k = 0; k < kStrips; ++k)
            levels[static_cast<size_t>(k)] = programme.level(t, k);
        const QStringList before = countedPage.readouts();
        countedPage.refresh(levels);
        const QStringList after = countedPage.readouts();
        for (int k = 0; k < kStrips; ++k)
            touches.texts += before[k] != after[k] ? 1 : 0;
        QApplication::processEvents();
    }

    const double engineRefresh = median(engine.refresh);
    const double enginePaint = median(engine.withPaint);
    const double plainRefresh = median(plain.refresh);
    const double plainPaint = median(plain.withPaint);
    std::printf("meter refresh of %d strips, median thread CPU time over %d refreshes, offscreen platform%s\n",
                kStrips, kMeasuredTicks, looks.resources ? "" : " (without the compiled-in pictures)");
    std::printf("  %-28s %10s %16s\n", "", "refresh", "refresh+paint");
    std::printf("  %-28s %8.1f us %13.1f us\n", "DrawLevelMeter (24 x 4)", engineRefresh, enginePaint);
    std::printf("  %-28s %8.1f us %13.1f us\n", "reference (24 plain QLabels)", plainRefresh, plainPaint);
    std::printf("  %-28s %9.2fx %14.2fx   (goal: within %.0fx)\n", "ratio", engineRefresh / plainRefresh,
                enginePaint / plainPaint, kGoalRatio);
    // The same plain bars among the page's 72 other widgets, which stand
    // still: what the crowd alone costs.
    std::printf("  %-28s %8.1f us %13.1f us\n", "reference among 96 widgets", median(crowded.refresh),
                median(crowded.withPaint));
    const double ticks = programme.ticks();
    std::printf("  changes per refresh: %.1f move/resize events, %.2f marker style sheets, "
                "%.2f readout texts, %.2f over indicators shown or hidden\n",
                touches.geometry / ticks, touches.style / ticks, touches.texts / ticks,
                touches.visibility / ticks);
    return 0;
}

// --panel and --idle: SEC and RUNS after the option, --offscreen anywhere.
SideBySideOptions sideBySideOptions(int argc, char **argv, bool idle)
{
    SideBySideOptions options;
    options.idle = idle;
    std::vector<int> numbers;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--offscreen") == 0)
            options.offscreen = true;
        else
            numbers.push_back(std::atoi(argv[i]));
    }
    if (numbers.size() > 0)
        options.seconds = std::max(1, numbers[0]);
    if (numbers.size() > 1)
        options.runs = std::max(1, numbers[1]);
    return options;
}

} // namespace

int main(int argc, char **argv)
{
    const bool panel = argc > 1 && std::strcmp(argv[1], "--panel") == 0;
    const bool idle = argc > 1 && std::strcmp(argv[1], "--idle") == 0;
    if (panel || idle)
        return runSideBySide(argc, argv, sideBySideOptions(argc, argv, idle));
    // One process of the comparison, started by the above.
    if (argc > 2 && std::strcmp(argv[1], "--panel-process") == 0)
        return runPanelProcess(argc, argv, std::max(1, std::atoi(argv[2])));

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return runRefresh(argc, argv);
}

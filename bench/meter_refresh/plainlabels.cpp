// bench_plain_labels: what metering costs with nothing but plain widgets. A
// window the size of the panel's content area with 24 plain coloured labels
// at the meter strips' places, moved ten times a second to the heights the
// programme material gives them, the way the panel moves its bars. It is
// the other half of `bench_meter_refresh --panel`, which starts it.
//
//   bench_plain_labels SEC
#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "measuredstretch.h"
#include "programme.h"

namespace {

constexpr int kStrips = 24;
constexpr int kStripX[kStrips] = {50, 84, 118, 152, 186, 220, 254, 288, 391, 425, 459, 493,
                                  527, 561, 595, 629, 732, 766, 800, 834, 868, 902, 1006, 1039};
constexpr int kBaselineY = 546;
constexpr int kBarWidth = 18;
constexpr int kFullScaleDots = 340;
// Enough material for a long run; it starts again from the top.
constexpr int kProgrammeTicks = 6000;

int dotsFor(uint16_t value)
{
    if (value == 0)
        return 0;
    const double db = 20.0 * std::log10(value / 32767.0);
    return std::clamp(static_cast<int>(std::lround((db + 52.0) / 52.0 * kFullScaleDots)), 0, kFullScaleDots);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    QWidget window;
    QPalette black;
    black.setColor(QPalette::Window, Qt::black);
    window.setPalette(black);
    window.setAutoFillBackground(true);
    window.resize(1110, 650);
    std::array<QLabel *, kStrips> bars{};
    for (int k = 0; k < kStrips; ++k) {
        auto *bar = new QLabel(&window);
        QPalette colour;
        colour.setColor(QPalette::Window, QColor::fromHsv(k * 15, 255, 255));
        bar->setPalette(colour);
        bar->setAutoFillBackground(true);
        bar->setGeometry(kStripX[k], kBaselineY, kBarWidth, 0);
        bars[static_cast<size_t>(k)] = bar;
    }
    window.show();

    const Programme programme(kStrips, kProgrammeTicks);
    int tick = 0;
    QTimer refresh;
    refresh.setTimerType(Qt::PreciseTimer);
    QObject::connect(&refresh, &QTimer::timeout, [&] {
        for (int k = 0; k < kStrips; ++k) {
            const int dots = dotsFor(programme.level(tick, k));
            bars[static_cast<size_t>(k)]->setGeometry(kStripX[k], kBaselineY - dots, kBarWidth, dots);
        }
        tick = (tick + 1) % programme.ticks();
    });
    refresh.start(100);

    MeasuredStretch stretch(seconds);
    QTimer::singleShot(0, &stretch, [&] { stretch.begin(); });
    return app.exec();
}

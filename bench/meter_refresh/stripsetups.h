// The two things measured, each on a window of its own: the meter page's 24
// strips of four widgets driven by DrawLevelMeter, and 24 plain labels
// without style sheets whose heights follow the same levels.
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>

#include "meter/drawlevelmeter.h"

// The bar picture both setups show, and whether the compiled-in pictures
// the page's style sheets name are there.
struct BenchLooks {
    QPixmap bar;
    bool resources = false;
};
BenchLooks loadBenchLooks();

class MeterPageStrips
{
public:
    explicit MeterPageStrips(const BenchLooks &looks);
    void refresh(const std::array<uint16_t, DrawLevelMeter::kStripCount> &levels);
    QWidget &window() { return m_window; }
    // For counting what a refresh changes: events of all 96 widgets, and
    // the readout texts, which change without an event of their own.
    void watch(QObject *filter);
    QStringList readouts() const;

private:
    QWidget m_window;
    levelMeter m_strips[DrawLevelMeter::kStripCount] = {};
    DrawLevelMeter m_engine;
};

class ReferenceBars
{
public:
    // crowded: the page's other 72 widgets stand beside the bars, with the
    // page's looks, but never change.
    ReferenceBars(const BenchLooks &looks, bool crowded);
    void follow(const std::array<uint16_t, DrawLevelMeter::kStripCount> &levels);
    QWidget &window() { return m_window; }

private:
    QWidget m_window;
    std::array<QLabel *, DrawLevelMeter::kStripCount> m_bars{};
};

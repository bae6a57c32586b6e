// A stand-in for the meter page: 24 strips of the four widgets the engine
// moves, on a window shown on the offscreen platform, and an event counter
// that tells which of those widgets the engine touched.
#pragma once

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <cmath>

#include "meter/drawlevelmeter.h"

// Smallest linear level that stands exactly this many dots high.
inline uint16_t valueForDots(int dots)
{
    for (uint32_t v = 0; v <= 32767; ++v) {
        const float db = v ? static_cast<float>(20.0 * std::log10(v / 32767.0)) : -52.0f;
        if (DrawLevelMeter::convertToDot(db) == dots)
            return static_cast<uint16_t>(v);
    }
    return 0;
}

class TouchCounter : public QObject
{
public:
    int styles = 0;
    int geometries = 0;
    int visibilities = 0;
    int total() const { return styles + geometries + visibilities; }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        const QEvent::Type t = e->type();
        styles += t == QEvent::StyleChange;
        geometries += t == QEvent::Move || t == QEvent::Resize;
        visibilities += t == QEvent::Show || t == QEvent::Hide;
        return false;
    }
};

class MeterStrips
{
public:
    enum Part { Bar = 1, Marker = 2, Readout = 4, Over = 8, All = 15 };

    MeterStrips()
    {
#ifdef STRATA_TEST_RESOURCES
        Q_INIT_RESOURCE(resources);
#endif
        window.resize(1110, 650);
        for (levelMeter &s : strips) {
            s = {new QLabel(&window), new QLabel(&window), new QPushButton(QStringLiteral("-99.9"), &window),
                 new QLabel(&window), 0, 0};
            s.peakInd->hide();
        }
        window.show();
    }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            engine.notifyLevelMeterValue(strips);
    }
    void setAll(uint16_t value)
    {
        for (levelMeter &s : strips)
            s.value = value;
    }
    // Counts from now on what happens to the chosen widgets of every strip.
    void watch(TouchCounter *counter, int parts = All)
    {
        for (levelMeter &s : strips) {
            QWidget *const widgets[] = {s.meter, s.peak, s.peakText, s.peakInd};
            for (int i = 0; i < 4; ++i) {
                if (parts & (1 << i))
                    widgets[i]->installEventFilter(counter);
            }
        }
    }
    // The engine reads a bar's height back as its previous height.
    void standBar(int k, int dots) { strips[k].meter->setGeometry(0, 546 - dots, 18, dots); }

    int barHeight(int k) const { return strips[k].meter->height(); }
    int markerTop(int k) const { return strips[k].peak->y(); }
    QString markerStyle(int k) const { return strips[k].peak->styleSheet(); }
    QString readout(int k) const { return strips[k].peakText->text(); }
    bool overLit(int k) const { return !strips[k].peakInd->isHidden(); }

    QWidget window;
    levelMeter strips[DrawLevelMeter::kStripCount];
    DrawLevelMeter engine;
};

// A stand-in for the meter page: 24 strips of the four widgets the engine
// moves, shown offscreen.
#pragma once

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include <cmath>

#include "meter/drawlevelmeter.h"

// Smallest linear level that stands exactly this many dots high.
inline uint16_t valueForDots(int dots)
{
    for (uint32_t v = 0; v <= 32767; ++v) {
        if (DrawLevelMeter::convertToDot(static_cast<float>(20.0 * std::log10(v / 32767.0))) == dots)
            return static_cast<uint16_t>(v);
    }
    return 0;
}

// Counts what the engine does to the widgets it watches.
struct TouchCounter : QObject {
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        const QEvent::Type t = e->type();
        count += t == QEvent::StyleChange || t == QEvent::Move || t == QEvent::Resize || t == QEvent::Show
                 || t == QEvent::Hide;
        return false;
    }
};

struct MeterStrips {
    MeterStrips()
    {
#ifdef STRATA_TEST_RESOURCES
        Q_INIT_RESOURCE(resources);
#endif
        window.resize(1110, 650);
        for (levelMeter &s : strips) {
            s = {new QLabel(&window), new QLabel(&window), new QPushButton(&window), new QLabel(&window), 0, 0};
            s.peakInd->hide();
            for (QWidget *w : std::initializer_list<QWidget *>{s.peak, s.peakText, s.peakInd})
                w->installEventFilter(&touches);
            s.meter->installEventFilter(&barTouches);
        }
        window.show();
    }
    void tick(int count = 1)
    {
        while (count-- > 0)
            engine.notifyLevelMeterValue(strips);
    }
    void setAll(uint16_t value)
    {
        for (levelMeter &s : strips)
            s.value = value;
    }
    // The engine reads a bar's height back as its previous height.
    void standBar(int k, int dots) { strips[k].meter->setGeometry(0, 546 - dots, 18, dots); }
    int barHeight(int k) const { return strips[k].meter->height(); }
    int markerTop(int k) const { return strips[k].peak->y(); }
    QString markerStyle(int k) const { return strips[k].peak->styleSheet(); }
    QString readout(int k) const { return strips[k].peakText->text(); }
    bool overLit(int k) const { return !strips[k].peakInd->isHidden(); }

    TouchCounter barTouches, touches;   // the bars, and all other widgets
    QWidget window;
    levelMeter strips[DrawLevelMeter::kStripCount];
    DrawLevelMeter engine;
};

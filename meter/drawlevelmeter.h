// The level meter engine: turns the linear levels of the 24 meter strips
// (22 channels, main L, main R) into bar heights, peak-hold markers, dB
// readouts and over indicators. It draws nothing itself; it moves, colours,
// shows and hides the four form widgets each levelMeter record points to.
#pragma once

#include <QLabel>
#include <QRect>
#include <QString>

#include <cstdint>

#include "meter/metertables.h"
#include "meter/readoutpaintguard.h"
#include "service/levelmeter.h"

class QPushButton;

class DrawLevelMeter : public QLabel
{
    Q_OBJECT

public:
    static constexpr int kStripCount = 24;

    explicit DrawLevelMeter(QWidget *parent = nullptr);

    // One refresh of all 24 strips from their value fields.
    void notifyLevelMeterValue(levelMeter *strips);
    // Height in dots of a level in dB; 0 below -52 dB and for NaN.
    static uint16_t convertToDot(float db);
    // Drop the held peaks to the present bar heights.
    void clearPeakHold(levelMeter *strips);
    void clearChPeakHold(levelMeter *strips, int ch);
    // Collapse the 22 channel bars; main L and R keep theirs.
    void resetLevelMeter(levelMeter *strips);

    // Set by the window on every resize, before it asks for a redraw.
    float scale = 1.0f;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    // Set by the meter page's peak-hold mode; a negative holdTicks or a
    // holdMode above 2 holds a peak until it is cleared.
    int32_t holdTicks = 10;
    int32_t holdMode = 1;
    uint16_t heldPeak[kStripCount] = {};
    float dbTable[meter::kDotCount];

private:
    enum class Zone : int8_t { Unknown = -1, Silent, Green, Yellow, Red };

    // What this engine last wrote to the widgets of one strip that is costly
    // to compare against the widget itself (a style sheet, a formatted
    // number). It belongs to the widget it was written to, so records that
    // point to other widgets start afresh.
    struct StripCache {
        const QLabel *marker = nullptr;
        Zone zone = Zone::Unknown;
        const QPushButton *readout = nullptr;
        uint32_t readoutKey = 0;
        const QPushButton *guarded = nullptr;
    };

    void refreshStrip(levelMeter &strip, int k, bool scaleChanged);
    void clearStrip(levelMeter &strip, int k);
    QRect markerRect(int k, int held, bool roundTop) const;
    QRect truncatedMarkerRect(int k, int held) const;
    QRect barRect(int k, int dots) const;
    QRect overRect(int k) const;
    static Zone refreshZone(int held);
    static Zone clearZone(int held);
    void setMarkerZone(QLabel *marker, int k, Zone zone);
    void setLevelReadout(QPushButton *readout, int k, uint16_t value, float db);
    void setHeldReadout(QPushButton *readout, int k, int held);
    void setReadoutText(QPushButton *readout, int k, uint32_t key, const QString &text);

    // The scale of the previous refresh: a change of scale redraws the bars
    // at their target instead of letting them fall from a height measured at
    // the old scale.
    float m_prevScaleX = 1.0f;
    float m_prevScaleY = 1.0f;
    const QString m_zoneStyles[4];
    StripCache m_cache[kStripCount];
    ReadoutPaintGuard m_readoutGuard;
};

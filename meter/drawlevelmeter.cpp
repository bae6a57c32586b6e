#include "meter/drawlevelmeter.h"

#include <QPushButton>

#include <algorithm>
#include <cmath>

#include "meter/meterstyles.h"

namespace {

using meter::kFullScaleDots;
using meter::kSilenceDb;

// Strip layout in the form's design coordinates.
constexpr int kStripX[DrawLevelMeter::kStripCount] = {
    50, 84, 118, 152, 186, 220, 254, 288,          // channels 1 to 8
    391, 425, 459, 493, 527, 561, 595, 629,        // channels 9 to 16
    732, 766, 800, 834, 868, 902,                  // channels 17 to 22
    1006, 1039,                                    // main L, main R
};
constexpr int kChannelStrips = 22;
constexpr int kBaselineY = 546;
constexpr int kBarWidth = 18;
constexpr int kMarkerInset = 1;
constexpr int kMarkerWidth = 16;
constexpr int kMarkerHeight = 2;
constexpr int kOverY = 195;
constexpr int kOverWidth = 18;
constexpr int kOverHeight = 4;

// A falling bar loses at most this many dots per refresh, so full scale
// takes 17 ticks to reach silence.
constexpr int kFallPerTick = 21;
constexpr float kOverDb = -2.0f;
constexpr double kFullScaleLevel = 32767.0;

// Zone boundaries (held height in dots). A refresh paints yellow from
// -18.2 dB, a clear only from -12.19 dB, as the unit's own meters do.
constexpr int kRefreshGreenTop = 181;
constexpr int kClearGreenTop = 213;
constexpr int kRedFrom = 310;

// What a readout was last formatted from: a level or a held height.
constexpr uint32_t kReadoutFromLevel = 1u << 16;
constexpr uint32_t kReadoutFromHeight = 2u << 16;

const QString kNoLevelText = QStringLiteral(" -inf");
const QString kBottomOfTableText = QStringLiteral("-52.0");

int nearest(float v)
{
    return static_cast<int>(std::lround(v));
}

// A height read back from a bar, in dots; anything the bar could not have
// got from this engine (NaN, negative, above full scale) is brought back
// into the meter's range.
int dotsFromPixels(int pixels, float scaleY)
{
    const float dots = static_cast<float>(pixels) / scaleY;
    if (!(dots > 0.0f))
        return 0;
    if (dots >= static_cast<float>(kFullScaleDots))
        return kFullScaleDots;
    return static_cast<int>(dots);
}

void setGeometryIfChanged(QWidget *w, const QRect &r)
{
    if (w->geometry() != r)
        w->setGeometry(r);
}

void setVisibleIfChanged(QWidget *w, bool visible)
{
    if (w->isHidden() == visible)
        w->setVisible(visible);
}

} // namespace

DrawLevelMeter::DrawLevelMeter(QWidget *parent)
    : QLabel(parent),
      m_zoneStyles{QString::fromLatin1(meter::kMarkerSilentStyle),
                   QString::fromLatin1(meter::kMarkerGreenStyle),
                   QString::fromLatin1(meter::kMarkerYellowStyle),
                   QString::fromLatin1(meter::kMarkerRedStyle)}
{
    std::copy(std::begin(meter::kDotsToDb), std::end(meter::kDotsToDb), std::begin(dbTable));
    // The engine only moves the form's widgets; as a child of the window it
    // would otherwise sit on top of the page and take its clicks.
    hide();
}

void DrawLevelMeter::notifyLevelMeterValue(levelMeter *strips)
{
    const bool scaleChanged = scaleY != m_prevScaleY || scaleX != m_prevScaleX;
    for (int k = 0; k < kStripCount; ++k)
        refreshStrip(strips[k], k, scaleChanged);
    m_prevScaleY = scaleY;
    m_prevScaleX = scaleX;
}

uint16_t DrawLevelMeter::convertToDot(float db)
{
    for (const meter::ConversionRow &row : meter::kDbToDots) {
        if (db >= row.thresholdDb)
            return row.dots;
    }
    return 0;
}

void DrawLevelMeter::clearPeakHold(levelMeter *strips)
{
    for (int k = 0; k < kStripCount; ++k)
        clearStrip(strips[k], k);
}

void DrawLevelMeter::clearChPeakHold(levelMeter *strips, int ch)
{
    // A strip number from outside would index past both arrays.
    if (ch < 0 || ch >= kStripCount)
        return;
    clearStrip(strips[ch], ch);
}

void DrawLevelMeter::resetLevelMeter(levelMeter *strips)
{
    // Unscaled on purpose: the next refresh reads the bar back as empty and
    // places it for the present scale.
    for (int k = 0; k < kChannelStrips; ++k)
        setGeometryIfChanged(strips[k].meter, QRect(kStripX[k], kBaselineY, kBarWidth, 0));
}

void DrawLevelMeter::refreshStrip(levelMeter &strip, int k, bool scaleChanged)
{
    if (m_cache[k].guarded != strip.peakText) {
        strip.peakText->installEventFilter(&m_readoutGuard);
        m_cache[k].guarded = strip.peakText;
    }
    const int previous = dotsFromPixels(strip.meter->height(), m_prevScaleY);

    float db = static_cast<float>(20.0 * std::log10(strip.value / kFullScaleLevel));
    if (std::isinf(db))
        db = kSilenceDb;
    const int target = convertToDot(db);

    // After a change of scale the old height means nothing: jump to the target.
    int shown = target;
    if (!scaleChanged && previous - kFallPerTick > target)
        shown = previous - kFallPerTick;

    bool placeMarker = false;
    bool hideOver = false;
    if (shown >= heldPeak[k]) {
        placeMarker = true;
        heldPeak[k] = static_cast<uint16_t>(shown);
        setMarkerZone(strip.peak, k, refreshZone(shown));
        strip.holdCount = 0;
        setLevelReadout(strip.peakText, k, strip.value, db);
    } else if (holdTicks >= 0 && holdMode <= 2) {
        ++strip.holdCount;
        if (strip.holdCount > holdTicks) {
            placeMarker = true;
            heldPeak[k] = static_cast<uint16_t>(shown);
            setHeldReadout(strip.peakText, k, shown);
            setMarkerZone(strip.peak, k, refreshZone(shown));
            strip.holdCount = 0;
            hideOver = true;
        }
    }

    // The held peak is never below the bar here, so it is where the marker goes.
    if (scaleChanged)
        setGeometryIfChanged(strip.peak, markerRect(k, heldPeak[k], true));
    else if (placeMarker)
        setGeometryIfChanged(strip.peak, markerRect(k, heldPeak[k], false));

    setGeometryIfChanged(strip.meter, barRect(k, shown));

    // Lit by any level near full scale; only an expiring hold puts it out.
    setGeometryIfChanged(strip.peakInd, overRect(k));
    if (db >= kOverDb)
        setVisibleIfChanged(strip.peakInd, true);
    else if (hideOver)
        setVisibleIfChanged(strip.peakInd, false);
}

void DrawLevelMeter::clearStrip(levelMeter &strip, int k)
{
    strip.holdCount = 0;
    const int held = dotsFromPixels(strip.meter->height(), scaleY);
    heldPeak[k] = static_cast<uint16_t>(held);
    setGeometryIfChanged(strip.peak, truncatedMarkerRect(k, held));
    const Zone zone = clearZone(held);
    setMarkerZone(strip.peak, k, zone);
    setVisibleIfChanged(strip.peakInd, zone == Zone::Red);
    setHeldReadout(strip.peakText, k, held);
}

QRect DrawLevelMeter::markerRect(int k, int held, bool roundTop) const
{
    const float top = scaleY * static_cast<float>(kBaselineY - held);
    return QRect(nearest(static_cast<float>(kStripX[k] + kMarkerInset) * scaleX),
                 roundTop ? nearest(top) : static_cast<int>(std::floor(top)),
                 nearest(kMarkerWidth * scaleX),
                 nearest(kMarkerHeight * scaleY));
}

QRect DrawLevelMeter::truncatedMarkerRect(int k, int held) const
{
    return QRect(static_cast<int>(static_cast<float>(kStripX[k] + kMarkerInset) * scaleX),
                 static_cast<int>(scaleY * static_cast<float>(kBaselineY - held)),
                 static_cast<int>(kMarkerWidth * scaleX),
                 static_cast<int>(kMarkerHeight * scaleY));
}

QRect DrawLevelMeter::barRect(int k, int dots) const
{
    // The bottom edge stays put whatever the rounding of the height.
    const int bottom = nearest(kBaselineY * scaleY);
    const int height = nearest(scaleY * static_cast<float>(dots));
    return QRect(nearest(static_cast<float>(kStripX[k]) * scaleX), bottom - height,
                 nearest(kBarWidth * scaleX), height);
}

QRect DrawLevelMeter::overRect(int k) const
{
    return QRect(nearest(static_cast<float>(kStripX[k]) * scaleX), nearest(kOverY * scaleY),
                 nearest(kOverWidth * scaleX), nearest(kOverHeight * scaleY));
}

DrawLevelMeter::Zone DrawLevelMeter::refreshZone(int held)
{
    if (held == 0)
        return Zone::Silent;
    if (held <= kRefreshGreenTop)
        return Zone::Green;
    return held < kRedFrom ? Zone::Yellow : Zone::Red;
}

DrawLevelMeter::Zone DrawLevelMeter::clearZone(int held)
{
    if (held == 0)
        return Zone::Silent;
    if (held <= kClearGreenTop)
        return Zone::Green;
    return held < kRedFrom ? Zone::Yellow : Zone::Red;
}

void DrawLevelMeter::setMarkerZone(QLabel *marker, int k, Zone zone)
{
    StripCache &cache = m_cache[k];
    if (cache.marker == marker && cache.zone == zone)
        return;
    const QString &style = m_zoneStyles[static_cast<int>(zone)];
    // Setting an equal style sheet still re-polishes the widget.
    if (marker->styleSheet() != style)
        marker->setStyleSheet(style);
    cache.marker = marker;
    cache.zone = zone;
}

void DrawLevelMeter::setLevelReadout(QPushButton *readout, int k, uint16_t value, float db)
{
    const uint32_t key = kReadoutFromLevel | value;
    if (m_cache[k].readout == readout && m_cache[k].readoutKey == key)
        return;
    setReadoutText(readout, k, key,
                   db > kSilenceDb ? QString::number(db, 'f', 1) : kNoLevelText);
}

void DrawLevelMeter::setHeldReadout(QPushButton *readout, int k, int held)
{
    const uint32_t key = kReadoutFromHeight | static_cast<uint32_t>(held);
    if (m_cache[k].readout == readout && m_cache[k].readoutKey == key)
        return;
    QString text = QString::number(dbTable[kFullScaleDots - held], 'f', 1);
    if (text == kBottomOfTableText)
        text = kNoLevelText;
    setReadoutText(readout, k, key, text);
}

void DrawLevelMeter::setReadoutText(QPushButton *readout, int k, uint32_t key, const QString &text)
{
    if (readout->text() != text)
        readout->setText(text);
    m_cache[k].readout = readout;
    m_cache[k].readoutKey = key;
}

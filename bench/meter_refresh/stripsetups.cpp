#include "stripsetups.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

#include <cmath>

#include "meter/opaquepicture.h"

namespace {

constexpr int kStrips = DrawLevelMeter::kStripCount;
constexpr int kStripX[kStrips] = {50, 84, 118, 152, 186, 220, 254, 288, 391, 425, 459, 493,
                                  527, 561, 595, 629, 732, 766, 800, 834, 868, 902, 1006, 1039};
constexpr int kReadoutX[kStrips] = {37, 71, 105, 139, 173, 207, 241, 275, 377, 411, 445, 479,
                                    513, 547, 581, 615, 720, 754, 788, 822, 856, 890, 994, 1030};
constexpr int kBaselineY = 546;
constexpr int kFullScaleDots = 340;

// The looks the form gives the meter widgets.
constexpr char kTransparentTile[] = "background-image: url(:/Resource/trans.png);";
constexpr char kBarLook[] = "background-image: url(:/Resource/trans.png);";
constexpr char kMarkerLook[] =
    "background-image: url(:/Resource/trans.png); background-color: rgb(108, 110, 255);";
constexpr char kReadoutLook[] = "background-image: url(:/Resource/trans.png); background-color: "
                                "rgba(255, 255, 255, 0); color: rgb(147, 147, 147);";
constexpr char kOverLook[] = "background-color: #FF1400";
// The panel's window gives every widget under it this background.
constexpr char kWindowLook[] = "background-color: rgb(0, 0, 0);";

QString look(const char *style, bool resources)
{
    QString s = QString::fromLatin1(style);
    // Without the compiled-in tile every repaint would warn about it.
    if (!resources)
        s.remove(QLatin1String(kTransparentTile));
    return s;
}

QPixmap gradientBar()
{
    QPixmap bar(18, kFullScaleDots);
    QPainter p(&bar);
    QLinearGradient g(0, 0, 0, kFullScaleDots);
    g.setColorAt(0.0, QColor(255, 49, 0));
    g.setColorAt(0.1, QColor(254, 254, 0));
    g.setColorAt(0.45, QColor(21, 255, 2));
    g.setColorAt(1.0, QColor(10, 140, 0));
    p.fillRect(bar.rect(), g);
    return bar;
}

// Both windows paint the same plain black page under their strips.
QPalette blackPage()
{
    QPalette black;
    black.setColor(QPalette::Window, Qt::black);
    return black;
}

int dotsFor(uint16_t value)
{
    const float db = value ? static_cast<float>(20.0 * std::log10(value / 32767.0)) : -52.0f;
    return DrawLevelMeter::convertToDot(db);
}

} // namespace

BenchLooks loadBenchLooks()
{
    BenchLooks looks;
#ifdef STRATA_BENCH_RESOURCES
    Q_INIT_RESOURCE(resources);
#endif
    looks.resources = QFile::exists(QStringLiteral(":/Resource/trans.png"));
    QSvgRenderer svg(QStringLiteral(":/Resource/meterbar.svg"));
    if (svg.isValid()) {
        looks.bar = QPixmap(18, kFullScaleDots);
        looks.bar.fill(Qt::transparent);
        QPainter p(&looks.bar);
        svg.render(&p);
    } else {
        looks.bar = gradientBar();
    }
    return looks;
}

MeterPageStrips::MeterPageStrips(const BenchLooks &looks)
{
    // As on the meter page: the window's black style sheet reaches every
    // strip widget, and the bars paint themselves as opaque pictures.
    m_window.setStyleSheet(QString::fromLatin1(kWindowLook));
    m_window.resize(1110, 650);
    for (int k = 0; k < kStrips; ++k) {
        levelMeter &s = m_strips[k];
        s.meter = new QLabel(&m_window);
        s.meter->setStyleSheet(look(kBarLook, looks.resources));
        s.meter->setPixmap(looks.bar);
        s.meter->setAlignment(Qt::AlignBottom | Qt::AlignLeft);
        OpaquePicture::take(s.meter);
        s.peak = new QLabel(&m_window);
        s.peak->setStyleSheet(look(kMarkerLook, looks.resources));
        s.peakText = new QPushButton(QStringLiteral("-99.9"), &m_window);
        s.peakText->setStyleSheet(look(kReadoutLook, looks.resources));
        s.peakText->setGeometry(kReadoutX[k], kBaselineY, 41, 21);
        s.peakInd = new QLabel(&m_window);
        s.peakInd->setStyleSheet(look(kOverLook, looks.resources));
        s.peakInd->hide();
    }
    m_window.show();
}

void MeterPageStrips::refresh(const std::array<uint16_t, kStrips> &levels)
{
    for (int k = 0; k < kStrips; ++k)
        m_strips[k].value = levels[static_cast<size_t>(k)];
    m_engine.notifyLevelMeterValue(m_strips);
}

void MeterPageStrips::watch(QObject *filter)
{
    for (levelMeter &s : m_strips) {
        s.meter->installEventFilter(filter);
        s.peak->installEventFilter(filter);
        s.peakText->installEventFilter(filter);
        s.peakInd->installEventFilter(filter);
    }
}

QStringList MeterPageStrips::readouts() const
{
    QStringList texts;
    for (const levelMeter &s : m_strips)
        texts << s.peakText->text();
    return texts;
}

ReferenceBars::ReferenceBars(const BenchLooks &looks, bool crowded)
{
    m_window.setPalette(blackPage());
    m_window.setAutoFillBackground(true);
    m_window.resize(1110, 650);
    for (int k = 0; k < kStrips; ++k) {
        m_bars[static_cast<size_t>(k)] = new QLabel(&m_window);
        m_bars[static_cast<size_t>(k)]->setPixmap(looks.bar);
        m_bars[static_cast<size_t>(k)]->setAlignment(Qt::AlignBottom | Qt::AlignLeft);
        m_bars[static_cast<size_t>(k)]->setGeometry(kStripX[k], kBaselineY, 18, 0);
        if (!crowded)
            continue;
        auto *marker = new QLabel(&m_window);
        marker->setStyleSheet(look(kMarkerLook, looks.resources));
        marker->setGeometry(kStripX[k] + 1, 300, 16, 2);
        auto *readout = new QPushButton(QStringLiteral("-12.0"), &m_window);
        readout->setStyleSheet(look(kReadoutLook, looks.resources));
        readout->setGeometry(kReadoutX[k], kBaselineY, 41, 21);
        auto *over = new QLabel(&m_window);
        over->setStyleSheet(look(kOverLook, looks.resources));
        over->setGeometry(kStripX[k], 195, 18, 4);
    }
    m_window.show();
}

void ReferenceBars::follow(const std::array<uint16_t, kStrips> &levels)
{
    for (int k = 0; k < kStrips; ++k) {
        const int dots = dotsFor(levels[static_cast<size_t>(k)]);
        m_bars[static_cast<size_t>(k)]->setGeometry(kStripX[k], kBaselineY - dots, 18, dots);
    }
}

// The level meter engine on a stand-in for the meter page (24 strips of the
// four widgets it moves, shown offscreen): dB to dots, bars that jump up and
// fall 21 dots per tick on the scaled baseline, peak hold with its marker
// colours, readouts and over indicator, and widgets touched only when what
// they show changes.
#include <QtTest>

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include <cmath>
#include <limits>

#include "meter/drawlevelmeter.h"
#include "meter/meterstyles.h"
#include "meter/metertables.h"

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

namespace {

int nearest(float v)
{
    return static_cast<int>(std::lround(v));
}

const QString kBlack = QString::fromLatin1(meter::kMarkerSilentStyle);
const QString kGreen = QString::fromLatin1(meter::kMarkerGreenStyle);
const QString kYellow = QString::fromLatin1(meter::kMarkerYellowStyle);
const QString kRed = QString::fromLatin1(meter::kMarkerRedStyle);

} // namespace

class MeterEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void convertsLevelToDots_data()
    {
        QTest::addColumn<float>("db");
        QTest::addColumn<int>("dots");
        QTest::newRow("above full scale") << 3.0f << 340;
        QTest::newRow("green top") << -18.2f << 181;
        QTest::newRow("just below green top") << -18.21f << 176;
        QTest::newRow("silence") << -52.0f << 0;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0;
    }
    void convertsLevelToDots()
    {
        QFETCH(float, db);
        QFETCH(int, dots);
        QCOMPARE(int(DrawLevelMeter::convertToDot(db)), dots);
    }

    // A height read back after a clear must name the level that made it.
    void dbTableAgreesWithConversionSteps()
    {
        for (const meter::ConversionRow &row : meter::kDbToDots)
            QVERIFY(std::fabs(meter::kDotsToDb[meter::kFullScaleDots - row.dots] - row.thresholdDb) <= 0.0101f);
    }

    // The bottom edge stays on the baseline whatever the rounding of the height.
    void fallsFromFullScaleInSeventeenTicks_data()
    {
        QTest::addColumn<float>("scale");
        QTest::newRow("design size") << 1.0f;
        QTest::newRow("one and a half") << 1.5f;
    }
    void fallsFromFullScaleInSeventeenTicks()
    {
        QFETCH(float, scale);
        MeterStrips page;
        page.engine.scaleX = page.engine.scaleY = scale;
        page.setAll(32767);
        page.tick();
        const int bottom = nearest(546 * scale), full = nearest(340 * scale);
        QCOMPARE(page.strips[23].meter->geometry(),
                 QRect(nearest(1039 * scale), bottom - full, nearest(18 * scale), full));
        page.setAll(0);
        for (int tick = 1; tick <= 16; ++tick) {
            page.tick();
            QCOMPARE(page.barHeight(23), nearest((340 - 21 * tick) * scale));
            QCOMPARE(page.strips[23].meter->y() + page.barHeight(23), bottom);
        }
        page.tick();
        QCOMPARE(page.barHeight(23), 0);
        page.strips[23].value = valueForDots(293);   // a rising bar jumps
        page.tick();
        QCOMPARE(page.barHeight(23), nearest(293 * scale));
        // After a change of scale the old height means nothing: no fall.
        page.engine.scaleX = page.engine.scaleY = 2 * scale;
        page.strips[23].value = 0;
        page.tick();
        QCOMPARE(page.barHeight(23), 0);
    }

    // A bar stretched by somebody else must not send the expiring hold's
    // readout past the end of the dB table.
    void barTallerThanFullScaleFallsFromFullScale()
    {
        MeterStrips page;
        page.engine.holdTicks = 0;
        page.strips[4].value = 32767;
        page.tick();
        page.strips[4].value = 0;
        page.standBar(4, 400);
        page.tick();
        QCOMPARE(page.barHeight(4), 319);
        QCOMPARE(page.readout(4), "-2.1");
    }
    // A held peak stays through its hold ticks and drops to the bar on the
    // next; an infinite hold never drops by itself.
    void holdExpiresOnTheTickAfterHoldTicks_data()
    {
        QTest::addColumn<int>("holdTicks");
        QTest::addColumn<int>("holdMode");
        QTest::addColumn<int>("held");   // ticks the peak must stay
        QTest::addColumn<int>("topAfter");
        QTest::addColumn<QString>("readoutAfter");
        QTest::addColumn<QString>("styleAfter");
        QTest::newRow("1 SEC") << 10 << 1 << 10 << 546 - 109 << "-32.8" << kGreen;
        QTest::newRow("OFF holds like 1 SEC") << 10 << 0 << 10 << 546 - 109 << "-32.8" << kGreen;
        QTest::newRow("3 SEC, drops to an empty bar") << 30 << 2 << 30 << 546 << " -inf" << kBlack;
        QTest::newRow("no hold") << 0 << 1 << 0 << 546 - 319 << "-2.1" << kRed;
        QTest::newRow("infinity button") << -20 << 3 << 300 << 206 << "0.0" << kRed;
        QTest::newRow("negative tick count") << -1 << 1 << 300 << 206 << "0.0" << kRed;
    }
    void holdExpiresOnTheTickAfterHoldTicks()
    {
        QFETCH(int, holdTicks);
        QFETCH(int, holdMode);
        QFETCH(int, held);
        QFETCH(int, topAfter);
        QFETCH(QString, readoutAfter);
        QFETCH(QString, styleAfter);
        MeterStrips page;
        page.engine.holdTicks = holdTicks;
        page.engine.holdMode = holdMode;
        page.setAll(32767);
        page.tick();
        page.setAll(0);
        page.tick(held);
        QCOMPARE(page.markerTop(9), 206);
        QCOMPARE(page.readout(9), "0.0");
        QVERIFY(page.overLit(9));
        QCOMPARE(page.strips[9].peakInd->geometry(), QRect(425, 195, 18, 4));
        page.tick();
        QCOMPARE(page.markerTop(9), topAfter);
        QCOMPARE(page.readout(9), readoutAfter);
        QCOMPARE(page.markerStyle(9), styleAfter);
        QCOMPARE(page.overLit(9), topAfter == 206);
    }

    void markerZone_data()
    {
        QTest::addColumn<int>("dots");
        QTest::addColumn<QString>("refreshStyle");
        QTest::addColumn<QString>("clearStyle");
        QTest::addColumn<QString>("clearText");
        QTest::newRow("empty") << 0 << kBlack << kBlack << " -inf";
        QTest::newRow("lowest dot") << 1 << kGreen << kGreen << "-51.9";
        QTest::newRow("refresh green top") << 181 << kGreen << kGreen << "-18.2";
        QTest::newRow("refresh yellow bottom") << 182 << kYellow << kGreen << "-18.0";
        QTest::newRow("clear green top") << 213 << kYellow << kGreen << "-12.2";
        QTest::newRow("clear yellow bottom") << 214 << kYellow << kYellow << "-12.0";
        QTest::newRow("red bottom") << 310 << kRed << kRed << "-3.0";
    }
    void markerZone()
    {
        QFETCH(int, dots);
        QFETCH(QString, refreshStyle);
        QFETCH(QString, clearStyle);
        QFETCH(QString, clearText);
        MeterStrips page;
        // Heights between the conversion steps are reached by a falling bar.
        page.standBar(12, dots + 21);
        page.tick();
        QCOMPARE(page.markerTop(12), 546 - dots);
        QCOMPARE(page.markerStyle(12), refreshStyle);
        // Only a red hold keeps the over indicator lit after a clear.
        page.strips[13].peakInd->show();
        page.standBar(13, dots);
        page.engine.clearChPeakHold(page.strips, 13);
        QCOMPARE(page.markerTop(13), 546 - dots);
        QCOMPARE(page.markerStyle(13), clearStyle);
        QCOMPARE(page.readout(13), clearText);
        QCOMPARE(page.overLit(13), clearStyle == kRed);
    }

    // A new peak of -2.0 dB or more also lights the over indicator.
    void newPeakReadout_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("over");
        QTest::newRow("full scale") << 32767 << "0.0" << true;
        QTest::newRow("-2.0 dB") << int(valueForDots(320)) << "-2.0" << true;
        QTest::newRow("just below -2.0 dB") << 26027 << "-2.0" << false;
        QTest::newRow("just above -52 dB") << 83 << "-51.9" << false;
        QTest::newRow("just below -52 dB") << 82 << " -inf" << false;
    }
    void newPeakReadout()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        QFETCH(bool, over);
        MeterStrips page;
        page.strips[7].value = static_cast<uint16_t>(value);
        page.tick();
        QCOMPARE(page.readout(7), text);
        QCOMPARE(page.overLit(7), over);
    }

    // A strip number from outside must not reach past the strips.
    void stripClearOutsideTheStripsDoesNothing()
    {
        MeterStrips page;
        page.setAll(32767);
        page.tick();
        page.engine.clearChPeakHold(page.strips, -1);
        page.engine.clearChPeakHold(page.strips, 24);
        QCOMPARE(page.readout(23), "0.0");
    }
    void steadyLevelTouchesNothing_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<float>("scale");
        QTest::newRow("silence") << 0 << 1.0f;
        QTest::newRow("full scale, scaled") << 32767 << 1.37f;
    }
    void steadyLevelTouchesNothing()
    {
        QFETCH(int, value);
        QFETCH(float, scale);
        MeterStrips page;
        page.engine.scaleX = page.engine.scaleY = scale;
        page.setAll(static_cast<uint16_t>(value));
        page.tick();
        page.touches.count = page.barTouches.count = 0;
        page.tick(20);
        QCOMPARE(page.touches.count + page.barTouches.count, 0);
        page.engine.clearPeakHold(page.strips);   // may move a rounded marker
        page.touches.count = 0;
        page.engine.clearPeakHold(page.strips);
        QCOMPARE(page.touches.count, 0);
    }

    void barBelowHeldPeakMovesOnlyTheBar()
    {
        MeterStrips page;
        page.engine.holdTicks = 30;
        page.setAll(32767);
        page.tick();
        page.touches.count = page.barTouches.count = 0;
        page.setAll(valueForDots(123));
        page.tick(20);
        QCOMPARE(page.touches.count, 0);
        QVERIFY(page.barTouches.count > 0);
    }
};

QTEST_MAIN(MeterEngineTest)
#include "test_meterengine.moc"

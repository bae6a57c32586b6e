// The level meter engine on a stand-in for the meter page.
#include <QtTest>

#include <QPainter>
#include <QPushButton>

#include <cmath>
#include <limits>

#include "meter/drawlevelmeter.h"
#include "meter/meterstyles.h"
#include "meter/opaquepicture.h"
#include "test_table.h"

namespace {

// Smallest linear level that stands exactly this many dots high.
uint16_t valueForDots(int dots)
{
    for (uint32_t v = 0; v <= 32767; ++v)
        if (DrawLevelMeter::convertToDot(static_cast<float>(20.0 * std::log10(v / 32767.0))) == dots)
            return static_cast<uint16_t>(v);
    return 0;
}

// Counts what the engine does to the widgets it watches.
struct TouchCounter : QObject {
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        static const QSet<int> kTouches{QEvent::StyleChange, QEvent::Move, QEvent::Resize, QEvent::Show, QEvent::Hide};
        count += kTouches.contains(e->type());
        return false;
    }
};

const QString kBlack = QString::fromLatin1(meter::kMarkerSilentStyle);
const QString kGreen = QString::fromLatin1(meter::kMarkerGreenStyle);
const QString kYellow = QString::fromLatin1(meter::kMarkerYellowStyle);
const QString kRed = QString::fromLatin1(meter::kMarkerRedStyle);

} // namespace

struct MeterStrips {
    MeterStrips(float scale = 1.0f, int holdTicks = 10, int holdMode = 1)
    {
#ifdef STRATA_TEST_RESOURCES
        Q_INIT_RESOURCE(resources);
#endif
        engine.scaleX = engine.scaleY = scale;
        engine.holdTicks = holdTicks;
        engine.holdMode = holdMode;
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
    void setAll(int value)
    {
        for (levelMeter &s : strips)
            s.value = static_cast<uint16_t>(value);
    }
    void feed(int value, int ticks = 1) { setAll(value); tick(ticks); }
    // The engine reads a bar's height back as its previous height.
    void standBar(int k, int dots) { strips[k].meter->setGeometry(0, 546 - dots, 18, dots); }
    int barHeight(int k) const { return strips[k].meter->height(); }
    QString readout(int k) const { return strips[k].peakText->text(); }
    // The hold of strip k as "marker top, colour, 'readout'", then " over" when lit.
    QString held(int k) const
    {
        const QString s = strips[k].peak->styleSheet();
        const char *colour = s == kBlack ? "black" : s == kGreen ? "green" : s == kYellow ? "yellow" : s == kRed ? "red" : "?";
        return QString("%1 %2 '%3'%4").arg(strips[k].peak->y()).arg(colour, readout(k),
                                                                      strips[k].peakInd->isHidden() ? "" : " over");
    }

    TouchCounter barTouches, touches;   // the bars, and all other widgets
    QWidget window;
    levelMeter strips[DrawLevelMeter::kStripCount];
    DrawLevelMeter engine;
};

class MeterEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void convertsLevelToDots_data()
    {
        addColumns<float, int>("db", "dots");
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
        // A height read back after a clear must name the level that made it.
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
        MeterStrips page(scale);
        page.feed(32767);
        const int bottom = qRound(546 * scale), full = qRound(340 * scale);
        QCOMPARE(page.strips[23].meter->geometry(), QRect(qRound(1039 * scale), bottom - full, qRound(18 * scale), full));
        page.setAll(0);
        for (int tick = 1; tick <= 16; ++tick) {
            page.tick();
            QCOMPARE(page.barHeight(23), qRound((340 - 21 * tick) * scale));
            QCOMPARE(page.strips[23].meter->y() + page.barHeight(23), bottom);
        }
        page.tick();
        QCOMPARE(page.barHeight(23), 0);
        page.strips[23].value = valueForDots(293);   // a rising bar jumps
        page.tick();
        QCOMPARE(page.barHeight(23), qRound(293 * scale));
        // After a change of scale the old height means nothing: no fall.
        page.engine.scaleX = page.engine.scaleY = 2 * scale;
        page.strips[23].value = 0;
        page.tick();
        QCOMPARE(page.barHeight(23), 0);
    }

    // An infinite hold never drops by itself.
    void holdExpiresOnTheTickAfterHoldTicks_data()
    {
        addColumns<int, int, int, QString>("holdTicks", "holdMode", "held", "after");
        QTest::newRow("1 SEC") << 10 << 1 << 10 << "437 green '-32.8'";
        QTest::newRow("3 SEC, drops to an empty bar") << 30 << 2 << 30 << "546 black ' -inf'";
        QTest::newRow("no hold") << 0 << 1 << 0 << "227 red '-2.1'";
        QTest::newRow("infinity button") << -20 << 3 << 300 << "206 red '0.0' over";
        QTest::newRow("infinite with a tick count") << 10 << 3 << 300 << "206 red '0.0' over";
    }
    void holdExpiresOnTheTickAfterHoldTicks()
    {
        QFETCH(int, holdTicks);
        QFETCH(int, holdMode);
        QFETCH(int, held);
        QFETCH(QString, after);
        MeterStrips page(1.0f, holdTicks, holdMode);
        page.feed(32767);
        page.feed(0, held);
        QCOMPARE(page.held(9), "206 red '0.0' over");
        QCOMPARE(page.strips[9].peakInd->geometry(), QRect(425, 195, 18, 4));
        page.tick();
        QCOMPARE(page.held(9), after);
    }

    // Neither a stretched bar nor a strip number from outside reach past the tables.
    void strayBarOrStripNumberStaysInRange()
    {
        MeterStrips page(1.0f, 0);
        page.feed(32767);
        page.engine.clearChPeakHold(page.strips, -1);
        page.engine.clearChPeakHold(page.strips, 24);
        QCOMPARE(page.readout(23), "0.0");
        page.strips[4].value = 0;
        page.standBar(4, 400);
        page.tick();
        QCOMPARE(page.barHeight(4), 319);
        QCOMPARE(page.readout(4), "-2.1");
    }

    void markerZone_data()
    {
        // refresh: the marker's colour; clear: the hold after a clear
        addColumns<int, QString, QString>("dots", "refresh", "clear");
        QTest::newRow("empty") << 0 << "black" << "black ' -inf'";
        QTest::newRow("lowest dot") << 1 << "green" << "green '-51.9'";
        QTest::newRow("refresh green top") << 181 << "green" << "green '-18.2'";
        QTest::newRow("refresh yellow bottom") << 182 << "yellow" << "green '-18.0'";
        QTest::newRow("clear green top") << 213 << "yellow" << "green '-12.2'";
        QTest::newRow("clear yellow bottom") << 214 << "yellow" << "yellow '-12.0'";
        // Only a red hold keeps the over indicator lit after a clear.
        QTest::newRow("red bottom") << 310 << "red" << "red '-3.0' over";
    }
    void markerZone()
    {
        QFETCH(int, dots);
        QFETCH(QString, refresh);
        QFETCH(QString, clear);
        MeterStrips page;
        // Heights between the conversion steps are reached by a falling bar.
        page.standBar(12, dots + 21);
        page.tick();
        QCOMPARE(page.held(12).section(' ', 0, 1), QString("%1 %2").arg(546 - dots).arg(refresh));
        page.strips[13].peakInd->show();
        page.standBar(13, dots);
        page.engine.clearChPeakHold(page.strips, 13);
        QCOMPARE(page.held(13), QString("%1 %2").arg(546 - dots).arg(clear));
    }

    // A new peak of -2.0 dB or more also lights the over indicator.
    void newPeakReadout_data()
    {
        addColumns<int, QString>("value", "shown");
        QTest::newRow("-2.0 dB") << int(valueForDots(320)) << "'-2.0' over";
        QTest::newRow("just below -2.0 dB") << 26027 << "'-2.0'";
        QTest::newRow("just above -52 dB") << 83 << "'-51.9'";
        QTest::newRow("just below -52 dB") << 82 << "' -inf'";
    }
    void newPeakReadout()
    {
        QFETCH(int, value);
        QFETCH(QString, shown);
        MeterStrips page;
        page.strips[7].value = static_cast<uint16_t>(value);
        page.tick();
        QCOMPARE(page.held(7).section(' ', 2), shown);
    }

    // Each widget move costs a repaint: nothing moves without a change.
    void steadyLevelTouchesOnlyWhatChanges_data()
    {
        addColumns<int, int, float, int>("first", "then", "scale", "holdTicks");
        QTest::newRow("silence") << 0 << 0 << 1.0f << 10;
        QTest::newRow("full scale, scaled") << 32767 << 32767 << 1.37f << 10;
        QTest::newRow("bar below held peak") << 32767 << int(valueForDots(123)) << 1.0f << 30;
    }
    void steadyLevelTouchesOnlyWhatChanges()
    {
        QFETCH(int, first);
        QFETCH(int, then);
        QFETCH(float, scale);
        QFETCH(int, holdTicks);
        MeterStrips page(scale, holdTicks);
        page.feed(first);
        page.touches.count = page.barTouches.count = 0;
        page.feed(then, 20);
        QCOMPARE(page.touches.count, 0);
        QCOMPARE(page.barTouches.count > 0, first != then);
        page.engine.clearPeakHold(page.strips);   // may move a rounded marker
        page.touches.count = 0;
        page.engine.clearPeakHold(page.strips);
        QCOMPARE(page.touches.count, 0);
    }

    // Opaque pictures paint what the toolkit paints under a black style sheet.
    void opaquePicturePaintsWhatTheToolkitPaints_data()
    {
        addColumns<int, bool, bool, bool>("alignment", "rightToLeft", "scaled", "enabled");
        QTest::newRow("bar on its baseline") << int(Qt::AlignBottom | Qt::AlignLeft) << false << false << true;
        QTest::newRow("right to left") << int(Qt::AlignTop | Qt::AlignLeft) << true << false << true;
        QTest::newRow("stretched background") << int(Qt::AlignCenter) << false << true << true;
        QTest::newRow("disabled") << int(Qt::AlignBottom | Qt::AlignLeft) << false << false << false;
    }
    void opaquePicturePaintsWhatTheToolkitPaints()
    {
        QFETCH(int, alignment);
        QFETCH(bool, rightToLeft);
        QFETCH(bool, scaled);
        QFETCH(bool, enabled);
        QPixmap picture(14, 30);   // stripes with see-through gaps, smaller than the labels
        picture.fill(Qt::transparent);
        QPainter(&picture).fillRect(2, 0, 9, 30, QBrush(Qt::green, Qt::Dense4Pattern));
        QWidget window;
        window.setStyleSheet(QStringLiteral("background-color: rgb(0, 0, 0);"));
        window.resize(60, 50);
        QLabel plain(&window), taken(&window);
        for (QLabel *label : {&plain, &taken}) {
            label->setPixmap(picture);
            label->setAlignment(Qt::Alignment(alignment));
            label->setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
            label->setScaledContents(scaled);
            label->setEnabled(enabled);
        }
        plain.setGeometry(2, 3, 19, 41);
        taken.setGeometry(32, 3, 19, 41);
        window.show();
        OpaquePicture::take(&taken);
        QCOMPARE(window.grab(taken.geometry()).toImage(), window.grab(plain.geometry()).toImage());
    }
};

QTEST_MAIN(MeterEngineTest)
#include "test_meterengine.moc"

// Peak hold: when markers drop, their colours after a refresh and after a
// clear, the dB readouts, and how long the over indicator stays lit.
#include <QtTest>

#include "meter/meterstyles.h"
#include "meterstrips.h"

static const QString kBlack = QString::fromLatin1(meter::kMarkerSilentStyle);
static const QString kGreen = QString::fromLatin1(meter::kMarkerGreenStyle);
static const QString kYellow = QString::fromLatin1(meter::kMarkerYellowStyle);
static const QString kRed = QString::fromLatin1(meter::kMarkerRedStyle);

class PeakHoldTest : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_MAIN(PeakHoldTest)
#include "test_meterhold.moc"

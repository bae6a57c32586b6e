// Peak hold: when markers drop, how they are coloured after a refresh and
// after a clear, and how long the over indicator stays lit.
#include <QtTest>

#include "meter/meterstyles.h"
#include "meterstrips.h"

namespace {

const QString kBlack = QString::fromLatin1(meter::kMarkerSilentStyle);
const QString kGreen = QString::fromLatin1(meter::kMarkerGreenStyle);
const QString kYellow = QString::fromLatin1(meter::kMarkerYellowStyle);
const QString kRed = QString::fromLatin1(meter::kMarkerRedStyle);

} // namespace

class PeakHoldTest : public QObject
{
    Q_OBJECT

private slots:
    void holdExpiresOnTheTickAfterHoldTicks_data()
    {
        QTest::addColumn<int>("holdTicks");
        QTest::addColumn<int>("holdMode");
        QTest::addColumn<int>("topAfter");
        QTest::addColumn<QString>("readoutAfter");
        QTest::addColumn<QString>("styleAfter");
        QTest::newRow("1 SEC") << 10 << 1 << 546 - 109 << "-32.8" << kGreen;
        QTest::newRow("OFF holds like 1 SEC") << 10 << 0 << 546 - 109 << "-32.8" << kGreen;
        QTest::newRow("3 SEC, drops to an empty bar") << 30 << 2 << 546 << " -inf" << kBlack;
        QTest::newRow("no hold") << 0 << 1 << 546 - 319 << "-2.1" << kRed;
    }
    void holdExpiresOnTheTickAfterHoldTicks()
    {
        QFETCH(int, holdTicks);
        QFETCH(int, holdMode);
        QFETCH(int, topAfter);
        QFETCH(QString, readoutAfter);
        QFETCH(QString, styleAfter);
        MeterStrips page;
        page.engine.holdTicks = holdTicks;
        page.engine.holdMode = holdMode;
        page.setAll(32767);
        page.tick();
        page.setAll(0);
        for (int t = 1; t <= holdTicks; ++t) {
            page.tick();
            QCOMPARE(page.markerTop(9), 206);
            QCOMPARE(page.readout(9), "0.0");
            QVERIFY(page.overLit(9));
        }
        page.tick();
        QCOMPARE(page.markerTop(9), topAfter);
        QCOMPARE(page.readout(9), readoutAfter);
        QCOMPARE(page.markerStyle(9), styleAfter);
        QCOMPARE(int(page.strips[9].holdCount), 0);
        QVERIFY(!page.overLit(9));
    }

    void infiniteHoldDropsOnlyOnClear_data()
    {
        QTest::addColumn<int>("holdTicks");
        QTest::addColumn<int>("holdMode");
        QTest::newRow("infinity button") << -20 << 3;
        QTest::newRow("mode 3 with a tick count") << 10 << 3;
        QTest::newRow("negative tick count") << -1 << 1;
    }
    void infiniteHoldDropsOnlyOnClear()
    {
        QFETCH(int, holdTicks);
        QFETCH(int, holdMode);
        MeterStrips page;
        page.engine.holdTicks = holdTicks;
        page.engine.holdMode = holdMode;
        page.strips[23].value = valueForDots(325);   // -1.5 dB lights the over indicator
        page.tick();
        page.strips[23].value = 0;
        page.tick(300);
        QCOMPARE(page.markerTop(23), 546 - 325);
        QCOMPARE(page.readout(23), "-1.5");
        QCOMPARE(page.markerStyle(23), kRed);
        QVERIFY(page.overLit(23));

        page.engine.clearPeakHold(page.strips);
        QCOMPARE(page.markerTop(23), 546);
        QCOMPARE(page.readout(23), " -inf");
        QCOMPARE(page.markerStyle(23), kBlack);
        QVERIFY(!page.overLit(23));
    }

    void markerZone_data()
    {
        QTest::addColumn<int>("dots");
        QTest::addColumn<QString>("refreshStyle");
        QTest::addColumn<QString>("clearStyle");
        QTest::newRow("empty") << 0 << kBlack << kBlack;
        QTest::newRow("lowest dot") << 1 << kGreen << kGreen;
        QTest::newRow("refresh green top") << 181 << kGreen << kGreen;
        QTest::newRow("refresh yellow bottom") << 182 << kYellow << kGreen;
        QTest::newRow("200 dots") << 200 << kYellow << kGreen;
        QTest::newRow("clear green top") << 213 << kYellow << kGreen;
        QTest::newRow("clear yellow bottom") << 214 << kYellow << kYellow;
        QTest::newRow("yellow top") << 309 << kYellow << kYellow;
        QTest::newRow("red bottom") << 310 << kRed << kRed;
        QTest::newRow("full scale") << 340 << kRed << kRed;
    }
    void markerZone()
    {
        QFETCH(int, dots);
        QFETCH(QString, refreshStyle);
        QFETCH(QString, clearStyle);
        MeterStrips page;
        // Refresh on strip 12: heights between the conversion steps are
        // reached by a falling bar.
        if (dots == 340)
            page.strips[12].value = 32767;
        else
            page.standBar(12, dots + 21);
        page.tick();
        QCOMPARE(page.markerTop(12), 546 - dots);
        QCOMPARE(page.markerStyle(12), refreshStyle);
        // Clear on strip 13; only a red hold keeps the over indicator lit.
        page.strips[13].peakInd->show();
        page.standBar(13, dots);
        page.engine.clearChPeakHold(page.strips, 13);
        QCOMPARE(page.markerTop(13), 546 - dots);
        QCOMPARE(page.markerStyle(13), clearStyle);
        QCOMPARE(page.overLit(13), clearStyle == kRed);
    }

    void overIndicatorLitUntilHoldExpires_data()
    {
        QTest::addColumn<int>("dots");
        QTest::addColumn<int>("holdTicks");
        QTest::addColumn<bool>("lit");
        QTest::newRow("-1.5 dB, 1 SEC") << 325 << 10 << true;
        QTest::newRow("-2.0 dB, 3 SEC") << 320 << 30 << true;
        QTest::newRow("below -2.0 dB") << 314 << 10 << false;
    }
    void overIndicatorLitUntilHoldExpires()
    {
        QFETCH(int, dots);
        QFETCH(int, holdTicks);
        QFETCH(bool, lit);
        MeterStrips page;
        page.engine.holdTicks = holdTicks;
        page.strips[0].value = valueForDots(dots);
        page.tick();
        QCOMPARE(page.overLit(0), lit);
        QCOMPARE(page.strips[0].peakInd->geometry(), QRect(50, 195, 18, 4));
        page.strips[0].value = valueForDots(123);
        page.tick(holdTicks);
        QCOMPARE(page.overLit(0), lit);
        page.tick();
        QVERIFY(!page.overLit(0));
    }

    void clearTruncatesRefreshRounds()
    {
        MeterStrips page;
        page.engine.scaleX = page.engine.scaleY = 1.5f;
        page.setAll(32767);
        page.tick();
        page.setAll(0);
        page.tick(2);   // 298 dots
        page.engine.clearPeakHold(page.strips);
        QCOMPARE(page.strips[0].peak->geometry(), QRect(76, 372, 24, 3));
        QCOMPARE(page.readout(0), "-4.2");
        page.strips[0].value = valueForDots(299);
        page.tick();
        QCOMPARE(page.strips[0].peak->geometry(), QRect(77, 370, 24, 3));
    }

    void stripClearTouchesOneStripOnly_data()
    {
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("cleared");
        QTest::newRow("main L") << 22 << 22;
        QTest::newRow("channel 1") << 0 << 0;
        QTest::newRow("past main R") << 24 << -1;
        QTest::newRow("negative") << -1 << -1;
    }
    void stripClearTouchesOneStripOnly()
    {
        QFETCH(int, ch);
        QFETCH(int, cleared);
        MeterStrips page;
        page.engine.holdMode = 3;
        page.setAll(32767);
        page.tick();
        page.setAll(0);
        page.tick(17);
        page.engine.clearChPeakHold(page.strips, ch);
        for (int k = 0; k < DrawLevelMeter::kStripCount; ++k) {
            QCOMPARE(page.markerTop(k), k == cleared ? 546 : 206);
            QCOMPARE(page.readout(k), k == cleared ? " -inf" : "0.0");
        }
    }
};

QTEST_MAIN(PeakHoldTest)
#include "test_meterhold.moc"

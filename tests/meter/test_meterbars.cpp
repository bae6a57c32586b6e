// Bar motion and geometry: rising bars jump, falling bars drop 21 dots per
// tick, the bottom edge stays on the scaled baseline.
#include <QtTest>

#include "meterstrips.h"

namespace {

int nearest(float v)
{
    return static_cast<int>(std::lround(v));
}

} // namespace

class BarMotionTest : public QObject
{
    Q_OBJECT

private slots:
    void fallsFromFullScaleInSeventeenTicks_data()
    {
        QTest::addColumn<float>("scale");
        QTest::newRow("design size") << 1.0f;
        QTest::newRow("one and a half") << 1.5f;
        QTest::newRow("double") << 2.0f;
    }
    void fallsFromFullScaleInSeventeenTicks()
    {
        QFETCH(float, scale);
        MeterStrips page;
        page.engine.scaleX = page.engine.scaleY = scale;
        page.setAll(32767);
        page.tick();
        QCOMPARE(page.barHeight(0), nearest(340 * scale));
        page.setAll(0);
        for (int tick = 1; tick <= 16; ++tick) {
            page.tick();
            QCOMPARE(page.barHeight(23), nearest((340 - 21 * tick) * scale));
        }
        page.tick();
        QCOMPARE(page.barHeight(23), 0);
        // A rising bar jumps to its target.
        page.strips[23].value = valueForDots(293);
        page.tick();
        QCOMPARE(page.barHeight(23), nearest(293 * scale));
    }

    void bottomEdgeStaysOnBaseline_data()
    {
        QTest::addColumn<float>("sx");
        QTest::addColumn<float>("sy");
        QTest::addColumn<int>("strip");
        QTest::addColumn<int>("dots");
        QTest::addColumn<int>("designX");
        QTest::newRow("channel 1, odd scale") << 1.009f << 1.046f << 0 << 213 << 50;
        QTest::newRow("channel 9, odd scale") << 1.009f << 1.046f << 8 << 11 << 391;
        QTest::newRow("main R, tall window") << 1.3f << 1.7f << 23 << 340 << 1039;
        QTest::newRow("channel 22, wide window") << 1.7f << 1.3f << 21 << 101 << 902;
    }
    void bottomEdgeStaysOnBaseline()
    {
        QFETCH(float, sx);
        QFETCH(float, sy);
        QFETCH(int, strip);
        QFETCH(int, dots);
        QFETCH(int, designX);
        MeterStrips page;
        page.engine.scaleX = sx;
        page.engine.scaleY = sy;
        page.strips[strip].value = valueForDots(dots);
        page.tick();
        const QRect bar = page.strips[strip].meter->geometry();
        QCOMPARE(bar, QRect(nearest(designX * sx), nearest(546 * sy) - nearest(sy * dots), nearest(18 * sx),
                            nearest(sy * dots)));
    }

    void changeOfScaleRedrawsAtTarget()
    {
        MeterStrips page;
        page.setAll(32767);
        page.tick();
        page.setAll(0);
        page.engine.scaleX = page.engine.scaleY = 1.5f;
        page.tick();
        QCOMPARE(page.barHeight(0), 0);
    }

    void resetEmptiesChannelBarsOnly()
    {
        MeterStrips page;
        page.engine.scaleX = page.engine.scaleY = 1.5f;
        page.setAll(32767);
        page.tick();
        const QRect mainL = page.strips[22].meter->geometry();
        page.engine.resetLevelMeter(page.strips);
        QCOMPARE(page.strips[0].meter->geometry(), QRect(50, 546, 18, 0));
        QCOMPARE(page.strips[21].meter->geometry(), QRect(902, 546, 18, 0));
        QCOMPARE(page.strips[22].meter->geometry(), mainL);
        // The next refresh places the empty channel bars at the window's scale.
        page.setAll(0);
        page.tick();
        QCOMPARE(page.strips[0].meter->geometry(), QRect(75, 819, 27, 0));
    }

    void barTallerThanFullScaleFallsFromFullScale()
    {
        MeterStrips page;
        page.engine.holdTicks = 0;
        page.strips[4].value = 32767;
        page.tick();
        // Somebody else stretched the bar; the expiring hold reads the dB
        // table at the height the bar falls to, which must stay inside it.
        page.strips[4].value = 0;
        page.standBar(4, 400);
        page.tick();
        QCOMPARE(page.barHeight(4), 319);
        QCOMPARE(page.readout(4), "-2.1");
    }
};

QTEST_MAIN(BarMotionTest)
#include "test_meterbars.moc"

// The meter scale and the bars: dB to dots, bars that jump up and fall 21
// dots per tick, the bottom edge on the scaled baseline.
#include <QtTest>

#include <limits>

#include "meter/metertables.h"
#include "meterstrips.h"

static int nearest(float v)
{
    return static_cast<int>(std::lround(v));
}

class BarTest : public QObject
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
};

QTEST_MAIN(BarTest)
#include "test_meterbars.moc"

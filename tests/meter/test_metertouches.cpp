// The engine touches a widget only when what it shows changes: a steady
// meter costs nothing, a bar below its held peak costs only the bar.
#include <QtTest>

#include "meterstrips.h"

class WidgetTouchTest : public QObject
{
    Q_OBJECT

private slots:
    void steadyLevelTouchesNothing_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<float>("scale");
        QTest::newRow("silence") << 0 << 1.0f;
        QTest::newRow("half scale") << 16384 << 1.0f;
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
        TouchCounter ticks;
        page.watch(&ticks);
        page.tick(20);
        QCOMPARE(ticks.total(), 0);
        page.engine.clearPeakHold(page.strips);
        TouchCounter clears;
        page.watch(&clears);
        page.engine.clearPeakHold(page.strips);
        QCOMPARE(clears.total(), 0);
    }

    void barBelowHeldPeakMovesOnlyTheBar()
    {
        MeterStrips page;
        page.engine.holdTicks = 30;
        page.setAll(32767);
        page.tick();
        TouchCounter bars;
        TouchCounter others;
        page.watch(&bars, MeterStrips::Bar);
        page.watch(&others, MeterStrips::Marker | MeterStrips::Readout | MeterStrips::Over);
        page.setAll(valueForDots(123));
        page.tick(20);
        QCOMPARE(others.total(), 0);
        QVERIFY(bars.geometries > 0);
    }

    void risingPeakInOneZoneIsNotRestyled()
    {
        MeterStrips page;
        page.strips[3].value = valueForDots(101);
        page.tick();
        TouchCounter marker;
        page.watch(&marker, MeterStrips::Marker);
        for (int dots : {117, 149, 181}) {
            page.strips[3].value = valueForDots(dots);
            page.tick();
        }
        QCOMPARE(marker.styles, 0);
        QCOMPARE(marker.geometries, 3);   // one move per new peak
        page.strips[3].value = valueForDots(186);
        page.tick();
        QCOMPARE(marker.styles, 1);   // into yellow
    }

    void changeOfScaleMovesMarkersOnly()
    {
        MeterStrips page;
        page.engine.holdMode = 3;
        page.setAll(32767);
        page.tick();
        page.setAll(valueForDots(208));
        page.tick();
        TouchCounter marker;
        TouchCounter readout;
        page.watch(&marker, MeterStrips::Marker);
        page.watch(&readout, MeterStrips::Readout);
        page.engine.scaleX = page.engine.scaleY = 1.25f;
        page.tick();
        QCOMPARE(marker.styles, 0);
        QCOMPARE(readout.total(), 0);
        QCOMPARE(page.strips[0].peak->geometry(), QRect(64, 258, 20, 3));
    }
};

QTEST_MAIN(WidgetTouchTest)
#include "test_metertouches.moc"

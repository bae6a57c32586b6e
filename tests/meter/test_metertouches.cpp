// The engine touches a widget only when what it shows changes: ten refreshes
// a second of a steady meter must cost nothing.
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

QTEST_MAIN(WidgetTouchTest)
#include "test_metertouches.moc"

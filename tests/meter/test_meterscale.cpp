// The meter scale: dB to dots, and the dB readouts of new and held peaks.
#include <QtTest>

#include <limits>

#include "meter/metertables.h"
#include "meterstrips.h"

class MeterScaleTest : public QObject
{
    Q_OBJECT

private slots:
    void convertsLevelToDots_data()
    {
        QTest::addColumn<float>("db");
        QTest::addColumn<int>("dots");
        QTest::newRow("full scale") << 0.0f << 340;
        QTest::newRow("above full scale") << 3.0f << 340;
        QTest::newRow("between rows") << -0.3f << 335;
        QTest::newRow("green top") << -18.2f << 181;
        QTest::newRow("just below green top") << -18.21f << 176;
        QTest::newRow("lowest lit row") << -51.34f << 6;
        QTest::newRow("silence") << -52.0f << 0;
        QTest::newRow("below the scale") << -60.0f << 0;
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
        for (int i = 1; i < meter::kDotCount; ++i)
            QVERIFY(meter::kDotsToDb[i] < meter::kDotsToDb[i - 1]);
    }

    // A new peak shows its level; a cleared hold shows the dB of the bar.
    void readout_data()
    {
        QTest::addColumn<int>("value");   // -1: clear with the bar standing at dots
        QTest::addColumn<int>("dots");
        QTest::addColumn<QString>("text");
        QTest::newRow("new peak, full scale") << 32767 << 0 << "0.0";
        QTest::newRow("new peak, over full scale") << 32768 << 0 << "0.0";
        QTest::newRow("new peak, half scale") << 16384 << 0 << "-6.0";
        QTest::newRow("new peak, just above -52 dB") << 83 << 0 << "-51.9";
        QTest::newRow("new peak, just below -52 dB") << 82 << 0 << " -inf";
        QTest::newRow("new peak, silence") << 0 << 0 << " -inf";
        QTest::newRow("clear, full scale") << -1 << 340 << "0.0";
        QTest::newRow("clear, clear green top") << -1 << 213 << "-12.2";
        QTest::newRow("clear, lowest dot") << -1 << 1 << "-51.9";
        QTest::newRow("clear, empty bar") << -1 << 0 << " -inf";
    }
    void readout()
    {
        QFETCH(int, value);
        QFETCH(int, dots);
        QFETCH(QString, text);
        MeterStrips page;
        if (value >= 0) {
            page.strips[7].value = static_cast<uint16_t>(value);
            page.tick();
        } else {
            page.standBar(7, dots);
            page.engine.clearChPeakHold(page.strips, 7);
        }
        QCOMPARE(page.readout(7), text);
    }
};

QTEST_MAIN(MeterScaleTest)
#include "test_meterscale.moc"

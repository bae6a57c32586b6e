// Which snapshot records the 24 strips show for each meter source.
#include <QtTest>

#include "meter/metersource.h"

class MeterSourceTest : public QObject
{
    Q_OBJECT

private slots:
    void stripsFollowSourceMainsDoNot_data()
    {
        QTest::addColumn<unsigned>("source");
        QTest::addColumn<int>("base");
        QTest::newRow("MTR SOURCE") << 0u << 68;
        QTest::newRow("MIC / LINE") << 1u << 0;
        QTest::newRow("USB RETURN") << 2u << 46;
        QTest::newRow("MTR RETURN") << 3u << 22;
        QTest::newRow("unknown 4") << 4u << 0;
        QTest::newRow("unknown 256") << 256u << 0;
    }
    void stripsFollowSourceMainsDoNot()
    {
        QFETCH(unsigned, source);
        QFETCH(int, base);
        levelMeter snapshot[meter::kSnapshotRecords] = {};
        for (int i = 0; i < meter::kSnapshotRecords; ++i)
            snapshot[i].value = static_cast<uint16_t>(1000 + i);
        levelMeter display[24] = {};
        display[4].holdCount = 7;

        meter::copySourceLevels(snapshot, display, source);
        for (int k = 0; k < 22; ++k)
            QCOMPARE(int(display[k].value), 1000 + base + k);
        QCOMPARE(int(display[22].value), 1000 + meter::kMainLRecord);
        QCOMPARE(int(display[23].value), 1000 + meter::kMainRRecord);
        QCOMPARE(int(display[4].holdCount), 7);
    }
};

QTEST_MAIN(MeterSourceTest)
#include "test_metersource.moc"

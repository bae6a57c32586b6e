// The programme material on the meters: repeatable for a given time, moving
// over time, inside the linear scale, and shaped like music.
#include <QtTest>

#include "sim/simunit.h"
#include "test_classes.h"

namespace {

// A unit on a clock the test sets.
struct Clocked {
    sim::SimUnit unit{sim::Model::Strata96};
    uint64_t now = 0;
    Clocked() { unit.setClock([this] { return now; }); }

    QVector<int> levelsAt(uint64_t time)
    {
        now = time;
        QVector<int> out;
        for (const sim::MeterPoint &p : unit.meterSnapshot())
            out << p.level;
        return out;
    }
};

} // namespace

class ProgrammeLevels : public QObject {
    Q_OBJECT

private slots:
    void aMinuteOfMusic_data()
    {
        QTest::addColumn<quint64>("from");
        QTest::newRow("start of the day") << quint64(0);
        QTest::newRow("an hour in") << quint64(3600000000ull);
        QTest::newRow("odd moment") << quint64(25204321987ull);
    }

    void aMinuteOfMusic()
    {
        QFETCH(quint64, from);
        const int fullScale = 32767;
        Clocked a, b;
        QVector<int> max(sim::SimUnit::kMeterCount, 0), tenthAgo;
        int clipSamples = 0, samples = 0, moved = 0, compared = 0;
        for (uint64_t t = from; t < from + 60000000; t += 10000) {
            const QVector<int> levels = a.levelsAt(t);
            if ((t - from) % 100000 == 0) { // every panel refresh
                QCOMPARE(a.levelsAt(t), levels);
                QCOMPARE(b.levelsAt(t), levels);
                for (int i = 0; i < tenthAgo.size(); ++i, ++compared)
                    moved += levels[i] != tenthAgo[i];
                tenthAgo = levels;
            }
            for (int i = 0; i < levels.size(); ++i, ++samples) {
                max[i] = std::max(max[i], levels[i]);
                clipSamples += levels[i] == fullScale;
            }
        }
        QVERIFY2(moved * 5 > compared, qPrintable(QString("%1 of %2").arg(moved).arg(compared)));
        QVERIFY(*std::max_element(max.begin(), max.end()) <= fullScale);
        QVERIFY(max.count(0) < sim::SimUnit::kMeterCount / 2);
        // The first 22 meters are the inputs: some silent, a few within 1 dB of full scale.
        const int silent = int(std::count(max.begin(), max.begin() + 22, 0));
        const int loud = int(std::count_if(max.begin(), max.begin() + 22, [](int m) { return m >= 29200; }));
        QVERIFY2(silent >= 3, qPrintable(QString::number(silent)));
        QVERIFY2(loud >= 2 && loud <= 6, qPrintable(QString::number(loud)));
        // A clip now and then, not all the time.
        QVERIFY2(clipSamples > 0 && clipSamples * 200 < samples, qPrintable(QString::number(clipSamples)));
    }
};

STRATA_TEST_CLASS(ProgrammeLevels)
#include "tst_simlevels.moc"

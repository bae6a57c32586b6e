// The programme material on the meters: repeatable for a given time, inside
// the linear scale, and shaped like music (silence, loud parts, clips,
// attack and decay, a main mix that follows the inputs).
#include <QtTest>

#include <map>

#include "wirekit.h"

using sim::MeterPoint;
using sim::Model;
using sim::SimUnit;

namespace {

constexpr uint64_t kStart = 3600ull * 1000000; // an hour into the unit's day
constexpr uint64_t kSecond = 1000000;
constexpr int kFullScale = 32767;

struct Span {
    int min = kFullScale, max = 0, clips = 0, samples = 0;
    double sum = 0;
    double mean() const { return sum / samples; }
};
using Spans = std::map<std::pair<int, int>, Span>; // by kind and channel

// A unit on a clock the test moves.
struct Clocked {
    std::shared_ptr<SimUnit> unit = std::make_shared<SimUnit>(Model::Strata96);
    std::shared_ptr<uint64_t> now = std::make_shared<uint64_t>(kStart);
    Clocked() { unit->setClock([t = now] { return *t; }); }

    // Level statistics of every meter, sampled every 10 ms.
    Spans survey(uint64_t from, uint64_t length)
    {
        Spans spans;
        for (*now = from; *now < from + length; *now += 10000) {
            for (const MeterPoint &p : unit->meterSnapshot()) {
                Span &s = spans[{p.kind, p.channel}];
                s.min = std::min<int>(s.min, p.level);
                s.max = std::max<int>(s.max, p.level);
                s.clips += p.level == kFullScale;
                s.sum += p.level;
                ++s.samples;
            }
        }
        return spans;
    }
};

const Span &at(const Spans &spans, int kind, int channel)
{
    return spans.at({kind, channel});
}

QVector<int> levels(const std::vector<MeterPoint> &points)
{
    QVector<int> out;
    for (const MeterPoint &p : points)
        out.append(p.level);
    return out;
}

} // namespace

class ProgrammeLevels : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sameTimeSameLevels();
    void levelsShapedLikeMusic();
    void clipWithinAMinute_data();
    void clipWithinAMinute();
    void hitRisesFastAndDecaysSlowly();
    void mainFollowsTheMix();

private:
    Spans minute_;
};

void ProgrammeLevels::initTestCase()
{
    minute_ = Clocked().survey(kStart, 60 * kSecond);
    QCOMPARE(int(minute_.size()), SimUnit::kMeterCount);
}

void ProgrammeLevels::sameTimeSameLevels()
{
    Clocked a, b;
    int moved = 0;
    for (uint64_t t : {kStart, kStart + 100000, kStart + 9876543}) {
        *a.now = *b.now = t;
        const QVector<int> first = levels(a.unit->meterSnapshot());
        QCOMPARE(levels(a.unit->meterSnapshot()), first);
        QCOMPARE(levels(b.unit->meterSnapshot()), first);
        *a.now = t + 100000; // one panel refresh later the picture has moved
        const QVector<int> later = levels(a.unit->meterSnapshot());
        for (int i = 0; i < first.size(); ++i)
            moved += later[i] != first[i];
    }
    QVERIFY2(moved >= 60, qPrintable(QString::number(moved)));
}

void ProgrammeLevels::levelsShapedLikeMusic()
{
    int silentInputs = 0, silent = 0, loudInputs = 0, moderateInputs = 0;
    for (const auto &entry : minute_) {
        const Span &s = entry.second;
        const bool input = entry.first.first == 4;
        QVERIFY(s.max <= kFullScale);
        silent += s.max == 0;
        silentInputs += input && s.max == 0;
        loudInputs += input && s.max >= 29200; // within 1 dB of full scale
        if (input && s.max >= 2000 && s.max <= 25000) {
            ++moderateInputs;
            // Dynamics: the level falls well below its peaks between notes.
            QVERIFY2(s.min * 2 < s.max, qPrintable(QString("input %1").arg(entry.first.second)));
        }
    }
    QVERIFY2(silentInputs >= 3, qPrintable(QString::number(silentInputs)));
    QVERIFY(silent < SimUnit::kMeterCount / 2);
    QVERIFY2(loudInputs >= 2 && loudInputs <= 6, qPrintable(QString::number(loudInputs)));
    QVERIFY2(moderateInputs >= 5, qPrintable(QString::number(moderateInputs)));
}

void ProgrammeLevels::clipWithinAMinute_data()
{
    QTest::addColumn<quint64>("from");
    QTest::newRow("start of the day") << quint64(0);
    QTest::newRow("an hour in") << quint64(kStart);
    QTest::newRow("odd moment") << quint64(kStart * 7 + 4321987);
}

void ProgrammeLevels::clipWithinAMinute()
{
    QFETCH(quint64, from);
    int clipping = 0, clipSamples = 0, samples = 0;
    for (const auto &entry : Clocked().survey(from, 60 * kSecond)) {
        clipping += entry.second.clips > 0;
        clipSamples += entry.second.clips;
        samples += entry.second.samples;
    }
    QVERIFY(clipping >= 1);
    // Now and then, not all the time.
    QVERIFY2(clipSamples * 200 < samples, qPrintable(QString::number(clipSamples)));
}

void ProgrammeLevels::hitRisesFastAndDecaysSlowly()
{
    Clocked c;
    QVector<int> trace; // the snare (input 2) over one bar, every millisecond
    for (int ms = 0; ms < 1000; ++ms) {
        *c.now = kStart + uint64_t(ms) * 1000;
        trace.append(c.unit->meterSnapshot()[1].level);
    }
    const int peakAt = int(std::max_element(trace.begin(), trace.end()) - trace.begin());
    const int peak = trace[peakAt];
    QVERIFY(peak > 0);
    int rise = 0, fall = 0;
    for (int ms = peakAt; ms > 0 && trace[ms] > peak / 2; --ms)
        ++rise;
    for (int ms = peakAt; ms < trace.size() - 1 && trace[ms] > peak / 2; ++ms)
        ++fall;
    QVERIFY2(rise * 4 < fall, qPrintable(QString("rise %1 fall %2").arg(rise).arg(fall)));
}

void ProgrammeLevels::mainFollowsTheMix()
{
    const Span &mainL = at(minute_, 2, 1);
    QVERIFY(mainL.min > 0);
    QVERIFY(at(minute_, 2, 2).min > 0);
    QVERIFY(mainL.max > 8000);

    // Muting every input leaves only the playback in the mix; six mutes of
    // nine bytes fill a request to 56 bytes.
    Clocked c;
    wirekit::Link link(c.unit);
    QByteArray mutes;
    for (uint8_t ch = 1; ch <= 22; ++ch)
        mutes += wirekit::channel(4, ch) + wirekit::u8(wirekit::SetMute, 1);
    for (int from = 0; from < mutes.size(); from += 9 * 6)
        QCOMPARE(link.send(mutes.mid(from, 9 * 6)), sim::Xfer::Ok);
    const Spans muted = c.survey(kStart, 10 * kSecond);
    QVERIFY(at(muted, 2, 1).mean() < 0.8 * mainL.mean());
    // The post-fader meters follow the mutes; the inputs themselves do not.
    QCOMPARE(at(muted, 6, 22).max, 0);
    QCOMPARE(at(muted, 6, 1).max, 0);
    QVERIFY(at(muted, 4, 1).max > 0);
}

QTEST_APPLESS_MAIN(ProgrammeLevels)
#include "tst_simlevels.moc"

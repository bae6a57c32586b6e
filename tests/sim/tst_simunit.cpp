// The simulated unit and bus, read with the tests' own wire reader.
#include <QtTest>

#include <atomic>
#include <thread>

#include "sim/faultdriver.h"
#include "sim/faultlist.h"
#include "test_table.h"
#include "wire.h"

using namespace wire;
using sim::Bus;
using sim::Model;
using sim::SimUnit;
using sim::Xfer;

namespace {

class Link {
public:
    explicit Link(uint32_t location) : location_(location) {}
    explicit Link(const std::shared_ptr<SimUnit> &unit) : location_(Bus::instance().plug(unit)) {}

    // The end item is appended if it fits: a full message needs none.
    Xfer send(const QByteArray &items) const
    {
        const QByteArray message = (items + end()).left(64);
        return Bus::instance().controlOut(location_, 29, 0, 0, reinterpret_cast<const uint8_t *>(message.constData()),
                                          uint16_t(message.size()));
    }
    Reply read(Xfer *result = nullptr) const
    {
        uint8_t buf[64];
        memset(buf, 0xEE, sizeof buf); // not zero: a missing end item must show
        const Xfer r = Bus::instance().controlIn(location_, 30, 0, 0, buf, sizeof buf);
        if (result)
            *result = r;
        return decode(buf, sizeof buf);
    }
    QVector<Reply> readAnswer() const // up to a non-zero READY
    {
        QVector<Reply> answer;
        do
            answer.append(read());
        while (answer.last().ready <= 0 && answer.size() < 200);
        return answer;
    }
    QVector<Item> ask(const QByteArray &items) const { send(items); return itemsOf(readAnswer()); }

private:
    uint32_t location_;
};

// Kind and channel of the i-th meter; meters beyond 97 go on as kind 8.
QPair<int, int> templateAt(int i)
{
    const int groups[][2] = {{4, 22}, {7, 24}, {3, 22}, {6, 22}, {2, 6}, {8, 1}};
    for (const auto &g : groups) {
        if (i < g[1])
            return {g[0], i + 1};
        i -= g[1];
    }
    return {8, i + 2};
}

// What a send or a read met: a failure, or the commands in the message as hex.
QString outcome(Xfer r, const Reply *reply = nullptr)
{
    static const char *const failures[] = {"ok", "stall", "timeout", "gone", "error"}; // by Xfer
    if (r != Xfer::Ok || !reply)
        return failures[int(r)];
    return !reply->clean ? "bad" : reply->items.isEmpty() ? "silent" : reply->ready == 0 ? "busy" : cmdsOf(reply->items);
}

QString describe(const std::vector<sim::FaultRule> &rules)
{
    static const char *const whens[] = {"now", "after", "t", "every"}; // by FaultWhen
    QStringList out;
    for (const sim::FaultRule &r : rules)
        out << QStringLiteral("%1:%2/%3us@%4=%5 p%6").arg(sim::faultKindName(r.kind)).arg(r.count).arg(r.durationUs)
                   .arg(whens[int(r.when)]).arg(r.at).arg(r.probability);
    return out.join(", ");
}

// Plays a script of steps against a unit on a virtual clock and returns what
// each met: s:OUTCOME sends a request for the rate (answered 18a1), r:OUTCOME
// reads a reply, +MS moves the clock, p:ACTION polls the unit's faults,
// d:ACTION lets the fault driver carry them out on the bus (/off: the unit is
// then off it), m:KIND malforms the next reply from code.
QString play(const QString &list, const QString &script)
{
    uint64_t nowUs = 1000000;
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    unit->setClock([&nowUs] { return nowUs; });
    std::vector<sim::FaultRule> rules;
    if (!sim::parseFaultList(list.toStdString(), &rules, nullptr))
        return "bad list";
    unit->setFaultPlan(rules);
    sim::FaultDriver driver(unit);
    Link link(unit);
    QStringList seen;
    for (const QString &step : script.split(QLatin1Char(' '))) {
        if (step.startsWith(QLatin1Char('+')) || step.startsWith(QLatin1String("m:"))) {
            if (step.startsWith(QLatin1Char('+')))
                nowUs += step.mid(1).toULongLong() * 1000;
            else
                unit->malformNextReply(step.mid(2).toInt());
            seen << step;
        } else if (step.startsWith(QLatin1String("p:")) || step.startsWith(QLatin1String("d:"))) {
            static const char *const actions[] = {"none", "unplug", "replug"};
            const bool driven = step.startsWith(QLatin1Char('d'));
            const SimUnit::BusAction action = driven ? driver.step() : unit->pollFaults();
            seen << step.left(2) + actions[int(action)] + (driven && Bus::instance().devices().empty() ? "/off" : "");
            if (action == SimUnit::BusAction::Replug)
                link = Link(unit); // the driver plugs it back at a new location
        } else if (step.startsWith(QLatin1String("s:"))) {
            seen << QStringLiteral("s:") + outcome(link.send(none(Hz)));
        } else {
            Xfer r = Xfer::Ok;
            const Reply reply = link.read(&r);
            seen << QStringLiteral("r:") + outcome(r, &reply);
        }
    }
    Bus::instance().unplug(unit); // its clock reads this frame
    return seen.join(QLatin1Char(' '));
}

} // namespace

class Simulator : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Bus::instance().unplugAll(); }

    void packing_data()
    {
        addColumns<QByteArray, bool, int, QByteArray>("request", "split", "nameLength", "answers");
        // nameLength 0: the model's own name; answers: commands as hex, each answer after a _, without READY.
        const QByteArray info = "_32_33_34_35_36_37", sweepCmds = QByteArray("_6162c3").repeated(4);
        QByteArray sweep;
        for (uint8_t ch = 1; ch <= 4; ++ch)
            sweep += u8(Ch, 4) + u8(ChNum, ch) + u8(Mute, 0);

        QTest::newRow("everything at once")
            << none(GetInfo) + none(Hz) + none(GetAutoPowerSave) + none(GetSerial) + none(RecFunc) + sweep
            << false << 0 << info + "_18_15_39_3b" + sweepCmds;
        QTest::newRow("name fills a message") << none(GetInfo) << false << 61 << info;
        QTest::newRow("name one short of full") << none(GetInfo) << false << 60 << info;
        QTest::newRow("split") << none(GetInfo) + sweep << true << 0 << info + sweepCmds;
    }

    void packing()
    {
        QFETCH(QByteArray, request); QFETCH(bool, split); QFETCH(int, nameLength); QFETCH(QByteArray, answers);
        for (bool debug : {false, true}) {
            auto unit = std::make_shared<SimUnit>(Model::Strata96);
            unit->splitReplies(split);
            unit->interleaveDebugText(debug);
            if (nameLength)
                unit->setProductName(std::string(size_t(nameLength), 'N'));
            const Link link(unit);
            QCOMPARE(link.send(request), Xfer::Ok);
            const QVector<Reply> answer = link.readAnswer();

            // A message over 64 bytes would arrive cut short: unclean, or items missing.
            QVector<Item> seen;
            for (int m = 0; m < answer.size(); ++m) {
                const Reply &reply = answer[m];
                QVERIFY2(reply.clean, qPrintable(QString("message %1").arg(m)));
                QCOMPARE(reply.countOf(Ready), m == answer.size() - 1 ? 1 : 0);
                const int answerItems = reply.items.size() - reply.countOf(Ready);
                // READY travels alone only when the message before has no room for it.
                QVERIFY(answerItems > 0 || (m > 0 && answer[m - 1].length + 3 > 64));
                QVERIFY(!split || answerItems <= 1);
                for (const Item &item : reply.items) {
                    if (item.cmd == DebugText)
                        QCOMPARE(item.bytes, QByteArray("dsp: ok"));
                    if (item.cmd != Ready)
                        seen << item;
                }
            }
            // With debug text on, a debug item comes before each answer.
            QCOMPARE(cmdsOf(seen), QByteArray(answers).replace("_", debug ? "12" : ""));
            QCOMPARE(answer.last().ready, 1);
            QCOMPARE(unit->pendingReplies(), 0);
        }
    }

    void meters_data()
    {
        addColumns<int, int, int, bool, QVector<int>>("perReply", "dropAfter", "extra", "askHzFirst", "perMessage");
        const QVector<int> sixes(16, 6);
        QTest::newRow("as the unit sends") << 6 << -1 << 0 << false << sixes + QVector<int>{1};
        QTest::newRow("behind another answer") << 6 << -1 << 0 << true << QVector<int>{0} + sixes + QVector<int>{1};
        // Seven would be 70 bytes: the size limit wins, and a last message of
        // six leaves no room for READY, which comes alone.
        QVector<int> sevens;
        for (int i = 0; i < 13; ++i)
            sevens << 6 << 1;
        QTest::newRow("seven per reply") << 7 << -1 << 0 << false << sevens + QVector<int>{6, 0};
        QTest::newRow("dropped after ten") << 6 << 10 << 0 << false << QVector<int>{6, 4};
        QTest::newRow("three extra") << 6 << -1 << 3 << false << sixes + QVector<int>{4};
    }

    void meters()
    {
        QFETCH(int, perReply); QFETCH(int, dropAfter); QFETCH(int, extra); QFETCH(bool, askHzFirst);
        auto unit = std::make_shared<SimUnit>(Model::Strata96);
        unit->setClock([] { return uint64_t(12345678); });
        unit->setMetersPerReply(perReply);
        unit->setExtraMeters(extra);
        if (dropAfter >= 0)
            unit->dropMetersAfter(dropAfter);
        const Link link(unit);
        link.send((askHzFirst ? none(Hz) : QByteArray()) + none(GetMeter));
        const QVector<Reply> answer = link.readAnswer();
        QVector<int> counts;
        for (int m = 0; m < answer.size(); ++m) {
            QVERIFY(answer[m].clean);
            QCOMPARE(answer[m].countOf(Ready), m == answer.size() - 1 ? 1 : 0);
            counts << answer[m].countOf(Meter);
        }
        QTEST(counts, "perMessage");

        // Read the way a host must: the channel items name the meter after them.
        const std::vector<sim::MeterPoint> now = unit->meterSnapshot();
        int i = 0, kind = 0, ch = 0;
        for (const Item &item : itemsOf(answer)) {
            if (item.cmd == Ch)
                kind = int(item.value);
            else if (item.cmd == ChNum)
                ch = int(item.value);
            else if (item.cmd == Meter) {
                QCOMPARE(qMakePair(kind, ch), templateAt(i));
                if (i < SimUnit::kMeterCount)
                    QCOMPARE(int(item.value), int(now[size_t(i)].level));
                ++i;
            }
        }
        // A drop cuts one read short; the next is whole again.
        if (dropAfter >= 0)
            QCOMPARE(link.ask(none(GetMeter)).size(), 3 * SimUnit::kMeterCount + 1);
    }

    void aMinuteOfMusic()
    {
        const uint64_t from = 25204321987ull;
        const int fullScale = 32767;
        uint64_t now = 0;
        SimUnit a(Model::Strata96), b(Model::Strata96);
        a.setClock([&now] { return now; });
        b.setClock([&now] { return now; });
        auto levelsOf = [](const SimUnit &unit) {
            QVector<int> out;
            for (const sim::MeterPoint &p : unit.meterSnapshot())
                out << p.level;
            return out;
        };
        QVector<int> max(SimUnit::kMeterCount, 0), tenthAgo;
        int clipSamples = 0, samples = 0, moved = 0, compared = 0;
        for (now = from; now < from + 60000000; now += 10000) {
            const QVector<int> levels = levelsOf(a);
            if ((now - from) % 100000 == 0) { // every panel refresh
                QCOMPARE(levelsOf(a), levels);
                QCOMPARE(levelsOf(b), levels);
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
        QVERIFY(max.count(0) < SimUnit::kMeterCount / 2);
        // The first 22 meters are the inputs: some silent, a few within 1 dB of full scale.
        const int silent = int(std::count(max.begin(), max.begin() + 22, 0));
        const int loud = int(std::count_if(max.begin(), max.begin() + 22, [](int m) { return m >= 29200; }));
        QVERIFY2(silent >= 3, qPrintable(QString::number(silent)));
        QVERIFY2(loud >= 2 && loud <= 6, qPrintable(QString::number(loud)));
        QVERIFY2(clipSamples > 0 && clipSamples * 200 < samples, qPrintable(QString::number(clipSamples)));
    }

    void firmwareRoundTrip()
    {
        auto unit = std::make_shared<SimUnit>(Model::Strata96);
        unit->setFirmwareBlockSize(100);
        const Link link(unit);
        QByteArray image;
        for (int i = 0; i < 250; ++i)
            image.append(char((i * 37 + 11) & 0xFF));
        link.send(u32(FwBegin, uint32_t(image.size())));
        for (int block = 0; block < 4; ++block) {
            const QVector<Item> status = link.ask(none(FwStatus));
            QCOMPARE(cmdsOf(status), QByteArray("2324a1"));
            const int room = int(status[0].value), offset = int(status[1].value);
            QCOMPARE(offset, std::min(block * 100, 250));
            QCOMPARE(room, std::min(100, 250 - offset));
            // The host overshoots the first block: the unit keeps no more
            // than it offered, and the next offset says so.
            const int length = room + (block == 0 ? 5 : 0);
            for (int sent = 0; sent < length; sent += 61) {
                const int chunk = std::min(length - sent, 61);
                link.send(array(sent + chunk < length ? FwData : FwDataEnd, image.mid(offset + sent, chunk)));
            }
        }
        const std::vector<uint8_t> held = unit->firmwareImage();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(held.data()), int(held.size())), image);
        const QVector<Item> checksum = link.ask(u32(FwGetChecksum, 0));
        QCOMPARE(cmdsOf(checksum), QByteArray("28a1"));
        QCOMPARE(checksum[0].value, 31815u); // the image's bytes added up
    }

    // The rules as KIND:COUNT/DURATION@WHEN=AT pPROBABILITY, or the error line.
    void faultListReads_data()
    {
        addColumns<QString, QString>("text", "result");
        auto row = [](const char *tag, const char *text, const QString &result) { QTest::newRow(tag) << QString(text) << result; };
        row("example", "stall:3@after=10,senderror:1,unplug@t=5s,busy:2s@every=30s,random:0.02",
            "stall:3/0us@after=10 p0, senderror:1/0us@now=0 p0, unplug:0/1000000us@t=5000000 p0, "
            "busy:1/2000000us@every=30000000 p0, random:0/0us@now=0 p0.02");
        row("milliseconds, blanks", " silence:250ms , split", "silence:1/250000us@now=0 p0, split:1/0us@now=0 p0");
        row("minutes", "ioerror:1m@t=0", "ioerror:1/60000000us@t=0 p0");
        row("probability one", "random:1", "random:0/0us@now=0 p1");
        row("probability without a whole part", "random:.5", "random:0/0us@now=0 p0.5");
        row("nothing", "  ", "");

        const QString kinds = " (kinds: stall, timeout, ioerror, senderror, busy, silence, split, debugtext, malformed, "
                              "dropmeters, extrameters, unplug, random, fwcancel, fwoffset, fwnoverify)";
        const QString span = " takes a count, or a duration such as 500ms, 2s or 1m";
        const QString times = " (after=TRANSFERS, t=DURATION or every=DURATION, as in @after=10, @t=5s, @every=30s)";
        const QString commas = ": faults are separated by single commas";
        row("unknown kind", "stall,stal:3", "unknown fault kind 'stal' in 'stal:3'" + kinds);
        row("trailing comma", "stall,", "empty fault in 'stall,'" + commas);
        row("newline", "stall,busy:x\ny", "bad value 'x\\ny' in 'busy:x\\ny': busy" + span);
        row("negative count", "busy:-1", "bad value '-1' in 'busy:-1': busy" + span);
        row("empty value", "busy:", "bad value '' in 'busy:': busy" + span);
        row("zero duration", "silence:0s", "bad value '0s' in 'silence:0s': silence" + span);
        row("longer than a day", "busy:1441m", "bad value '1441m' in 'busy:1441m': busy" + span);
        row("unplug counted", "unplug:3", "bad value '3' in 'unplug:3': unplug takes a duration such as 500ms, 2s or 1m");
        row("malformed for a time", "malformed:2s", "bad value '2s' in 'malformed:2s': malformed takes a count from 0 to 1000000");
        row("count too large", "stall:1000001", "bad value '1000001' in 'stall:1000001': stall" + span);
        row("probability above one", "random:1.5", "bad value '1.5' in 'random:1.5': random takes a probability from 0 to 1");
        row("random bare", "random", "random needs a probability, as in random:0.02, not 'random'");
        row("random timed", "random:0.1@t=2s", "random applies to every transfer and takes no @, in 'random:0.1@t=2s'");
        row("unknown time", "stall@at=3", "bad time 'at=3' in 'stall@at=3'" + times);
        row("time without unit", "stall@t=5", "bad time 't=5' in 'stall@t=5'" + times);
        row("period of nothing", "busy@every=0s", "bad time 'every=0s' in 'busy@every=0s'" + times);
        row("two times", "stall@after=1@t=2s", "bad time 'after=1@t=2s' in 'stall@after=1@t=2s'" + times);
    }

    void faultListReads()
    {
        QFETCH(QString, text);
        std::vector<sim::FaultRule> rules{sim::FaultRule()};
        std::string error;
        if (sim::parseFaultList(text.toStdString(), &rules, &error))
            QTEST(describe(rules), "result");
        else // a list that does not parse leaves the rules as they were
            QTEST(QString::fromStdString(error) + (rules.size() == 1 ? "" : " (rules changed)"), "result");
    }

    // A failed send takes nothing; a request sent while replies are spoilt is
    // still taken, its answer queued behind.
    void faultListSchedulesFaults_data()
    {
        addColumns<QString, QString>("list", "script");
        QTest::newRow("after transfers") << "stall:3@after=2" << "s:ok r:18a1 s:stall r:stall s:stall s:ok";
        QTest::newRow("send error spares reads") << "senderror:1" << "r:a1 s:error r:a1 s:ok";
        QTest::newRow("send errors for a time") << "senderror:2s" << "s:error +1999 s:error r:a1 +1 s:ok";
        QTest::newRow("time-out at a time") << "timeout@t=1s" << "s:ok +999 r:18a1 +1 r:timeout r:a1";
        QTest::newRow("stalls first, then time-outs, then errors") << "ioerror:2,timeout:1,stall:1"
            << "s:stall r:timeout s:error r:error s:ok r:18a1 r:a1";
        QTest::newRow("busy spell every period") << "busy:2s@every=30s"
            << "r:a1 +30000 r:busy +1999 r:busy +1 r:a1 +28000 r:busy +95000 r:busy +2000 r:a1";
        QTest::newRow("busy reads") << "busy:2" << "s:ok r:busy r:busy r:18a1 r:a1";
        QTest::newRow("silent reads") << "silence:2" << "r:silent s:ok r:silent r:18a1";
        QTest::newRow("malformed replies") << "malformed:3" << "s:ok r:bad r:bad r:bad r:18a1";
        QTest::newRow("malformed from code") << "" << "s:ok m:1 m:2 m:3 r:bad r:bad r:bad r:18a1";
        QTest::newRow("unplugged and back") << "unplug:2s@t=5s"
            << "p:none +4999 p:none s:ok +1 s:gone p:unplug p:none r:gone +2000 p:replug r:a1 s:ok r:18a1";
        QTest::newRow("fault driver unplugs and replugs") << "unplug:2s@after=1"
            << "s:ok s:gone d:unplug/off r:gone +1999 d:none/off +1 d:replug r:a1";
        QTest::newRow("glitch nobody unplugs") << "unplug@after=1" << "s:ok s:gone +999 r:gone +1 r:18a1";
        QTest::newRow("faults add up") << "stall:1,stall:1@after=0,timeout:1" << "s:stall s:stall s:timeout s:ok";
    }

    void faultListSchedulesFaults()
    {
        QFETCH(QString, list);
        QFETCH(QString, script);
        QCOMPARE(play(list, script), script);
    }

    // The same list and the same transfers give the same faults.
    void randomFaultsReplay()
    {
        const QString steps = QStringLiteral("s: r: ").repeated(200).trimmed();
        const QString first = play("random:0.2", steps);
        QCOMPARE(play("random:0.2", steps), first);
        const QRegularExpression fault(QStringLiteral("\\b(stall|timeout|error|silent|bad|busy)\\b"));
        const int faults = int(first.count(fault));
        QVERIFY2(faults > 20 && faults < 200, qPrintable(first));
        QCOMPARE(play("random:0", steps), QStringLiteral("s:ok r:18a1 ").repeated(200).trimmed());
    }

    void watcherHearsPresentThenChanges()
    {
        auto a = std::make_shared<SimUnit>(Model::Strata96);
        auto b = std::make_shared<SimUnit>(Model::Strata10);
        const qint64 la = Bus::instance().plug(a), lb = Bus::instance().plug(b);
        QVector<qint64> events; // +location for an arrival, -location for a removal
        const int token = Bus::instance().watch(
            {[&](const std::shared_ptr<sim::Device> &, uint32_t loc) { events << loc; },
             [&](uint32_t loc) { events << -qint64(loc); }});
        const qint64 lc = Bus::instance().plug(std::make_shared<SimUnit>(Model::Strata20));
        QCOMPARE(Link(lb).send(none(Hz)), Xfer::Ok);
        QCOMPARE(a->pendingReplies() + 10 * b->pendingReplies(), 10); // to b alone
        Bus::instance().unplug(a);
        Bus::instance().unplug(a);                     // no longer there: nothing happens
        Xfer r = Xfer::Ok;
        Link(la).read(&r);
        QCOMPARE(r, Xfer::NoDevice);
        QCOMPARE(Link(la).send(none(Hz)), Xfer::NoDevice);
        QCOMPARE(a->transferCount(), 0);
        QCOMPARE(Link(uint32_t(0)).send(none(Hz)), Xfer::NoDevice);
        QCOMPARE(qint64(Bus::instance().plug(b)), lb); // already there: nothing happens
        // Plugged in again, a unit is a new arrival at a new location.
        const qint64 la2 = Bus::instance().plug(a);
        QVERIFY(la2 != la && la2 != lb && la2 != lc);
        Bus::instance().unplugAll();
        QCOMPARE(events, QVector<qint64>({la, lb, lc, -la, la2, -lb, -lc, -la2}));
        Bus::instance().unwatch(token);
        Bus::instance().plug(a);
        QCOMPARE(events.size(), 8);
    }

    void watcherMayReenterBus()
    {
        // As a registry does that probes an arriving unit and rejects it.
        int departures = 0;
        Xfer probe = Xfer::Error;
        const int token = Bus::instance().watch({[&](const std::shared_ptr<sim::Device> &device, uint32_t loc) {
                                                     probe = Link(loc).send(none(Hz));
                                                     Bus::instance().unplug(device);
                                                 },
                                                 [&](uint32_t) { ++departures; }});
        plugSimUnit(Model::Strata96);
        Bus::instance().unwatch(token);
        QCOMPARE(probe, Xfer::Ok);
        QCOMPARE(departures, 1);
        QVERIFY(Bus::instance().devices().empty());
    }

    void transfersWhileFaultsAndUnplug()
    {
        auto unit = std::make_shared<SimUnit>(Model::Strata96);
        const Link link(Bus::instance().plug(unit));
        std::atomic<int> ok{0}, faulted{0}, broken{0};
        std::atomic<bool> gone{false};
        std::thread worker([&] {
            while (!gone) {
                gone = link.send(none(GetMeter) + none(GetInfo)) == Xfer::NoDevice;
                for (int i = 0; i < 20 && !gone; ++i) {
                    Xfer r = Xfer::Ok;
                    const Reply reply = link.read(&r);
                    gone = r == Xfer::NoDevice;
                    faulted += r == Xfer::Stall || r == Xfer::Timeout || r == Xfer::Error;
                    ok += r == Xfer::Ok;
                    broken += r == Xfer::Ok && !reply.clean; // all zero while silent reads clean
                }
            }
        });

        // Keep injecting until the worker has really run alongside: on a
        // loaded machine the 200 rounds alone may finish before it starts.
        for (int round = 0; (round < 200 || ok < 50) && round < 1000000 && !gone; ++round) {
            switch (round % 8) {
            case 0: unit->stallNext(2); break;
            case 1: unit->busyFor(3); break;
            case 2: unit->splitReplies(round % 16 == 2); break;
            case 3: unit->silence(true); break;
            case 4: unit->silence(false); break;
            case 5: unit->failNext(1); break;
            case 6: unit->interleaveDebugText(round % 16 == 6); break;
            default: unit->timeOutNext(1); break;
            }
            unit->meterSnapshot();
            unit->receivedMessages();
            std::this_thread::yield();
        }
        Bus::instance().unplug(unit);
        worker.join();
        QVERIFY(gone && ok > 0);
        QCOMPARE(broken.load(), 0);
        QVERIFY(unit->transferCount() >= ok + faulted);
    }
};

QTEST_GUILESS_MAIN(Simulator)
#include "tst_simunit.moc"

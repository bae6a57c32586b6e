// The simulated unit, read with the tests' own wire reader: how answers are laid
// out in reply messages, the meter read, the programme material, a firmware
// transfer driven as the host drives it, and the written fault lists.
#include <QtTest>

#include "sim/faultlist.h"
#include "test_table.h"
#include "wirekit.h"

using namespace wirekit;
using sim::SimUnit;
using sim::Xfer;

namespace {

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

// What a send or a read met: a failure, or what a careful reader makes of the
// message (the commands in it, as hex).
QString outcome(Xfer r, const Reply *reply = nullptr)
{
    static const char *const failures[] = {"ok", "stall", "timeout", "gone", "error"}; // by Xfer
    if (r != Xfer::Ok || !reply)
        return failures[int(r)];
    return !reply->clean() ? "bad" : reply->items.isEmpty() ? "silent" : reply->ready == 0 ? "busy" : cmdsOf(reply->items);
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

} // namespace

class SimulatedUnit : public QObject {
    Q_OBJECT

private slots:
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
            auto unit = std::make_shared<SimUnit>(sim::Model::Strata96);
            unit->splitReplies(split);
            unit->interleaveDebugText(debug);
            if (nameLength)
                unit->setProductName(std::string(size_t(nameLength), 'N'));
            const Link link(unit);
            QCOMPARE(link.send(request), sim::Xfer::Ok);
            const QVector<Reply> answer = link.readAnswer();

            // A message over 64 bytes would arrive cut short: unclean, or items missing.
            QVector<Item> seen;
            for (int m = 0; m < answer.size(); ++m) {
                const Reply &reply = answer[m];
                QVERIFY2(reply.clean(), qPrintable(QString("message %1").arg(m)));
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
        auto unit = std::make_shared<SimUnit>(sim::Model::Strata96);
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
            QVERIFY(answer[m].clean());
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

    void aMinuteOfMusic_data()
    {
        QTest::addColumn<quint64>("from");
        QTest::newRow("start of the day") << quint64(0);
        QTest::newRow("odd moment") << quint64(25204321987ull);
    }

    void aMinuteOfMusic()
    {
        QFETCH(quint64, from);
        const int fullScale = 32767;
        uint64_t now = 0;
        SimUnit a(sim::Model::Strata96), b(sim::Model::Strata96);
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
        // A clip now and then, not all the time.
        QVERIFY2(clipSamples > 0 && clipSamples * 200 < samples, qPrintable(QString::number(clipSamples)));
    }

    void firmwareRoundTrip()
    {
        auto unit = std::make_shared<SimUnit>(sim::Model::Strata96);
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

    // A list's rules as KIND:COUNT/DURATION@WHEN=AT pPROBABILITY, or the one
    // line that names the part that does not parse.
    void faultListReads_data()
    {
        addColumns<QString, QString>("text", "result");
        auto row = [](const char *tag, const char *text, const QString &result) { QTest::newRow(tag) << QString(text) << result; };
        row("example", "stall:3@after=10,senderror:1,unplug@t=5s,busy:2s@every=30s,random:0.02",
            "stall:3/0us@after=10 p0, senderror:1/0us@now=0 p0, unplug:0/1000000us@t=5000000 p0, "
            "busy:1/2000000us@every=30000000 p0, random:0/0us@now=0 p0.02");
        row("defaults", "timeout", "timeout:1/0us@now=0 p0");
        row("milliseconds, blanks", " silence:250ms , split", "silence:1/250000us@now=0 p0, split:1/0us@now=0 p0");
        row("minutes", "ioerror:1m@t=0", "ioerror:1/60000000us@t=0 p0");
        row("count zero", "dropmeters:0", "dropmeters:0/0us@now=0 p0");
        row("probability one", "random:1", "random:0/0us@now=0 p1");
        row("probability without a whole part", "random:.5", "random:0/0us@now=0 p0.5");
        row("nothing", "  ", "");

        const QString kinds = " (kinds: stall, timeout, ioerror, senderror, busy, silence, split, debugtext, malformed, "
                              "dropmeters, extrameters, unplug, random, fwcancel, fwoffset, fwnoverify)";
        const QString span = " takes a count, or a duration such as 500ms, 2s or 1m";
        const QString times = " (after=TRANSFERS, t=DURATION or every=DURATION, as in @after=10, @t=5s, @every=30s)";
        const QString commas = ": faults are separated by single commas";
        row("unknown kind", "stall,stal:3", "unknown fault kind 'stal' in 'stal:3'" + kinds);
        row("kind in capitals", "STALL", "unknown fault kind 'STALL' in 'STALL'" + kinds);
        row("empty between commas", "stall,,busy", "empty fault in 'stall,,busy'" + commas);
        row("trailing comma", "stall,", "empty fault in 'stall,'" + commas);
        row("newline", "stall,busy:x\ny", "bad value 'x\\ny' in 'busy:x\\ny': busy" + span);
        row("count with junk", "stall:3x", "bad value '3x' in 'stall:3x': stall" + span);
        row("negative count", "busy:-1", "bad value '-1' in 'busy:-1': busy" + span);
        row("empty value", "busy:", "bad value '' in 'busy:': busy" + span);
        row("zero duration", "silence:0s", "bad value '0s' in 'silence:0s': silence" + span);
        row("longer than a day", "busy:1441m", "bad value '1441m' in 'busy:1441m': busy" + span);
        row("unplug counted", "unplug:3", "bad value '3' in 'unplug:3': unplug takes a duration such as 500ms, 2s or 1m");
        row("malformed for a time", "malformed:2s", "bad value '2s' in 'malformed:2s': malformed takes a count from 0 to 1000000");
        row("count too large", "stall:1000001", "bad value '1000001' in 'stall:1000001': stall" + span);
        row("probability above one", "random:1.5", "bad value '1.5' in 'random:1.5': random takes a probability from 0 to 1");
        row("probability with a comma decimal", "random:0,5", "unknown fault kind '5' in '5'" + kinds);
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

    // A script of steps against a unit on a virtual clock: s:OUTCOME sends a
    // request for the rate (answered 18a1), r:OUTCOME reads a reply, +MS moves
    // the clock, p:ACTION polls, m:KIND malforms the next reply from code. A
    // failed send takes nothing; a request sent while replies are spoilt is
    // still taken, its answer queued behind.
    void faultListSchedulesFaults_data()
    {
        addColumns<QString, QString>("list", "script");
        QTest::newRow("after transfers") << "stall:3@after=2" << "s:ok r:18a1 s:stall r:stall s:stall s:ok";
        QTest::newRow("send error spares reads") << "senderror:1" << "r:a1 s:error r:a1 s:ok";
        QTest::newRow("send errors for a time") << "senderror:2s" << "s:error +1999 s:error r:a1 +1 s:ok";
        QTest::newRow("io error on a read") << "ioerror:1@after=1" << "r:a1 r:error s:ok";
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
        QTest::newRow("glitch nobody unplugs") << "unplug@after=1" << "s:ok s:gone +999 r:gone +1 r:18a1";
        QTest::newRow("faults add up") << "stall:1,stall:1@after=0,timeout:1" << "s:stall s:stall s:timeout s:ok";
    }

    void faultListSchedulesFaults()
    {
        QFETCH(QString, list); QFETCH(QString, script);
        uint64_t nowUs = 1000000;
        auto unit = std::make_shared<SimUnit>(sim::Model::Strata96);
        unit->setClock([&nowUs] { return nowUs; });
        std::vector<sim::FaultRule> rules;
        QVERIFY(sim::parseFaultList(list.toStdString(), &rules, nullptr));
        unit->setFaultPlan(rules);
        const Link link(unit);

        QStringList seen;
        for (const QString &step : script.split(QLatin1Char(' '))) {
            if (step.startsWith(QLatin1Char('+')) || step.startsWith(QLatin1String("m:"))) {
                if (step.startsWith(QLatin1Char('+')))
                    nowUs += step.mid(1).toULongLong() * 1000;
                else
                    unit->malformNextReply(step.mid(2).toInt());
                seen << step;
            } else if (step.startsWith(QLatin1String("p:"))) {
                static const char *const actions[] = {"none", "unplug", "replug"};
                seen << QStringLiteral("p:") + QLatin1String(actions[int(unit->pollFaults())]);
            } else if (step.startsWith(QLatin1String("s:"))) {
                seen << QStringLiteral("s:") + outcome(link.send(none(Hz)));
            } else {
                Xfer r = Xfer::Ok;
                const Reply reply = link.read(&r);
                seen << QStringLiteral("r:") + outcome(r, &reply);
            }
        }
        QCOMPARE(seen.join(QLatin1Char(' ')), script);
    }

    // The same list and the same transfers give the same faults: a tester's
    // run can be replayed.
    void randomFaultsReplay()
    {
        auto run = [](const char *list) {
            auto unit = std::make_shared<SimUnit>(sim::Model::Strata96);
            unit->setClock([] { return uint64_t(0); });
            std::vector<sim::FaultRule> rules;
            sim::parseFaultList(list, &rules, nullptr);
            unit->setFaultPlan(rules);
            const Link link(unit);
            QStringList outcomes;
            for (int i = 0; i < 200; ++i) {
                outcomes << outcome(link.send(none(Hz)));
                Xfer r = Xfer::Ok;
                const Reply reply = link.read(&r);
                outcomes << outcome(r, &reply);
            }
            return outcomes.join(' ');
        };
        const QString first = run("random:0.2");
        QCOMPARE(run("random:0.2"), first);
        const QRegularExpression fault(QStringLiteral("\\b(stall|timeout|error|silent|bad|busy)\\b"));
        const int faults = int(first.count(fault));
        QVERIFY2(faults > 20 && faults < 200, qPrintable(first));
        QCOMPARE(run("random:0"), QStringLiteral("ok 18a1").repeated(200).replace("1o", "1 o"));
    }
};

QTEST_GUILESS_MAIN(SimulatedUnit)
#include "tst_simunit.moc"

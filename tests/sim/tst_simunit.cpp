// The simulated unit, read with the tests' own wire reader: how answers are laid out in
// reply messages (at most 64 bytes, closed by the end item unless full, READY in the last
// only) and the meter read (template order, six meters a message, its faults); the
// programme material on the meters; a firmware transfer driven as the host drives it; and
// injected faults, none of which may lose or change what the unit was asked.
#include <QtTest>

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

class SimulatedUnit : public QObject {
    Q_OBJECT

private slots:
    void packing_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<bool>("split");
        QTest::addColumn<int>("nameLength");     // 0: the model's own name
        QTest::addColumn<QByteArray>("answers"); // commands as hex, each answer after a _, without READY
        const QByteArray info = "_32_33_34_35_36_37", sweepCmds = QByteArray("_6162c3").repeated(4);
        QByteArray sweep;
        for (uint8_t ch = 1; ch <= 4; ++ch)
            sweep += channel(4, ch) + u8(Mute, 0);

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
        QTest::addColumn<int>("perReply");
        QTest::addColumn<int>("dropAfter"); // -1: no drop
        QTest::addColumn<int>("extra");
        QTest::addColumn<bool>("askHzFirst");
        QTest::addColumn<QVector<int>>("perMessage"); // meters in each message
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
        QFETCH(QVector<int>, perMessage);
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
        QCOMPARE(counts, perMessage);

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

    void firmwareRoundTrip()
    {
        auto unit = std::make_shared<sim::SimUnit>(sim::Model::Strata96);
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
        uint32_t sum = 0;
        for (char c : image)
            sum += uint8_t(c);
        QCOMPARE(checksum[0].value, sum);
    }

    void faultsLoseNothing_data()
    {
        QTest::addColumn<int>("kind");  // -1: busy for two reads, 0: silence, 1-3: malformNextReply's kind
        QTest::addColumn<int>("reads"); // replies the fault spoils
        QTest::newRow("failed transfers alone") << -2 << 0;
        QTest::newRow("busy") << -1 << 2;
        QTest::newRow("silence") << 0 << 2;
        QTest::newRow("invalid type") << 1 << 1;
        QTest::newRow("array past the end") << 2 << 1;
        QTest::newRow("garbage") << 3 << 1;
    }

    void faultsLoseNothing()
    {
        QFETCH(int, kind); QFETCH(int, reads);
        auto unit = std::make_shared<sim::SimUnit>(sim::Model::Strata96);
        const Link link(unit);
        link.send(none(Hz));
        if (kind == -1)
            unit->busyFor(2);
        else if (kind == 0)
            unit->silence(true);
        else if (kind > 0)
            unit->malformNextReply(kind);

        // Set in reverse: stalls still come first, then time-outs, then errors.
        // A failed transfer takes no request, writes and uses up nothing.
        unit->failNext(2);
        unit->timeOutNext(1);
        unit->stallNext(1);
        const int before = unit->transferCount();
        Xfer r = Xfer::Ok;
        QCOMPARE(link.send(u32(SetHz, 96000)), Xfer::Stall);
        QVERIFY(link.read(&r).items.isEmpty());
        QCOMPARE(r, Xfer::Timeout);
        QCOMPARE(link.send(u32(SetHz, 96000)), Xfer::Error);
        QVERIFY(link.read(&r).items.isEmpty());
        QCOMPARE(r, Xfer::Error);
        QCOMPARE(unit->transferCount(), before + 4);
        QCOMPARE(int(unit->receivedMessages().size()), 1);
        QCOMPARE(unit->sampleRate(), 48000u);
        // A request while replies are spoilt is still taken; its answer queues behind.
        QCOMPARE(link.send(u32(SetHz, 44100) + none(GetSerial)), Xfer::Ok);
        QCOMPARE(unit->sampleRate(), 44100u);

        for (int i = 0; i < reads; ++i) {
            uint8_t buf[64];
            memset(buf, 0xEE, sizeof buf);
            QCOMPARE(unit->controlIn(30, 0, 0, buf, sizeof buf), Xfer::Ok);
            const QByteArray raw(reinterpret_cast<char *>(buf), 64);
            const Reply bad = decode(buf, sizeof buf);
            QVERIFY(bad.ready <= 0 && bad.countOf(Hz) == 0); // nothing a careful reader takes for an answer
            if (kind == -1)
                QCOMPARE(cmdsOf(bad.items), QByteArray("a1"));
            else if (kind == 0)
                QCOMPARE(raw, QByteArray(64, '\0'));
            else if (kind == 1)
                QCOMPARE(bad.badType, 9);
            else if (kind == 2)
                QVERIFY(bad.overrun);
            else
                QVERIFY(!bad.clean() && raw.count('\0') < 8);
        }
        unit->silence(false);
        QCOMPARE(cmdsOf(link.read().items), QByteArray("18a1"));
        QCOMPARE(cmdsOf(link.read().items), QByteArray("39a1"));
        QCOMPARE(link.read().ready, 1);
    }

    // A script of steps against a unit on a virtual clock: s:OUTCOME sends a
    // request, r:OUTCOME reads a reply, +MS moves the clock, p:ACTION polls.
    void faultListSchedulesFaults_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("script");
        QTest::newRow("after transfers") << "stall:3@after=2" << "s:ok r:ready s:stall r:stall s:stall s:ok";
        QTest::newRow("send error spares reads") << "senderror:1" << "r:ready s:error r:ready s:ok";
        QTest::newRow("send errors for a time") << "senderror:2s" << "s:error +1999 s:error r:ready +1 s:ok";
        QTest::newRow("io error on a read") << "ioerror:1@after=1" << "r:ready r:error s:ok";
        QTest::newRow("time-out at a time") << "timeout@t=1s" << "s:ok +999 r:ready +1 r:timeout r:ready";
        QTest::newRow("busy spell every period") << "busy:2s@every=30s"
            << "r:ready +30000 r:busy +1999 r:busy +1 r:ready +28000 r:busy +95000 r:busy +2000 r:ready";
        QTest::newRow("silent reads") << "silence:2" << "r:silent s:ok r:silent r:ready";
        QTest::newRow("unplugged and back") << "unplug:2s@t=5s"
            << "p:none +4999 p:none s:ok +1 s:gone p:unplug p:none r:gone +2000 p:replug s:ok r:ready";
        QTest::newRow("glitch nobody unplugs") << "unplug@after=1" << "s:ok s:gone +999 r:gone +1 r:ready";
        QTest::newRow("faults add up") << "stall:1,stall:1@after=0,timeout:1" << "s:stall s:stall s:timeout s:ok";
    }

    void faultListSchedulesFaults()
    {
        QFETCH(QString, list); QFETCH(QString, script);
        uint64_t nowUs = 1000000;
        auto unit = std::make_shared<sim::SimUnit>(sim::Model::Strata96);
        unit->setClock([&nowUs] { return nowUs; });
        std::vector<sim::FaultRule> rules;
        QVERIFY(sim::parseFaultList(list.toStdString(), &rules, nullptr));
        unit->setFaultPlan(rules);
        const Link link(unit);

        QStringList seen;
        for (const QString &step : script.split(QLatin1Char(' '))) {
            if (step.startsWith(QLatin1Char('+'))) {
                nowUs += step.mid(1).toULongLong() * 1000;
                seen << step;
            } else if (step.startsWith(QLatin1String("p:"))) {
                static const char *const actions[] = {"none", "unplug", "replug"};
                seen << QStringLiteral("p:") + QLatin1String(actions[int(unit->pollFaults())]);
            } else if (step.startsWith(QLatin1String("s:"))) {
                seen << QStringLiteral("s:") + outcome(link.send(u32(SetHz, 48000)), nullptr);
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
            auto unit = std::make_shared<sim::SimUnit>(sim::Model::Strata96);
            unit->setClock([] { return uint64_t(0); });
            std::vector<sim::FaultRule> rules;
            sim::parseFaultList(list, &rules, nullptr);
            unit->setFaultPlan(rules);
            const Link link(unit);
            QString outcomes;
            for (int i = 0; i < 400; ++i) {
                Xfer r = Xfer::Ok;
                const Reply reply = i % 2 ? link.read(&r) : Reply();
                if (i % 2 == 0)
                    r = link.send(none(Hz));
                outcomes += outcome(r, i % 2 ? &reply : nullptr).left(1);
            }
            return outcomes;
        };
        const QString first = run("random:0.2");
        QCOMPARE(run("random:0.2"), first);
        const int clean = int(first.count(QLatin1Char('o')) + first.count(QLatin1Char('r')));
        QVERIFY2(clean > 200 && clean < 380, qPrintable(first));
        QVERIFY(!run("random:0").contains(QRegularExpression(QStringLiteral("[^or]"))));
    }

private:
    static QString outcome(Xfer r, const Reply *reply)
    {
        static const char *const failures[] = {"", "stall", "timeout", "gone", "error"}; // by Xfer
        if (r != Xfer::Ok || !reply)
            return r != Xfer::Ok ? failures[int(r)] : "ok";
        return reply->items.isEmpty() ? "silent" : reply->ready == 0 ? "busy" : reply->ready > 0 ? "ready" : "answer";
    }
};

QTEST_GUILESS_MAIN(SimulatedUnit)
#include "tst_simunit.moc"

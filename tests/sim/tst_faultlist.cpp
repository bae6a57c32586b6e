// The fault switch's written lists: what each rule means, and one line naming
// the part that does not parse.
#include <QtTest>

#include "sim/faultlist.h"

using sim::FaultKind;
using sim::FaultWhen;

Q_DECLARE_METATYPE(FaultKind)
Q_DECLARE_METATYPE(FaultWhen)

class FaultList : public QObject {
    Q_OBJECT

private slots:
    void rulesMeanWhatTheySay_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rules");
        QTest::addColumn<int>("index"); // the rule checked
        QTest::addColumn<FaultKind>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<qulonglong>("durationUs");
        QTest::addColumn<FaultWhen>("when");
        QTest::addColumn<qulonglong>("at");
        QTest::addColumn<double>("probability");

        const QString example = QStringLiteral("stall:3@after=10,senderror:1,unplug@t=5s,busy:2s@every=30s,random:0.02");
        QTest::newRow("count after transfers") << example << 5 << 0 << FaultKind::Stall << 3 << 0ull << FaultWhen::AfterTransfers << 10ull << 0.0;
        QTest::newRow("count at once") << example << 5 << 1 << FaultKind::SendError << 1 << 0ull << FaultWhen::Now << 0ull << 0.0;
        QTest::newRow("unplug for a second by default") << example << 5 << 2 << FaultKind::Unplug << 0 << 1000000ull << FaultWhen::AtTime << 5000000ull << 0.0;
        QTest::newRow("spell every period") << example << 5 << 3 << FaultKind::Busy << 1 << 2000000ull << FaultWhen::Every << 30000000ull << 0.0;
        QTest::newRow("random") << example << 5 << 4 << FaultKind::Random << 0 << 0ull << FaultWhen::Now << 0ull << 0.02;
        QTest::newRow("defaults") << "timeout" << 1 << 0 << FaultKind::Timeout << 1 << 0ull << FaultWhen::Now << 0ull << 0.0;
        QTest::newRow("milliseconds, blanks") << " silence:250ms , split" << 2 << 0 << FaultKind::Silence << 1 << 250000ull << FaultWhen::Now << 0ull << 0.0;
        QTest::newRow("minutes") << "ioerror:1m@t=0" << 1 << 0 << FaultKind::IoError << 1 << 60000000ull << FaultWhen::AtTime << 0ull << 0.0;
        QTest::newRow("count zero") << "dropmeters:0" << 1 << 0 << FaultKind::DropMeters << 0 << 0ull << FaultWhen::Now << 0ull << 0.0;
        QTest::newRow("probability one") << "random:1" << 1 << 0 << FaultKind::Random << 0 << 0ull << FaultWhen::Now << 0ull << 1.0;
        QTest::newRow("probability without a whole part") << "random:.5" << 1 << 0 << FaultKind::Random << 0 << 0ull << FaultWhen::Now << 0ull << 0.5;
        QTest::newRow("nothing") << "  " << 0 << -1 << FaultKind::Stall << 0 << 0ull << FaultWhen::Now << 0ull << 0.0;
    }

    void rulesMeanWhatTheySay()
    {
        QFETCH(QString, text); QFETCH(int, rules); QFETCH(int, index);
        std::vector<sim::FaultRule> parsed{sim::FaultRule()};
        std::string error;
        QVERIFY2(sim::parseFaultList(text.toStdString(), &parsed, &error), error.c_str());
        QCOMPARE(int(parsed.size()), rules);
        if (index < 0)
            return;
        const sim::FaultRule &r = parsed.at(size_t(index));
        QTEST(r.kind, "kind");
        QTEST(r.count, "count");
        QTEST(qulonglong(r.durationUs), "durationUs");
        QTEST(r.when, "when");
        QTEST(qulonglong(r.at), "at");
        QTEST(r.probability, "probability");
    }

    void badPartIsNamed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        const QString kinds = " (kinds: stall, timeout, ioerror, senderror, busy, silence, split, debugtext, malformed, "
                              "dropmeters, extrameters, unplug, random, fwcancel, fwoffset, fwnoverify)";
        const QString span = " takes a count, or a duration such as 500ms, 2s or 1m";
        const QString times = " (after=TRANSFERS, t=DURATION or every=DURATION, as in @after=10, @t=5s, @every=30s)";
        const QString commas = ": faults are separated by single commas";
        auto row = [](const char *tag, const char *text, const QString &error) { QTest::newRow(tag) << QString(text) << error; };
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

    void badPartIsNamed()
    {
        QFETCH(QString, text);
        std::vector<sim::FaultRule> rules{sim::FaultRule()};
        std::string error;
        QVERIFY(!sim::parseFaultList(text.toStdString(), &rules, &error));
        QTEST(QString::fromStdString(error), "error");
        QCOMPARE(int(rules.size()), 1); // untouched
    }
};

QTEST_APPLESS_MAIN(FaultList)
#include "tst_faultlist.moc"

// How stratactl reads its command line: options anywhere, values in both
// forms, per-command option checks, and the exact error lines.
#include <QtTest>

#include "tools/invocation.h"

class StratactlInvocation : public QObject
{
    Q_OBJECT

private slots:
    void acceptsCommandLines_data();
    void acceptsCommandLines();
    void rejectsCommandLines_data();
    void rejectsCommandLines();
    void helpRequestsBecomeTheHelpCommand_data();
    void helpRequestsBecomeTheHelpCommand();
};

void StratactlInvocation::acceptsCommandLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("simulate");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("json");
    QTest::addColumn<bool>("watch");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("interval");

    QTest::newRow("bare info") << QStringList{"info"} << "info" << QStringList{} << "" << 0 << false << false << 0 << 100;
    QTest::newRow("options before and after")
        << QStringList{"--simulate", "Strata 96", "meters", "--watch", "--count", "30"}
        << "meters" << QStringList{} << "Strata 96" << 0 << false << true << 30 << 100;
    QTest::newRow("equals forms")
        << QStringList{"--simulate=Strata 10", "--unit=3", "meters", "--watch", "--interval=250", "--json"}
        << "meters" << QStringList{} << "Strata 10" << 3 << true << true << 0 << 250;
    QTest::newRow("last value wins")
        << QStringList{"--unit", "1", "--unit", "2", "list"} << "list" << QStringList{} << "" << 2 << false << false << 0 << 100;
    QTest::newRow("command words kept in order")
        << QStringList{"set", "fader", "analog:3", "--unit", "1", "200"}
        << "set" << QStringList{"fader", "analog:3", "200"} << "" << 1 << false << false << 0 << 100;
    QTest::newRow("double dash ends the options")
        << QStringList{"get", "--", "-x"} << "get" << QStringList{"-x"} << "" << 0 << false << false << 0 << 100;
    QTest::newRow("unit 9 is the last slot")
        << QStringList{"info", "--unit", "9"} << "info" << QStringList{} << "" << 9 << false << false << 0 << 100;
}

void StratactlInvocation::acceptsCommandLines()
{
    QFETCH(QStringList, args);
    const ParsedInvocation parsed = parseInvocation(args);
    QCOMPARE(parsed.error, QString());
    const Invocation &inv = parsed.invocation;
    QTEST(inv.command, "command");
    QTEST(inv.args, "words");
    QTEST(inv.simulate, "simulate");
    QTEST(inv.unit, "unit");
    QTEST(inv.json, "json");
    QTEST(inv.watch, "watch");
    QTEST(inv.count, "count");
    QTEST(inv.intervalMs, "interval");
}

void StratactlInvocation::rejectsCommandLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");

    QTest::newRow("nothing") << QStringList{} << "no command given (see stratactl --help)";
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << "unknown command 'frobnicate' (see stratactl --help)";
    QTest::newRow("unknown option") << QStringList{"info", "--colour"} << "unknown option --colour (see stratactl --help)";
    QTest::newRow("value missing at the end") << QStringList{"info", "--unit"} << "option --unit needs a value";
    QTest::newRow("flag with a value") << QStringList{"info", "--json=yes"} << "option --json takes no value";
    QTest::newRow("empty model") << QStringList{"--simulate=", "info"} << "option --simulate needs a model name";
    QTest::newRow("unit past the table") << QStringList{"--unit", "10", "info"} << "invalid unit '10': units are counted from 0 to 9";
    QTest::newRow("negative unit") << QStringList{"--unit", "-1", "info"} << "invalid unit '-1': units are counted from 0 to 9";
    QTest::newRow("unit with a sign") << QStringList{"--unit", "+1", "info"} << "invalid unit '+1': units are counted from 0 to 9";
    QTest::newRow("count zero") << QStringList{"meters", "--watch", "--count", "0"} << "invalid count '0': give a number of refreshes from 1";
    QTest::newRow("interval too short") << QStringList{"meters", "--watch", "--interval", "5"} << "invalid interval '5': give milliseconds from 10 to 60000";
    QTest::newRow("count without watch") << QStringList{"meters", "--count", "3"} << "option --count needs --watch";
    QTest::newRow("interval without watch") << QStringList{"meters", "--interval", "200"} << "option --interval needs --watch";
    QTest::newRow("watch on info") << QStringList{"info", "--watch"} << "option --watch is not valid for info";
    QTest::newRow("quiet on info") << QStringList{"info", "--quiet"} << "option --quiet is not valid for info";
    QTest::newRow("json on get") << QStringList{"get", "mute", "1", "--json"} << "option --json is not valid for get";
    QTest::newRow("engine on list") << QStringList{"list", "--engine"} << "option --engine is not valid for list";
    QTest::newRow("engine with another unit") << QStringList{"--engine", "--unit", "1", "info"}
        << "option --unit is not valid with --engine: the engine uses the first unit";
    QTest::newRow("engine with an interval") << QStringList{"--engine", "meters", "--watch", "--interval", "50"}
        << "option --interval is not valid with --engine: the engine polls every 100 ms";
    QTest::newRow("argument to info") << QStringList{"info", "now"} << "unexpected argument 'now' for info";
    QTest::newRow("help on an unknown command") << QStringList{"help", "dance"} << "unknown command 'dance' (see stratactl --help)";
    QTest::newRow("help with two words") << QStringList{"help", "info", "list"} << "unexpected argument 'list' for help";
}

void StratactlInvocation::rejectsCommandLines()
{
    QFETCH(QStringList, args);
    QTEST(parseInvocation(args).error, "error");
}

void StratactlInvocation::helpRequestsBecomeTheHelpCommand_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("topic");

    QTest::newRow("--help alone") << QStringList{"--help"} << QStringList{};
    QTest::newRow("-h alone") << QStringList{"-h"} << QStringList{};
    QTest::newRow("help") << QStringList{"help"} << QStringList{};
    QTest::newRow("help meters") << QStringList{"help", "meters"} << QStringList{"meters"};
    QTest::newRow("meters --help") << QStringList{"meters", "--help"} << QStringList{"meters"};
    QTest::newRow("help --help") << QStringList{"help", "--help"} << QStringList{"help"};
    QTest::newRow("help info --help") << QStringList{"help", "info", "--help"} << QStringList{"info"};
    // Help wins over whatever else is wrong with the rest of the line.
    QTest::newRow("set --help with junk") << QStringList{"set", "fader", "--help", "--watch"} << QStringList{"set"};
}

void StratactlInvocation::helpRequestsBecomeTheHelpCommand()
{
    QFETCH(QStringList, args);
    const ParsedInvocation parsed = parseInvocation(args);
    QCOMPARE(parsed.error, QString());
    QCOMPARE(parsed.invocation.command, QStringLiteral("help"));
    QTEST(parsed.invocation.args, "topic");
}

QTEST_APPLESS_MAIN(StratactlInvocation)
#include "tst_stratactl_invocation.moc"

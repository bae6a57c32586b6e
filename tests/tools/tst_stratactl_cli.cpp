// The built stratactl as a user runs it on a simulated Strata 96: exit
// statuses and error lines, help, the JSON reports, the engine mode, where
// the library's lines go, output that cannot be written, and the completion.
#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "test_table.h"

namespace {

struct CliRun { int status = -1; QByteArray out, err; };

// Leading NAME=VALUE words go into the tool's environment; a leading ">&-"
// closes its standard output, ">/dev/full" fills the disk, "|head" gives it a
// reader that takes one line and goes, and "complete" completes the words.
CliRun runCli(QStringList args)
{
    QProcess process, reader;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C"); // the system's error texts in English
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("STRATA_"))) {
        const QString word = args.takeFirst();
        environment.insert(word.section(QLatin1Char('='), 0, 0), word.section(QLatin1Char('='), 1));
    }
    process.setProcessEnvironment(environment);
    QString program = QStringLiteral(STRATACTL_PATH);
    if (args.value(0) == QLatin1String("complete")) {
        // The bash completion as bash runs it, its helper from bash-completion stubbed.
        program = "bash";
        args = QStringList{"-c", "_init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]};"
                                 " words=(\"${COMP_WORDS[@]}\"); cword=$COMP_CWORD; }; complete() { :; };"
                                 " source \"$0\"; COMP_WORDS=(stratactl \"$@\"); COMP_CWORD=$#; _stratactl;"
                                 " printf '%s|' \"${COMPREPLY[@]}\"", COMPLETION_PATH} + args.mid(1);
    } else if (args.value(0) == QLatin1String(">&-")) {
        program = "/bin/sh";
        args = QStringList{"-c", "exec \"$0\" \"$@\" >&-", STRATACTL_PATH} + args.mid(1);
    } else if (args.value(0) == QLatin1String(">/dev/full")) {
        process.setStandardOutputFile(args.takeFirst().mid(1));
    } else if (args.value(0) == QLatin1String("|head")) {
        args.removeFirst();
        process.setStandardOutputProcess(&reader);
        reader.start("head", {"-n", "1"});
    }
    process.start(program, args);
    if (!process.waitForFinished(30000))
        return CliRun();
    reader.waitForFinished(30000);
    return CliRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                  process.readAllStandardOutput(), process.readAllStandardError()};
}

const QStringList sim96{"--simulate", "Strata 96"};

// The library's lines: "path:line:...", the product name after an arrival
// or removal, and the count of repeated ones.
QByteArray withoutLibraryLines(const QByteArray &err)
{
    QByteArray own;
    bool nameFollows = false;
    for (const QByteArray &line : err.split('\n')) {
        const bool library = line.startsWith("../../zutest/") || nameFollows || line.startsWith("last ");
        nameFollows = line.startsWith("../../zutest/") && (line.endsWith(":Device added") || line.endsWith(":removed"));
        if (!library && !line.isEmpty())
            own += line + '\n';
    }
    return own;
}

} // namespace

class StratactlCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qunsetenv("STRATA_SIMULATE"); } // only --simulate picks the unit
    void runsAsTheUserSeesIt_data();
    void runsAsTheUserSeesIt();
};

// out: what standard output starts with (the result alone, whichever program
// writes it); err: standard error without the device library's lines, which
// must hold `library` and be fewer than ten; readings: how many meter
// readings of 97 values standard output must hold.
void StratactlCli::runsAsTheUserSeesIt_data()
{
    addColumns<QStringList, int, QByteArray, QByteArray, int, QByteArray>("args", "status", "out", "err", "readings", "library");
    auto row = [](const char *tag, const QStringList &args, int status, const QByteArray &out, const QByteArray &err,
                  int readings = 0, const QByteArray &library = {}) {
        QTest::newRow(tag) << args << status << out << (err.isEmpty() ? err : "stratactl: " + err + "\n") << readings
                           << library;
    };
    const QByteArray arrival("../../zutest/usbdevs.c:132:Device added\nStrata 96\n");
    const QString models = ": models are Strata 96, Strata 10, Strata 14, Strata 20";
    row("unknown command", {"frobnicate"}, 2, {}, "unknown command 'frobnicate' (see stratactl --help)");
    row("unknown model", {"--simulate", "Strata 97", "info"}, 2, {}, ("unknown model 'Strata 97'" + models).toUtf8());
    row("unknown model in the environment", {"STRATA_SIMULATE=bogus", "info"}, 2, {},
        ("unknown model 'bogus' in STRATA_SIMULATE" + models).toUtf8());
    row("second unit", sim96 + QStringList{"--unit", "1", "info"}, 1, {}, "no unit 1: 1 unit connected");
    row("bad fault list", sim96 + QStringList{"--faults", "stall:3,busy:x", "info"}, 2, {},
        "--faults: bad value 'x' in 'busy:x': busy takes a count, or a duration such as 500ms, 2s or 1m");
    row("bad fault list in the environment", QStringList{"STRATA_SIMULATE_FAULTS=unplug:3"} + sim96 + QStringList{"list"}, 2,
        {}, "STRATA_SIMULATE_FAULTS: bad value '3' in 'unplug:3': unplug takes a duration such as 500ms, 2s or 1m");
    row("faults on real units", {"--faults", "stall", "info"}, 2, {},
        "option --faults needs the simulated unit (--simulate MODEL)");
    row("faults the transport rides out", sim96 + QStringList{"--faults", "timeout:1,busy:3,split:2", "info"}, 0,
        "Unit:          0 (slot 0)\nProduct:       Strata 96\n", {}, 0, "usbdevs.c:293:kIOUSBTransactionTimeout\n");
    // A stall's poll lines come once, then as a count; a unit pulled out ends
    // the command at once.
    row("stalled a while", sim96 + QStringList{"--faults", "stall:300ms", "get", "samplerate"}, 0, "48000\n", {}, 0,
        "zuctl.c:114:ERROR\nlast 3 lines repeated ");
    row("pulled out", sim96 + QStringList{"--faults", "unplug:10s@after=3", "info"}, 1, {}, "unit was disconnected", 0,
        "usbdevs.c:286:ERROR 0xfffffffc\n");
    row("quiet list", sim96 + QStringList{"list", "--quiet"}, 0, {}, {});
    row("set, output closed", QStringList{">&-"} + sim96 + QStringList{"set", "fader", "1", "10"}, 0, {}, {});
    row("info", sim96 + QStringList{"info"}, 0, "Unit:          0 (slot 0)\nProduct:       Strata 96\nFirmware:      1.02 0023\n", {});
    row("list as JSON", sim96 + QStringList{"list", "--json"}, 0,
        "{\"units\":[{\"model\":\"Strata 96\",\"slot\":0,\"unit\":0}]}\n", {}, 0, arrival);
    row("get as JSON", sim96 + QStringList{"get", "fader", "direct:2", "--json"}, 0,
        "{\"channel\":\"direct:2\",\"setting\":\"fader\",\"value\":0}\n", {});
    row("version", {"--version"}, 0, "stratactl 2.00 0023\n", {});
    row("meters", sim96 + QStringList{"meters", "--json"}, 0, {}, {}, 1);
    // Nothing else on standard error: above all no warning about the worker thread.
    row("engine info", sim96 + QStringList{"--engine", "info", "--json"}, 0,
        "{\"build\":23,\"build_date\":\"Nov 12 2025\",\"build_time\":\"10:21:07\",\"firmware\":\"1.02 0023\","
        "\"product\":\"Strata 96\",\"rec_function\":[1,1,0,0,2,0,0,0,1,1,0,0,0,0,2,2,0,0,0,0,0,0,1],"
        "\"sample_rate\":48000,\"serial\":\"S96A00417\",\"slot\":null,\"unit\":0,\"version\":102}\n", {}, 0, arrival);
    row("engine meters", sim96 + QStringList{"--engine", "meters", "--watch", "--count", "3", "--json"}, 0, {}, {}, 3);
    row("-h", {"-h"}, 0, "Usage: stratactl [OPTIONS] COMMAND", {});
    row("help faults", {"help", "faults"}, 0, "Usage: stratactl --simulate MODEL --faults LIST COMMAND", {});
    row("help meters", {"help", "meters"}, 0, "Usage: stratactl meters", {});
    // Help wins over whatever else is wrong with the rest of the line.
    row("set --help, with junk", {"set", "fader", "--help", "--watch"}, 0, "Usage: stratactl set SETTING", {});
    row("completed model names", {"complete", "--simulate", "St"}, 0, "Strata\\ 96|Strata\\ 10|Strata\\ 14|Strata\\ 20|", {});
    row("completed help", {"complete", "help", "f"}, 0, "firmware|faults|", {});
    // A full disk or a reader that went away: one line, exit 1, and a watch ends
    // (the commands' own writes to a full disk are checked in-process).
    const QStringList watch{"meters", "--watch", "--interval", "10"};
    const QByteArray full = "cannot write the output: No space left on device", pipe = "cannot write the output: Broken pipe";
    row("help, full disk", {">/dev/full", "help"}, 1, {}, full);
    row("watch, closed pipe", QStringList{"|head"} + sim96 + watch, 1, {}, pipe);
    row("engine watch, closed pipe", QStringList{"|head"} + sim96 + QStringList{"--engine"} + watch.mid(0, 2), 1, {}, pipe);
}

void StratactlCli::runsAsTheUserSeesIt()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, library);
    if (args.first() == QLatin1String(">/dev/full") && !QFileInfo::exists("/dev/full"))
        QSKIP("this system has no /dev/full");
    const CliRun run = runCli(args);
    QTEST(run.status, "status");
    QTEST(withoutLibraryLines(run.err), "err");
    QVERIFY2(run.err.contains(library) && run.err.count('\n') < 10, run.err.constData());
    QVERIFY2((args.first() == "|head" || run.out.startsWith(out)) && !run.out.contains("zutest"), run.out.constData());
    int readings = 0;
    for (const QByteArray &line : run.out.split('\n')) {
        if (!line.startsWith("{\"meters\":"))
            continue;
        ++readings;
        const QJsonArray meters = QJsonDocument::fromJson(line).object().value("meters").toArray();
        QCOMPARE(meters.size(), 97);
        for (int i = 0; i < meters.size(); ++i) {
            const QJsonObject m = meters.at(i).toObject();
            const int level = m.value("level").toInt(-1);
            QVERIFY(level >= 0 && level <= 32768);
            QCOMPARE(m.value("db").isNull(), level == 0);
            QCOMPARE(m.value("index").toInt(), i);
            QVERIFY(m.value("kind_name").isString() == (m.value("kind").toInt() <= 5) && m.value("channel").toInt() >= 1);
        }
    }
    QTEST(readings, "readings");
}

QTEST_GUILESS_MAIN(StratactlCli)
#include "tst_stratactl_cli.moc"

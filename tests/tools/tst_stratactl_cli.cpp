// The built stratactl as a user runs it on a simulated Strata 96: exit
// statuses and error lines, help, the JSON reports and the engine mode.
#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

struct CliRun { int status = -1; QByteArray out, err; };

// Leading NAME=VALUE words go into the tool's environment.
CliRun runCli(QStringList args)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("STRATA_"))) {
        const QString word = args.takeFirst();
        environment.insert(word.section(QLatin1Char('='), 0, 0), word.section(QLatin1Char('='), 1));
    }
    process.setProcessEnvironment(environment);
    // A leading ">&-" starts the tool with its standard output closed.
    if (args.value(0) == QLatin1String(">&-"))
        args = QStringList{"-c", "exec \"$0\" \"$@\" >&-", STRATACTL_PATH} + args.mid(1);
    process.start(args.value(0) == "-c" ? QStringLiteral("/bin/sh") : QStringLiteral(STRATACTL_PATH), args);
    if (!process.waitForFinished(30000))
        return CliRun();
    return CliRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                  process.readAllStandardOutput(), process.readAllStandardError()};
}

const QStringList sim96{"--simulate", "Strata 96"};

// The library's lines: "path:line:..." and the product name after an arrival
// or removal.
QByteArray withoutLibraryLines(const QByteArray &err)
{
    QByteArray own;
    bool nameFollows = false;
    for (const QByteArray &line : err.split('\n')) {
        const bool library = line.startsWith("../../zutest/") || nameFollows;
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
    void diagnosticsGoToStandardError_data();
    void diagnosticsGoToStandardError();
    void unknownModelInTheEnvironment();
    void outputGoneEndsTheRun_data();
    void outputGoneEndsTheRun();
    void completionOffersWhatTheToolTakes_data();
    void completionOffersWhatTheToolTakes();
};

// out: what standard output starts with; err: standard error without the
// device library's diagnostic lines; readings: how many meter readings of 97
// values standard output must hold.
void StratactlCli::runsAsTheUserSeesIt_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<int>("readings");

    const QByteArray none;
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << none
        << QByteArray("stratactl: unknown command 'frobnicate' (see stratactl --help)\n") << 0;
    QTest::newRow("channel 30") << sim96 + QStringList{"get", "mute", "30"} << 2 << none
        << QByteArray("stratactl: invalid channel 30: channels are 1 to 22\n") << 0;
    QTest::newRow("unknown model") << QStringList{"--simulate", "Strata 97", "info"} << 2 << none
        << QByteArray("stratactl: unknown model 'Strata 97': models are Strata 96, Strata 10, Strata 14, Strata 20\n") << 0;
    QTest::newRow("second unit") << sim96 + QStringList{"--unit", "1", "info"} << 1 << none
        << QByteArray("stratactl: no unit 1: 1 unit connected\n") << 0;
    QTest::newRow("bad fault list") << sim96 + QStringList{"--faults", "stall:3,busy:x", "info"} << 2 << none
        << QByteArray("stratactl: --faults: bad value 'x' in 'busy:x': busy takes a count, or a duration such as 500ms, 2s or 1m\n") << 0;
    QTest::newRow("bad fault list in the environment") << QStringList{"STRATA_SIMULATE_FAULTS=unplug:3"} + sim96 + QStringList{"list"}
        << 2 << none << QByteArray("stratactl: STRATA_SIMULATE_FAULTS: bad value '3' in 'unplug:3': unplug takes a duration such as 500ms, 2s or 1m\n") << 0;
    QTest::newRow("faults on real units") << QStringList{"--faults", "stall", "info"} << 2 << none
        << QByteArray("stratactl: option --faults needs the simulated unit (--simulate MODEL)\n") << 0;
    QTest::newRow("faults the transport rides out") << sim96 + QStringList{"--faults", "timeout:1,busy:3,split:2", "info"} << 0
        << QByteArray("Unit:          0 (slot 0)\nProduct:       Strata 96\n") << none << 0;
    QTest::newRow("quiet list") << sim96 + QStringList{"list", "--quiet"} << 0 << none << none << 0;
    QTest::newRow("set, output closed") << QStringList{">&-"} + sim96 + QStringList{"set", "fader", "1", "10"} << 0 << none << none << 0;
    QTest::newRow("info") << sim96 + QStringList{"info"} << 0
        << QByteArray("Unit:          0 (slot 0)\nProduct:       Strata 96\nFirmware:      1.02 0023\n") << none << 0;
    QTest::newRow("list as JSON") << sim96 + QStringList{"list", "--json"} << 0
        << QByteArray("{\"units\":[{\"model\":\"Strata 96\",\"slot\":0,\"unit\":0}]}\n") << none << 0;
    QTest::newRow("get as JSON") << sim96 + QStringList{"get", "fader", "direct:2", "--json"} << 0
        << QByteArray("{\"channel\":\"direct:2\",\"setting\":\"fader\",\"value\":0}\n") << none << 0;
    QTest::newRow("version") << QStringList{"--version"} << 0 << QByteArray("stratactl 2.00 0023\n") << none << 0;
    QTest::newRow("meters") << sim96 + QStringList{"meters", "--json"} << 0 << none << none << 1;
    // Nothing on standard error: above all no warning about the worker thread.
    QTest::newRow("engine info") << sim96 + QStringList{"--engine", "info", "--json"} << 0
        << QByteArray("{\"build\":23,\"build_date\":\"Nov 12 2025\",\"build_time\":\"10:21:07\",\"firmware\":\"1.02 0023\","
                      "\"product\":\"Strata 96\",\"rec_function\":[1,1,0,0,2,0,0,0,1,1,0,0,0,0,2,2,0,0,0,0,0,0,1],"
                      "\"sample_rate\":48000,\"serial\":\"S96A00417\",\"slot\":null,\"unit\":0,\"version\":102}\n") << none << 0;
    QTest::newRow("engine meters") << sim96 + QStringList{"--engine", "meters", "--watch", "--count", "3", "--json"} << 0
        << none << none << 3;
    QTest::newRow("-h") << QStringList{"-h"} << 0 << QByteArray("Usage: stratactl [OPTIONS] COMMAND") << none << 0;
    QTest::newRow("help faults") << QStringList{"help", "faults"} << 0
        << QByteArray("Usage: stratactl --simulate MODEL --faults LIST COMMAND") << none << 0;
    QTest::newRow("help meters") << QStringList{"help", "meters"} << 0 << QByteArray("Usage: stratactl meters") << none << 0;
    // Help wins over whatever else is wrong with the rest of the line.
    QTest::newRow("set --help, with junk") << QStringList{"set", "fader", "--help", "--watch"} << 0
        << QByteArray("Usage: stratactl set SETTING") << none << 0;
}

void StratactlCli::runsAsTheUserSeesIt()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, out);
    const CliRun run = runCli(args);
    QTEST(run.status, "status");
    QTEST(withoutLibraryLines(run.err), "err");
    QVERIFY2(run.out.startsWith(out), run.out.constData());
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

// Standard output is the result alone, whichever program writes it; the
// library's lines keep their texts on standard error.
void StratactlCli::diagnosticsGoToStandardError_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QByteArray arrival("../../zutest/usbdevs.c:132:Device added\nStrata 96\n");
    QTest::newRow("list") << sim96 + QStringList{"list", "--json"}
        << QByteArray("{\"units\":[{\"model\":\"Strata 96\",\"slot\":0,\"unit\":0}]}\n") << arrival;
    QTest::newRow("engine") << sim96 + QStringList{"--engine", "info"} << QByteArray("Product:       Strata 96\n") << arrival;
    QTest::newRow("transport faults") << sim96 + QStringList{"--faults", "timeout:1", "get", "samplerate"}
        << QByteArray("48000\n") << QByteArray("usbdevs.c:293:kIOUSBTransactionTimeout\n");
    // A stall's poll lines come once, then as a count.
    QTest::newRow("stalled a while") << sim96 + QStringList{"--faults", "stall:300ms", "get", "samplerate"}
        << QByteArray("48000\n") << QByteArray("zuctl.c:114:ERROR\nlast 3 lines repeated ");
}

void StratactlCli::diagnosticsGoToStandardError()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const CliRun run = runCli(args);
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.startsWith(out) && !run.out.contains("zutest"), run.out.constData());
    QVERIFY2(run.err.contains(err) && run.err.count('\n') < 10, run.err.constData());
}

void StratactlCli::unknownModelInTheEnvironment()
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("STRATA_SIMULATE", "bogus");
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(STRATACTL_PATH), {"info"});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 2);
    QCOMPARE(process.readAllStandardError(), QByteArray("stratactl: unknown model 'bogus' in STRATA_SIMULATE: models are "
                                                        "Strata 96, Strata 10, Strata 14, Strata 20\n"));
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
}

// A full disk or a reader that went away: one line, exit 1, and a watch ends.
void StratactlCli::outputGoneEndsTheRun_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("closedPipe"); // else /dev/full

    const QStringList watch{"meters", "--watch", "--interval", "10"};
    QTest::newRow("info, full disk") << sim96 + QStringList{"info"} << false;
    QTest::newRow("help, full disk") << QStringList{"help"} << false;
    QTest::newRow("watch, full disk") << sim96 + watch << false;
    QTest::newRow("watch, closed pipe") << sim96 + watch << true;
    QTest::newRow("engine watch, closed pipe") << sim96 + QStringList{"--engine"} + watch.mid(0, 2) << true;
}

void StratactlCli::outputGoneEndsTheRun()
{
    QFETCH(QStringList, args);
    QFETCH(bool, closedPipe);
    if (!closedPipe && !QFileInfo::exists("/dev/full"))
        QSKIP("this system has no /dev/full");
    QProcess process, reader; // the reader takes one line and goes, as head does
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C"); // the system's error text in English
    process.setProcessEnvironment(env);
    if (closedPipe) {
        process.setStandardOutputProcess(&reader);
        reader.start("head", {"-n", "1"});
        QVERIFY2(reader.waitForStarted(30000), "head is not there");
    } else {
        process.setStandardOutputFile("/dev/full");
    }
    process.start(QStringLiteral(STRATACTL_PATH), args);
    QVERIFY(process.waitForFinished(30000));
    reader.waitForFinished(30000);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QByteArray why = closedPipe ? "Broken pipe" : "No space left on device";
    QCOMPARE(withoutLibraryLines(process.readAllStandardError()), "stratactl: cannot write the output: " + why + "\n");
}

// The bash completion as bash runs it, the one helper it takes from
// bash-completion stubbed.
void StratactlCli::completionOffersWhatTheToolTakes_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("offered");
    QTest::newRow("model names, one word each") << QStringList{"--simulate", "St"}
                                                << "Strata\\ 96|Strata\\ 10|Strata\\ 14|Strata\\ 20|";
    QTest::newRow("help on faults") << QStringList{"help", "f"} << "firmware|faults|";
}

void StratactlCli::completionOffersWhatTheToolTakes()
{
    QFETCH(QStringList, words);
    const char *script = "_init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]};"
                         " words=(\"${COMP_WORDS[@]}\"); cword=$COMP_CWORD; }; complete() { :; }; source \"$0\";"
                         " COMP_WORDS=(stratactl \"$@\"); COMP_CWORD=$#; _stratactl; printf '%s|' \"${COMPREPLY[@]}\"";
    QProcess bash;
    bash.start("bash", QStringList{"-c", script, COMPLETION_PATH} + words);
    QVERIFY(bash.waitForFinished(30000));
    QTEST(QString::fromUtf8(bash.readAllStandardOutput()), "offered");
}

QTEST_GUILESS_MAIN(StratactlCli)
#include "tst_stratactl_cli.moc"

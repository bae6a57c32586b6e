// The built stratactl as a user runs it, on the simulated Strata 96: exit
// statuses and error lines, help for every command, the shape of the JSON
// reports, watch mode, --simulate and the engine mode.
#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// simulate: the model put into STRATA_SIMULATE; empty leaves it unset.
CliRun runCli(const QStringList &args, const QString &simulate = QStringLiteral("Strata 96"))
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("STRATA_SIMULATE"));
    if (!simulate.isEmpty())
        env.insert(QStringLiteral("STRATA_SIMULATE"), simulate);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(STRATACTL_PATH), args);
    CliRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// The library writes its own lines on standard output; the reports are the
// lines that start with the tool's own text.
QList<QByteArray> reportLines(const QByteArray &out, char first)
{
    QList<QByteArray> lines;
    for (const QByteArray &line : out.split('\n')) {
        if (line.startsWith(first))
            lines.append(line);
    }
    return lines;
}

// The help text, from its first line on.
QByteArray usageText(const QByteArray &out)
{
    const int start = out.indexOf("Usage: stratactl");
    return start < 0 ? QByteArray() : out.mid(start);
}

QJsonObject onlyJsonObject(const QByteArray &out)
{
    const QList<QByteArray> lines = reportLines(out, '{');
    if (lines.size() != 1)
        return QJsonObject();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(lines.first(), &error);
    return error.error == QJsonParseError::NoError ? doc.object() : QJsonObject();
}

} // namespace

class StratactlCli : public QObject
{
    Q_OBJECT

private slots:
    void errorsAreOneLineAndAStatus_data();
    void errorsAreOneLineAndAStatus();
    void everyCommandHasHelp_data();
    void everyCommandHasHelp();
    void jsonReportsHaveTheirShape();
    void watchStopsAfterCount();
    void simulateOptionRunsOnTheSimulatedUnit();
    void engineModeAnswersAndExitsCleanly();
};

void StratactlCli::errorsAreOneLineAndAStatus_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("err");

    QTest::newRow("no command") << QStringList{} << 2 << QByteArray("stratactl: no command given (see stratactl --help)\n");
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2
        << QByteArray("stratactl: unknown command 'frobnicate' (see stratactl --help)\n");
    QTest::newRow("channel 30") << QStringList{"get", "mute", "30"} << 2
        << QByteArray("stratactl: invalid channel 30: channels are 1 to 22\n");
    QTest::newRow("count without watch") << QStringList{"meters", "--count", "3"} << 2
        << QByteArray("stratactl: option --count needs --watch\n");
    QTest::newRow("unknown model") << QStringList{"--simulate", "Strata 97", "info"} << 2
        << QByteArray("stratactl: unknown model 'Strata 97': models are Strata 96, Strata 10, Strata 14, Strata 20\n");
    QTest::newRow("second unit") << QStringList{"--unit", "1", "info"} << 1
        << QByteArray("stratactl: no unit 1: 1 unit connected\n");
    QTest::newRow("quiet list") << QStringList{"list", "--quiet"} << 0 << QByteArray();
}

void StratactlCli::errorsAreOneLineAndAStatus()
{
    QFETCH(QStringList, args);
    const CliRun run = runCli(args);
    QTEST(run.status, "status");
    QTEST(run.err, "err");
}

void StratactlCli::everyCommandHasHelp_data()
{
    QTest::addColumn<QString>("command");
    for (const char *c : {"list", "info", "meters", "get", "set", "assign", "help"})
        QTest::newRow(c) << QString::fromLatin1(c);
}

void StratactlCli::everyCommandHasHelp()
{
    QFETCH(QString, command);
    const CliRun asOption = runCli({command, "--help"});
    const CliRun asCommand = runCli({"help", command});
    QCOMPARE(asOption.status, 0);
    QCOMPARE(asOption.err, QByteArray());
    const QByteArray usage = usageText(asOption.out);
    QVERIFY2(usage.startsWith("Usage: stratactl " + command.toLatin1()), asOption.out.constData());
    QVERIFY(usage.size() > 60);
    QCOMPARE(asCommand.status, 0);
    QCOMPARE(usageText(asCommand.out), usage);

    const CliRun overview = runCli({"--help"});
    QVERIFY(usageText(overview.out).contains("\n  " + command.toLatin1() + ' '));
}

void StratactlCli::jsonReportsHaveTheirShape()
{
    const QJsonObject list = onlyJsonObject(runCli({"list", "--json"}).out);
    const QJsonArray units = list.value("units").toArray();
    QCOMPARE(units.size(), 1);
    QCOMPARE(units.at(0).toObject().value("model").toString(), QStringLiteral("Strata 96"));
    QVERIFY(units.at(0).toObject().value("slot").isDouble());

    const QJsonObject info = onlyJsonObject(runCli({"info", "--json"}).out);
    QCOMPARE(info.value("product").toString(), QStringLiteral("Strata 96"));
    QVERIFY(QRegularExpression("^\\d+\\.\\d\\d \\d{4,}$").match(info.value("firmware").toString()).hasMatch());
    QVERIFY(info.value("version").isDouble() && info.value("build").isDouble());
    QVERIFY(info.value("sample_rate").toInt() > 0);
    QVERIFY(info.value("serial").isString());

    const QJsonArray meters = onlyJsonObject(runCli({"meters", "--json"}).out).value("meters").toArray();
    QCOMPARE(meters.size(), 97);
    for (const QJsonValue &v : meters) {
        const QJsonObject m = v.toObject();
        const int level = m.value("level").toInt(-1);
        QVERIFY(level >= 0 && level <= 32768);
        QCOMPARE(m.value("db").isNull(), level == 0);
        QVERIFY(m.value("kind_name").isString() && m.value("channel").toInt() >= 1);
    }
}

void StratactlCli::watchStopsAfterCount()
{
    const CliRun run = runCli({"meters", "--watch", "--count", "5", "--interval", "10"});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QByteArray());
    int lines = 0;
    for (const QByteArray &line : run.out.split('\n'))
        lines += line.contains(" | L ") ? 1 : 0;
    QCOMPARE(lines, 5);
}

void StratactlCli::simulateOptionRunsOnTheSimulatedUnit()
{
    const CliRun run = runCli({"--simulate", "Strata 10", "info", "--json"}, QString());
    QCOMPARE(run.status, 0);
    const QJsonObject info = onlyJsonObject(run.out);
    QCOMPARE(info.value("product").toString(), QStringLiteral("Strata 10"));
    QVERIFY(info.value("serial").isNull());
}

void StratactlCli::engineModeAnswersAndExitsCleanly()
{
    const CliRun info = runCli({"--engine", "info", "--json"});
    QCOMPARE(info.status, 0);
    // Nothing on standard error: above all no warning about the worker thread.
    QCOMPARE(info.err, QByteArray());
    const QJsonObject identity = onlyJsonObject(info.out);
    QCOMPARE(identity.value("product").toString(), QStringLiteral("Strata 96"));
    QVERIFY(identity.value("sample_rate").toInt() > 0);
    QVERIFY(!identity.value("build_date").toString().isEmpty());
    QVERIFY(identity.value("rec_function").toArray().size() > 0);

    const CliRun meters = runCli({"--engine", "meters", "--watch", "--count", "3", "--json"});
    QCOMPARE(meters.status, 0);
    QCOMPARE(meters.err, QByteArray());
    const QList<QByteArray> readings = reportLines(meters.out, '{');
    QCOMPARE(readings.size(), 3);
    for (const QByteArray &line : readings)
        QCOMPARE(QJsonDocument::fromJson(line).object().value("meters").toArray().size(), 97);
}

QTEST_GUILESS_MAIN(StratactlCli)
#include "tst_stratactl_cli.moc"

// stratactl in-process on simulated units and a virtual clock, then the built tool as a user runs it.
#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "service/repeatedlines.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "stdout_capture.h"
#include "test_table.h"
#include "tools/directcommands.h"
#include "tools/firmwareprogress.h"
#include "tools/meterlayout.h"
#include "tools/unitreport.h"
#include "virtual_clock.h"

namespace {

// report: the command's result (in memory or the given stream); diagnostics: the library's stdout lines.
struct ToolRun { int status; QString error; QByteArray report; std::string diagnostics; };

ToolRun runTool(const QStringList &words, std::FILE *to = nullptr)
{
    const ParsedInvocation parsed = parseInvocation(words);
    if (!parsed.error.isEmpty())
        return ToolRun{kExitUsage, parsed.error, {}, {}};
    char *buf = nullptr;
    size_t len = 0;
    std::FILE *out = to ? to : open_memstream(&buf, &len);
    StdoutCapture capture;
    const Outcome outcome = runDirect(parsed.invocation, out);
    std::fclose(out);
    ToolRun run{outcome.status, outcome.error, QByteArray(buf, int(len)), capture.finish()};
    std::free(buf);
    return run;
}

ToolRun runTool(const QString &line, std::FILE *to = nullptr)
{
    return runTool(line.split(' ', Qt::SkipEmptyParts), to);
}

// The library's sleep hook takes no context: the unit it pulls and when sit here.
std::shared_ptr<sim::SimUnit> unitToPull;
int sleepsBeforePull = 0;

int pullUnit(uint32_t)
{
    if (unitToPull && --sleepsBeforePull <= 0)
        sim::Bus::instance().unplug(std::exchange(unitToPull, nullptr));
    return 0;
}

void pullAtPause(std::shared_ptr<sim::SimUnit> unit, int pause)
{
    unitToPull = std::move(unit);
    sleepsBeforePull = pause;
    zuctl_set_usleep(pullUnit);
}

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// The settings the round trips touch, as the unit itself holds them.
QStringList unitSettings(const sim::SimUnit &u)
{
    QStringList held{QStringLiteral("fader %1").arg(u.fader(ZUMSG_DATA_CH_ANALOG_IN, 22)),
                     QStringLiteral("mute %1").arg(u.muted(ZUMSG_DATA_CH_ANALOG_IN, 2)),
                     QStringLiteral("stereo %1").arg(u.stereo(ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1)),
                     QStringLiteral("aps %1").arg(u.autoPowerSave()), QStringLiteral("rate %1").arg(u.sampleRate())};
    for (const sim::Assignment &a : u.assignments())
        held << QStringLiteral("%1:%2 -> %3:%4").arg(a.inKind).arg(a.inChannel).arg(a.outKind).arg(a.outChannel);
    return held;
}

// Lines in, separated by |, and what is shown, the end of the output included.
QString shortened(const QString &in)
{
    RepeatedLines lines;
    QStringList shown;
    for (const QString &line : in.split('|'))
        for (const std::string &out : lines.add(line.toStdString()))
            shown << QString::fromStdString(out);
    for (const std::string &out : lines.flush())
        shown << QString::fromStdString(out);
    return shown.join('|');
}

// The level kept, then in dB with one decimal and with none.
QString levelShown(uint32_t raw)
{
    const uint16_t level = usableLevel(raw);
    return QStringLiteral("%1 %2 %3").arg(level).arg(levelDbText(level, 1), levelDbText(level, 0));
}

struct CliRun { int status = -1; QByteArray out, err; };

// Leading NAME=VALUE words go into the environment; then ">&-" closes standard output,
// ">/dev/full" fills the disk, "|head" reads one line and goes, "complete" completes.
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

// The library's lines: "path:line:...", the name after an arrival or removal, repeat counts.
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

class Stratactl : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<VirtualClock> clock_;
    QTemporaryDir dir_;

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir_.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private slots:
    void initTestCase()
    {
        qunsetenv("STRATA_SIMULATE"); // only --simulate picks the unit for the built tool
        QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u);
    }
    void init() { clock_ = std::make_unique<VirtualClock>(); QVERIFY(dir_.isValid()); }
    void cleanup() { clock_.reset(); unitToPull.reset(); sim::Bus::instance().unplugAll(); }

    void textsShown_data()
    {
        addColumns<QString, QString>("shown", "expected");
        auto row = [](const char *tag, const QString &shown, const char *expected) {
            QTest::newRow(tag) << shown << QString(expected);
        };
        row("input 23 is no meter", QString::number(meterRecord(4, 23)), "-1");
        row("line outputs have no meter", QString::number(meterRecord(1, 1)), "-1");
        row("one above full scale", levelShown(32768), "32768 0.0 0");
        row("above 32768 is no level", levelShown(32769), "0 -inf -inf");
        row("small numbers", firmwareText(5, 7) + ", " + sampleRateText(44100), "0.05 0007, 44.1 kHz");
        row("build never cut", firmwareText(1234, 12345) + ", " + sampleRateText(176400), "12.34 12345, 176.4 kHz");
        row("unknown rate", firmwareText(100, 1) + ", " + sampleRateText(32000), "1.00 0001, 32000 Hz");
        row("once, at the end", shortened("x|a|a"), "x|a|last line repeated 1 time");
        row("a group of three", shortened("a|b|c|a|b|c|a|b|c|d"), "a|b|c|last 3 lines repeated 2 times|d");
        row("group cut short", shortened("a|b|a|b|a|c"), "a|b|last 2 lines repeated 1 time|a|c");
        row("four is no group", shortened("a|b|c|d|a|b|c|d"), "a|b|c|d|a|b|c|d");
        row("progress start", firmwareProgressLine(0, 27000, 0, false), "Sending firmware    0%  0/27000 bytes");
        row("rate", firmwareProgressLine(12288, 27000, 2000, false),
            "Sending firmware   45%  12288/27000 bytes  6.0 KiB/s  3 s left");
        row("slow", firmwareProgressLine(100, 100000, 10000, false),
            "Sending firmware    0%  100/100000 bytes  10 B/s  166 min 30 s left");
        row("4 GiB - 1", firmwareProgressLine(0xFFFFFFFFu, 0xFFFFFFFFu, 1000, false),
            "Sending firmware  100%  4294967295/4294967295 bytes  4096.0 MiB/s  0 s left");
        row("verifying", firmwareProgressLine(27000, 27000, 5000, true),
            "Verifying firmware  27000 bytes sent, waiting for the unit");
    }
    void textsShown() { QFETCH(QString, shown); QTEST(shown, "expected"); }

    // fault: the first unit is "silent", "busy" for good, "pulled" at the first pause,
    // "sends fail" or "denied" (its node may not be opened); or the disk is full.
    void commandsPickTheirUnit_data()
    {
        addColumns<QStringList, QString, QString, int, QString, QByteArray>("models", "fault", "args", "status", "error", "report");
        auto row = [](const char *tag, const QStringList &models, const char *fault, const char *args, int status,
                      const QString &error, const QByteArray &report = {}) {
            QTest::newRow(tag) << models << fault << args << status << error << report;
        };
        const QStringList none, one{"96"};
        row("info, nothing plugged", none, "", "info", 1, "no unit connected");
        row("list, nothing plugged", none, "", "list", 1, "no unit connected");
        row("quiet list, nothing plugged", none, "", "list --quiet", 1, "");
        row("list in slot order", {"10", "96"}, "", "list", 0, "", "unit 0  slot 0  Strata 10\nunit 1  slot 1  Strata 96\n");
        // Only the Strata 96 has a serial number; asking the others would time out.
        row("second unit", {"96", "10"}, "", "--unit=1 info --json", 0, "",
            "{\"build\":31,\"firmware\":\"1.05 0031\",\"product\":\"Strata 10\",\"sample_rate\":48000,"
            "\"serial\":null,\"slot\":1,\"unit\":1,\"version\":105}\n");
        row("unit past three present", {"96", "10", "14"}, "", "--unit 5 meters", 1, "no unit 5: 3 units connected");
        const QString gone = "unit was disconnected";
        row("silent, info", one, "silent", "info", 1, "unit did not answer within 1 s");
        row("silent, meters", one, "silent", "meters", 1, "unit sent no meter values within 1 s");
        row("silent, fader", one, "silent", "get fader direct:1", 1, "unit did not answer within 1 s");
        row("busy for good, info", one, "busy", "info", 1, "unit did not answer within 10 s");
        row("pulled, info", one, "pulled", "info", 1, gone);
        row("pulled, meters", one, "pulled", "meters --watch --count 3", 1, gone);
        row("pulled, mute", one, "pulled", "get mute 2", 1, gone);
        row("sends fail, fader", one, "sends fail", "set fader analog:1 77", 1, "unit did not take the setting");
        row("sends fail, assign", one, "sends fail", "assign direct:1 line:2", 1, "unit did not take the assignment");
        row("sends fail, meters", one, "sends fail", "meters", 1, "meter request did not reach the unit");
        row("denied, info", one, "denied", "info", 1, "a unit is connected but may not be opened (permission denied): "
                                                      "install the udev rule 70-strata-mixers.rules and plug the unit in again");
        // The unit that can be opened is used; the other only shows when none can.
        row("denied and usable", {"96", "10"}, "denied", "list", 0, "", "unit 0  slot 0  Strata 10\n");
        row("debug, no text", {"14"}, "", "debug", 0, "");
        row("debug text", {"14"}, "debug text", "debug", 0, "", "boot: dsp 2 ok\n");
        // A full disk: the report is lost, so the command fails; a watch ends.
        const QString noSpace = "cannot write the output: " + QString::fromLocal8Bit(std::strerror(ENOSPC));
        for (const char *args : {"list", "info", "get fader 1", "assign", "meters", "meters --watch --interval 10"})
            row(qPrintable(QStringLiteral("full disk, ") + args), one, "full disk", args, 1, noSpace);
        // Usage errors: the registry is never started, so no arrival line and no transfer.
        auto usage = [&](const char *tag, const char *args, const QString &error) {
            row(tag, one, "", args, kExitUsage, error);
        };
        const QString inputs = ": channels are 1 to 22", rates = ": rates are 44100, 48000, 88200, 96000, 176400, 192000";
        usage("unknown option", "info --colour", "unknown option --colour (see stratactl --help)");
        usage("value missing at the end", "info --unit", "option --unit needs a value");
        usage("flag with a value", "info --json=yes", "option --json takes no value");
        usage("unit 10", "--unit 10 info", "invalid unit '10': units are counted from 0 to 9");
        usage("count 0", "meters --watch --count 0", "invalid count '0': give a number of refreshes from 1");
        usage("count without watch", "meters --count 3", "option --count needs --watch");
        usage("watch on info", "info --watch", "option --watch is not valid for info");
        usage("engine, unit 1", "--engine --unit 1 info", "option --unit is not valid with --engine: the engine uses the first unit");
        usage("argument to info", "info now", "unexpected argument 'now' for info");
        usage("help on dance", "help dance", "unknown command 'dance' (see stratactl --help)");
        usage("input 0", "get mute 0", "invalid channel 0" + inputs);
        usage("sign", "get mute +3", "invalid channel '+3'" + inputs);
        usage("master 7", "get mute master:7", "invalid channel 7: channels are 1 to 6");
        usage("unnamed kind", "get mute 6:1", "invalid channel kind '6': kinds are line, master, computer, analog, direct");
        usage("no setting", "get", "missing setting (see stratactl get --help)");
        usage("unknown setting", "get volume", "unknown setting 'volume': settings are autopowersave, samplerate, fader, mute, stereo");
        usage("no channel", "get fader", "missing channel (see stratactl get --help)");
        usage("no value", "set fader 3", "missing value (see stratactl set --help)");
        usage("value on get", "get samplerate 48000", "unexpected argument '48000' (see stratactl get --help)");
        usage("mute maybe", "set mute 1 maybe", "invalid value 'maybe': use on or off");
        usage("surround", "set stereo 1 surround", "invalid value 'surround': use stereo or mono");
        usage("fader 256", "set fader 1 256", "invalid fader level 256: levels are 0 to 255");
        usage("fader -1", "set fader 1 -1", "invalid fader level -1: levels are 0 to 255");
        usage("fader -1 after --", "set fader 1 -- -1", "invalid fader level -1: levels are 0 to 255");
        usage("rate 32000", "set samplerate 32000", "invalid sample rate 32000" + rates);
        usage("one channel to assign", "assign line:1", "missing destination channel (see stratactl assign --help)");
        usage("bad destination", "assign computer:1 line:5", "invalid channel 5: channels are 1 to 4");
        usage("firmware alone", "firmware", "firmware needs the path of an image");
        usage("two images", "firmware a b", "unexpected argument 'b' for firmware");
        usage("checksum word", "checksum abc", "invalid checksum argument 'abc': give a 32-bit number");
        usage("checksum 2^32", "checksum 4294967296", "invalid checksum argument '4294967296': give a 32-bit number");
        usage("debug word", "debug now", "unexpected argument 'now' for debug");
    }
    void commandsPickTheirUnit()
    {
        QFETCH(QStringList, models);
        QFETCH(QString, fault);
        std::shared_ptr<sim::SimUnit> first;
        for (const QString &name : models) {
            sim::Model model;
            QVERIFY(sim::modelFromName(name.toStdString(), &model));
            auto unit = std::make_shared<sim::SimUnit>(model);
            unit->denyOpen(!first && fault == QLatin1String("denied"));
            sim::Bus::instance().plug(unit);
            first = first ? first : unit;
        }
        if (fault == QLatin1String("sends fail")) // every request meets an I/O error; replies still come
            first->failNextSend(1000000);
        if (fault == QLatin1String("silent") || fault == QLatin1String("pulled"))
            first->silence(true);
        if (fault == QLatin1String("debug text"))
            first->queueDebugText("boot: dsp 2 ok");
        if (fault == QLatin1String("busy"))
            first->busyFor(100000);
        if (fault == QLatin1String("pulled"))
            pullAtPause(first, 1);
        std::FILE *full = fault == QLatin1String("full disk") ? std::fopen("/dev/full", "w") : nullptr;
        if (fault == QLatin1String("full disk") && !full)
            QSKIP("this system has no /dev/full");
        QFETCH(QString, args);
        const ToolRun run = runTool(args, full);
        QTEST(run.status, "status");
        QTEST(run.error, "error");
        QTEST(run.report, "report");
        QVERIFY(!unitToPull);
        // About a second of 10 ms pauses, none real; a gone unit is not polled on.
        if (fault == QLatin1String("silent"))
            QVERIFY(clock_->sleepCount(10000) >= 99);
        QVERIFY(std::count(run.diagnostics.begin(), run.diagnostics.end(), '\n') < 10);
        if (run.status == kExitUsage)
            QVERIFY(run.diagnostics.empty() && first->transferCount() == 0);
    }

    void watchLinePlacesMetersByChannel()
    {
        // Sent backwards; input 3 above 32768 is no level and shows as silence.
        std::vector<sim::MeterPoint> points;
        for (int r = kMeterRecords - 1; r >= 0; --r) {
            const uint16_t level = r == 2 ? 40000 : r == kMainLeftRecord ? 32767 : r == kMainRightRecord ? 1 : 16384;
            points.push_back({uint8_t(meterRecordKind(r)), meterRecordChannel(r), level});
        }
        sim::plugSimUnit(sim::Model::Strata96)->setFixedMeters(points);

        const ToolRun run = runTool("meters --interval=50 --watch --count 3");
        QCOMPARE(run.error, QString());
        const QByteArray line = "  -6   -6 -inf   -6   -6   -6   -6   -6   -6   -6   -6   -6   -6   -6   -6   -6"
                                "   -6   -6   -6   -6   -6   -6 | L    0 R  -90\n";
        QCOMPARE(run.report, line + line + line);
        QVERIFY(clock_->sleptMicros() >= 2 * 40000u && clock_->sleptMicros() <= 2 * 50000u);
    }

    // changed: what the unit holds afterwards that it did not before.
    void settingsReachTheUnit_data()
    {
        addColumns<QString, QString, QString, QByteArray>("set", "get", "changed", "shown");
        // Channels in every form; options anywhere among the words, the last one winning.
        QTest::newRow("fader") << "set fader 22 --unit=0 200" << "get fader ANALOG:22" << "fader 200" << QByteArray("200\n");
        QTest::newRow("mute") << "set mute 2 on" << "get mute analog:2" << "mute 1" << QByteArray("on\n");
        QTest::newRow("stereo") << "set stereo 5:1 stereo" << "get stereo direct:1" << "stereo 4" << QByteArray("stereo\n");
        QTest::newRow("auto power save") << "--unit 1 set autopowersave --unit 0 on" << "get autopowersave" << "aps 1"
                                         << QByteArray("on\n");
        QTest::newRow("sample rate") << "set samplerate 96000" << "get samplerate" << "rate 96000" << QByteArray("96000\n");
        QTest::newRow("assignment") << "assign ZUMSG_DATA_CH_COMPUTER_OUT:1 line:3" << "assign" << "3:1 -> 1:3"
            << QByteArray("ZUMSG_DATA_CH_MASTER_OUT:1 -> ZUMSG_DATA_CH_LINE_OUT:1\n"
                          "ZUMSG_DATA_CH_MASTER_OUT:2 -> ZUMSG_DATA_CH_LINE_OUT:2\n"
                          "ZUMSG_DATA_CH_COMPUTER_OUT:1 -> ZUMSG_DATA_CH_LINE_OUT:3\n"
                          "ZUMSG_DATA_CH_DIRECTMONITOR_OUT:2 -> ZUMSG_DATA_CH_LINE_OUT:4\n");
    }
    void settingsReachTheUnit()
    {
        QFETCH(QString, set);
        QFETCH(QString, get);
        auto unit = sim::plugSimUnit(sim::Model::Strata96);
        const QStringList before = unitSettings(*unit);
        const ToolRun changed = runTool(set);
        QCOMPARE(changed.error, QString());
        QCOMPARE(changed.status, 0);
        QVERIFY(changed.report.isEmpty());
        QStringList now = unitSettings(*unit);
        now.erase(std::remove_if(now.begin(), now.end(), [&](const QString &s) { return before.contains(s); }), now.end());
        QTEST(now.join(", "), "changed");
        QTEST(runTool(get).report, "shown");
    }

    // An image taken arrives exactly; a refusal or a failed transfer is one line, a refusal with no transfer.
    void firmwareCommand_data()
    {
        addColumns<QString, int, int, QString, int, QString>("file", "size", "model", "fault", "status", "error");
        const int s96 = int(sim::Model::Strata96);
        QTest::newRow("1000 bytes in blocks of 100") << "image.bin" << 1000 << s96 << "" << 0 << "";
        QTest::newRow("70000 bytes") << "image.bin" << 70000 << s96 << "" << 0 << "";
        auto row = [](const char *tag, const char *file, const QString &error, int model = int(sim::Model::Strata96),
                      const char *fault = "", int status = kExitFailed) {
            QTest::newRow(tag) << file << 5000 << model << fault << status << error;
        };
        row("missing", "nothing.bin", "firmware image %1 does not exist");
        row("empty", "empty.bin", "firmware image %1 is empty");
        row("folder", "folder", "%1 is a folder, not a firmware image");
        row("FIFO", "fifo", "%1 is not a regular file, not a firmware image");
        row("unreadable", "locked.bin", "cannot read firmware image %1: Permission denied");
        row("4 GiB", "huge.bin", "firmware image %1 is too large: the unit takes less than 4 GiB");
        row("no unit", "image.bin", "no unit connected", -1);
        row("Strata 20", "image.bin", "the unit is a Strata 20: only the Strata 96 takes a firmware image",
            int(sim::Model::Strata20));
        const QString failed = QStringLiteral("firmware transfer failed: the unit did not take or verify the image");
        row("cancel", "image.bin", "the unit cancelled the firmware transfer", s96, "cancel", kExitCancelled);
        row("wrong offset", "image.bin", failed, s96, "offset");
        row("never verifies", "image.bin", failed, s96, "verify");
        row("unplugged", "image.bin", "unit was disconnected during the firmware transfer", s96, "unplug");
    }
    void firmwareCommand()
    {
        QFETCH(QString, file);
        QFETCH(int, size);
        QFETCH(int, model);
        QFETCH(QString, fault);
        const QString path = dir_.filePath(file);
        const QByteArray image = pattern(size);
        if (file == QLatin1String("empty.bin") || file == QLatin1String("image.bin"))
            write(file, file == QLatin1String("empty.bin") ? QByteArray() : image);
        if (file == QLatin1String("folder"))
            QVERIFY(QDir(dir_.path()).mkdir(file));
        if (file == QLatin1String("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (file == QLatin1String("locked.bin")) {
            if (geteuid() == 0)
                QSKIP("running as root, which reads any file");
            write(file, pattern(10));
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        }
        QFile huge(path);
        if (file == QLatin1String("huge.bin") && (!huge.open(QIODevice::WriteOnly) || !huge.resize(qint64(1) << 32)))
            QSKIP("the temporary folder's file system cannot hold a sparse 4 GiB file");
        std::shared_ptr<sim::SimUnit> unit = model < 0 ? nullptr : sim::plugSimUnit(sim::Model(model));
        if (unit) {
            unit->setFirmwareBlockSize(100);
            unit->refuseFirmware(fault == QLatin1String("cancel"));
            unit->misreportFirmwareOffset(fault == QLatin1String("offset"));
            unit->neverFinishFirmware(fault == QLatin1String("verify") || fault == QLatin1String("unplug"));
        }
        // Pulled while the host waits for the verification: the first pauses of the whole transfer.
        if (fault == QLatin1String("unplug"))
            pullAtPause(unit, 3);
        const ToolRun run = runTool(QStringList{"firmware", path});
        QFETCH(QString, error);
        QCOMPARE(run.error, error.contains(QLatin1String("%1")) ? error.arg(path) : error);
        QTEST(run.status, "status");
        QVERIFY(!unitToPull);
        if (run.status != 0) {
            QVERIFY(run.report.isEmpty());
            if (unit && fault.isEmpty())
                QVERIFY(unit->firmwareLength() == 0 && unit->firmwareImage().empty()
                        && (model != int(sim::Model::Strata96) || unit->transferCount() == 0));
            return;
        }
        QCOMPARE(run.report, QStringLiteral("Firmware image of %1 bytes sent and verified by the unit\n").arg(size).toUtf8());
        const std::vector<uint8_t> held = unit->firmwareImage();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(held.data()), int(held.size())), image);
        uint32_t sum = 0;
        for (char c : image)
            sum += uint8_t(c);
        QCOMPARE(runTool(QStringLiteral("checksum 0x10")).report,
                 QStringLiteral("0x%1 (%2)\n").arg(sum, 8, 16, QLatin1Char('0')).arg(sum).toUtf8());
    }

    // out: how standard output starts; err: standard error without the library's lines,
    // which hold `library` and are fewer than ten; readings: meter readings of 97 values.
    void runsAsTheUserSeesIt_data()
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
        row("bad fault list", sim96 + QStringList{"--faults", "stall:3,busy:x", "info"}, 2, {},
            "--faults: bad value 'x' in 'busy:x': busy takes a count, or a duration such as 500ms, 2s or 1m");
        row("bad fault list in the environment", QStringList{"STRATA_SIMULATE_FAULTS=unplug:3"} + sim96 + QStringList{"list"}, 2,
            {}, "STRATA_SIMULATE_FAULTS: bad value '3' in 'unplug:3': unplug takes a duration such as 500ms, 2s or 1m");
        row("second unit", sim96 + QStringList{"--unit", "1", "info"}, 1, {}, "no unit 1: 1 unit connected");
        row("faults on real units", {"--faults", "stall", "info"}, 2, {},
            "option --faults needs the simulated unit (--simulate MODEL)");
        row("faults the transport rides out", sim96 + QStringList{"--faults", "timeout:1,busy:3,split:2", "info"}, 0,
            "Unit:          0 (slot 0)\nProduct:       Strata 96\nFirmware:      1.02 0023\n", {}, 0,
            "usbdevs.c:293:kIOUSBTransactionTimeout\n");
        // A stall's poll lines come once, then as a count; a pull-out ends the command.
        row("stalled a while", sim96 + QStringList{"--faults", "stall:300ms", "get", "samplerate"}, 0, "48000\n", {}, 0,
            "zuctl.c:114:ERROR\nlast 3 lines repeated ");
        row("pulled out", sim96 + QStringList{"--faults", "unplug:10s@after=3", "info"}, 1, {}, "unit was disconnected", 0,
            "usbdevs.c:286:ERROR 0xfffffffc\n");
        row("quiet list", sim96 + QStringList{"list", "--quiet"}, 0, {}, {});
        row("set, output closed", QStringList{">&-"} + sim96 + QStringList{"set", "fader", "1", "10"}, 0, {}, {});
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
        // A full disk or a reader gone: one line, exit 1, and a watch ends.
        const QStringList watch{"meters", "--watch", "--interval", "10"};
        const QByteArray full = "cannot write the output: No space left on device", pipe = "cannot write the output: Broken pipe";
        row("help, full disk", {">/dev/full", "help"}, 1, {}, full);
        row("watch, closed pipe", QStringList{"|head"} + sim96 + watch, 1, {}, pipe);
        row("engine watch, closed pipe", QStringList{"|head"} + sim96 + QStringList{"--engine"} + watch.mid(0, 2), 1, {}, pipe);
    }

    void runsAsTheUserSeesIt()
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
};

QTEST_GUILESS_MAIN(Stratactl)
#include "tst_stratactl.moc"

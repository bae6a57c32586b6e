// stratactl's commands run in-process against simulated units on a virtual
// clock: which unit a command uses, what it reports, the error line and exit
// status when the unit is missing, silent or pulled out, and that settings
// reach the unit.
#include <QtTest>

#include <cstdio>
#include <memory>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "sim/simbus.h"
#include "sim/simunit.h"
#include "stdout_capture.h"
#include "tools/directcommands.h"
#include "tools/meterlayout.h"
#include "virtual_clock.h"

namespace {

struct ToolRun {
    int status = -1;
    QString error;
    QByteArray report;       // what the command wrote as its result
    std::string diagnostics; // the library's lines on standard output
};

ToolRun runTool(const QStringList &args)
{
    ToolRun run;
    const ParsedInvocation parsed = parseInvocation(args);
    if (!parsed.error.isEmpty()) {
        run.status = kExitUsage;
        run.error = parsed.error;
        return run;
    }
    std::FILE *out = std::tmpfile();
    StdoutCapture capture;
    const Outcome outcome = runDirect(parsed.invocation, out);
    run.diagnostics = capture.finish();
    std::rewind(out);
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, out)) > 0)
        run.report.append(buf, int(n));
    std::fclose(out);
    run.status = outcome.status;
    run.error = outcome.error;
    return run;
}

std::shared_ptr<sim::SimUnit> plug(sim::Model model)
{
    return sim::plugSimUnit(model);
}

// The library's sleep hook is a plain function: the unit it pulls has to be
// reachable without an argument.
std::shared_ptr<sim::SimUnit> unitToPull;

int pullUnitOnFirstSleep(uint32_t)
{
    if (unitToPull) {
        std::shared_ptr<sim::SimUnit> unit = std::move(unitToPull);
        sim::Bus::instance().unplug(unit);
    }
    return 0;
}

std::vector<sim::MeterPoint> templateMeters(uint16_t level)
{
    std::vector<sim::MeterPoint> points;
    for (int r = 0; r < kMeterRecords; ++r)
        points.push_back({uint8_t(meterRecordKind(r)), meterRecordChannel(r), level});
    return points;
}

} // namespace

class StratactlDirect : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void picksUnitsInSlotOrder_data();
    void picksUnitsInSlotOrder();
    void reportsTheUnitsIdentity();
    void silentUnitEndsWithTheTimeOutLine_data();
    void silentUnitEndsWithTheTimeOutLine();
    void unitPulledMidCommandIsReportedAsGone_data();
    void unitPulledMidCommandIsReportedAsGone();
    void metersArePlacedByTheirChannel();
    void watchPrintsOneLinePerRefresh();
    void settingsReachTheUnit_data();
    void settingsReachTheUnit();
    void assignmentIsSetAndListed();
    void wrongWordsNeverTouchTheUnit_data();
    void wrongWordsNeverTouchTheUnit();

private:
    std::unique_ptr<VirtualClock> clock_;
};

void StratactlDirect::initTestCase()
{
    QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u);
}

void StratactlDirect::init()
{
    clock_ = std::make_unique<VirtualClock>();
}

void StratactlDirect::cleanup()
{
    clock_.reset();
    unitToPull.reset();
    sim::Bus::instance().unplugAll();
}

void StratactlDirect::picksUnitsInSlotOrder_data()
{
    QTest::addColumn<QStringList>("models");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QByteArray>("report");

    const QStringList none;
    QTest::newRow("nothing plugged") << none << QStringList{"info"} << 1 << "no unit connected" << QByteArray();
    QTest::newRow("quiet list, nothing plugged") << none << QStringList{"list", "--quiet"} << 1 << "" << QByteArray();
    QTest::newRow("quiet list, one unit") << QStringList{"96"} << QStringList{"list", "--quiet"} << 0 << "" << QByteArray();
    QTest::newRow("list in slot order") << QStringList{"10", "96"} << QStringList{"list"} << 0 << ""
        << QByteArray("unit 0  slot 0  Strata 10\nunit 1  slot 1  Strata 96\n");
    QTest::newRow("list as JSON") << QStringList{"14"} << QStringList{"list", "--json"} << 0 << ""
        << QByteArray("{\"units\":[{\"model\":\"Strata 14\",\"slot\":0,\"unit\":0}]}\n");
    QTest::newRow("list, nothing plugged") << none << QStringList{"list"} << 1 << "no unit connected" << QByteArray();
    QTest::newRow("second unit") << QStringList{"10", "20"} << QStringList{"--unit", "1", "get", "autopowersave"}
        << 0 << "" << QByteArray("off\n");
    QTest::newRow("unit past the one present") << QStringList{"96"} << QStringList{"--unit", "1", "info"}
        << 1 << "no unit 1: 1 unit connected" << QByteArray();
    QTest::newRow("unit past three present") << QStringList{"96", "10", "14"} << QStringList{"--unit", "5", "meters"}
        << 1 << "no unit 5: 3 units connected" << QByteArray();
}

void StratactlDirect::picksUnitsInSlotOrder()
{
    QFETCH(QStringList, models);
    QFETCH(QStringList, args);
    for (const QString &name : models) {
        sim::Model model;
        QVERIFY(sim::modelFromName(name.toStdString(), &model));
        plug(model);
    }
    const ToolRun run = runTool(args);
    QTEST(run.status, "status");
    QTEST(run.error, "error");
    QTEST(run.report, "report");
}

void StratactlDirect::reportsTheUnitsIdentity()
{
    plug(sim::Model::Strata10)->setVersion(105);
    auto unit96 = plug(sim::Model::Strata96);
    unit96->setVersion(102);
    unit96->setBuild(23);
    unit96->setSerial("S96-0001");

    ToolRun run = runTool({"--unit", "1", "info"});
    QCOMPARE(run.error, QString());
    QCOMPARE(run.report, QByteArray("Unit:          1 (slot 1)\n"
                                    "Product:       Strata 96\n"
                                    "Firmware:      1.02 0023\n"
                                    "Sample rate:   48 kHz\n"
                                    "Serial number: S96-0001\n"));

    run = runTool({"info", "--json"});
    QCOMPARE(run.status, 0);
    const QJsonObject info = QJsonDocument::fromJson(run.report).object();
    QCOMPARE(info.value("product").toString(), QStringLiteral("Strata 10"));
    QCOMPARE(info.value("version").toInt(), 105);
    QCOMPARE(info.value("sample_rate").toInt(), 48000);
    // Only the Strata 96 has a serial number; the others are not even asked.
    QVERIFY(info.value("serial").isNull());
    QCOMPARE(info.value("slot").toInt(), 0);
}

void StratactlDirect::silentUnitEndsWithTheTimeOutLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");

    QTest::newRow("info") << QStringList{"info"} << "unit did not answer within 1 s";
    QTest::newRow("meters") << QStringList{"meters"} << "unit sent no meter values within 1 s";
    QTest::newRow("fader") << QStringList{"get", "fader", "direct:1"} << "unit did not answer within 1 s";
    QTest::newRow("auto power save") << QStringList{"get", "autopowersave"} << "unit did not answer within 1 s";
    QTest::newRow("sample rate") << QStringList{"get", "samplerate"} << "unit did not answer within 1 s";
}

void StratactlDirect::silentUnitEndsWithTheTimeOutLine()
{
    QFETCH(QStringList, args);
    plug(sim::Model::Strata96)->silence(true);
    const ToolRun run = runTool(args);
    QCOMPARE(run.status, int(kExitFailed));
    QTEST(run.error, "error");
    QVERIFY(run.report.isEmpty());
    // About a second of 10 ms pauses, none of it slept for real.
    QVERIFY(clock_->sleepCount(10000) >= 99);
}

void StratactlDirect::unitPulledMidCommandIsReportedAsGone_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("info") << QStringList{"info"};
    QTest::newRow("meters") << QStringList{"meters", "--watch", "--count", "3"};
    QTest::newRow("mute") << QStringList{"get", "mute", "2"};
}

void StratactlDirect::unitPulledMidCommandIsReportedAsGone()
{
    QFETCH(QStringList, args);
    unitToPull = plug(sim::Model::Strata96);
    // Silent, so the command waits, and the wait pulls the unit out.
    unitToPull->silence(true);
    zuctl_set_usleep(pullUnitOnFirstSleep);
    const ToolRun run = runTool(args);
    QVERIFY(!unitToPull);
    QCOMPARE(run.status, int(kExitFailed));
    QCOMPARE(run.error, QStringLiteral("unit was disconnected"));
}

void StratactlDirect::metersArePlacedByTheirChannel()
{
    // Sent backwards, so arrival order and record order disagree.
    std::vector<sim::MeterPoint> points;
    for (int r = kMeterRecords - 1; r >= 0; --r)
        points.push_back({uint8_t(meterRecordKind(r)), meterRecordChannel(r), uint16_t(100 + r)});
    points[kMeterRecords - 1 - 2].level = 40000;               // input 3: no level, silence
    points[kMeterRecords - 1 - kMainLeftRecord].level = 32768; // kept as it is
    plug(sim::Model::Strata96)->setFixedMeters(points);

    const ToolRun run = runTool({"meters", "--json"});
    QCOMPARE(run.error, QString());
    QVERIFY(run.report.endsWith('\n') && run.report.count('\n') == 1);
    const QJsonArray meters = QJsonDocument::fromJson(run.report).object().value("meters").toArray();
    QCOMPARE(meters.size(), kMeterRecords);
    for (int r = 0; r < kMeterRecords; ++r) {
        const QJsonObject m = meters.at(r).toObject();
        QCOMPARE(m.value("index").toInt(), r);
        QCOMPARE(m.value("kind").toInt(), int(meterRecordKind(r)));
        QCOMPARE(m.value("channel").toInt(), int(meterRecordChannel(r)));
        if (r == 2) {
            QCOMPARE(m.value("level").toInt(), 0);
            QVERIFY(m.value("db").isNull());
        } else if (r == kMainLeftRecord) {
            QCOMPARE(m.value("level").toInt(), 32768);
            QCOMPARE(m.value("db").toDouble(), 0.0);
        } else {
            QCOMPARE(m.value("level").toInt(), 100 + r);
        }
    }
    QCOMPARE(meters.at(0).toObject().value("kind_name").toString(), QStringLiteral("analog"));
    QCOMPARE(meters.at(96).toObject().value("kind_name").toString(), QStringLiteral("kind8"));
}

void StratactlDirect::watchPrintsOneLinePerRefresh()
{
    std::vector<sim::MeterPoint> points = templateMeters(16384);
    points[2].level = 0;
    points[kMainLeftRecord].level = 32767;
    points[kMainRightRecord].level = 1;
    plug(sim::Model::Strata96)->setFixedMeters(points);

    const ToolRun run = runTool({"meters", "--watch", "--count", "3"});
    QCOMPARE(run.error, QString());
    const QByteArray line = "  -6   -6 -inf   -6   -6   -6   -6   -6   -6   -6   -6   -6   -6   -6   -6   -6"
                            "   -6   -6   -6   -6   -6   -6 | L    0 R  -90\n";
    QCOMPARE(run.report, line + line + line);
    // Two pauses between three refreshes, on the virtual clock.
    QVERIFY(clock_->sleptMicros() >= 2 * 90000u && clock_->sleptMicros() <= 2 * 100000u);
}

void StratactlDirect::settingsReachTheUnit_data()
{
    QTest::addColumn<QStringList>("set");
    QTest::addColumn<QStringList>("get");
    QTest::addColumn<QByteArray>("shown");

    QTest::newRow("fader") << QStringList{"set", "fader", "analog:3", "200"} << QStringList{"get", "fader", "3"}
                           << QByteArray("200\n");
    QTest::newRow("mute") << QStringList{"set", "mute", "2", "on"} << QStringList{"get", "mute", "analog:2"}
                          << QByteArray("on\n");
    QTest::newRow("stereo") << QStringList{"set", "stereo", "direct:1", "stereo"}
                            << QStringList{"get", "stereo", "direct:1"} << QByteArray("stereo\n");
    QTest::newRow("auto power save") << QStringList{"set", "autopowersave", "on"}
                                     << QStringList{"get", "autopowersave"} << QByteArray("on\n");
    QTest::newRow("sample rate") << QStringList{"set", "samplerate", "96000"} << QStringList{"get", "samplerate"}
                                 << QByteArray("96000\n");
}

void StratactlDirect::settingsReachTheUnit()
{
    QFETCH(QStringList, set);
    QFETCH(QStringList, get);
    auto unit = plug(sim::Model::Strata96);

    const ToolRun changed = runTool(set);
    QCOMPARE(changed.error, QString());
    QCOMPARE(changed.status, 0);
    QVERIFY(changed.report.isEmpty());

    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    if (tag == QLatin1String("fader"))
        QCOMPARE(int(unit->fader(ZUMSG_DATA_CH_ANALOG_IN, 3)), 200);
    else if (tag == QLatin1String("mute"))
        QVERIFY(unit->muted(ZUMSG_DATA_CH_ANALOG_IN, 2));
    else if (tag == QLatin1String("stereo"))
        QCOMPARE(int(unit->stereo(ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1)), int(ZUMSG_DATA_CH_TYPE_STEREO));
    else if (tag == QLatin1String("auto power save"))
        QVERIFY(unit->autoPowerSave());
    else
        QCOMPARE(unit->sampleRate(), 96000u);

    const ToolRun read = runTool(get);
    QCOMPARE(read.error, QString());
    QTEST(read.report, "shown");
}

void StratactlDirect::assignmentIsSetAndListed()
{
    auto unit = plug(sim::Model::Strata96);
    const ToolRun set = runTool({"assign", "computer:1", "line:3"});
    QCOMPARE(set.error, QString());

    bool found = false;
    for (const sim::Assignment &a : unit->assignments()) {
        if (a.outKind == ZUMSG_DATA_CH_LINE_OUT && a.outChannel == 3)
            found = a.inKind == ZUMSG_DATA_CH_COMPUTER_OUT && a.inChannel == 1;
    }
    QVERIFY(found);

    const ToolRun list = runTool({"assign"});
    QCOMPARE(list.error, QString());
    QVERIFY(list.report.contains("ZUMSG_DATA_CH_COMPUTER_OUT:1 -> ZUMSG_DATA_CH_LINE_OUT:3\n"));
}

void StratactlDirect::wrongWordsNeverTouchTheUnit_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");

    QTest::newRow("channel 30") << QStringList{"get", "mute", "30"} << "invalid channel 30: channels are 1 to 22";
    QTest::newRow("no setting") << QStringList{"get"} << "missing setting (see stratactl get --help)";
    QTest::newRow("unknown setting") << QStringList{"get", "volume"}
        << "unknown setting 'volume': settings are autopowersave, samplerate, fader, mute, stereo";
    QTest::newRow("no channel") << QStringList{"get", "fader"} << "missing channel (see stratactl get --help)";
    QTest::newRow("no value") << QStringList{"set", "fader", "3"} << "missing value (see stratactl set --help)";
    QTest::newRow("value on get") << QStringList{"get", "samplerate", "48000"}
        << "unexpected argument '48000' (see stratactl get --help)";
    QTest::newRow("bad rate") << QStringList{"set", "samplerate", "1"}
        << "invalid sample rate 1: rates are 44100, 48000, 88200, 96000, 176400, 192000";
    QTest::newRow("one channel to assign") << QStringList{"assign", "line:1"}
        << "missing destination channel (see stratactl assign --help)";
    QTest::newRow("bad destination") << QStringList{"assign", "computer:1", "line:5"}
        << "invalid channel 5: channels are 1 to 4";
}

void StratactlDirect::wrongWordsNeverTouchTheUnit()
{
    QFETCH(QStringList, args);
    auto unit = plug(sim::Model::Strata96);
    const ToolRun run = runTool(args);
    QCOMPARE(run.status, int(kExitUsage));
    QTEST(run.error, "error");
    // The registry was never started: no arrival line, no transfer.
    QCOMPARE(run.diagnostics, std::string());
    QCOMPARE(unit->transferCount(), 0);
}

QTEST_GUILESS_MAIN(StratactlDirect)
#include "tst_stratactl_direct.moc"

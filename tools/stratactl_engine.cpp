#include "tools/stratactl_engine.h"

#include <cstdio>

#include <QCoreApplication>
#include <QTimer>

#include "service/datamanager.h"
#include "tools/meterreport.h"
#include "tools/outputwrite.h"
#include "tools/unitreport.h"

namespace {

// The device service answers within a few exchanges of 20 ms; this leaves
// room for a unit that is busy for a while.
constexpr int kAnswerTimeoutMs = 3000;
// The panel's meter refresh: a reading not renewed within one tick fails.
constexpr int kMeterTickMs = 100;
// Asked again while answers are missing: a reply spread over several
// messages is read one message per request, as the panel's 1000 ms tick does.
constexpr int kRequestAgainMs = 100;

const char kModelWithSerial[] = "Strata 96";

// Writes a report; a failed write ends the run with its line.
bool write(std::FILE *out, const QByteArray &bytes, Outcome *outcome)
{
    if (writeOutput(out, bytes))
        return true;
    *outcome = Outcome::failed(outputFailedLine());
    QCoreApplication::exit(kExitFailed);
    return false;
}

Outcome silentOrMissing(const char *silentLine)
{
    // The answer to the presence query started at the beginning of the run.
    if (!dm.queryExistDevice())
        return Outcome::failed(QStringLiteral("no unit connected"));
    return Outcome::failed(QLatin1String(silentLine));
}

struct InfoAnswers {
    bool product = false, version = false, build = false, date = false, time = false;
    bool hz = false, serial = false, recFunction = false;

    bool identity() const { return product && version && build && date && time; }
    bool required() const { return product && version && build && hz; }
    bool all() const { return identity() && hz && serial && recFunction; }
};

Outcome runInfo(const Invocation &inv, std::FILE *out)
{
    UnitInfo info;
    info.unit = 0; // the device service takes the first unit; its slot stays its own
    InfoAnswers seen;
    bool done = false;
    Outcome outcome = Outcome::failed(QStringLiteral("unit did not answer within 3 s"));
    QObject context;

    auto report = [&] {
        // One reply carries several answers; the report goes out once.
        if (done)
            return;
        done = true;
        info.hasSerial = seen.serial && (!info.serial.isEmpty() || info.product == QLatin1String(kModelWithSerial));
        info.hasRecFunction = seen.recFunction;
        if (!write(out, inv.json ? unitInfoJson(info) : unitInfoText(info), &outcome))
            return;
        outcome = Outcome::ok();
        QCoreApplication::exit(kExitOk);
    };
    auto answered = [&] {
        if (seen.all())
            report();
    };

    QObject::connect(&dm, &QZUDevice::sig_recv_productname, &context, [&](const QString &name) {
        // A failed exchange blanks the identity; a missing unit ends the run,
        // anything else is asked again until the time-out.
        if (name.isEmpty()) {
            seen.product = seen.version = seen.build = false;
            if (!done && !dm.queryExistDevice()) {
                done = true;
                outcome = Outcome::failed(QStringLiteral("no unit connected"));
                QCoreApplication::exit(kExitFailed);
            }
            return;
        }
        info.product = name;
        seen.product = true;
        answered();
    });
    QObject::connect(&dm, &QZUDevice::sig_recv_version, &context, [&](uint16_t v) {
        info.version = v;
        seen.version = v != 0;
        answered();
    });
    QObject::connect(&dm, &QZUDevice::sig_recv_build, &context, [&](uint16_t b) {
        info.build = b;
        seen.build = b != 0;
        answered();
    });
    QObject::connect(&dm, &QZUDevice::sig_recv_builddate, &context, [&](const QString &d) {
        info.buildDate = d;
        seen.date = true;
        answered();
    });
    QObject::connect(&dm, &QZUDevice::sig_recv_buildtime, &context, [&](const QString &t) {
        info.buildTime = t;
        seen.time = true;
        answered();
    });
    QObject::connect(&dm, &QZUDevice::sig_recv_hz, &context, [&](uint32_t hz) {
        info.sampleRate = hz;
        seen.hz = true;
        answered();
    });
    QObject::connect(&dm, &QZUDevice::sig_recv_serialnumber, &context, [&](const QString &serial) {
        info.serial = serial;
        seen.serial = true;
        answered();
    });
    QObject::connect(&dm, &QZUDevice::sig_recv_recfunc, &context, [&](const QByteArray &bytes) {
        info.recFunction = bytes;
        seen.recFunction = true;
        answered();
    });

    auto requestMissing = [&] {
        if (!seen.identity())
            dm.getFirmVersion();
        if (!seen.hz)
            dm.getSampleRate();
        if (!seen.serial)
            dm.getSerialNumber();
        if (!seen.recFunction)
            dm.getRecFunction();
    };
    QTimer again;
    QObject::connect(&again, &QTimer::timeout, &context, requestMissing);
    QTimer::singleShot(kAnswerTimeoutMs, &context, [&] {
        // What a unit does not know (a serial number, rec-function states)
        // is left out; without the identity and sample rate there is no report.
        if (seen.required()) {
            report();
            return;
        }
        if (done)
            return;
        done = true;
        outcome = silentOrMissing("unit did not answer within 3 s");
        QCoreApplication::exit(kExitFailed);
    });

    dm.queryExistDevice();
    requestMissing();
    again.start(kRequestAgainMs);
    QCoreApplication::exec();
    return outcome;
}

Outcome runMeters(const Invocation &inv, std::FILE *out)
{
    Outcome outcome = Outcome::ok();
    int shown = 0;
    int misses = 0;
    int absent = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        levelMeter snapshot[kMeterRecords] = {};
        const bool fresh = dm.getMeterdata(snapshot);
        // Every reading is used once; the next tick needs a new one.
        dm.initializeParameterForDevice();
        if (!fresh) {
            // Each presence query answers the one before it: two absent
            // answers in a row mean no unit, not a slow one.
            absent = dm.queryExistDevice() ? 0 : absent + 1;
            if (absent >= 2) {
                outcome = Outcome::failed(QStringLiteral("no unit connected"));
                QCoreApplication::exit(kExitFailed);
            } else if (++misses * kMeterTickMs >= kAnswerTimeoutMs) {
                outcome = silentOrMissing("unit sent no meter values within 3 s");
                QCoreApplication::exit(kExitFailed);
            }
            return;
        }
        misses = 0;
        MeterLevels levels{};
        for (int i = 0; i < kMeterRecords; ++i)
            levels[i] = snapshot[i].value;
        if (!write(out, inv.json ? meterJson(levels) : inv.watch ? meterWatchLine(levels) : meterTable(levels), &outcome)) {
            tick.stop();
            return;
        }
        ++shown;
        if (!inv.watch || (inv.count != 0 && shown >= inv.count))
            QCoreApplication::exit(kExitOk);
    });

    dm.queryExistDevice();
    tick.start(kMeterTickMs);
    QCoreApplication::exec();
    return outcome;
}

} // namespace

Outcome runEngine(const Invocation &inv, std::FILE *out)
{
    if (inv.command == QLatin1String("info"))
        return runInfo(inv, out);
    return runMeters(inv, out);
}

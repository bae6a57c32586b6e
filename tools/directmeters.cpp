// meters: one reading, or one line per refresh in watch mode.
#include <chrono>

#include "tools/directcommands.h"
#include "tools/meterreport.h"
#include "tools/outputwrite.h"

namespace {

using Clock = std::chrono::steady_clock;

// Reads one set of levels; on failure says which step failed.
bool readMeters(zuctl_t *ctl, MeterLevels *levels, QString *failed)
{
    const direct::WaitStart asked;
    zuctl_meter_info_t info[kMeterRecords] = {};
    uint8_t num = 0;
    if (zuctl_send_meter_request(ctl) != 0) {
        *failed = QStringLiteral("meter request did not reach the unit");
        return false;
    }
    const uint32_t read = zuctl_read_meter(ctl, info, kMeterRecords, &num);
    if (read != 0) {
        *failed = read == 1 ? QStringLiteral("unit's meter reply could not be read")
                            : QStringLiteral("unit sent no meter values within %1 s").arg(asked.seconds());
        return false;
    }
    levels->fill(0);
    // Placed by the kind and channel the unit named, not by arrival order, so
    // a unit that skips or reorders meters cannot shift the others.
    for (int i = 0; i < num && i < kMeterRecords; ++i) {
        const int record = meterRecord(info[i].ch_type, info[i].ch_no);
        if (record >= 0)
            (*levels)[record] = usableLevel(info[i].value);
    }
    return true;
}

QByteArray report(const Invocation &inv, const MeterLevels &levels)
{
    if (inv.json)
        return meterJson(levels);
    return inv.watch ? meterWatchLine(levels) : meterTable(levels);
}

} // namespace

namespace direct {

Outcome runMeters(const Invocation &inv, zuctl_t *ctl, std::FILE *out)
{
    MeterLevels levels{};
    for (int refresh = 1;; ++refresh) {
        const Clock::time_point started = Clock::now();
        QString failed;
        if (!readMeters(ctl, &levels, &failed))
            return Outcome::failed(failureLine(*ctl, failed));
        // A closed pipe or a full disk ends a watch: nobody reads it any more.
        if (!write(out, report(inv, levels)))
            return Outcome::failed(outputFailedLine());
        if (!inv.watch || (inv.count != 0 && refresh >= inv.count))
            break;
        // The pause goes through the library's sleep, like every other pause
        // of an exchange, so a virtual clock in tests skips it as well.
        const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
        if (spent.count() < inv.intervalMs)
            msleep(uint32_t(inv.intervalMs - spent.count()));
    }
    return Outcome::ok();
}

} // namespace direct

#include "tools/directcommands.h"

#include <algorithm>

#include "tools/directlink.h"
#include "tools/outputwrite.h"
#include "tools/unitreport.h"

namespace {

// The only model with a serial number. The others answer the serial query
// with an empty text, which the library keeps waiting on until its time-out.
const char kModelWithSerial[] = "Strata 96";

const char kSilentLine[] = "unit did not answer within %1 s";

// A unit the registry saw but could not open: no unit to the user, but a
// different fix.
Outcome noUnit(DirectLink &link)
{
    if (link.accessDenied())
        return Outcome::failed(QStringLiteral("a unit is connected but may not be opened (permission denied): "
                                              "install the udev rule 70-strata-mixers.rules and plug the unit in again"));
    return Outcome::failed(QStringLiteral("no unit connected"));
}

QString productName(zuctl_t *ctl, bool *answered)
{
    uint8_t name[64] = {};
    uint8_t len = 0;
    *answered = zuctl_get_productname(ctl, name, sizeof name, &len) == 0;
    return *answered ? QString::fromUtf8(reinterpret_cast<const char *>(name), len) : QString();
}

Outcome runList(const Invocation &inv, DirectLink &link, std::FILE *out)
{
    QList<zuctl_t> units;
    const bool reachable = link.units(&units);
    // Quiet means the exit status alone: no line on either stream.
    if (inv.quiet)
        return units.isEmpty() ? Outcome{kExitFailed, QString()} : Outcome::ok();
    if (!reachable)
        return Outcome::failed(QStringLiteral("cannot reach the USB devices"));

    QList<ListedUnit> listed;
    for (int i = 0; i < units.size(); ++i) {
        zuctl_t ctl = units.at(i);
        bool answered = false;
        listed.append(ListedUnit{i, link.slotOf(ctl), productName(&ctl, &answered)});
    }
    if (!direct::write(out, inv.json ? unitListJson(listed) : unitListText(listed)))
        return Outcome::failed(outputFailedLine());
    return listed.isEmpty() ? noUnit(link) : Outcome::ok();
}

Outcome runInfo(const Invocation &inv, DirectLink &link, std::FILE *out)
{
    zuctl_t ctl{nullptr};
    Outcome picked = direct::selectUnit(link, inv.unit, &ctl);
    if (picked.status != kExitOk)
        return picked;

    const direct::WaitStart asked;
    UnitInfo info;
    info.unit = inv.unit;
    info.slot = link.slotOf(ctl);
    bool answered = false;
    info.product = productName(&ctl, &answered);
    if (!answered || zuctl_get_version(&ctl, &info.version) != 0 || zuctl_get_build(&ctl, &info.build) != 0
        || zuctl_debug_get_hz(&ctl, &info.sampleRate) != 0)
        return Outcome::failed(direct::failureLine(ctl, QString::fromLatin1(kSilentLine).arg(asked.seconds())));

    if (info.product == QLatin1String(kModelWithSerial)) {
        uint8_t serial[64] = {};
        uint8_t len = 0;
        if (zuctl_get_serial(&ctl, serial, sizeof serial, &len) != 0)
            return Outcome::failed(direct::failureLine(ctl, QString::fromLatin1(kSilentLine).arg(asked.seconds())));
        info.hasSerial = true;
        info.serial = QString::fromUtf8(reinterpret_cast<const char *>(serial), len);
    }
    if (!direct::write(out, inv.json ? unitInfoJson(info) : unitInfoText(info)))
        return Outcome::failed(outputFailedLine());
    return Outcome::ok();
}

} // namespace

namespace direct {

Outcome selectUnit(DirectLink &link, int unit, zuctl_t *ctl)
{
    QList<zuctl_t> units;
    if (!link.units(&units))
        return Outcome::failed(QStringLiteral("cannot reach the USB devices"));
    if (units.isEmpty())
        return noUnit(link);
    if (unit >= units.size()) {
        return Outcome::failed(QStringLiteral("no unit %1: %2 connected")
                                   .arg(unit)
                                   .arg(units.size() == 1 ? QStringLiteral("1 unit")
                                                          : QStringLiteral("%1 units").arg(units.size())));
    }
    *ctl = units.at(unit);
    return Outcome::ok();
}

WaitStart::WaitStart() : wall_(std::chrono::steady_clock::now()), slept_(zuctl_slept_usec()) {}

int WaitStart::seconds() const
{
    const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - wall_);
    const uint64_t sleptMs = (zuctl_slept_usec() - slept_) / 1000;
    const uint64_t ms = std::max<uint64_t>(uint64_t(wall.count()), sleptMs);
    return int(std::max<uint64_t>(1, (ms + 500) / 1000));
}

QString failureLine(const zuctl_t &ctl, const QString &silentLine)
{
    // A request that met "no device" tells at once. Otherwise removals
    // reach the slot table only when the registry's events are delivered;
    // without this a pulled unit would look merely silent. Asked in this
    // order, since a unit back in the meantime takes its slot again.
    if (usbdevs_dev_gone(ctl.dev) != 0)
        return QStringLiteral("unit was disconnected");
    usbdevs_refresh();
    if (usbdevs_dev_exist(ctl.dev) != 0)
        return QStringLiteral("unit was disconnected");
    return silentLine;
}

bool write(std::FILE *out, const QByteArray &bytes)
{
    return writeOutput(out, bytes);
}

} // namespace direct

Outcome runDirect(const Invocation &inv, std::FILE *out)
{
    DirectLink link;
    if (inv.command == QLatin1String("list"))
        return runList(inv, link, out);
    if (inv.command == QLatin1String("info"))
        return runInfo(inv, link, out);
    if (inv.command == QLatin1String("get") || inv.command == QLatin1String("set"))
        return direct::runSetting(inv, link, out);
    if (inv.command == QLatin1String("assign"))
        return direct::runAssign(inv, link, out);
    if (inv.command == QLatin1String("firmware"))
        return direct::runFirmware(inv, link, out);
    if (inv.command == QLatin1String("checksum"))
        return direct::runChecksum(inv, link, out);
    if (inv.command == QLatin1String("debug"))
        return direct::runDebug(inv, link, out);
    if (inv.command == QLatin1String("meters")) {
        zuctl_t ctl{nullptr};
        Outcome picked = direct::selectUnit(link, inv.unit, &ctl);
        if (picked.status != kExitOk)
            return picked;
        return direct::runMeters(inv, &ctl, out);
    }
    return Outcome::usage(QStringLiteral("unknown command '%1'").arg(inv.command));
}

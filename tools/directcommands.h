// The commands run straight through the device library (no device service):
// list, info, meters, get, set, assign, firmware, checksum and debug.
#pragma once

#include <cstdio>

#include "tools/invocation.h"
#include "tools/outcome.h"
#include "zutest/zuctl.h"

class DirectLink;

// Runs the command of inv; reports go to out.
Outcome runDirect(const Invocation &inv, std::FILE *out);

// Shared by the command files.
namespace direct {

// Picks unit inv.unit or says why there is none.
Outcome selectUnit(DirectLink &link, int unit, zuctl_t *ctl);

// The line for a command that failed on a unit: gone, or silent.
QString failureLine(const zuctl_t &ctl, const QString &silentLine);

// Writes a report; false (errno set) when it did not get through.
bool write(std::FILE *out, const QByteArray &bytes);

Outcome runMeters(const Invocation &inv, zuctl_t *ctl, std::FILE *out);
Outcome runSetting(const Invocation &inv, DirectLink &link, std::FILE *out);
Outcome runAssign(const Invocation &inv, DirectLink &link, std::FILE *out);
Outcome runFirmware(const Invocation &inv, DirectLink &link, std::FILE *out);
Outcome runChecksum(const Invocation &inv, DirectLink &link, std::FILE *out);
Outcome runDebug(const Invocation &inv, DirectLink &link, std::FILE *out);

} // namespace direct

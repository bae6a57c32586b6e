// The commands run straight through the device library (no device service):
// list, info, meters, get, set, assign, firmware, checksum and debug.
#pragma once

#include <chrono>
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

// Where an exchange began, so that a time-out line can say how long the
// unit was waited for.
class WaitStart
{
public:
    WaitStart();
    // Whole seconds, at least 1: the time that passed, or the library's
    // pauses when they were longer (a virtual clock in tests).
    int seconds() const;

private:
    std::chrono::steady_clock::time_point wall_;
    uint64_t slept_;
};

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

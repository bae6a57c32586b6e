// The fault switch: a written list of faults for the simulated unit, so that
// testers and users reach the unit's fault injection without code. A list is
// comma-separated rules, each KIND[:ARG][@WHEN]:
//   KIND   stall, timeout, ioerror (any transfer fails with an I/O error),
//          senderror (requests fail with an I/O error), busy, silence,
//          split, debugtext, malformed, dropmeters, extrameters, unplug,
//          random; for the firmware transfer fwcancel (the unit refuses
//          it), fwoffset (it misreports its offset) and fwnoverify (it never
//          finishes the verification)
//   ARG    a count (transfers, requests, reply reads, messages or meter
//          values, after the kind) or a duration such as 500ms, 2s, 1m
//          (the fault lasts that long on the unit's clock); random takes a
//          probability from 0 to 1
//   WHEN   after=N (after N transfers), t=DURATION (that long after the list
//          is installed) or every=DURATION (again and again); without it the
//          fault applies at once
// Example: stall:3@after=10,senderror:1,unplug@t=5s,busy:2s@every=30s,random:0.02
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class FaultKind {
    Stall, Timeout, IoError, SendError, Busy, Silence, Split, DebugText,
    Malformed, DropMeters, ExtraMeters, Unplug, Random,
    FirmwareCancel, FirmwareOffset, FirmwareNoVerify,
};

enum class FaultWhen { Now, AfterTransfers, AtTime, Every };

struct FaultRule {
    FaultKind kind = FaultKind::Stall;
    int count = 0;               // the count given, or the kind's default
    uint64_t durationUs = 0;     // non-zero: the fault lasts this long instead
    double probability = 0;      // random only
    FaultWhen when = FaultWhen::Now;
    uint64_t at = 0;             // transfers (after), or microseconds (t, every)
};

// Parses a fault list. On failure returns false and sets *error to one line
// that quotes the part that does not parse and says what was expected.
bool parseFaultList(const std::string &text, std::vector<FaultRule> *rules, std::string *error);

// The kind's name as written in a list.
const char *faultKindName(FaultKind kind);

} // namespace sim

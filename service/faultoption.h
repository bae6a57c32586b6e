// The fault switch of the programs that run the simulated unit: the fault
// list in STRATA_SIMULATE_FAULTS, which the registry's simulated backend puts
// on the unit it plugs in (sim/faultlist.h has the format). A list that does
// not parse is refused before a program starts, never half applied.
#pragma once

#include <QString>

namespace FaultOption {

extern const char kVariable[]; // "STRATA_SIMULATE_FAULTS"

// The one error line for a list that does not parse ("STRATA_SIMULATE_FAULTS:
// ..."), or empty: the list parses, is absent, or the run is not simulated.
QString environmentError(bool simulated);

// Checks a list given on the command line and puts it into the environment
// for the simulated unit; returns the error line, empty when it was taken.
QString applyList(const QString &list, const QString &optionName);

} // namespace FaultOption

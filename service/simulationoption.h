// The choice between real units and the simulated unit, shared by the panel
// and stratactl. The registry takes its backend from STRATA_SIMULATE when it
// starts, and the global data manager starts it before main runs; so a
// --simulate MODEL on the command line is put into the environment and the
// program started again, before anything else happens in main.
#pragma once

#include <QString>

namespace SimulationOption {

// The model named by --simulate MODEL or --simulate=MODEL (the last one
// wins); found is false when the option is absent. A --simulate without a
// model gives found true and an empty model.
QString model(int argc, const char *const *argv, bool *found);

// Call first thing in main. When argv asks for a model that STRATA_SIMULATE
// does not already name, sets STRATA_SIMULATE and re-executes the program
// with the same arguments; returns only when no restart was needed or the
// restart failed (false, with a message on standard error).
bool apply(int argc, char **argv);

// Whether this process runs on the simulated unit.
bool isSimulated();

// Takes --simulate and its model out of argv (keeping argv[argc] null) and
// returns the new argc, for the program's own parsing.
int strip(int argc, char **argv);

} // namespace SimulationOption

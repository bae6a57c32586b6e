// stratactl --engine: info and meters through the panel's device service (the
// global data manager, its worker thread and request engine) instead of the
// library directly. Needs the application object and runs its event loop.
#pragma once

#include <cstdio>

#include "tools/invocation.h"
#include "tools/outcome.h"

// Reports go to out.
Outcome runEngine(const Invocation &inv, std::FILE *out);

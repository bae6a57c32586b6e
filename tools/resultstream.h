// Standard output carries only the command's result, so that scripts can
// parse it: the device library prints its diagnostic lines on standard output
// (the panel keeps them there), so the tool points file descriptor 1 at
// standard error and writes its results to a saved copy of the original
// standard output. The engine program, started by stratactl, inherits both.
#pragma once

#include <cstdio>

// Call once in main, after any restart on the simulated unit and before the
// library runs. Returns the stream for results; standard output itself
// (descriptor 1) then reaches standard error. Falls back to stdout when the
// descriptors cannot be rearranged.
std::FILE *openResultStream();

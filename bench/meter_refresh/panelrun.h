// The --panel mode: the whole panel metering the simulated Strata 96 with the
// meter page on show, measured as a process (CPU share, peak memory).
#pragma once

int runPanel(int argc, char **argv, int seconds);

// The panel as one process of a side-by-side comparison: the whole window
// on the simulated unit the parent put in the environment (STRATA_SIMULATE),
// started as strata-panel starts it. With the simulated Strata 96 it opens
// the meter page and meters; with STRATA_SIMULATE empty it runs on the USB
// backend and, with no unit plugged in, idles on the "not connected" page. Measured over the stretch the parent starts.
#pragma once

int runPanelProcess(int argc, char **argv, int seconds);

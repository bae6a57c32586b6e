// The parent of the process comparisons: runs the whole panel metering the
// simulated Strata 96 beside bench_plain_labels, both over the same stretch
// of time on the same display, and prints both CPU shares, their ratio and
// both peak resident sizes; or, idle, the panel alone with no unit.
//
// Display: its own Xvfb when there is one (the xcb platform, as on a
// desktop: every repaint goes out to the X server and the platform's own
// libraries are mapped, which the peak memory includes), otherwise, or
// with --offscreen, the offscreen platform. Xvfb's own CPU is in neither
// process's figure.
#pragma once

struct SideBySideOptions {
    int seconds = 30;
    // On a shared or virtual machine one stretch of the same work can cost
    // a third more or less than the next: the median of several says more.
    int runs = 5;
    bool offscreen = false;
    bool idle = false;
};

int runSideBySide(int argc, char **argv, const SideBySideOptions &options);

// Reads all 97 meters of a simulated Strata 96 through the library, first
// with the sleep replaced by one that only counts (the cost of the library
// and the codec alone), then with the real sleep and the device worker's
// 10 ms pause after each read (the pace the panel runs at). Prints reads per
// second and how the time splits between sleeping and working.
#include <chrono>
#include <cstdio>
#include <unistd.h>

#include "sim/simunit.h"
#include "zutest/zuctl.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFastReads = 2000;
constexpr int kPacedReads = 20;
constexpr uint32_t kWorkerPauseMs = 10; // the device worker's pause after each exchange

struct SleepTally {
    long calls = 0;
    uint64_t requestedUs = 0;
    Clock::duration slept{};
};

// The library's sleep hook is a plain function pointer, so the tally it
// writes has to be reachable without an argument.
SleepTally tally;

int countOnly(uint32_t usec)
{
    tally.calls++;
    tally.requestedUs += usec;
    return 0;
}

int timedSleep(uint32_t usec)
{
    tally.calls++;
    tally.requestedUs += usec;
    const Clock::time_point start = Clock::now();
    const int result = usleep(usec);
    tally.slept += Clock::now() - start;
    return result;
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

bool run(const char *title, zuctl_t *ctl, int reads, bool workerPause)
{
    tally = SleepTally();
    int values = 0;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < reads; ++i) {
        zuctl_meter_info_t info[97] = {};
        uint8_t num = 0;
        if (zuctl_get_meter(ctl, info, 97, &num) != 0) {
            std::fprintf(stderr, "meter_read: read %d failed\n", i + 1);
            return false;
        }
        values += num;
        if (workerPause)
            msleep(kWorkerPauseMs);
    }
    const double total = seconds(Clock::now() - start);
    const double slept = seconds(tally.slept);
    std::printf("%s\n", title);
    std::printf("  reads            %d (%d meter values)\n", reads, values);
    std::printf("  total            %.3f s\n", total);
    std::printf("  reads per second %.1f\n", reads / total);
    std::printf("  mean per read    %.3f ms\n", 1000.0 * total / reads);
    std::printf("  sleeps           %ld, %.1f ms asked for\n", tally.calls, tally.requestedUs / 1000.0);
    std::printf("  sleeping         %.1f %% of the time\n", 100.0 * slept / total);
    std::printf("  working          %.1f %% of the time\n", 100.0 * (total - slept) / total);
    return true;
}

} // namespace

int main()
{
    usbdevs_select_backend(USBDEVS_BACKEND_SIM);
    sim::plugSimUnit(sim::Model::Strata96);

    zuctl_group_t group{};
    zuctl_t ctl{nullptr};
    if (zuctl_group_init(&group) != 0 || zuctl_group_get_init(&group) != 0 || zuctl_group_get_zu(&group, &ctl) != 0) {
        std::fprintf(stderr, "meter_read: the simulated Strata 96 was not found\n");
        return 1;
    }

    zuctl_set_usleep(countOnly);
    const bool fast = run("zero transfer latency (sleep only counted)", &ctl, kFastReads, false);
    zuctl_set_usleep(timedSleep);
    const bool paced = fast && run("real pacing (10 ms pause after each read, as the device worker)", &ctl, kPacedReads, true);
    zuctl_set_usleep(nullptr);
    usbdevs_exit(&group.reg);
    return fast && paced ? 0 : 1;
}

#include "virtual_clock.h"

#include "zutest/zuctl.h"

namespace {
std::atomic<VirtualClock *> current{nullptr};
}

VirtualClock::VirtualClock()
{
    current = this;
    zuctl_set_usleep(&VirtualClock::sleepHook);
}

VirtualClock::~VirtualClock()
{
    zuctl_set_usleep(nullptr);
    current = nullptr;
}

int VirtualClock::sleepHook(uint32_t usec)
{
    VirtualClock *clock = current.load();
    if (!clock)
        return 0;
    clock->now_ += usec;
    clock->slept_ += usec;
    clock->sleeps_++;
    if (usec == 10000)
        clock->tenMs_++;
    else if (usec == 100000)
        clock->hundredMs_++;
    else if (usec == 1000000)
        clock->oneSecond_++;
    return 0;
}

int VirtualClock::sleepCount(uint32_t usec) const
{
    switch (usec) {
    case 10000: return tenMs_.load();
    case 100000: return hundredMs_.load();
    case 1000000: return oneSecond_.load();
    default: return -1;
    }
}

void VirtualClock::resetCounts()
{
    sleeps_ = 0;
    slept_ = 0;
    tenMs_ = 0;
    hundredMs_ = 0;
    oneSecond_ = 0;
}

std::function<uint64_t()> VirtualClock::source() const
{
    return [this] { return now_.load(); };
}

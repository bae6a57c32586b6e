// A virtual clock for the library's one sleep: sleeping advances it at once
// and is counted, so time-outs of seconds run in microseconds and the number
// of pauses can be asserted. The simulated units can read it as their clock.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

class VirtualClock {
public:
    VirtualClock();   // installs itself as the library's sleep
    ~VirtualClock();  // restores the real sleep

    uint64_t nowMicros() const { return now_.load(); }
    void advance(uint64_t usec) { now_ += usec; }

    int sleepCount() const { return sleeps_.load(); }
    int sleepCount(uint32_t usec) const; // pauses of exactly this length
    uint64_t sleptMicros() const { return slept_.load(); }
    void resetCounts();

    // A clock function for sim::SimUnit::setClock.
    std::function<uint64_t()> source() const;

private:
    static int sleepHook(uint32_t usec);

    std::atomic<uint64_t> now_{1000000};
    std::atomic<uint64_t> slept_{0};
    std::atomic<int> sleeps_{0};
    std::atomic<int> tenMs_{0};
    std::atomic<int> hundredMs_{0};
    std::atomic<int> oneSecond_{0};
};

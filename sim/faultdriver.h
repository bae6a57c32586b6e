// Carries out a simulated unit's unplug faults on the bus: takes the unit off
// when its fault list pulls it out and plugs it back when the spell ends.
// step() does one round; start() runs rounds on a thread of its own every
// 10 ms for programs, whose unit is on the steady clock.
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "sim/simunit.h"

namespace sim {

class FaultDriver {
public:
    explicit FaultDriver(std::shared_ptr<SimUnit> unit);
    ~FaultDriver();
    FaultDriver(const FaultDriver &) = delete;
    FaultDriver &operator=(const FaultDriver &) = delete;

    SimUnit::BusAction step();
    void start();

private:
    std::shared_ptr<SimUnit> unit_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace sim

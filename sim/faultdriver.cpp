#include "sim/faultdriver.h"

#include <chrono>

namespace sim {

FaultDriver::FaultDriver(std::shared_ptr<SimUnit> unit)
    : unit_(std::move(unit))
{
}

FaultDriver::~FaultDriver()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

SimUnit::BusAction FaultDriver::step()
{
    const SimUnit::BusAction action = unit_->pollFaults();
    if (action == SimUnit::BusAction::Unplug)
        Bus::instance().unplug(unit_);
    else if (action == SimUnit::BusAction::Replug)
        Bus::instance().plug(unit_);
    return action;
}

void FaultDriver::start()
{
    if (thread_.joinable())
        return;
    thread_ = std::thread([this] {
        while (!stop_) {
            step();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
}

} // namespace sim

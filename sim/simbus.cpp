#include "sim/simbus.h"

#include <algorithm>

namespace sim {

namespace {

using Watchers = std::vector<std::pair<int, BusWatcher>>;

} // namespace

Bus &Bus::instance()
{
    // Never destroyed: the registry of a static object may still unwatch or
    // transfer while the program's statics are torn down.
    static Bus *bus = new Bus;
    return *bus;
}

uint32_t Bus::plug(std::shared_ptr<Device> device)
{
    if (!device)
        return 0;
    std::lock_guard<std::recursive_mutex> order(events_);
    uint32_t location = 0;
    Watchers watchers;
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (const Entry &e : entries_) {
            if (e.device == device)
                return e.location;
        }
        location = nextLocation_++;
        if (nextLocation_ == 0)
            nextLocation_ = 1;
        entries_.push_back({device, location});
        watchers = watchers_;
    }
    for (const auto &w : watchers) {
        if (w.second.arrived)
            w.second.arrived(device, location);
    }
    return location;
}

void Bus::unplug(const std::shared_ptr<Device> &device)
{
    std::lock_guard<std::recursive_mutex> order(events_);
    uint32_t location = 0;
    Watchers watchers;
    {
        std::lock_guard<std::mutex> guard(lock_);
        const auto it = std::find_if(entries_.begin(), entries_.end(),
                                     [&](const Entry &e) { return e.device == device; });
        if (it == entries_.end())
            return;
        location = it->location;
        entries_.erase(it);
        watchers = watchers_;
    }
    for (const auto &w : watchers) {
        if (w.second.left)
            w.second.left(location);
    }
}

void Bus::unplugAll()
{
    std::lock_guard<std::recursive_mutex> order(events_);
    for (const std::shared_ptr<Device> &device : devices())
        unplug(device);
}

int Bus::watch(BusWatcher watcher)
{
    std::lock_guard<std::recursive_mutex> order(events_);
    int token = 0;
    std::vector<Entry> present;
    {
        std::lock_guard<std::mutex> guard(lock_);
        token = nextToken_++;
        watchers_.emplace_back(token, watcher);
        present = entries_;
    }
    if (watcher.arrived) {
        for (const Entry &e : present)
            watcher.arrived(e.device, e.location);
    }
    return token;
}

void Bus::unwatch(int token)
{
    std::lock_guard<std::recursive_mutex> order(events_);
    std::lock_guard<std::mutex> guard(lock_);
    watchers_.erase(std::remove_if(watchers_.begin(), watchers_.end(),
                                   [token](const auto &w) { return w.first == token; }),
                    watchers_.end());
}

Xfer Bus::controlOut(uint32_t location, uint8_t request, uint16_t value, uint16_t index,
                     const uint8_t *data, uint16_t length)
{
    const std::shared_ptr<Device> device = find(location);
    if (!device)
        return Xfer::NoDevice;
    return device->controlOut(request, value, index, data, length);
}

Xfer Bus::controlIn(uint32_t location, uint8_t request, uint16_t value, uint16_t index,
                    uint8_t *data, uint16_t length)
{
    const std::shared_ptr<Device> device = find(location);
    if (!device)
        return Xfer::NoDevice;
    return device->controlIn(request, value, index, data, length);
}

std::vector<std::shared_ptr<Device>> Bus::devices() const
{
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::shared_ptr<Device>> list;
    for (const Entry &e : entries_)
        list.push_back(e.device);
    return list;
}

std::shared_ptr<Device> Bus::find(uint32_t location) const
{
    std::lock_guard<std::mutex> guard(lock_);
    for (const Entry &e : entries_) {
        if (e.location == location)
            return e.device;
    }
    return nullptr;
}

} // namespace sim

// The simulated USB bus: where simulated units are plugged in and pulled out.
// It stands in for the operating system's USB service, so it is one per
// process. The registry's simulated backend watches it; nothing else above
// the registry knows it exists.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

// Outcome of one control transfer, as a USB stack reports it.
enum class Xfer { Ok, Stall, Timeout, NoDevice, Error };

// Anything that can sit on the simulated bus and answer control requests.
// Implementations must be safe to call from one transfer thread while another
// thread injects faults or inspects state.
class Device {
public:
    virtual ~Device() = default;
    virtual uint16_t productId() const = 0;
    virtual std::string name() const = 0;
    virtual Xfer controlOut(uint8_t request, uint16_t value, uint16_t index,
                            const uint8_t *data, uint16_t length) = 0;
    virtual Xfer controlIn(uint8_t request, uint16_t value, uint16_t index,
                           uint8_t *data, uint16_t length) = 0;
    // Whether the host may not open the device (a device node without access).
    virtual bool openDenied() const { return false; }
};

// Bus events as a watcher sees them. Called on the thread that plugs or
// unplugs (a test thread, or the thread that started the simulation), one
// event at a time and in bus order, with no bus lock held: a callback may
// transfer, list the devices, or plug and unplug itself.
struct BusWatcher {
    std::function<void(const std::shared_ptr<Device> &, uint32_t location)> arrived;
    std::function<void(uint32_t location)> left;
};

class Bus {
public:
    static Bus &instance();

    // Plug a unit in: watchers hear of it; returns its location ID (never 0).
    uint32_t plug(std::shared_ptr<Device> device);
    // Pull it out: watchers hear of it; transfers to it answer NoDevice.
    void unplug(const std::shared_ptr<Device> &device);
    void unplugAll();

    // Watch the bus: the watcher first hears of every unit present (on the
    // calling thread), then of every later arrival and removal. Returns a token for unwatch. Once
    // unwatch returns, the watcher is not called again; it waits for an event
    // being delivered on another thread, so do not call it holding a lock
    // that a callback takes.
    int watch(BusWatcher watcher);
    void unwatch(int token);

    // Transfers addressed by location; NoDevice once the unit has gone.
    Xfer controlOut(uint32_t location, uint8_t request, uint16_t value, uint16_t index,
                    const uint8_t *data, uint16_t length);
    Xfer controlIn(uint32_t location, uint8_t request, uint16_t value, uint16_t index,
                   uint8_t *data, uint16_t length);

    std::vector<std::shared_ptr<Device>> devices() const;

private:
    Bus() = default;
    struct Entry {
        std::shared_ptr<Device> device;
        uint32_t location;
    };
    std::shared_ptr<Device> find(uint32_t location) const;

    // events_ orders plug, unplug and watch and is held while watchers are
    // called; lock_ guards the tables and is never held across a call out.
    std::recursive_mutex events_;
    mutable std::mutex lock_;
    std::vector<Entry> entries_;
    std::vector<std::pair<int, BusWatcher>> watchers_;
    uint32_t nextLocation_ = 0x01100000;
    int nextToken_ = 1;
};

} // namespace sim

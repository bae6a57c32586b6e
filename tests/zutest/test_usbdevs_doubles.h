// Test doubles and helpers for the registry's tests: a unit on the simulated
// bus whose transfer results are scripted, and the registry's expected lines.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/simbus.h"
#include "zutest/usbdevs.h"

class ScriptedDevice : public sim::Device {
public:
    struct Setup {
        bool in = false;
        uint8_t request = 0;
        uint16_t value = 0;
        uint16_t index = 0;
        uint16_t length = 0;
        std::vector<uint8_t> data; // out: what arrived
    };

    ScriptedDevice(uint16_t productId, std::string name) : productId_(productId), name_(std::move(name)) {}

    uint16_t productId() const override { return productId_; }
    std::string name() const override { return name_; }

    sim::Xfer controlOut(uint8_t request, uint16_t value, uint16_t index, const uint8_t *data,
                         uint16_t length) override
    {
        std::lock_guard<std::mutex> guard(lock_);
        last_ = {false, request, value, index, length, std::vector<uint8_t>(data, data + (data ? length : 0))};
        return next();
    }

    sim::Xfer controlIn(uint8_t request, uint16_t value, uint16_t index, uint8_t *data,
                        uint16_t length) override
    {
        std::lock_guard<std::mutex> guard(lock_);
        last_ = {true, request, value, index, length, {}};
        for (uint16_t i = 0; i < length && i < reply_.size(); i++)
            data[i] = reply_[i];
        return next();
    }

    // The next transfers answer these results, in order; then Ok.
    void script(std::vector<sim::Xfer> results)
    {
        std::lock_guard<std::mutex> guard(lock_);
        script_.assign(results.begin(), results.end());
    }
    void setReply(std::vector<uint8_t> bytes)
    {
        std::lock_guard<std::mutex> guard(lock_);
        reply_ = std::move(bytes);
    }
    Setup last() const
    {
        std::lock_guard<std::mutex> guard(lock_);
        return last_;
    }
    int transfers() const { return transfers_.load(); }

private:
    sim::Xfer next()
    {
        ++transfers_;
        if (script_.empty())
            return sim::Xfer::Ok;
        sim::Xfer result = script_.front();
        script_.pop_front();
        return result;
    }

    const uint16_t productId_;
    const std::string name_;
    mutable std::mutex lock_;
    std::deque<sim::Xfer> script_;
    std::vector<uint8_t> reply_;
    Setup last_;
    std::atomic<int> transfers_{0};
};

inline std::shared_ptr<ScriptedDevice> plugUnit(const std::string &name, uint8_t model = 0)
{
    auto device = std::make_shared<ScriptedDevice>(usbdevs_product_id(model), name);
    sim::Bus::instance().plug(device);
    return device;
}

inline std::string addedLines(const std::string &name)
{
    return "../../zutest/usbdevs.c:132:Device added\n" + name + "\n";
}

inline std::string removedLines(const std::string &name)
{
    return "../../zutest/usbdevs.c:27:removed\n" + name + "\n";
}

// Index of the slot a handle points at, or -1.
inline int slotOf(const usbdevs_t &reg, const usbdevs_dev_t *dev)
{
    for (int i = 0; i < USBDEVS_MAX_DEVS; i++) {
        if (&reg.devs[i] == dev)
            return i;
    }
    return -1;
}

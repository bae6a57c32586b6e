// Registry backend on the simulated bus (sim/simbus.h).
//
// A unit is matched by its product ID alone: the simulated bus carries only
// the maker's units, so there is no vendor ID to compare. A removal names the
// unit by its bus location, which the bus never hands out twice while the
// unit is plugged in.
//
// Transfer results are mapped to the codes libusb would give for the same
// event, so a simulated run prints what a real one would: Stall is a stalled
// pipe, Timeout a time-out, NoDevice LIBUSB_ERROR_NO_DEVICE (printed as
// 0xfffffffc) and Error LIBUSB_ERROR_IO (0xffffffff).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "sim/faultdriver.h"
#include "sim/faultlist.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "zutest/usbdevs_backend.h"

namespace {

// What the bus's watcher reaches. The watcher may outlive the registry's bus
// object inside the bus's copy of its watchers, so it holds this by shared
// reference and finds the port gone once the registry has stopped.
struct SimSink {
    std::mutex lock;
    usbdevs_port *port = nullptr;
    std::vector<uint16_t> product_ids;
    std::set<uint32_t> reported; // locations whose arrival went to the port
};

struct SimService : usbdevs_service {
    std::shared_ptr<sim::Device> device;
    uint32_t location = 0;
};

struct SimIntf : usbdevs_intf {
    explicit SimIntf(uint32_t location) : location(location) {}

    int control(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                uint16_t length, void *data) override
    {
        auto *bytes = static_cast<uint8_t *>(data);
        sim::Xfer result = (request_type & 0x80)
            ? sim::Bus::instance().controlIn(location, request, value, index, bytes, length)
            : sim::Bus::instance().controlOut(location, request, value, index, bytes, length);
        switch (result) {
        case sim::Xfer::Ok:
            return USBDEVS_OK;
        case sim::Xfer::Stall:
            return USBDEVS_ERROR_PIPE;
        case sim::Xfer::Timeout:
            return USBDEVS_ERROR_TIMEOUT;
        case sim::Xfer::NoDevice:
            return USBDEVS_ERROR_NO_DEVICE;
        case sim::Xfer::Error:
            break;
        }
        return USBDEVS_ERROR_IO;
    }

    const uint32_t location;
};

class SimBus : public usbdevs_bus {
public:
    explicit SimBus(usbdevs_port *port) : sink_(std::make_shared<SimSink>()) { sink_->port = port; }

    ~SimBus() override
    {
        if (token_)
            sim::Bus::instance().unwatch(token_);
        std::lock_guard<std::mutex> guard(sink_->lock);
        sink_->port = nullptr;
    }

    int match(uint16_t vendor_id, uint16_t product_id) override
    {
        (void)vendor_id;
        std::lock_guard<std::mutex> guard(sink_->lock);
        sink_->product_ids.push_back(product_id);
        return USBDEVS_OK;
    }

    void watch() override
    {
        std::shared_ptr<SimSink> sink = sink_;
        sim::BusWatcher watcher;
        watcher.arrived = [sink](const std::shared_ptr<sim::Device> &device, uint32_t location) {
            arrived(*sink, device, location);
        };
        watcher.left = [sink](uint32_t location) { left(*sink, location); };
        token_ = sim::Bus::instance().watch(watcher);
    }

    bool name(const usbdevs_service *service, char *buf, size_t size) override
    {
        const std::string name = static_cast<const SimService *>(service)->device->name();
        std::snprintf(buf, size, "%s", name.c_str());
        return true;
    }

    // Opening fails once the unit has left the bus, as opening a real device
    // that has just been pulled out does.
    int open(const usbdevs_service *service, usbdevs_intf **intf) override
    {
        const auto *sim_service = static_cast<const SimService *>(service);
        const auto present = sim::Bus::instance().devices();
        if (std::find(present.begin(), present.end(), sim_service->device) == present.end())
            return USBDEVS_ERROR_NO_DEVICE;
        if (sim_service->device->openDenied())
            return USBDEVS_ERROR_ACCESS;
        *intf = new SimIntf(sim_service->location);
        return USBDEVS_OK;
    }

    bool location(const usbdevs_service *service, uint32_t *location) override
    {
        *location = static_cast<const SimService *>(service)->location;
        return true;
    }

private:
    // Both run on the thread that plugs or unplugs.
    static void arrived(SimSink &sink, const std::shared_ptr<sim::Device> &device, uint32_t location)
    {
        std::lock_guard<std::mutex> guard(sink.lock);
        if (!sink.port || !device)
            return;
        const uint16_t product_id = device->productId();
        if (std::find(sink.product_ids.begin(), sink.product_ids.end(), product_id) == sink.product_ids.end())
            return;
        auto *service = new SimService;
        service->key = location;
        service->product_id = product_id;
        service->device = device;
        service->location = location;
        sink.reported.insert(location);
        usbdevs_port_post_arrival(sink.port, service);
    }

    static void left(SimSink &sink, uint32_t location)
    {
        std::lock_guard<std::mutex> guard(sink.lock);
        if (!sink.port || sink.reported.erase(location) == 0)
            return;
        usbdevs_port_post_removal(sink.port, location);
    }

    std::shared_ptr<SimSink> sink_;
    int token_ = 0;
};

// STRATA_SIMULATE_FAULTS=LIST puts a fault list (sim/faultlist.h) on the unit
// plugged from the environment. The programs refuse a list that does not
// parse before they start; here one is ignored rather than half applied.
void apply_faults_from_environment(const std::shared_ptr<sim::SimUnit> &unit)
{
    const char *text = std::getenv("STRATA_SIMULATE_FAULTS");
    std::vector<sim::FaultRule> rules;
    if (!text || !sim::parseFaultList(text, &rules, nullptr) || rules.empty())
        return;
    unit->setFaultPlan(rules);
    const bool unplugs = std::any_of(rules.begin(), rules.end(),
                                     [](const sim::FaultRule &r) { return r.kind == sim::FaultKind::Unplug; });
    if (unplugs) {
        // Lives as long as the unit, which stays plugged for the whole run.
        static sim::FaultDriver *driver = new sim::FaultDriver(unit);
        driver->start();
    }
}

// STRATA_SIMULATE=MODEL plugs one unit of that model for the whole run, before
// the first registry starts watching, so that registry finds it present.
void plug_unit_from_environment()
{
    static std::once_flag once;
    static std::shared_ptr<sim::SimUnit> unit;
    std::call_once(once, [] {
        const char *name = std::getenv("STRATA_SIMULATE");
        if (!name || !*name)
            return;
        sim::Model model;
        if (!sim::modelFromName(name, &model)) {
            std::fprintf(stderr,
                         "usbdevs: STRATA_SIMULATE names no known model: \"%s\" "
                         "(use Strata 96, Strata 10, Strata 14, Strata 20, or 96, 10, 14, 20); "
                         "no simulated unit is plugged in\n",
                         name);
            return;
        }
        unit = sim::plugSimUnit(model);
        apply_faults_from_environment(unit);
    });
}

} // namespace

std::unique_ptr<usbdevs_bus> usbdevs_sim_bus_open(usbdevs_port *port)
{
    plug_unit_from_environment();
    return std::make_unique<SimBus>(port);
}

// Registry backend on libusb-1.0: real units.
//
// Each registry has a libusb context of its own. Arrivals and removals come
// from one hot-plug callback (the maker's vendor ID, any product, filtered
// against the matching rules), which runs on this bus's event thread, or on
// the registering thread for the units already present. The callback only
// takes a reference to the device and queues it: opening a device, or any
// other call that could wait for the event thread, is not allowed there.
//
// Without hot-plug support on the platform, the bus enumerates once when it
// starts watching and again on every usbdevs_refresh, and reports the
// difference; the panel's polling calls usbdevs_refresh often enough for
// units to come and go within a second.
//
// A removal names the device by its libusb_device pointer. The pointer cannot
// be reused for another device while a slot holds the device open, and the
// bus reports events in order, so a stale removal never clears a new unit.

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <libusb.h>

#include "zutest/usbdevs_backend.h"

namespace {

// A control request that the unit does not answer in this time fails with a
// time-out, which the transport retries. The unit answers within a few
// milliseconds; a second leaves room for a busy host without stalling the
// worker for long when a unit hangs.
constexpr unsigned kControlTimeoutMs = 1000;

// The event thread sleeps until the bus has something to say; stopping it
// interrupts the event handler, and an interrupt that comes before the
// thread waits is kept for its next wait. The time-out only bounds how long
// the thread could sleep through a stop should that ever fail, and keeps an
// idle panel from waking for nothing several times a second.
constexpr long kEventPollMicros = 5000000;

// Owns the context; shared by the bus and every open interface, so the
// context ends only after the last device handle is closed.
struct LibusbContext {
    ~LibusbContext()
    {
        if (ctx)
            libusb_exit(ctx);
    }
    libusb_context *ctx = nullptr;
};

// A service may still be queued when its registry stops; it keeps the
// context alive until it has dropped its device.
struct LibusbService : usbdevs_service {
    ~LibusbService() override { libusb_unref_device(device); }
    std::shared_ptr<LibusbContext> context;
    libusb_device *device = nullptr;
};

struct LibusbIntf : usbdevs_intf {
    LibusbIntf(libusb_device_handle *handle, std::shared_ptr<LibusbContext> context)
        : handle(handle), context(std::move(context))
    {
    }
    ~LibusbIntf() override { libusb_close(handle); }

    int control(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                uint16_t length, void *data) override
    {
        int r = libusb_control_transfer(handle, request_type, request, value, index,
                                        static_cast<unsigned char *>(data), length, kControlTimeoutMs);
        return r < 0 ? r : USBDEVS_OK;
    }

    libusb_device_handle *const handle;
    const std::shared_ptr<LibusbContext> context;
};

class LibusbBus : public usbdevs_bus {
public:
    LibusbBus(usbdevs_port *port, std::shared_ptr<LibusbContext> context)
        : port_(port), context_(std::move(context))
    {
    }

    ~LibusbBus() override
    {
        if (hotplug_) {
            stop_ = true;
            libusb_hotplug_deregister_callback(context_->ctx, callback_);
            libusb_interrupt_event_handler(context_->ctx);
            events_.join();
        }
        for (libusb_device *device : known_)
            libusb_unref_device(device);
    }

    int match(uint16_t vendor_id, uint16_t product_id) override
    {
        vendor_id_ = vendor_id;
        product_ids_.push_back(product_id);
        return USBDEVS_OK;
    }

    void watch() override
    {
        if (libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
            int r = libusb_hotplug_register_callback(
                context_->ctx,
                static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                                  LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
                LIBUSB_HOTPLUG_ENUMERATE, vendor_id_, LIBUSB_HOTPLUG_MATCH_ANY,
                LIBUSB_HOTPLUG_MATCH_ANY, hotplug_callback, this, &callback_);
            if (r == LIBUSB_SUCCESS) {
                hotplug_ = true;
                events_ = std::thread([this] { handle_events(); });
                return;
            }
        }
        enumerate();
    }

    void poll() override
    {
        if (!hotplug_)
            enumerate();
    }

    // Reading the product string needs the device open, which comes after
    // the name; the model name of the product ID says the same.
    bool name(const usbdevs_service *service, char *buf, size_t size) override
    {
        const char *model = usbdevs_model_name(service->product_id);
        if (!model)
            return false;
        std::snprintf(buf, size, "%s", model);
        return true;
    }

    // libusb's codes pass through: a node the user may not open reads as
    // the registry's access error.
    static_assert(int(LIBUSB_ERROR_ACCESS) == int(USBDEVS_ERROR_ACCESS), "access error codes differ");
    int open(const usbdevs_service *service, usbdevs_intf **intf) override
    {
        libusb_device_handle *handle = nullptr;
        int r = libusb_open(static_cast<const LibusbService *>(service)->device, &handle);
        if (r != LIBUSB_SUCCESS)
            return r;
        *intf = new LibusbIntf(handle, context_);
        return USBDEVS_OK;
    }

    // The location ID in the platform's layout: the bus number in the top
    // byte, then one nibble per port on the way from the root hub.
    bool location(const usbdevs_service *service, uint32_t *location) override
    {
        libusb_device *device = static_cast<const LibusbService *>(service)->device;
        uint8_t ports[7];
        int depth = libusb_get_port_numbers(device, ports, sizeof ports);
        if (depth < 0 || depth > 6)
            return false;
        uint32_t id = static_cast<uint32_t>(libusb_get_bus_number(device)) << 24;
        for (int i = 0; i < depth; i++)
            id |= static_cast<uint32_t>(ports[i] & 0x0f) << (20 - 4 * i);
        *location = id;
        return true;
    }

private:
    bool matches(libusb_device *device) const
    {
        libusb_device_descriptor desc;
        if (libusb_get_device_descriptor(device, &desc) != LIBUSB_SUCCESS)
            return false;
        return desc.idVendor == vendor_id_ &&
               std::find(product_ids_.begin(), product_ids_.end(), desc.idProduct) != product_ids_.end();
    }

    void post_arrival(libusb_device *device)
    {
        libusb_device_descriptor desc;
        libusb_get_device_descriptor(device, &desc);
        auto *service = new LibusbService;
        service->context = context_;
        service->device = libusb_ref_device(device);
        service->key = reinterpret_cast<uintptr_t>(device);
        service->product_id = desc.idProduct;
        usbdevs_port_post_arrival(port_, service);
    }

    static int LIBUSB_CALL hotplug_callback(libusb_context *, libusb_device *device,
                                            libusb_hotplug_event event, void *user_data)
    {
        auto *bus = static_cast<LibusbBus *>(user_data);
        if (!bus->matches(device))
            return 0;
        if (event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED)
            bus->post_arrival(device);
        else
            usbdevs_port_post_removal(bus->port_, reinterpret_cast<uintptr_t>(device));
        return 0;
    }

    void handle_events()
    {
        while (!stop_) {
            timeval tv = {kEventPollMicros / 1000000, kEventPollMicros % 1000000};
            libusb_handle_events_timeout_completed(context_->ctx, &tv, nullptr);
        }
    }

    // Reports what changed since the last enumeration.
    void enumerate()
    {
        libusb_device **list = nullptr;
        ssize_t count = libusb_get_device_list(context_->ctx, &list);
        if (count < 0)
            return;
        std::vector<libusb_device *> present;
        for (ssize_t i = 0; i < count; i++) {
            if (matches(list[i]))
                present.push_back(list[i]);
        }
        for (auto it = known_.begin(); it != known_.end();) {
            if (std::find(present.begin(), present.end(), *it) != present.end()) {
                ++it;
                continue;
            }
            usbdevs_port_post_removal(port_, reinterpret_cast<uintptr_t>(*it));
            libusb_unref_device(*it);
            it = known_.erase(it);
        }
        for (libusb_device *device : present) {
            if (std::find(known_.begin(), known_.end(), device) != known_.end())
                continue;
            known_.push_back(libusb_ref_device(device));
            post_arrival(device);
        }
        libusb_free_device_list(list, 1);
    }

    usbdevs_port *const port_;
    const std::shared_ptr<LibusbContext> context_;
    uint16_t vendor_id_ = 0;
    std::vector<uint16_t> product_ids_;

    bool hotplug_ = false;
    libusb_hotplug_callback_handle callback_ = 0;
    std::atomic<bool> stop_{false};
    std::thread events_;

    std::vector<libusb_device *> known_; // without hot-plug: the last enumeration
};

} // namespace

std::unique_ptr<usbdevs_bus> usbdevs_libusb_bus_open(usbdevs_port *port)
{
    auto context = std::make_shared<LibusbContext>();
    int r = libusb_init(&context->ctx);
    if (r != LIBUSB_SUCCESS) {
        context->ctx = nullptr;
        std::fprintf(stderr, "usbdevs: libusb cannot be used (%s); no unit will be found\n",
                     libusb_error_name(r));
        return nullptr;
    }
    return std::make_unique<LibusbBus>(port, std::move(context));
}

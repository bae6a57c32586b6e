// Internal interface between the registry's table (usbdevs.cpp) and its bus
// backends (usbdevs_libusb.cpp, usbdevs_sim.cpp). Not part of the library's
// public interface.
//
// A backend opens one bus per registry. The bus reports arrivals and removals
// from its own threads by posting them to the registry's port; the table
// takes them in on the registry's owning thread. Both backends speak
// libusb-style result codes, so the diagnostics read the same whatever bus is
// underneath.
#pragma once

#include <atomic>
#include <memory>
#include <stddef.h>
#include <stdint.h>

#include "zutest/usbdevs.h"

// Results of the bus operations: 0 or a negative code of this set.
enum {
    USBDEVS_OK = 0,
    USBDEVS_ERROR_IO = -1,
    USBDEVS_ERROR_ACCESS = -3, // the device node may not be opened
    USBDEVS_ERROR_NO_DEVICE = -4,
    USBDEVS_ERROR_NOT_FOUND = -5,
    USBDEVS_ERROR_TIMEOUT = -7,
    USBDEVS_ERROR_PIPE = -9,
};

// One arrived device as the bus reported it. A removal names the device by
// the same key, so the key must stay unique while the device is on the bus.
// The backend derives from it to keep its own reference to the device;
// deleting the service drops that reference.
struct usbdevs_service {
    virtual ~usbdevs_service() = default;
    uintptr_t key = 0;
    uint16_t product_id = 0;
};

// An open device interface. Shared between the slot and the transfers in
// flight; the last reference closes the device (see usbdevs_intf_release).
struct usbdevs_intf {
    virtual ~usbdevs_intf() = default;
    // One control transfer on the default pipe: 0, USBDEVS_ERROR_PIPE,
    // USBDEVS_ERROR_TIMEOUT or another negative code.
    virtual int control(uint8_t request_type, uint8_t request, uint16_t value, uint16_t index,
                        uint16_t length, void *data) = 0;
    std::atomic<int> refs{1};
    // Set once a request on it found the device gone: it stays gone, even
    // before the removal reaches the slot table.
    std::atomic<bool> gone{false};
};

// The bus as one registry sees it. Destroying it stops every report to the
// port: once the destructor returns, no bus thread touches the port again.
class usbdevs_bus {
public:
    virtual ~usbdevs_bus() = default;

    // One matching rule; 0, or a negative code when it could not be made.
    virtual int match(uint16_t vendor_id, uint16_t product_id) = 0;
    // Starts the reports: first every matching unit present, then changes.
    virtual void watch() = 0;
    // Called on the owning thread by usbdevs_refresh, before delivery, for
    // buses that cannot report changes by themselves.
    virtual void poll() {}

    // Per-device operations, on the owning thread.
    virtual bool name(const usbdevs_service *service, char *buf, size_t size) = 0;
    virtual int open(const usbdevs_service *service, usbdevs_intf **intf) = 0;
    virtual bool location(const usbdevs_service *service, uint32_t *location) = 0;
};

// Bus factories, one per backend file; null when the bus cannot be used.
std::unique_ptr<usbdevs_bus> usbdevs_libusb_bus_open(struct usbdevs_port *port);
std::unique_ptr<usbdevs_bus> usbdevs_sim_bus_open(struct usbdevs_port *port);

// Reports from the bus, callable on any thread. The port takes ownership of
// the service. Both call the registry's wake-up hook on the calling thread.
void usbdevs_port_post_arrival(struct usbdevs_port *port, usbdevs_service *service);
void usbdevs_port_post_removal(struct usbdevs_port *port, uintptr_t key);

// Model name of a product ID ("Strata 96", ...), or null for another ID.
const char *usbdevs_model_name(uint16_t product_id);

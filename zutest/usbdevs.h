// USB device registry: a table of up to ten connected units, filled and
// cleared by arrival and removal notifications, and the two vendor requests
// through which the transport reaches a unit.
//
// Notifications are delivered on the thread that called usbdevs_init, either
// inside usbdevs_refresh() on that thread or from that thread's event loop
// through the wake-up hook (usbdevs_set_wakeup). The slot table is guarded by
// a lock held only briefly; a transfer runs on a reference to the slot's
// interface, so a removal never waits for a transfer and never frees an
// interface that a transfer still uses.
#pragma once

#include <stddef.h>
#include <stdint.h>

#define USBDEVS_MAX_DEVS 10

// The removal message of the interest notification.
#define USBDEVS_MSG_SERVICE_IS_TERMINATED 0xE0000010u

struct usbdevs;
struct usbdevs_port;     // event queue and lock of one registry (backend-owned)
struct usbdevs_run_loop; // per-thread delivery point of notifications
struct usbdevs_service;  // one arrived device as the bus reports it
struct usbdevs_intf;     // an open device interface that issues control requests
struct usbdevs_iterator; // arrived devices not yet taken into a slot

// One device slot; the unit handle of the rest of the library is its address.
typedef struct usbdevs_dev {
    struct usbdevs *owner;        // set when the slot is taken, never cleared
    char name[128];               // the device's name, empty while free
    struct usbdevs_intf *intf;    // non-null exactly while the slot holds a unit
    uint32_t location;            // bus location ID; 0 after removal
    uint32_t notification;        // removal registration; 0 after removal
} usbdevs_dev_t;

// Registry record, embedded in the device group.
typedef struct usbdevs {
    struct usbdevs_port *port;
    struct usbdevs_iterator *iterator;
    struct usbdevs_run_loop *run_loop;
    usbdevs_dev_t devs[USBDEVS_MAX_DEVS];
} usbdevs_t;

// Backend choice, once per process, before the first usbdevs_init. Without a
// call the environment decides: STRATA_SIMULATE set to a model name selects
// the simulated bus (with that unit plugged in), otherwise real units.
typedef enum usbdevs_backend_kind {
    USBDEVS_BACKEND_AUTO = 0,
    USBDEVS_BACKEND_LIBUSB = 1,
    USBDEVS_BACKEND_SIM = 2,
} usbdevs_backend_kind_t;
uint32_t usbdevs_select_backend(usbdevs_backend_kind_t kind);
usbdevs_backend_kind_t usbdevs_backend(void);

// Start and stop. usbdevs_exit releases what usbdevs_init took (the program
// itself keeps its registry for its whole life; tests create many).
uint32_t usbdevs_init(usbdevs_t *reg);
uint32_t usbdevs_exit(usbdevs_t *reg);

// Wake-up hook: called from a bus thread whenever a notification is queued
// for reg, so that the owning thread's event loop can call usbdevs_refresh().
typedef void (*usbdevs_wakeup_fn)(void *context);
uint32_t usbdevs_set_wakeup(usbdevs_t *reg, usbdevs_wakeup_fn fn, void *context);

// Notification callbacks (called on the owning thread).
uint32_t usbdevs_added(usbdevs_t *reg, struct usbdevs_iterator *iterator);
uint32_t usbdevs_dev_added(usbdevs_dev_t *dev, struct usbdevs_service *service);
uint32_t usbdevs_dev_notified(usbdevs_dev_t *dev, struct usbdevs_service *service,
                              uint32_t message_type, void *argument);
uint32_t usbdevs_dev_terminated(usbdevs_dev_t *dev);

// Queries of the table.
uint32_t usbdevs_dev_exist(const usbdevs_dev_t *dev);
// 1 when the unit behind a handle is known to be gone: its slot was freed
// by a removal, or a request on it met "no device" (the removal itself may
// not have been delivered yet); 0 otherwise, also for a null handle, which
// names no unit that could go.
uint32_t usbdevs_dev_gone(const usbdevs_dev_t *dev);
uint32_t usbdevs_refresh(void);
uint32_t usbdevs_get_dev(usbdevs_t *reg, usbdevs_dev_t **dev, uint8_t index);
// Units present that could not be opened for lack of permission (on Linux:
// no udev rule grants the user the device node); they hold no slot.
uint32_t usbdevs_access_denied(usbdevs_t *reg, uint32_t *count);

// Vendor requests on the unit's default pipe: 0 success, 1 failure, 2 stall or time-out.
uint32_t usbdevs_dev_vendor_request_out(usbdevs_dev_t *dev, uint8_t request, uint16_t value,
                                        uint16_t index, uint16_t length, void *data);
uint32_t usbdevs_dev_vendor_request_in(usbdevs_dev_t *dev, uint8_t request, uint16_t value,
                                       uint16_t index, uint16_t length, void *data);

// The product IDs of the four models, in the order the registry matches them
// (Strata 96, 10, 14, 20), and the maker's vendor ID.
uint16_t usbdevs_vendor_id(void);
uint16_t usbdevs_product_id(uint8_t model_index);

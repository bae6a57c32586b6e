// USB device registry: the slot table, its notifications and diagnostics.
// The buses underneath live in usbdevs_libusb.cpp and usbdevs_sim.cpp.
//
// Delivery. A bus reports arrivals and removals from its own threads (the
// libusb event thread, or whatever thread plugs a simulated unit) by queueing
// them on the registry's port and calling the wake-up hook. The queue is
// emptied only on the thread that called usbdevs_init: at the end of
// usbdevs_init, in usbdevs_refresh() called on that thread (each thread has
// its own run loop, the list of registries started on it), and so from that
// thread's event loop when the hook schedules a refresh there. Slots are
// therefore filled and cleared by one thread at a time, in the order the bus
// reported the changes.
//
// Synchronisation. The owning thread writes the slots; the device worker
// reads them and issues requests through them.
// - Each registry has one mutex (in its port). Every write of a slot field
//   happens under it, and so does every read from another thread: intf in
//   usbdevs_get_dev, usbdevs_dev_exist and the vendor requests. It is held
//   for a few field accesses only, never across a transfer, a print or a
//   call into a bus.
// - `owner` is published with an atomic store, since a handle's registry
//   must be found before its lock can be taken.
// - The interface is reference-counted. A transfer takes a reference under
//   the lock and runs without it; a removal detaches the interface from the
//   slot under the lock and drops the slot's reference. Whoever drops the
//   last reference closes the device, so a removal never waits for a
//   transfer, and a transfer never runs on a closed device. A request that
//   finds the slot detached returns 1 at once.
// - usbdevs_exit assumes that no other thread uses the registry's handles
//   any more (the worker has finished); transfers still running on a
//   reference finish safely, but a new request after exit is not allowed.

#include "zutest/usbdevs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

#include "strata_config.h"
#include "zutest/usbdevs_backend.h"

namespace {

const char kSourcePath[] = "../../zutest/usbdevs.c";

// Events are "path:line:" followed by a text line; failures "path:line:ERROR".
// One printf per line: the worker prints request failures at the same time,
// and a line must not be split by another thread's.
void print_event(int line, const char *text)
{
    std::printf("%s:%d:%s\n", kSourcePath, line, text);
}

void print_error(int line)
{
    std::printf("%s:%d:ERROR\n", kSourcePath, line);
}

void print_error_code(int line, uint32_t code)
{
    std::printf("%s:%d:ERROR %#x\n", kSourcePath, line, code);
}

// Where the platform's object printer shows a device's name: a line of its own.
void show_name(const char *name)
{
    std::printf("%s\n", name);
}

} // namespace

// One queued report of the bus.
struct usbdevs_event {
    bool arrival;
    usbdevs_service *service; // arrivals: owned by the event until delivered
    uintptr_t key;            // removals
};

// One removal registration: slot `dev` watches the device named by `key`.
struct usbdevs_interest {
    uintptr_t key;
    usbdevs_dev_t *dev;
    uint32_t id;
};

struct usbdevs_iterator {
    std::deque<usbdevs_service *> services;
};

struct usbdevs_port {
    std::mutex lock; // guards everything below and the registry's slots
    std::deque<usbdevs_event> events;
    usbdevs_wakeup_fn wakeup = nullptr;
    void *wakeup_context = nullptr;
    std::vector<usbdevs_interest> interests;
    uint32_t next_notification = 1;
    // Units present that could not be opened for lack of permission, by key.
    std::vector<uintptr_t> denied;

    // Owning thread only.
    std::unique_ptr<usbdevs_bus> bus;
    usbdevs_iterator arrived;
};

// The registries started on one thread. A thread owns a reference for as long
// as it runs and each registry started on it owns one, so a registry stopped
// from another thread, or outliving its thread, still finds its run loop.
struct usbdevs_run_loop {
    std::mutex lock; // held while delivering, so a registry is not stopped under it
    std::vector<usbdevs_t *> regs;
    std::atomic<int> refs{1};
};

namespace {

void run_loop_release(usbdevs_run_loop *loop)
{
    if (loop && --loop->refs == 0)
        delete loop;
}

struct ThreadRunLoop {
    usbdevs_run_loop *loop = nullptr;
    ~ThreadRunLoop() { run_loop_release(loop); }
};

thread_local ThreadRunLoop current_run_loop;

usbdevs_run_loop *run_loop_get_current(bool create)
{
    if (!current_run_loop.loop && create)
        current_run_loop.loop = new usbdevs_run_loop;
    return current_run_loop.loop;
}

usbdevs_port *port_of(const usbdevs_t *reg)
{
    return reg ? __atomic_load_n(&reg->port, __ATOMIC_ACQUIRE) : nullptr;
}

usbdevs_t *owner_of(const usbdevs_dev_t *dev)
{
    return __atomic_load_n(&dev->owner, __ATOMIC_ACQUIRE);
}

usbdevs_port *port_of_dev(const usbdevs_dev_t *dev)
{
    return dev ? port_of(owner_of(dev)) : nullptr;
}

void intf_release(usbdevs_intf *intf)
{
    if (intf && --intf->refs == 0)
        delete intf;
}

// A reference to the slot's interface for one transfer, or null when free.
usbdevs_intf *intf_acquire(const usbdevs_dev_t *dev)
{
    usbdevs_port *port = port_of_dev(dev);
    if (!port)
        return nullptr;
    std::lock_guard<std::mutex> guard(port->lock);
    usbdevs_intf *intf = dev->intf;
    if (intf)
        ++intf->refs;
    return intf;
}

usbdevs_service *iterator_next(usbdevs_iterator *iterator)
{
    if (!iterator || iterator->services.empty())
        return nullptr;
    usbdevs_service *service = iterator->services.front();
    iterator->services.pop_front();
    return service;
}

void port_post(usbdevs_port *port, const usbdevs_event &event)
{
    usbdevs_wakeup_fn wakeup;
    void *context;
    {
        std::lock_guard<std::mutex> guard(port->lock);
        port->events.push_back(event);
        wakeup = port->wakeup;
        context = port->wakeup_context;
    }
    if (wakeup)
        wakeup(context);
}

// Delivers what the bus has reported so far, in order. Runs on the owning
// thread only. Consecutive arrivals go to usbdevs_added as one iterator, as
// a first-match notification would hand them over.
void port_deliver(usbdevs_t *reg)
{
    usbdevs_port *port = reg->port;
    std::deque<usbdevs_event> events;
    {
        std::lock_guard<std::mutex> guard(port->lock);
        events.swap(port->events);
    }
    while (!events.empty()) {
        if (events.front().arrival) {
            while (!events.empty() && events.front().arrival) {
                port->arrived.services.push_back(events.front().service);
                events.pop_front();
            }
            usbdevs_added(reg, reg->iterator);
            continue;
        }
        uintptr_t key = events.front().key;
        events.pop_front();
        std::vector<usbdevs_dev_t *> watchers;
        {
            std::lock_guard<std::mutex> guard(port->lock);
            port->denied.erase(std::remove(port->denied.begin(), port->denied.end(), key), port->denied.end());
            for (const usbdevs_interest &interest : port->interests) {
                if (interest.key == key)
                    watchers.push_back(interest.dev);
            }
        }
        for (usbdevs_dev_t *dev : watchers)
            usbdevs_dev_notified(dev, nullptr, USBDEVS_MSG_SERVICE_IS_TERMINATED, nullptr);
    }
}

// Registers the slot's removal notification: 0, or a negative code.
int port_add_interest(usbdevs_port *port, uintptr_t key, usbdevs_dev_t *dev)
{
    if (!port)
        return USBDEVS_ERROR_NOT_FOUND;
    std::lock_guard<std::mutex> guard(port->lock);
    uint32_t id = port->next_notification++;
    if (port->next_notification == 0)
        port->next_notification = 1;
    port->interests.push_back({key, dev, id});
    dev->notification = id;
    return USBDEVS_OK;
}

// Detaches a slot from its unit under the lock; the caller drops the returned
// interface reference outside it.
usbdevs_intf *slot_clear(usbdevs_port *port, usbdevs_dev_t *dev)
{
    std::lock_guard<std::mutex> guard(port->lock);
    usbdevs_intf *intf = dev->intf;
    dev->intf = nullptr;
    if (dev->notification != 0) {
        for (auto it = port->interests.begin(); it != port->interests.end(); ++it) {
            if (it->id == dev->notification) {
                port->interests.erase(it);
                break;
            }
        }
        dev->notification = 0;
    }
    dev->location = 0;
    return intf;
}

// Backend choice: fixed by the first usbdevs_init, or by an explicit choice.
std::mutex backend_lock;
usbdevs_backend_kind_t backend_choice = USBDEVS_BACKEND_AUTO;
bool backend_fixed = false;

usbdevs_backend_kind_t backend_from_environment()
{
    const char *model = std::getenv("STRATA_SIMULATE");
    return (model && *model) ? USBDEVS_BACKEND_SIM : USBDEVS_BACKEND_LIBUSB;
}

usbdevs_backend_kind_t backend_fix()
{
    std::lock_guard<std::mutex> guard(backend_lock);
    if (backend_choice == USBDEVS_BACKEND_AUTO)
        backend_choice = backend_from_environment();
    backend_fixed = true;
    return backend_choice;
}

} // namespace

// ---- Backend choice

uint32_t usbdevs_select_backend(usbdevs_backend_kind_t kind)
{
    if (kind != USBDEVS_BACKEND_AUTO && kind != USBDEVS_BACKEND_LIBUSB && kind != USBDEVS_BACKEND_SIM)
        return 1;
    std::lock_guard<std::mutex> guard(backend_lock);
    if (kind == USBDEVS_BACKEND_AUTO)
        kind = backend_from_environment();
    if (backend_fixed)
        return kind == backend_choice ? 0 : 1;
    backend_choice = kind;
    backend_fixed = true;
    return 0;
}

usbdevs_backend_kind_t usbdevs_backend(void)
{
    std::lock_guard<std::mutex> guard(backend_lock);
    return backend_choice == USBDEVS_BACKEND_AUTO ? backend_from_environment() : backend_choice;
}

// ---- Start and stop

namespace {
constexpr int kLineMatchingRule = 184;
constexpr uint8_t kModelCount = 4; // one matching rule per model
} // namespace

uint32_t usbdevs_init(usbdevs_t *reg)
{
    if (!reg)
        return 1;
    std::memset(reg, 0, sizeof *reg);
    auto *port = new usbdevs_port;
    reg->iterator = &port->arrived;
    __atomic_store_n(&reg->port, port, __ATOMIC_RELEASE);

    port->bus = backend_fix() == USBDEVS_BACKEND_SIM ? usbdevs_sim_bus_open(port)
                                                     : usbdevs_libusb_bus_open(port);
    bool any_rule = false;
    for (uint8_t i = 0; i < kModelCount; i++) {
        if (!port->bus || port->bus->match(usbdevs_vendor_id(), usbdevs_product_id(i)) != 0) {
            print_error(kLineMatchingRule);
            continue;
        }
        any_rule = true;
    }
    if (any_rule)
        port->bus->watch();
    // The units already connected are taken now, as the first arrival call would.
    port_deliver(reg);

    usbdevs_run_loop *loop = run_loop_get_current(true);
    ++loop->refs;
    reg->run_loop = loop;
    std::lock_guard<std::mutex> guard(loop->lock);
    loop->regs.push_back(reg);
    return 0;
}

uint32_t usbdevs_exit(usbdevs_t *reg)
{
    usbdevs_port *port = port_of(reg);
    if (!port)
        return 1;
    if (usbdevs_run_loop *loop = reg->run_loop) {
        {
            std::lock_guard<std::mutex> guard(loop->lock);
            for (auto it = loop->regs.begin(); it != loop->regs.end(); ++it) {
                if (*it == reg) {
                    loop->regs.erase(it);
                    break;
                }
            }
        }
        run_loop_release(loop);
        reg->run_loop = nullptr;
    }
    // No bus thread reaches the port once the bus is gone.
    port->bus.reset();
    for (usbdevs_dev_t &dev : reg->devs) {
        intf_release(slot_clear(port, &dev));
        dev.name[0] = '\0';
    }
    for (const usbdevs_event &event : port->events)
        delete event.service;
    while (usbdevs_service *service = iterator_next(&port->arrived))
        delete service;
    reg->iterator = nullptr;
    __atomic_store_n(&reg->port, static_cast<usbdevs_port *>(nullptr), __ATOMIC_RELEASE);
    delete port;
    return 0;
}

// A hook call already under way on a bus thread may still finish after the
// hook is replaced; once usbdevs_exit has returned, none is under way, so the
// hook's context may go only after that.
uint32_t usbdevs_set_wakeup(usbdevs_t *reg, usbdevs_wakeup_fn fn, void *context)
{
    usbdevs_port *port = port_of(reg);
    if (!port)
        return 1;
    bool pending;
    {
        std::lock_guard<std::mutex> guard(port->lock);
        port->wakeup = fn;
        port->wakeup_context = context;
        pending = !port->events.empty();
    }
    // A unit that came between usbdevs_init and now has had nobody to wake.
    if (fn && pending)
        fn(context);
    return 0;
}

// ---- Notification callbacks

namespace {
constexpr int kLineRemoved = 27;
constexpr int kLineOtherMessage = 58;
constexpr int kLineNoPlugIn = 86;
constexpr int kLineNoInterface = 94;
constexpr int kLineNoLocation = 101;
constexpr int kLineNoRemovalNotification = 108;
constexpr int kLineDeviceAdded = 132;
constexpr int kLineTakeFailed = 145;
} // namespace

uint32_t usbdevs_added(usbdevs_t *reg, usbdevs_iterator *iterator)
{
    if (!reg)
        return 1;
    while (usbdevs_service *service = iterator_next(iterator)) {
        print_event(kLineDeviceAdded, "Device added");
        usbdevs_dev_t *slot = nullptr;
        for (usbdevs_dev_t &dev : reg->devs) {
            if (!dev.intf) {
                slot = &dev;
                break;
            }
        }
        if (slot) {
            __atomic_store_n(&slot->owner, reg, __ATOMIC_RELEASE);
            if (usbdevs_dev_added(slot, service) != 0)
                print_error_code(kLineTakeFailed, 1);
        }
        delete service;
    }
    return 0;
}

uint32_t usbdevs_dev_added(usbdevs_dev_t *dev, usbdevs_service *service)
{
    usbdevs_port *port = port_of_dev(dev);
    usbdevs_bus *bus = port ? port->bus.get() : nullptr;
    if (!bus || !service)
        return 1;

    char name[sizeof dev->name] = "";
    if (!bus->name(service, name, sizeof name))
        name[0] = '\0';
    show_name(name);
    {
        std::lock_guard<std::mutex> guard(port->lock);
        std::memcpy(dev->name, name, sizeof name);
    }

    usbdevs_intf *intf = nullptr;
    int err = bus->open(service, &intf);
    if (err != USBDEVS_OK) {
        print_error_code(kLineNoPlugIn, static_cast<uint32_t>(err));
        if (err == USBDEVS_ERROR_ACCESS) {
            std::lock_guard<std::mutex> guard(port->lock);
            port->denied.push_back(service->key);
        }
        delete intf;
        return 1;
    }
    if (!intf) {
        print_error_code(kLineNoInterface, 0);
        return 1;
    }
    {
        std::lock_guard<std::mutex> guard(port->lock);
        dev->intf = intf;
    }

    uint32_t location = 0;
    if (bus->location(service, &location)) {
        std::lock_guard<std::mutex> guard(port->lock);
        dev->location = location;
    } else {
        print_error(kLineNoLocation);
    }

    err = port_add_interest(port, service->key, dev);
    if (err != USBDEVS_OK)
        print_error_code(kLineNoRemovalNotification, static_cast<uint32_t>(err));
    return 0;
}

uint32_t usbdevs_dev_notified(usbdevs_dev_t *dev, usbdevs_service *service, uint32_t message_type,
                              void *argument)
{
    (void)service;
    (void)argument;
    if (!dev)
        return 1;
    if (message_type == USBDEVS_MSG_SERVICE_IS_TERMINATED)
        return usbdevs_dev_terminated(dev);
    print_error_code(kLineOtherMessage, message_type);
    return 0;
}

uint32_t usbdevs_dev_terminated(usbdevs_dev_t *dev)
{
    if (!dev)
        return 1;
    print_event(kLineRemoved, "removed");
    if (dev->name[0] != '\0')
        show_name(dev->name);
    usbdevs_port *port = port_of_dev(dev);
    if (!port)
        return 0;
    {
        std::lock_guard<std::mutex> guard(port->lock);
        dev->name[0] = '\0';
    }
    // The last transfer still running on the interface closes it.
    intf_release(slot_clear(port, dev));
    return 0;
}

// ---- Queries of the table

uint32_t usbdevs_dev_exist(const usbdevs_dev_t *dev)
{
    usbdevs_port *port = port_of_dev(dev);
    if (!port)
        return 1;
    std::lock_guard<std::mutex> guard(port->lock);
    return dev->intf ? 0 : 1;
}

uint32_t usbdevs_dev_gone(const usbdevs_dev_t *dev)
{
    usbdevs_port *port = port_of_dev(dev);
    if (!port)
        return 0;
    std::lock_guard<std::mutex> guard(port->lock);
    return (!dev->intf || dev->intf->gone) ? 1 : 0;
}

uint32_t usbdevs_refresh(void)
{
    usbdevs_run_loop *loop = run_loop_get_current(false);
    if (!loop)
        return 0;
    std::lock_guard<std::mutex> guard(loop->lock);
    for (usbdevs_t *reg : loop->regs) {
        if (reg->port->bus)
            reg->port->bus->poll();
        port_deliver(reg);
    }
    return 0;
}

uint32_t usbdevs_access_denied(usbdevs_t *reg, uint32_t *count)
{
    usbdevs_port *port = port_of(reg);
    if (!port)
        return 1;
    std::lock_guard<std::mutex> guard(port->lock);
    if (count)
        *count = static_cast<uint32_t>(port->denied.size());
    return 0;
}

uint32_t usbdevs_get_dev(usbdevs_t *reg, usbdevs_dev_t **dev, uint8_t index)
{
    usbdevs_port *port = port_of(reg);
    if (!port)
        return 1;
    std::lock_guard<std::mutex> guard(port->lock);
    unsigned seen = 0;
    for (usbdevs_dev_t &slot : reg->devs) {
        if (!slot.intf)
            continue;
        if (seen++ == index) {
            if (dev)
                *dev = &slot;
            return 0;
        }
    }
    return 1;
}

// ---- Vendor requests

namespace {

constexpr uint8_t kRequestTypeVendorOut = 0x40;
constexpr uint8_t kRequestTypeVendorIn = 0xC0;

struct RequestLines {
    int error;
    int stalled;
    int timed_out;
};
constexpr RequestLines kLinesOut = {248, 251, 255};
constexpr RequestLines kLinesIn = {286, 289, 293};

uint32_t vendor_request(usbdevs_dev_t *dev, uint8_t request_type, const RequestLines &lines,
                        uint8_t request, uint16_t value, uint16_t index, uint16_t length, void *data)
{
    if (!dev)
        return 1;
    usbdevs_intf *intf = intf_acquire(dev);
    if (!intf)
        return 1;
    int err = intf->control(request_type, request, value, index, length, data);
    if (err == USBDEVS_ERROR_NO_DEVICE)
        intf->gone = true;
    intf_release(intf);
    switch (err) {
    case USBDEVS_OK:
        return 0;
    case USBDEVS_ERROR_PIPE:
        print_event(lines.stalled, "kIOUSBPipeStalled");
        return 2;
    case USBDEVS_ERROR_TIMEOUT:
        print_event(lines.timed_out, "kIOUSBTransactionTimeout");
        return 2;
    default:
        print_error_code(lines.error, static_cast<uint32_t>(err));
        return 1;
    }
}

} // namespace

uint32_t usbdevs_dev_vendor_request_out(usbdevs_dev_t *dev, uint8_t request, uint16_t value,
                                        uint16_t index, uint16_t length, void *data)
{
    return vendor_request(dev, kRequestTypeVendorOut, kLinesOut, request, value, index, length, data);
}

uint32_t usbdevs_dev_vendor_request_in(usbdevs_dev_t *dev, uint8_t request, uint16_t value,
                                       uint16_t index, uint16_t length, void *data)
{
    return vendor_request(dev, kRequestTypeVendorIn, kLinesIn, request, value, index, length, data);
}

// ---- Identity of the maker's units

namespace {

struct Model {
    uint16_t product_id;
    const char *name;
};

// Matching order: Strata 96, 10, 14, 20.
constexpr Model kModels[] = {
    {STRATA_USB_PID_96, "Strata 96"},
    {STRATA_USB_PID_10, "Strata 10"},
    {STRATA_USB_PID_14, "Strata 14"},
    {STRATA_USB_PID_20, "Strata 20"},
};

} // namespace

uint16_t usbdevs_vendor_id(void)
{
    return STRATA_USB_VENDOR_ID;
}

uint16_t usbdevs_product_id(uint8_t model_index)
{
    return model_index < kModelCount ? kModels[model_index].product_id : 0;
}

// ---- Backend support

void usbdevs_port_post_arrival(usbdevs_port *port, usbdevs_service *service)
{
    port_post(port, {true, service, service->key});
}

void usbdevs_port_post_removal(usbdevs_port *port, uintptr_t key)
{
    port_post(port, {false, nullptr, key});
}

const char *usbdevs_model_name(uint16_t product_id)
{
    for (const Model &model : kModels) {
        if (model.product_id == product_id)
            return model.name;
    }
    return nullptr;
}

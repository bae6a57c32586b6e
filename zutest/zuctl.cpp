// The library's sleep and the control transport: two vendor requests that
// move one message each way, retries of stalled sends, and ready polling.
#include "zutest/zuctl.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

#include <atomic>

#include "zutest/zuctl_private.h"

namespace {

const char kSource[] = "../../zutest/zuctl.c";

int real_usleep(uint32_t usec)
{
    // nanosleep rather than usleep: usleep may refuse a full second.
    timespec left{static_cast<time_t>(usec / 1000000), static_cast<long>(usec % 1000000) * 1000};
    while (nanosleep(&left, &left) != 0) {
        if (errno != EINTR)
            return -1;
    }
    return 0;
}

// Swapped by tests while other threads may be sleeping through it.
std::atomic<zuctl_usleep_fn> g_usleep{&real_usleep};

// Per thread, as each thread waits for its own unit.
thread_local uint64_t t_slept_usec = 0;

} // namespace

namespace zuctl_internal {

uint32_t fail(int line)
{
    printf("%s:%d:ERROR\n", kSource, line);
    return 1;
}

uint32_t exchange_open(Exchange *x)
{
    memset(x->buf, 0, sizeof x->buf);
    return zumsg_init(&x->msg, x->buf, sizeof x->buf);
}

uint32_t finish_request(zuctl_t *ctl, Exchange *x, const TailLines &lines)
{
    if (zumsg_put(&x->msg, ZUMSG_CMD_END, ZUMSG_TYPE_END, 0, 0) != 0)
        return fail(lines.end);
    if (zuctl_wait_ready(ctl) != 0)
        return fail(lines.ready);
    if (zuctl_send(ctl, &x->msg) != 0)
        return fail(lines.send);
    return 0;
}

bool find_item_value(zumsg_t *reply, uint32_t cmd, uint64_t *value)
{
    uint32_t item = 0;
    uint64_t data = 0;
    while (zumsg_get(reply, &item, nullptr, &data, nullptr) == 0) {
        if (item != cmd)
            continue;
        if (value)
            *value = data;
        return true;
    }
    return false;
}

void print_debug_text(const uint8_t *text, uint8_t size)
{
    printf("\ndbg:");
    print_chars(reinterpret_cast<const char *>(text), size);
    printf("\n");
}

} // namespace zuctl_internal

using zuctl_internal::fail;
using zuctl_internal::kMessageSize;
using zuctl_internal::kPollPauseUsec;

// The library's one sleep.

void zuctl_set_usleep(zuctl_usleep_fn fn)
{
    g_usleep.store(fn ? fn : &real_usleep);
}

int zuctl_usleep(uint32_t usec)
{
    t_slept_usec += usec;
    return g_usleep.load()(usec);
}

uint64_t zuctl_slept_usec(void)
{
    return t_slept_usec;
}

uint32_t msleep(uint32_t ms)
{
    // Large enough for any real pause, small enough not to overflow in microseconds.
    constexpr uint32_t kMaxChunkMs = 4000000;
    int result = 0;
    do {
        const uint32_t chunk = ms < kMaxChunkMs ? ms : kMaxChunkMs;
        result = zuctl_usleep(chunk * 1000);
        ms -= chunk;
    } while (ms > 0 && result == 0);
    return static_cast<uint32_t>(result);
}

// Transport.

namespace {

constexpr uint8_t kRequestOut = 29;
constexpr uint8_t kRequestIn = 30;
constexpr int kSendAttempts = 3;
constexpr int kReadyPollCycles = 1000;

constexpr int kLineSendTooLong = 47;
constexpr int kLineSendAttemptFailed = 56;
constexpr int kLineSendGaveUp = 65;
constexpr int kLineRecvRewind = 77;
constexpr int kLineRecvTooLong = 82;
constexpr int kLineRecvFailed = 89;
constexpr int kLineWaitSetup = 110;
constexpr int kLineWaitCycleFailed = 114;

// The registry's result for a stall or time-out, the only one worth a retry.
constexpr uint32_t kResultRetry = 2;

usbdevs_dev_t *dev_of(const zuctl_t *ctl)
{
    return ctl ? ctl->dev : nullptr;
}

// True when a reply says the unit is busy: a READY 0 and no non-zero READY.
bool reply_says_busy(zumsg_t *reply)
{
    bool busy = false;
    uint32_t cmd = 0;
    uint64_t value = 0;
    while (zumsg_get(reply, &cmd, nullptr, &value, nullptr) == 0) {
        if (cmd != ZUMSG_CMD_READY)
            continue;
        if (value != 0)
            return false;
        busy = true;
    }
    return busy;
}

} // namespace

uint32_t zuctl_init(zuctl_t *ctl, usbdevs_dev_t *dev)
{
    if (!ctl)
        return 1;
    ctl->dev = dev;
    return 0;
}

uint32_t zuctl_send(zuctl_t *ctl, zumsg_t *msg)
{
    if (!msg || msg->pos > kMessageSize || msg->pos > msg->size)
        return fail(kLineSendTooLong);

    for (int attempt = 0; attempt < kSendAttempts; ++attempt) {
        const uint32_t result = usbdevs_dev_vendor_request_out(dev_of(ctl), kRequestOut, 0, 0,
                                                               msg->pos, msg->buf);
        if (result == 0)
            return 0;
        fail(kLineSendAttemptFailed);
        // Any other failure (no unit, an I/O error) is not retried, and the
        // message did not reach the unit: a setting command reads no reply
        // that could show it later, so it must fail here.
        if (result != kResultRetry)
            return 1;
        zuctl_usleep(kPollPauseUsec);
    }
    return fail(kLineSendGaveUp);
}

uint32_t zuctl_recv(zuctl_t *ctl, zumsg_t *msg)
{
    if (zumsg_rewind(msg) != 0)
        return fail(kLineRecvRewind);

    unsigned length = msg->buf ? msg->size - msg->pos : 0;
    if (length > kMessageSize) {
        fail(kLineRecvTooLong);
        length = kMessageSize;
    }
    // The unit's byte count is not reported, so a short or empty reply must
    // not leave the previous contents (often the request just sent) to be
    // read again as if the unit had said them.
    if (length > 0)
        memset(msg->buf, 0, length);
    if (usbdevs_dev_vendor_request_in(dev_of(ctl), kRequestIn, 0, 0,
                                      static_cast<uint16_t>(length), msg->buf) != 0)
        return fail(kLineRecvFailed);
    return 0;
}

uint32_t zuctl_wait_ready(zuctl_t *ctl)
{
    for (int cycle = 0; cycle < kReadyPollCycles; ++cycle) {
        uint8_t buf[kMessageSize] = {};
        zumsg_t reply;
        if (zumsg_init(&reply, buf, sizeof buf) != 0)
            return fail(kLineWaitSetup);
        if (zuctl_recv(ctl, &reply) != 0) {
            fail(kLineWaitCycleFailed);
            // A unit the registry reports gone will not get ready: waiting
            // out the cycles would only repeat these lines for ten seconds.
            if (usbdevs_dev_gone(dev_of(ctl)) != 0)
                return 1;
        } else if (!reply_says_busy(&reply)) {
            return 0;
        }
        zuctl_usleep(kPollPauseUsec);
    }
    return 1;
}

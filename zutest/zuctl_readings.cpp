// Reads that span several replies (the meter read and the assignment list)
// and the device group that picks a unit from the registry.
#include "zutest/zuctl.h"

#include <stdio.h>

#include "zutest/zuctl_private.h"

using zuctl_internal::Exchange;
using zuctl_internal::exchange_open;
using zuctl_internal::fail;
using zuctl_internal::kPollPauseUsec;

namespace {

// An array item's data is the address of its bytes in the reply buffer: the
// listing shows the bytes themselves.
int dump_item(char *at, size_t space, uint32_t cmd, uint32_t type, uint64_t data, uint8_t size)
{
    if (type != ZUMSG_TYPE_U8_ARRAY)
        return snprintf(at, space, "cmd = %#x, type=%u, data = %u, size = %u\n", cmd, type,
                        static_cast<uint32_t>(data), static_cast<unsigned>(size));
    // Three characters per byte at most: 255 of them fit.
    char bytes[3 * 256 + 1] = "";
    const uint8_t *payload = reinterpret_cast<const uint8_t *>(static_cast<uintptr_t>(data));
    size_t used = 0;
    for (unsigned i = 0; i < size; ++i)
        used += static_cast<size_t>(snprintf(bytes + used, sizeof bytes - used, i ? " %02x" : "%02x", payload[i]));
    return snprintf(at, space, "cmd = %#x, type=%u, data = %s, size = %u\n", cmd, type, bytes,
                    static_cast<unsigned>(size));
}

} // namespace

// Meters and assignments.

uint32_t zuctl_get_meter(zuctl_t *ctl, zuctl_meter_info_t *info, uint8_t count, uint8_t *num)
{
    if (zuctl_send_meter_request(ctl) != 0)
        return 1;
    return zuctl_read_meter(ctl, info, count, num) == 0 ? 0 : 1;
}

uint32_t zuctl_send_meter_request(zuctl_t *ctl)
{
    constexpr int kLineSetup = 988;
    constexpr int kLineRequest = 997;
    constexpr int kLineEnd = 1001;
    constexpr int kLineSend = 1005;

    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(kLineSetup);
    if (zumsg_put(&x.msg, ZUMSG_CMD_GET_METER, ZUMSG_TYPE_NONE, 0, 0) != 0)
        return fail(kLineRequest);
    if (zumsg_put(&x.msg, ZUMSG_CMD_END, ZUMSG_TYPE_END, 0, 0) != 0)
        return fail(kLineEnd);
    // The meter read runs ten times a second and the unit answers it at
    // once, so it is sent without a ready poll.
    if (zuctl_send(ctl, &x.msg) != 0)
        return fail(kLineSend);
    return 0;
}

uint32_t zuctl_read_meter(zuctl_t *ctl, zuctl_meter_info_t *info, uint8_t count, uint8_t *num)
{
    constexpr int kLineReceive = 1017;
    constexpr int kLineTimeout = 1044;
    constexpr int kIdleCycles = 100;
    constexpr uint32_t kNoValues = 2;

    Exchange x;
    exchange_open(&x);
    uint8_t filled = 0;
    while (filled < count) {
        bool progressed = false;
        for (int cycle = 0; cycle < kIdleCycles && !progressed; ++cycle) {
            if (cycle > 0)
                zuctl_usleep(kPollPauseUsec);
            if (zuctl_recv(ctl, &x.msg) != 0)
                return fail(kLineReceive);
            const uint8_t before = filled;
            uint32_t cmd = 0;
            uint64_t data = 0;
            // Kind and number come before the value they belong to, so they
            // go to the record being filled. Values beyond count are dropped.
            while (filled < count && zumsg_get(&x.msg, &cmd, nullptr, &data, nullptr) == 0) {
                zuctl_meter_info_t *record = info ? &info[filled] : nullptr;
                if (cmd == ZUMSG_CMD_CH) {
                    if (record)
                        record->ch_type = static_cast<uint32_t>(data);
                } else if (cmd == ZUMSG_CMD_CH_NUM) {
                    if (record)
                        record->ch_no = static_cast<uint8_t>(data);
                } else if (cmd == ZUMSG_CMD_METER) {
                    if (record)
                        record->value = static_cast<uint16_t>(data);
                    ++filled;
                }
            }
            progressed = filled != before;
        }
        if (!progressed) {
            fail(kLineTimeout);
            return kNoValues;
        }
    }
    if (num)
        *num = filled;
    return 0;
}

uint32_t zuctl_get_assign_ch(zuctl_t *ctl, char *text, size_t text_size, size_t *text_len)
{
    constexpr int kLineQuery = 1181;
    constexpr int kLineReceive = 1210;
    constexpr int kLineTextFull = 1216;
    constexpr int kReplies = 4;
    // A list longer than four replies is read on to its end, so that none of
    // it is left queued for the next command; this bounds a unit that never
    // stops talking.
    constexpr int kMaxReplies = 64;
    // The unit needs time to assemble its list between replies.
    constexpr uint32_t kReplyPauseUsec = 100000;

    if (zuctl_set_assign_ch(ctl, static_cast<zumsg_data_ch_t>(0), 0,
                            static_cast<zumsg_data_ch_t>(0), 0) != 0)
        return fail(kLineQuery);

    if (!text)
        text_size = 0;
    Exchange x;
    exchange_open(&x);
    size_t written = 0;
    // Until the unit names a channel, kind and number read as 0.
    uint32_t kind = 0, in_kind = 0, out_kind = 0;
    unsigned number = 0, in_number = 0, out_number = 0;
    bool listed = true;
    for (int reply = 0; reply < kMaxReplies && (reply < kReplies || listed); ++reply) {
        zuctl_usleep(kReplyPauseUsec);
        if (zuctl_recv(ctl, &x.msg) != 0)
            return fail(kLineReceive);
        uint32_t cmd = 0, type = 0;
        uint64_t data = 0;
        uint8_t size = 0;
        listed = false;
        while (zumsg_get(&x.msg, &cmd, &type, &data, &size) == 0) {
            listed = listed || cmd != ZUMSG_CMD_READY;
            // A cut line leaves the count above the size: nothing more fits.
            if (written > text_size) {
                fail(kLineTextFull);
                break;
            }
            char *at = text ? text + written : nullptr;
            const size_t space = text_size - written;
            int added = 0;
            switch (cmd) {
            case ZUMSG_CMD_CH:
                kind = static_cast<uint32_t>(data);
                break;
            case ZUMSG_CMD_CH_NUM:
                number = static_cast<uint8_t>(data);
                break;
            case ZUMSG_CMD_ASSIGN_IN:
                in_kind = kind;
                in_number = number;
                break;
            case ZUMSG_CMD_ASSIGN_OUT:
                out_kind = kind;
                out_number = number;
                break;
            case ZUMSG_CMD_ASSIGN_COMMIT:
                added = snprintf(at, space, "%s:%u -> %s:%u\n",
                                 get_text_from_ch(static_cast<zumsg_data_ch_t>(in_kind)), in_number,
                                 get_text_from_ch(static_cast<zumsg_data_ch_t>(out_kind)), out_number);
                break;
            case ZUMSG_CMD_READY:
                break;
            default:
                added = dump_item(at, space, cmd, type, data, size);
                break;
            }
            if (added > 0)
                written += static_cast<size_t>(added);
        }
        if (text_len)
            *text_len = written;
    }
    return 0;
}

// Device group.

uint32_t zuctl_group_init(zuctl_group_t *group)
{
    if (!group)
        return 1;
    group->index = 0;
    return usbdevs_init(&group->reg);
}

uint32_t zuctl_group_get_init(zuctl_group_t *group)
{
    // Delivers pending arrivals and removals when called on the thread that
    // started the registry.
    usbdevs_refresh();
    if (group)
        group->index = 0;
    return 0;
}

uint32_t zuctl_group_get_zu(zuctl_group_t *group, zuctl_t *ctl)
{
    if (!group)
        return 1;
    while (group->index < USBDEVS_MAX_DEVS) {
        usbdevs_dev_t *dev = nullptr;
        const uint32_t result = usbdevs_get_dev(&group->reg, &dev, group->index);
        ++group->index;
        if (result == 0 && dev) {
            if (ctl)
                ctl->dev = dev;
            return 0;
        }
    }
    return 1;
}

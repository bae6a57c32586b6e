// Maintenance commands: firmware transfer and verification, the firmware
// checksum, the unit's debug text, and the diagnostic and service settings.
#include "zutest/zuctl.h"

#include <stdio.h>
#include <string.h>

#include "zutest/zuctl_private.h"

using zuctl_internal::Exchange;
using zuctl_internal::TailLines;
using zuctl_internal::exchange_open;
using zuctl_internal::fail;
using zuctl_internal::finish_request;
using zuctl_internal::kPollPauseUsec;

namespace {

// One-item setting: set-up, the item, then end, ready and send.
struct SettingLines {
    int setup;
    int item;
    TailLines tail;
};

uint32_t send_setting(zuctl_t *ctl, const SettingLines &lines, uint32_t cmd, uint32_t type,
                      uint64_t value)
{
    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(lines.setup);
    if (zumsg_put(&x.msg, cmd, type, value, 0) != 0)
        return fail(lines.item);
    return finish_request(ctl, &x, lines.tail);
}

const uint8_t *array_bytes(uint64_t data)
{
    return reinterpret_cast<const uint8_t *>(static_cast<uintptr_t>(data));
}

} // namespace

// Diagnostic and service settings.

uint32_t zuctl_debug_led_allon(zuctl_t *ctl, int flag)
{
    constexpr SettingLines kLines = {536, 545, {549, 553, 557}};
    return send_setting(ctl, kLines, ZUMSG_CMD_DEBUG_LED_ALLON, ZUMSG_TYPE_U8,
                        static_cast<uint8_t>(flag));
}

uint32_t zuctl_debug_set_hz(zuctl_t *ctl, uint32_t hz)
{
    constexpr SettingLines kLines = {578, 587, {591, 595, 599}};
    return send_setting(ctl, kLines, ZUMSG_CMD_SET_HZ, ZUMSG_TYPE_U32, hz);
}

uint32_t zuctl_debug_set_key(zuctl_t *ctl, int flag, uint32_t key)
{
    constexpr SettingLines kLines = {676, 689, {693, 697, 701}};
    return send_setting(ctl, kLines, flag ? ZUMSG_CMD_DEBUG_KEY_SET : ZUMSG_CMD_DEBUG_KEY_CLEAR,
                        ZUMSG_TYPE_U32, key);
}

uint32_t zuctl_config_erase(zuctl_t *ctl)
{
    constexpr SettingLines kLines = {719, 728, {732, 736, 740}};
    return send_setting(ctl, kLines, ZUMSG_CMD_CONFIG_ERASE, ZUMSG_TYPE_U8, 0);
}

// Diagnostic queries.

uint32_t zuctl_debug_get_hz(zuctl_t *ctl, uint32_t *hz)
{
    constexpr SettingLines kLines = {619, 628, {632, 636, 640}};
    constexpr int kLineReceive = 646;
    constexpr int kReads = 100;

    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(kLines.setup);
    if (zumsg_put(&x.msg, ZUMSG_CMD_HZ, ZUMSG_TYPE_NONE, 0, 0) != 0)
        return fail(kLines.item);
    if (finish_request(ctl, &x, kLines.tail) != 0)
        return 1;

    for (int read = 0; read < kReads; ++read) {
        if (read > 0)
            zuctl_usleep(kPollPauseUsec);
        if (zuctl_recv(ctl, &x.msg) != 0)
            return fail(kLineReceive);
        uint64_t data = 0;
        if (zuctl_internal::find_item_value(&x.msg, ZUMSG_CMD_HZ, &data)) {
            if (hz)
                *hz = static_cast<uint32_t>(data);
            return 0;
        }
    }
    return 1;
}

uint32_t zuctl_get_fw_checksum(zuctl_t *ctl, uint32_t arg, uint32_t *checksum)
{
    constexpr SettingLines kLines = {406, 414, {418, 422, 426}};
    constexpr int kLineRewind = 432;
    constexpr int kLineReceive = 436;
    constexpr int kReads = 3000;

    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(kLines.setup);
    if (zumsg_put(&x.msg, ZUMSG_CMD_FW_GET_CHECKSUM, ZUMSG_TYPE_U32, arg, 0) != 0)
        return fail(kLines.item);
    if (finish_request(ctl, &x, kLines.tail) != 0)
        return 1;

    for (int read = 0; read < kReads; ++read) {
        if (read > 0)
            zuctl_usleep(kPollPauseUsec);
        if (zumsg_rewind(&x.msg) != 0)
            return fail(kLineRewind);
        if (zuctl_recv(ctl, &x.msg) != 0)
            return fail(kLineReceive);
        uint64_t data = 0;
        if (zuctl_internal::find_item_value(&x.msg, ZUMSG_CMD_FW_CHECKSUM, &data)) {
            if (checksum)
                *checksum = static_cast<uint32_t>(data);
            return 0;
        }
    }
    return 1;
}

uint32_t zuctl_debugprint(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len)
{
    constexpr int kLineSetup = 487;
    constexpr int kLineReceive = 491;

    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(kLineSetup);
    if (zuctl_recv(ctl, &x.msg) != 0)
        return fail(kLineReceive);

    uint32_t cmd = 0, type = 0;
    uint64_t data = 0;
    uint8_t size = 0;
    while (zumsg_get(&x.msg, &cmd, &type, &data, &size) == 0) {
        if (cmd == ZUMSG_CMD_END)
            break;
        if (cmd != ZUMSG_CMD_DEBUG_TEXT || type != ZUMSG_TYPE_U8_ARRAY)
            continue;
        const uint8_t n = size < cap ? size : cap;
        if (buf && n > 0)
            memcpy(buf, array_bytes(data), n);
        if (len)
            *len = n;
    }
    return 0;
}

void print_chars(const char *s, int n)
{
    if (!s)
        return;
    for (int i = 0; i < n && s[i] != '\0'; ++i)
        putchar(s[i]);
}

// Firmware transfer.

namespace {

constexpr uint32_t kNotReported = 0xFFFFFFFF;
constexpr uint8_t kChunkMax = 61;      // the array payload of one 64-byte message
constexpr int kStatusReads = 10000;
constexpr int kBlockWaits = 1000;
constexpr int kVerifyAttempts = 60;
constexpr int kVerifyReads = 10;
constexpr uint32_t kVerifyReadPauseUsec = 100000;
constexpr uint32_t kVerifyAttemptPauseUsec = 1000000;

constexpr int kLineBeginSetup = 157;
constexpr int kLineBeginItem = 168;
constexpr TailLines kBeginTail = {172, 176, 180};
constexpr int kLineStatusItem = 193;
constexpr TailLines kStatusTail = {197, 201, 205};
constexpr int kLineStatusReceive = 217;
constexpr int kLineStatusTimeout = 251;
constexpr int kLineWaitRoom = 257;
constexpr int kLineCancelled = 260;
constexpr int kLineWaitOffset = 264;
constexpr int kLineBlockTimeout = 272;
constexpr int kLineChunkItem = 299;
constexpr TailLines kChunkTail = {305, 309, 313};
constexpr int kLineVerifyItem = 330;
constexpr TailLines kVerifyTail = {334, 338, 342};
constexpr int kLineVerifyReceive = 349;
constexpr int kLineVerifyFailed = 384;

constexpr uint32_t kResultCancelled = 2;

struct Transfer {
    zuctl_t *ctl;
    const uint8_t *image;
    uint32_t length;
    uint32_t *progress;
    uint32_t pos; // bytes of the image sent so far
    zuctl_fw_notify_fn notify;
    void *ctx;
};

void tell(const Transfer &t, int verifying)
{
    if (t.notify)
        t.notify(t.ctx, t.pos, t.length, verifying);
}

void print_position(const Transfer &t)
{
    printf("pos = %u/%u\n", t.pos, t.length);
}

uint32_t send_status_request(zuctl_t *ctl, int item_line, const TailLines &tail)
{
    Exchange x;
    exchange_open(&x);
    if (zumsg_put(&x.msg, ZUMSG_CMD_FW_STATUS, ZUMSG_TYPE_NONE, 0, 0) != 0)
        return fail(item_line);
    return finish_request(ctl, &x, tail);
}

// Reads status replies until the unit has reported both its room and its
// position; the unit's debug text met on the way is shown.
uint32_t read_status(zuctl_t *ctl, uint32_t *room, uint32_t *offset)
{
    *room = kNotReported;
    *offset = kNotReported;
    Exchange x;
    exchange_open(&x);
    for (int read = 0; read < kStatusReads; ++read) {
        if (read > 0)
            zuctl_usleep(kPollPauseUsec);
        if (zuctl_recv(ctl, &x.msg) != 0)
            return fail(kLineStatusReceive);
        uint32_t cmd = 0, type = 0;
        uint64_t data = 0;
        uint8_t size = 0;
        while (zumsg_get(&x.msg, &cmd, &type, &data, &size) == 0 && cmd != ZUMSG_CMD_END) {
            if (cmd == ZUMSG_CMD_FW_ROOM) {
                *room = static_cast<uint32_t>(data);
            } else if (cmd == ZUMSG_CMD_FW_OFFSET) {
                *offset = static_cast<uint32_t>(data);
            } else if (cmd == ZUMSG_CMD_DEBUG_TEXT && type == ZUMSG_TYPE_U8_ARRAY) {
                printf("\n\n--debug--\n");
                fwrite(array_bytes(data), 1, size, stdout);
                printf("\n---------\n");
            }
            if (*room != kNotReported && *offset != kNotReported)
                return 0;
        }
    }
    return fail(kLineStatusTimeout);
}

// Sends room bytes from the host position, at most one 61-byte chunk per
// message; the last chunk of the block goes as FW_DATA_END.
uint32_t send_block(Transfer *t, uint32_t room)
{
    while (t->pos < t->length && room > 0) {
        const uint32_t left = t->length - t->pos;
        const uint32_t chunk = room < left ? room : left;
        const bool more = chunk > kChunkMax;
        const uint8_t n = more ? kChunkMax : static_cast<uint8_t>(chunk);
        Exchange x;
        exchange_open(&x);
        if (zumsg_put(&x.msg, more ? ZUMSG_CMD_FW_DATA : ZUMSG_CMD_FW_DATA_END,
                      ZUMSG_TYPE_U8_ARRAY, reinterpret_cast<uintptr_t>(t->image + t->pos), n) != 0)
            return fail(kLineChunkItem);
        if (finish_request(t->ctl, &x, kChunkTail) != 0)
            return 1;
        t->pos += n;
        room -= n;
        if (t->pos < t->length && t->progress)
            *t->progress = t->pos;
        tell(*t, 0);
    }
    print_position(*t);
    return 0;
}

// Asks for the status until one reply shows the whole image held and no
// room left.
uint32_t verify(Transfer *t)
{
    Exchange x;
    exchange_open(&x);
    for (int attempt = 0; attempt < kVerifyAttempts; ++attempt) {
        tell(*t, 1);
        if (send_status_request(t->ctl, kLineVerifyItem, kVerifyTail) != 0)
            return 1;
        for (int read = 0; read < kVerifyReads; ++read) {
            if (read > 0)
                zuctl_usleep(kVerifyReadPauseUsec);
            if (zuctl_recv(t->ctl, &x.msg) != 0)
                return fail(kLineVerifyReceive);
            uint32_t room = 255;
            uint32_t offset = 0;
            uint32_t cmd = 0;
            uint64_t data = 0;
            while (zumsg_get(&x.msg, &cmd, nullptr, &data, nullptr) == 0 && cmd != ZUMSG_CMD_END) {
                if (cmd == ZUMSG_CMD_FW_ROOM)
                    room = static_cast<uint32_t>(data);
                else if (cmd == ZUMSG_CMD_FW_OFFSET)
                    offset = static_cast<uint32_t>(data);
            }
            if (offset == t->length && room == 0) {
                printf("FWUP OK\n");
                if (t->progress)
                    *t->progress = t->pos;
                return 0;
            }
        }
        zuctl_usleep(kVerifyAttemptPauseUsec);
    }
    return fail(kLineVerifyFailed);
}

} // namespace

uint32_t zuctl_fwupdate(zuctl_t *ctl, const uint8_t *image, uint32_t length, uint32_t *progress)
{
    return zuctl_fwupdate_notify(ctl, image, length, progress, nullptr, nullptr);
}

uint32_t zuctl_fwupdate_notify(zuctl_t *ctl, const uint8_t *image, uint32_t length, uint32_t *progress,
                               zuctl_fw_notify_fn notify, void *ctx)
{
    Transfer t = {ctl, image, length, progress, 0, notify, ctx};
    Exchange x;
    if (exchange_open(&x) != 0 || (!image && length > 0))
        return fail(kLineBeginSetup);
    if (zumsg_put(&x.msg, ZUMSG_CMD_FW_BEGIN, ZUMSG_TYPE_U32, length, 0) != 0)
        return fail(kLineBeginItem);
    if (finish_request(ctl, &x, kBeginTail) != 0)
        return 1;
    print_position(t);

    int waits = 0;
    while (t.pos < t.length) {
        if (send_status_request(ctl, kLineStatusItem, kStatusTail) != 0)
            return 1;
        uint32_t room = 0, offset = 0;
        if (read_status(ctl, &room, &offset) != 0)
            return 1;

        if (room > 0 && offset == t.pos) {
            if (send_block(&t, room) != 0)
                return 1;
            waits = 0;
            continue;
        }
        int reason = kLineWaitRoom;
        if (room > 0) {
            printf("offset = %u, pos = %u\n", offset, t.pos);
            reason = kLineWaitOffset;
        } else if (offset == 0 && t.pos == 0) {
            printf("cancel by device\n");
            fail(kLineCancelled);
            return kResultCancelled;
        }
        if (waits >= kBlockWaits) {
            fail(kLineBlockTimeout);
            printf("timeout line:%d\n", reason);
            return 1;
        }
        ++waits;
        zuctl_usleep(kPollPauseUsec);
        print_position(t);
        tell(t, 0);
    }
    return verify(&t);
}

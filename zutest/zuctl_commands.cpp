// The unit's setting, query and channel commands, and the two message
// builders the request engine batches with. Each command is one complete
// exchange on a 64-byte message of its own.
#include "zutest/zuctl.h"

#include <string.h>

#include "zutest/zuctl_private.h"

using zuctl_internal::Exchange;
using zuctl_internal::TailLines;
using zuctl_internal::exchange_open;
using zuctl_internal::fail;
using zuctl_internal::finish_request;
using zuctl_internal::kPollPauseUsec;

namespace {

// A query waits this many receive cycles for its answer, 10 ms apart.
constexpr int kQueryCycles = 100;

// Settings of the current channel share their set-up and tail lines.
constexpr int kLineChannelSetSetup = 1315;
constexpr TailLines kChannelSetTail = {1325, 1329, 1333};

uint32_t set_channel_u8(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint32_t cmd,
                        uint8_t value)
{
    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(kLineChannelSetSetup);
    if (zuctl_put_ch_common_u8(&x.msg, ch_type, ch_no, cmd, value) != 0)
        return 1;
    return finish_request(ctl, &x, kChannelSetTail);
}

} // namespace

// Settings.

uint32_t zuctl_set_autopowersave(zuctl_t *ctl, uint8_t value)
{
    constexpr int kLineSetup = 827;
    constexpr int kLineItem = 836;
    constexpr TailLines kTail = {840, 844, 848};

    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(kLineSetup);
    if (zumsg_put(&x.msg, ZUMSG_CMD_AUTOPOWERSAVE, ZUMSG_TYPE_U8, value, 0) != 0)
        return fail(kLineItem);
    return finish_request(ctl, &x, kTail);
}

uint32_t zuctl_set_fader(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t value)
{
    return set_channel_u8(ctl, ch_type, ch_no, ZUMSG_CMD_SET_FADER, value);
}

uint32_t zuctl_set_mute(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t value)
{
    return set_channel_u8(ctl, ch_type, ch_no, ZUMSG_CMD_SET_MUTE, value);
}

uint32_t zuctl_set_stereo(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no,
                          zumsg_data_ch_type_t type)
{
    constexpr int kLineFailed = 1469;

    if (set_channel_u8(ctl, ch_type, ch_no, ZUMSG_CMD_SET_STEREO, static_cast<uint8_t>(type)) != 0)
        return fail(kLineFailed);
    return 0;
}

uint32_t zuctl_set_assign_ch(zuctl_t *ctl, zumsg_data_ch_t in_type, uint8_t in_ch,
                             zumsg_data_ch_t out_type, uint8_t out_ch)
{
    constexpr int kLineSetup = 1150;
    constexpr int kLineBuild = 1155;
    constexpr TailLines kTail = {1161, 1165, 1169};

    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(kLineSetup);
    if (zuctl_put_assign_ch(&x.msg, in_type, in_ch, out_type, out_ch) != 0)
        return fail(kLineBuild);
    return finish_request(ctl, &x, kTail);
}

uint32_t zuctl_set_serial(zuctl_t *ctl, const char *text)
{
    constexpr int kLineSetup = 1563;
    constexpr int kLineItem = 1572;
    constexpr TailLines kTail = {1576, 1580, 1584};

    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(kLineSetup);
    // The wire length is one byte, and a length of 0 tells the codec to fill
    // the rest of the message, which for an empty text would copy bytes from
    // beyond its end: refuse that rather than send them.
    if (!text || text[0] == '\0')
        return fail(kLineItem);
    const uint8_t length = static_cast<uint8_t>(strlen(text) % 256);
    if (zumsg_put(&x.msg, ZUMSG_CMD_SET_SERIAL, ZUMSG_TYPE_U8_ARRAY,
                  reinterpret_cast<uintptr_t>(text), length) != 0)
        return fail(kLineItem);
    return finish_request(ctl, &x, kTail);
}

// Queries.

namespace {

struct QueryLines {
    int setup;
    int request;
    int end;
    int ready;
    int send;
    int receive;
    int wrong_type;
    int timeout;
};

constexpr QueryLines kInfoLines = {879, 888, 892, 896, 900, 907, 930, 943};
constexpr QueryLines kSerialLines = {1487, 1496, 1500, 1504, 1508, 1515, 1533, 1546};
constexpr QueryLines kRecFuncLines = {1604, 1613, 1617, 1621, 1625, 1632, 1650, 1663};

// How the awaited item becomes the caller's output.
enum class OutputRule {
    Info,  // a u16 value or an array's bytes
    Array, // an array's bytes only
};

struct QueryOutput {
    OutputRule rule;
    uint8_t *buf;
    uint8_t cap;
    uint8_t *len;
};

// Stores the awaited item; true when it counts as the answer. Never writes
// more than cap bytes, whatever the item's type and length.
bool take_output(const QueryOutput &out, const QueryLines &lines, uint32_t type, uint64_t data,
                 uint8_t size)
{
    uint8_t n = 0;
    if (type == ZUMSG_TYPE_U16 && out.rule == OutputRule::Info) {
        const uint16_t value = static_cast<uint16_t>(data);
        n = size < out.cap ? size : out.cap;
        if (out.buf && n > 0)
            memcpy(out.buf, &value, n);
    } else if (type == ZUMSG_TYPE_U8_ARRAY) {
        n = size < out.cap ? size : out.cap;
        if (out.buf && n > 0)
            memcpy(out.buf, reinterpret_cast<const uint8_t *>(static_cast<uintptr_t>(data)), n);
    } else {
        fail(lines.wrong_type);
        return false;
    }
    if (out.len)
        *out.len = n;
    return n != 0;
}

uint32_t run_query(zuctl_t *ctl, uint32_t request, uint32_t awaited, const QueryLines &lines,
                   const QueryOutput &out)
{
    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(lines.setup);
    if (zumsg_put(&x.msg, request, ZUMSG_TYPE_NONE, 0, 0) != 0)
        return fail(lines.request);
    if (finish_request(ctl, &x, {lines.end, lines.ready, lines.send}) != 0)
        return 1;

    for (int cycle = 0; cycle < kQueryCycles; ++cycle) {
        if (cycle > 0)
            zuctl_usleep(kPollPauseUsec);
        if (zuctl_recv(ctl, &x.msg) != 0)
            return fail(lines.receive);
        uint32_t cmd = 0, type = 0;
        uint64_t data = 0;
        uint8_t size = 0;
        while (zumsg_get(&x.msg, &cmd, &type, &data, &size) == 0) {
            if (cmd == ZUMSG_CMD_DEBUG_TEXT && type == ZUMSG_TYPE_U8_ARRAY) {
                zuctl_internal::print_debug_text(
                    reinterpret_cast<const uint8_t *>(static_cast<uintptr_t>(data)), size);
                continue;
            }
            if (cmd != awaited)
                continue;
            // Whatever follows the awaited item in this reply is not read.
            if (take_output(out, lines, type, data, size))
                return 0;
            break;
        }
    }
    return fail(lines.timeout);
}

uint32_t info_query(zuctl_t *ctl, uint32_t awaited, uint8_t *buf, uint8_t cap, uint8_t *len)
{
    return run_query(ctl, ZUMSG_CMD_GET_INFO, awaited, kInfoLines,
                     {OutputRule::Info, buf, cap, len});
}

} // namespace

uint32_t zuctl_get_version(zuctl_t *ctl, uint16_t *version)
{
    return info_query(ctl, ZUMSG_CMD_VERSION, reinterpret_cast<uint8_t *>(version),
                      sizeof *version, nullptr);
}

uint32_t zuctl_get_build(zuctl_t *ctl, uint16_t *build)
{
    return info_query(ctl, ZUMSG_CMD_BUILD, reinterpret_cast<uint8_t *>(build), sizeof *build,
                      nullptr);
}

uint32_t zuctl_get_productname(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len)
{
    return info_query(ctl, ZUMSG_CMD_PRODUCTNAME, buf, cap, len);
}

uint32_t zuctl_get_builddate(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len)
{
    return info_query(ctl, ZUMSG_CMD_BUILDDATE, buf, cap, len);
}

uint32_t zuctl_get_buildtime(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len)
{
    return info_query(ctl, ZUMSG_CMD_BUILDTIME, buf, cap, len);
}

uint32_t zuctl_get_productsig(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len)
{
    return info_query(ctl, ZUMSG_CMD_PRODUCTSIG, buf, cap, len);
}

uint32_t zuctl_get_serial(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len)
{
    return run_query(ctl, ZUMSG_CMD_GET_SERIAL, ZUMSG_CMD_SERIAL, kSerialLines,
                     {OutputRule::Array, buf, cap, len});
}

uint32_t zuctl_get_recfunc(zuctl_t *ctl, uint8_t *buf, uint8_t cap, uint8_t *len)
{
    return run_query(ctl, ZUMSG_CMD_RECFUNC, ZUMSG_CMD_RECFUNC, kRecFuncLines,
                     {OutputRule::Array, buf, cap, len});
}

uint32_t zuctl_get_autopowersave(zuctl_t *ctl, uint8_t *value)
{
    constexpr int kLineSetup = 760;
    constexpr int kLineRequest = 769;
    constexpr TailLines kTail = {773, 777, 781};
    constexpr int kLineReceive = 787;
    // Closes every failure of this command, the time-out included.
    constexpr int kLineFailed = 809;

    Exchange x;
    if (exchange_open(&x) != 0) {
        fail(kLineSetup);
        return fail(kLineFailed);
    }
    if (zumsg_put(&x.msg, ZUMSG_CMD_GET_AUTOPOWERSAVE, ZUMSG_TYPE_NONE, 0, 0) != 0) {
        fail(kLineRequest);
        return fail(kLineFailed);
    }
    if (finish_request(ctl, &x, kTail) != 0)
        return fail(kLineFailed);

    // Unlike the other queries, this one pauses after every cycle, the last too.
    for (int cycle = 0; cycle < kQueryCycles; ++cycle) {
        if (zuctl_recv(ctl, &x.msg) != 0) {
            fail(kLineReceive);
            return fail(kLineFailed);
        }
        uint64_t data = 0;
        if (zuctl_internal::find_item_value(&x.msg, ZUMSG_CMD_AUTOPOWERSAVE, &data)) {
            if (value)
                *value = static_cast<uint8_t>(data);
            return 0;
        }
        zuctl_usleep(kPollPauseUsec);
    }
    return fail(kLineFailed);
}

// Channel queries.

namespace {

constexpr int kLineChannelQuerySetup = 1365;
constexpr int kLineChannelQueryKind = 1375;
constexpr int kLineChannelQueryNumber = 1384;
constexpr int kLineChannelQueryRequest = 1393;
constexpr TailLines kChannelQueryTail = {1398, 1402, 1406};
constexpr int kLineChannelQueryReceive = 1414;

// Returns 0 with the low byte of the answer in *value, 1 on failure or when
// the unit never named the channel with a value (silently).
uint32_t query_channel(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint32_t query,
                       uint8_t *value)
{
    Exchange x;
    if (exchange_open(&x) != 0)
        return fail(kLineChannelQuerySetup);
    if (zumsg_put(&x.msg, ZUMSG_CMD_CH, ZUMSG_TYPE_U8, ch_type, 0) != 0)
        return fail(kLineChannelQueryKind);
    if (zumsg_put(&x.msg, ZUMSG_CMD_CH_NUM, ZUMSG_TYPE_U8, ch_no, 0) != 0)
        return fail(kLineChannelQueryNumber);
    if (zumsg_put(&x.msg, query, ZUMSG_TYPE_NONE, 0, 0) != 0)
        return fail(kLineChannelQueryRequest);
    if (finish_request(ctl, &x, kChannelQueryTail) != 0)
        return 1;

    // The unit names the channel before each value; a value for another
    // channel in the same reply is passed over.
    uint64_t kind = ch_type;
    uint8_t number = 0;
    for (int cycle = 0; cycle < kQueryCycles; ++cycle) {
        if (cycle > 0)
            zuctl_usleep(kPollPauseUsec);
        if (zuctl_recv(ctl, &x.msg) != 0)
            return fail(kLineChannelQueryReceive);
        bool answered = false;
        uint32_t cmd = 0;
        uint64_t data = 0;
        while (zumsg_get(&x.msg, &cmd, nullptr, &data, nullptr) == 0) {
            if (cmd == ZUMSG_CMD_CH) {
                kind = data;
            } else if (cmd == ZUMSG_CMD_CH_NUM) {
                number = static_cast<uint8_t>(data);
            } else if (cmd == query && kind == ch_type && number == ch_no) {
                if (value)
                    *value = static_cast<uint8_t>(data);
                answered = true;
            }
        }
        if (answered)
            return 0;
    }
    return 1;
}

} // namespace

uint32_t zuctl_get_fader(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t *value)
{
    return query_channel(ctl, ch_type, ch_no, ZUMSG_CMD_FADER, value);
}

uint32_t zuctl_get_mute(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t *value)
{
    return query_channel(ctl, ch_type, ch_no, ZUMSG_CMD_MUTE, value);
}

uint32_t zuctl_get_stereo(zuctl_t *ctl, zumsg_data_ch_t ch_type, uint8_t ch_no, uint32_t *type)
{
    constexpr int kLineFailed = 1460;

    uint8_t value = 0;
    if (query_channel(ctl, ch_type, ch_no, ZUMSG_CMD_STEREO, &value) != 0)
        return fail(kLineFailed);
    if (type)
        *type = value;
    return 0;
}

// Message builders. A failed put restores the whole record, so the message
// holds only complete groups and the caller can send it as it is.

uint32_t zuctl_put_ch_common_u8(zumsg_t *msg, zumsg_data_ch_t ch_type, uint8_t ch_no,
                                uint32_t cmd, uint8_t value)
{
    constexpr int kLineKind = 1274;
    constexpr int kLineNumber = 1283;
    constexpr int kLineValue = 1292;

    if (!msg)
        return 1;
    const zumsg_t saved = *msg;
    int line = 0;
    if (zumsg_put(msg, ZUMSG_CMD_CH, ZUMSG_TYPE_U8, ch_type, 0) != 0)
        line = kLineKind;
    else if (zumsg_put(msg, ZUMSG_CMD_CH_NUM, ZUMSG_TYPE_U8, ch_no, 0) != 0)
        line = kLineNumber;
    else if (zumsg_put(msg, cmd, ZUMSG_TYPE_U8, value, 0) != 0)
        line = kLineValue;
    if (line == 0)
        return 0;
    *msg = saved;
    return fail(line);
}

uint32_t zuctl_put_assign_ch(zumsg_t *msg, zumsg_data_ch_t in_type, uint8_t in_ch,
                             zumsg_data_ch_t out_type, uint8_t out_ch)
{
    struct Item {
        uint32_t cmd;
        uint32_t type;
        uint64_t value;
        int line;
    };
    const Item items[] = {
        {ZUMSG_CMD_CH, ZUMSG_TYPE_U8, in_type, 1073},
        {ZUMSG_CMD_CH_NUM, ZUMSG_TYPE_U8, in_ch, 1082},
        {ZUMSG_CMD_ASSIGN_IN, ZUMSG_TYPE_NONE, 0, 1091},
        {ZUMSG_CMD_CH, ZUMSG_TYPE_U8, out_type, 1101},
        {ZUMSG_CMD_CH_NUM, ZUMSG_TYPE_U8, out_ch, 1110},
        {ZUMSG_CMD_ASSIGN_OUT, ZUMSG_TYPE_NONE, 0, 1119},
        {ZUMSG_CMD_ASSIGN_COMMIT, ZUMSG_TYPE_NONE, 0, 1128},
    };

    if (!msg)
        return 1;
    const zumsg_t saved = *msg;
    for (const Item &item : items) {
        if (zumsg_put(msg, item.cmd, item.type, item.value, 0) != 0) {
            *msg = saved;
            return fail(item.line);
        }
    }
    return 0;
}

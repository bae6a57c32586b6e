// Message codec. Every access is bounded by the record's size: a reader or
// writer given a nonsense record (pos past size, a length byte pointing past
// the end) fails instead of touching memory outside buf[0..size).
#include "zutest/zumsg.h"

#include <stdio.h>
#include <string.h>

namespace {

const char kSource[] = "../../zutest/zumsg.c";

// Failure points of put and get; the numbers are part of the unit's
// diagnostic vocabulary and must not drift.
constexpr int kLinePutBadType = 73;
constexpr int kLinePutEndWithCmd = 78;
constexpr int kLinePutNoRoomU8 = 93;
constexpr int kLinePutNoRoomU16 = 102;
constexpr int kLinePutNoRoomU32 = 111;
constexpr int kLinePutNoRoomArray = 124;
constexpr int kLineGetBadType = 186;

constexpr unsigned kHeaderSize = 2;      // cmd, type
constexpr unsigned kArrayHeaderSize = 3; // cmd, type, length

uint32_t fail(int line)
{
    printf("%s:%d:ERROR\n", kSource, line);
    return 1;
}

// Bytes left between pos and size. A record whose pos lies beyond its size
// has no room at all rather than a wrapped-around 8-bit one.
unsigned room_of(const zumsg_t *msg)
{
    if (!msg->buf || msg->pos >= msg->size)
        return 0;
    return static_cast<unsigned>(msg->size - msg->pos);
}

uint64_t read_le(const uint8_t *p, unsigned width)
{
    uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i)
        value |= static_cast<uint64_t>(p[i]) << (8 * i);
    return value;
}

void write_le(uint8_t *p, uint64_t value, unsigned width)
{
    for (unsigned i = 0; i < width; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Payload width of the fixed-size numeric types, 0 for the others.
unsigned numeric_width(uint32_t type)
{
    switch (type) {
    case ZUMSG_TYPE_U8: return 1;
    case ZUMSG_TYPE_U16: return 2;
    case ZUMSG_TYPE_U32: return 4;
    default: return 0;
    }
}

} // namespace

// Set-up and positioning.

uint32_t zumsg_init(zumsg_t *msg, uint8_t *buf, uint8_t size)
{
    if (!msg)
        return 1;
    msg->buf = buf;
    msg->size = size;
    msg->pos = 0;
    return 0;
}

uint32_t zumsg_rewind(zumsg_t *msg)
{
    if (!msg)
        return 1;
    msg->pos = 0;
    return 0;
}

uint8_t zumsg_remain_u8_array_put_size(const zumsg_t *msg)
{
    if (!msg)
        return 0;
    const unsigned room = room_of(msg);
    return room < kArrayHeaderSize ? 0 : static_cast<uint8_t>(room - kArrayHeaderSize);
}

// Building.

uint32_t zumsg_put_alloc(zumsg_t *msg, uint32_t cmd, uint32_t type, uint8_t size,
                         uint8_t **data, uint8_t *data_size)
{
    if (!msg)
        return 1;
    const unsigned room = room_of(msg);
    // A full message takes its end item silently: the receiver stops at the
    // last byte just as it would at an end item.
    if (room < kHeaderSize)
        return cmd == ZUMSG_CMD_END ? 0 : 1;

    uint8_t *item = msg->buf + msg->pos;
    // Written before the payload room is checked: a failed put leaves these
    // two bytes beyond pos, outside the message.
    item[0] = static_cast<uint8_t>(cmd);
    item[1] = static_cast<uint8_t>(type);

    unsigned length = kHeaderSize;
    unsigned payload = 0;
    uint8_t *payload_at = item + kHeaderSize;
    switch (type) {
    case ZUMSG_TYPE_END:
        if (cmd != ZUMSG_CMD_END)
            return fail(kLinePutEndWithCmd);
        break;
    case ZUMSG_TYPE_NONE:
        break;
    case ZUMSG_TYPE_U8:
    case ZUMSG_TYPE_U16:
    case ZUMSG_TYPE_U32: {
        payload = numeric_width(type);
        length = kHeaderSize + payload;
        if (room < length) {
            const int line = type == ZUMSG_TYPE_U8    ? kLinePutNoRoomU8
                             : type == ZUMSG_TYPE_U16 ? kLinePutNoRoomU16
                                                      : kLinePutNoRoomU32;
            return fail(line);
        }
        break;
    }
    case ZUMSG_TYPE_U8_ARRAY:
        // Neither a fill-the-rest array without room for its length byte nor
        // an explicit length whose item exceeds 255 bytes can be encoded.
        if (room < kArrayHeaderSize)
            return fail(kLinePutNoRoomArray);
        payload = size ? size : room - kArrayHeaderSize;
        length = kArrayHeaderSize + payload;
        if (room < length)
            return fail(kLinePutNoRoomArray);
        item[2] = static_cast<uint8_t>(payload);
        payload_at = item + kArrayHeaderSize;
        break;
    default:
        return fail(kLinePutBadType);
    }

    if (data)
        *data = payload_at;
    if (data_size)
        *data_size = static_cast<uint8_t>(payload);
    msg->pos = static_cast<uint8_t>(msg->pos + length);
    return 0;
}

uint32_t zumsg_put(zumsg_t *msg, uint32_t cmd, uint32_t type, uint64_t data, uint8_t size)
{
    uint8_t *payload = nullptr;
    uint8_t payload_size = 0;
    const uint32_t status = zumsg_put_alloc(msg, cmd, type, size, &payload, &payload_size);
    if (status != 0 || !payload || payload_size == 0)
        return status;

    if (type == ZUMSG_TYPE_U8_ARRAY) {
        const uint8_t *source = reinterpret_cast<const uint8_t *>(static_cast<uintptr_t>(data));
        // A null source leaves a defined payload instead of a crash.
        if (source)
            memcpy(payload, source, payload_size);
        else
            memset(payload, 0, payload_size);
    } else {
        write_le(payload, data, payload_size);
    }
    return 0;
}

// Reading.

uint32_t zumsg_get(zumsg_t *msg, uint32_t *cmd, uint32_t *type, uint64_t *data, uint8_t *size)
{
    if (!msg)
        return 1;
    const unsigned room = room_of(msg);
    if (room < kHeaderSize)
        return 1;

    const uint8_t *item = msg->buf + msg->pos;
    const uint32_t item_type = item[1];
    unsigned length = kHeaderSize;
    unsigned payload = 0;
    uint64_t value = 0;
    switch (item_type) {
    case ZUMSG_TYPE_END:
        return 1;
    case ZUMSG_TYPE_NONE:
        break;
    case ZUMSG_TYPE_U8:
    case ZUMSG_TYPE_U16:
    case ZUMSG_TYPE_U32:
        payload = numeric_width(item_type);
        length = kHeaderSize + payload;
        if (room < length)
            return 1;
        value = read_le(item + kHeaderSize, payload);
        break;
    case ZUMSG_TYPE_U8_ARRAY:
        if (room < kArrayHeaderSize)
            return 1;
        payload = item[2];
        length = kArrayHeaderSize + payload;
        if (room < length)
            return 1;
        value = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(item + kArrayHeaderSize));
        break;
    default:
        printf("%s:%d:ERROR %#x\n", kSource, kLineGetBadType, item_type);
        return 1;
    }

    msg->pos = static_cast<uint8_t>(msg->pos + length);
    if (cmd)
        *cmd = item[0];
    if (type)
        *type = item_type;
    if (data)
        *data = value;
    if (size)
        *size = static_cast<uint8_t>(payload);
    return 0;
}

// Names for listings.

const char *get_text_from_ch(zumsg_data_ch_t ch)
{
    switch (ch) {
    case ZUMSG_DATA_CH_LINE_OUT: return "ZUMSG_DATA_CH_LINE_OUT";
    case ZUMSG_DATA_CH_MASTER_OUT: return "ZUMSG_DATA_CH_MASTER_OUT";
    case ZUMSG_DATA_CH_COMPUTER_OUT: return "ZUMSG_DATA_CH_COMPUTER_OUT";
    case ZUMSG_DATA_CH_ANALOG_IN: return "ZUMSG_DATA_CH_ANALOG_IN";
    case ZUMSG_DATA_CH_DIRECTMONITOR_OUT: return "ZUMSG_DATA_CH_DIRECTMONITOR_OUT";
    }
    return "UNKNOWN";
}

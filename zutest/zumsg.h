// Message codec: items of command, type and little-endian payload, built into
// and read from a caller's buffer. No allocation, no I/O, no global state.
#pragma once

#include <stdint.h>

// Message record: the caller owns buf; size is its capacity (at most 255).
typedef struct zumsg {
    uint8_t *buf;
    uint8_t size;
    uint8_t pos;
} zumsg_t;

// Item types; the item's length follows from its type.
typedef enum zumsg_type : uint32_t {
    ZUMSG_TYPE_END = 0,
    ZUMSG_TYPE_NONE = 1,
    ZUMSG_TYPE_U8 = 2,
    ZUMSG_TYPE_U16 = 3,
    ZUMSG_TYPE_U32 = 4,
    ZUMSG_TYPE_U8_ARRAY = 5,
} zumsg_type_t;

// Command codes of the unit's protocol.
enum zumsg_cmd : uint32_t {
    ZUMSG_CMD_END = 0x00,
    ZUMSG_CMD_DEBUG_TEXT = 0x12,
    ZUMSG_CMD_DEBUG_LED_ALLON = 0x13,
    ZUMSG_CMD_GET_AUTOPOWERSAVE = 0x14,
    ZUMSG_CMD_AUTOPOWERSAVE = 0x15,
    ZUMSG_CMD_SET_HZ = 0x17,
    ZUMSG_CMD_HZ = 0x18,
    ZUMSG_CMD_DEBUG_KEY_SET = 0x1C,
    ZUMSG_CMD_DEBUG_KEY_CLEAR = 0x1D,
    ZUMSG_CMD_FW_BEGIN = 0x21,
    ZUMSG_CMD_FW_STATUS = 0x22,
    ZUMSG_CMD_FW_ROOM = 0x23,
    ZUMSG_CMD_FW_OFFSET = 0x24,
    ZUMSG_CMD_FW_DATA = 0x25,
    ZUMSG_CMD_FW_DATA_END = 0x26,
    ZUMSG_CMD_FW_GET_CHECKSUM = 0x27,
    ZUMSG_CMD_FW_CHECKSUM = 0x28,
    ZUMSG_CMD_GET_INFO = 0x31,
    ZUMSG_CMD_VERSION = 0x32,
    ZUMSG_CMD_BUILD = 0x33,
    ZUMSG_CMD_PRODUCTNAME = 0x34,
    ZUMSG_CMD_BUILDDATE = 0x35,
    ZUMSG_CMD_BUILDTIME = 0x36,
    ZUMSG_CMD_PRODUCTSIG = 0x37,
    ZUMSG_CMD_GET_SERIAL = 0x38,
    ZUMSG_CMD_SERIAL = 0x39,
    ZUMSG_CMD_SET_SERIAL = 0x3A,
    ZUMSG_CMD_RECFUNC = 0x3B,
    ZUMSG_CMD_ASSIGN_IN = 0x41,
    ZUMSG_CMD_ASSIGN_OUT = 0x42,
    ZUMSG_CMD_ASSIGN_COMMIT = 0x43,
    ZUMSG_CMD_CH = 0x61,
    ZUMSG_CMD_CH_NUM = 0x62,
    ZUMSG_CMD_GET_METER = 0x71,
    ZUMSG_CMD_METER = 0x72,
    ZUMSG_CMD_SET_FADER = 0x81,
    ZUMSG_CMD_SET_MUTE = 0x83,
    ZUMSG_CMD_SET_STEREO = 0x86,
    ZUMSG_CMD_READY = 0xA1,
    ZUMSG_CMD_CONFIG_ERASE = 0xA2,
    ZUMSG_CMD_FADER = 0xC1,
    ZUMSG_CMD_MUTE = 0xC3,
    ZUMSG_CMD_STEREO = 0xC6,
};

// Channel kinds. The device service also uses the unnamed kinds 6 to 9
// (meter groups and loopback), so any 32-bit value may be stored.
typedef enum zumsg_data_ch : uint32_t {
    ZUMSG_DATA_CH_LINE_OUT = 1,
    ZUMSG_DATA_CH_MASTER_OUT = 2,
    ZUMSG_DATA_CH_COMPUTER_OUT = 3,
    ZUMSG_DATA_CH_ANALOG_IN = 4,
    ZUMSG_DATA_CH_DIRECTMONITOR_OUT = 5,
} zumsg_data_ch_t;

// Channel types: the stereo setting of a channel pair.
typedef enum zumsg_data_ch_type : uint32_t {
    ZUMSG_DATA_CH_TYPE_MONO = 1,
    ZUMSG_DATA_CH_TYPE_STEREO = 4,
} zumsg_data_ch_type_t;

// Set-up and positioning.
uint32_t zumsg_init(zumsg_t *msg, uint8_t *buf, uint8_t size);
uint32_t zumsg_rewind(zumsg_t *msg);
uint8_t zumsg_remain_u8_array_put_size(const zumsg_t *msg);

// Building: reserve one item, or append one complete item.
uint32_t zumsg_put_alloc(zumsg_t *msg, uint32_t cmd, uint32_t type, uint8_t size,
                         uint8_t **data, uint8_t *data_size);
uint32_t zumsg_put(zumsg_t *msg, uint32_t cmd, uint32_t type, uint64_t data, uint8_t size);

// Reading: the item at pos; arrays are returned as an address inside buf.
uint32_t zumsg_get(zumsg_t *msg, uint32_t *cmd, uint32_t *type, uint64_t *data, uint8_t *size);

// Names for listings.
const char *get_text_from_ch(zumsg_data_ch_t ch);

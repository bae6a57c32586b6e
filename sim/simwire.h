// The unit's side of the wire format: items of command, type and
// little-endian payload. Written apart from the device library's codec on
// purpose, so that each checks the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {
namespace wire {

// The largest message either direction carries.
constexpr size_t kMessageSize = 64;
// Largest array payload a single message can hold (64 less cmd, type, length).
constexpr size_t kMaxArray = kMessageSize - 3;

enum Type : uint8_t { End = 0, None = 1, U8 = 2, U16 = 3, U32 = 4, Array = 5 };

// Command codes the firmware knows.
enum Cmd : uint8_t {
    DebugText = 0x12,
    DebugLedAllOn = 0x13,
    GetAutoPowerSave = 0x14,
    AutoPowerSave = 0x15,
    SetHz = 0x17,
    Hz = 0x18,
    DebugKeySet = 0x1C,
    DebugKeyClear = 0x1D,
    FwBegin = 0x21,
    FwStatus = 0x22,
    FwRoom = 0x23,
    FwOffset = 0x24,
    FwData = 0x25,
    FwDataEnd = 0x26,
    FwGetChecksum = 0x27,
    FwChecksum = 0x28,
    GetInfo = 0x31,
    Version = 0x32,
    Build = 0x33,
    ProductName = 0x34,
    BuildDate = 0x35,
    BuildTime = 0x36,
    ProductSig = 0x37,
    GetSerial = 0x38,
    Serial = 0x39,
    SetSerial = 0x3A,
    RecFunc = 0x3B,
    AssignIn = 0x41,
    AssignOut = 0x42,
    AssignCommit = 0x43,
    Ch = 0x61,
    ChNum = 0x62,
    GetMeter = 0x71,
    Meter = 0x72,
    SetFader = 0x81,
    SetMute = 0x83,
    SetStereo = 0x86,
    Ready = 0xA1,
    ConfigErase = 0xA2,
    Fader = 0xC1,
    Mute = 0xC3,
    Stereo = 0xC6,
};

// One decoded item; arrays keep their bytes, numbers their value.
struct Item {
    uint8_t cmd = 0;
    uint8_t type = End;
    uint32_t value = 0;
    std::vector<uint8_t> bytes;

    bool numeric() const { return type == U8 || type == U16 || type == U32; }
};

// Encoded items, ready to be packed into messages.
std::vector<uint8_t> encodeNone(uint8_t cmd);
std::vector<uint8_t> encodeU8(uint8_t cmd, uint8_t value);
std::vector<uint8_t> encodeU16(uint8_t cmd, uint16_t value);
std::vector<uint8_t> encodeU32(uint8_t cmd, uint32_t value);
// Longer payloads are cut to what one message can carry.
std::vector<uint8_t> encodeArray(uint8_t cmd, const std::vector<uint8_t> &bytes);
std::vector<uint8_t> encodeText(uint8_t cmd, const std::string &text);

// Reads a message item by item. Stops for good at the end item, at the end
// of the data, at an item that does not fit, or at an unknown type.
class Reader {
public:
    Reader(const uint8_t *data, size_t size);
    bool next(Item *item);

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
    bool stopped_ = false;
};

} // namespace wire
} // namespace sim

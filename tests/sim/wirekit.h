// The tests' own view of the wire: builds request messages and reads reply
// messages without the simulator's encoder or the device library's codec, so
// a shared misreading of the format cannot hide.
#pragma once

#include <QByteArray>
#include <QVector>

#include <cstdint>
#include <memory>

#include "sim/simunit.h"

namespace wirekit {

enum : uint8_t {
    DebugText = 0x12, GetAutoPowerSave = 0x14, AutoPowerSave = 0x15, SetHz = 0x17, Hz = 0x18,
    FwBegin = 0x21, FwStatus = 0x22, FwRoom = 0x23, FwOffset = 0x24, FwData = 0x25,
    FwDataEnd = 0x26, FwGetChecksum = 0x27, FwChecksum = 0x28,
    GetInfo = 0x31, Version = 0x32, Build = 0x33, ProductName = 0x34, BuildDate = 0x35,
    BuildTime = 0x36, ProductSig = 0x37, GetSerial = 0x38, Serial = 0x39, SetSerial = 0x3A,
    RecFunc = 0x3B, AssignIn = 0x41, AssignOut = 0x42, AssignCommit = 0x43,
    Ch = 0x61, ChNum = 0x62, GetMeter = 0x71, Meter = 0x72,
    SetFader = 0x81, SetMute = 0x83, SetStereo = 0x86, Ready = 0xA1, ConfigErase = 0xA2,
    Fader = 0xC1, Mute = 0xC3, Stereo = 0xC6,
};

// Request items.
QByteArray none(uint8_t cmd);
QByteArray u8(uint8_t cmd, uint8_t value);
QByteArray u32(uint8_t cmd, uint32_t value);
QByteArray array(uint8_t cmd, const QByteArray &bytes);
QByteArray channel(uint8_t kind, uint8_t number); // CH and CH_NUM
QByteArray assign(uint8_t inKind, uint8_t inCh, uint8_t outKind, uint8_t outCh);

struct Item {
    uint8_t cmd = 0;
    uint8_t type = 0;
    uint32_t value = 0;
    QByteArray bytes;
};

// One reply message as read from a 64-byte buffer.
struct Reply {
    QVector<Item> items;
    int length = 0;        // bytes up to and including the end item
    bool ended = false;    // the end item was found
    bool full = false;     // fewer than two bytes were left: no end item needed
    int badType = -1;      // an item of an unknown type stopped the reading
    bool overrun = false;  // an item claimed more bytes than the message holds

    int countOf(uint8_t cmd) const;
    bool ready() const; // carries a non-zero READY
    bool busy() const;  // carries READY 0
    bool clean() const { return (ended || full) && badType < 0 && !overrun; }
};

Reply decode(const uint8_t *buf, int size);

// The first item with this command (command 0 when there is none).
Item find(const QVector<Item> &items, uint8_t cmd);

// A conversation with one unit through its two vendor requests.
class Link {
public:
    explicit Link(std::shared_ptr<sim::SimUnit> unit) : unit_(std::move(unit)) {}

    // Sends the items with the end item appended; returns the transfer's result.
    sim::Xfer send(const QByteArray &items);
    // Reads one reply into a fresh zero-filled 64-byte buffer.
    Reply read(sim::Xfer *result = nullptr);
    // Reads until a message carrying a non-zero READY (at most 200 reads).
    QVector<Reply> readAnswer();
    // The items of the answer to one request.
    QVector<Item> ask(const QByteArray &items);

private:
    std::shared_ptr<sim::SimUnit> unit_;
};

QVector<Item> itemsOf(const QVector<Reply> &answer);

} // namespace wirekit

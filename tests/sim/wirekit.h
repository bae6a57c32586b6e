// The tests' own view of the wire, apart from the simulator's encoder and the
// device library's codec, so that a misreading both share cannot hide.
#pragma once

#include <QByteArray>
#include <QVector>

#include <algorithm>
#include <memory>

#include "sim/simunit.h"

namespace wirekit {

enum : uint8_t {
    DebugText = 0x12, GetAutoPowerSave = 0x14, SetHz = 0x17, Hz = 0x18, FwBegin = 0x21, FwStatus = 0x22, FwData = 0x25,
    FwDataEnd = 0x26, FwGetChecksum = 0x27, GetInfo = 0x31, GetSerial = 0x38, RecFunc = 0x3B, Ch = 0x61, ChNum = 0x62,
    GetMeter = 0x71, Meter = 0x72, Ready = 0xA1, Mute = 0xC3,
};

inline QByteArray none(uint8_t cmd) { return QByteArray(1, char(cmd)).append(char(1)); }
inline QByteArray u8(uint8_t cmd, uint8_t v) { return QByteArray(1, char(cmd)).append(char(2)).append(char(v)); }
inline QByteArray u32(uint8_t cmd, uint32_t v)
{
    const char le[] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    return QByteArray(1, char(cmd)).append(char(4)).append(le, 4);
}
inline QByteArray array(uint8_t cmd, const QByteArray &bytes)
{
    return QByteArray(1, char(cmd)).append(char(5)).append(char(bytes.size())).append(bytes);
}
inline QByteArray channel(uint8_t kind, uint8_t number) { return u8(Ch, kind) + u8(ChNum, number); }

struct Item { uint8_t cmd, type; uint32_t value; QByteArray bytes; };

// One reply message as read from a 64-byte buffer, up to its end item or to
// fewer than two bytes left (a full message needs none).
struct Reply {
    QVector<Item> items;
    int length = 0;       // bytes read, the end item included
    int badType = -1;     // an item of an unknown type stopped the reading
    bool overrun = false; // an item claimed more bytes than the message holds
    int ready = -1;       // READY's value, -1 without one

    int countOf(uint8_t cmd) const
    {
        return int(std::count_if(items.begin(), items.end(), [cmd](const Item &i) { return i.cmd == cmd; }));
    }
    bool clean() const { return badType < 0 && !overrun; }
};

Reply decode(const uint8_t *buf, int size);
QVector<Item> itemsOf(const QVector<Reply> &answer);
QByteArray cmdsOf(const QVector<Item> &items); // the commands in order, as hex

// The two vendor requests, to one unit or to a location on the bus.
class Link {
public:
    explicit Link(std::shared_ptr<sim::SimUnit> unit) : unit_(std::move(unit)) {}
    explicit Link(uint32_t location) : location_(location) {}

    sim::Xfer send(const QByteArray &items) const; // the end item appended if it fits
    Reply read(sim::Xfer *result = nullptr) const; // into a 64-byte buffer
    QVector<Reply> readAnswer() const;             // up to a non-zero READY (200 reads at most)
    QVector<Item> ask(const QByteArray &items) const { send(items); return itemsOf(readAnswer()); }

private:
    std::shared_ptr<sim::SimUnit> unit_;
    uint32_t location_ = 0;
};

} // namespace wirekit

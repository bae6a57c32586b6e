// The tests' own view of the wire, apart from the simulator's encoder and the
// device library's codec, so that a misreading both share cannot hide.
#pragma once

#include <QByteArray>
#include <QVector>

#include <algorithm>
#include <cstring>
#include <memory>

#include "sim/simbus.h"
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

inline Reply decode(const uint8_t *buf, int size)
{
    static const int kLength[] = {2, 2, 3, 4, 6, 3}; // by type; an array adds its length byte
    Reply reply;
    int pos = 0;
    while (size - pos >= 2 && buf[pos + 1] != 0) {
        Item item{buf[pos], buf[pos + 1], 0, {}};
        if (item.type > 5) {
            reply.badType = item.type;
            return reply;
        }
        const int length = kLength[item.type] + (item.type == 5 && size - pos >= 3 ? buf[pos + 2] : 0);
        if (length > size - pos) {
            reply.overrun = true;
            return reply;
        }
        if (item.type == 5)
            item.bytes = QByteArray(reinterpret_cast<const char *>(buf + pos + 3), length - 3);
        for (int i = 2; i < length && item.type != 5; ++i)
            item.value |= uint32_t(buf[pos + i]) << (8 * (i - 2));
        if (item.cmd == Ready)
            reply.ready = int(item.value);
        reply.items.append(item);
        pos += length;
    }
    reply.length = size - pos >= 2 ? pos + 2 : pos;
    return reply;
}

inline QVector<Item> itemsOf(const QVector<Reply> &answer)
{
    QVector<Item> all;
    for (const Reply &reply : answer)
        all += reply.items;
    return all;
}

// The commands in order, as hex.
inline QByteArray cmdsOf(const QVector<Item> &items)
{
    QByteArray cmds;
    for (const Item &item : items)
        cmds.append(char(item.cmd));
    return cmds.toHex();
}

// The two vendor requests, to one unit or to a location on the bus.
class Link {
public:
    explicit Link(std::shared_ptr<sim::SimUnit> unit) : unit_(std::move(unit)) {}
    explicit Link(uint32_t location) : location_(location) {}

    // The end item is appended if it fits: a full message needs none.
    sim::Xfer send(const QByteArray &items) const
    {
        const QByteArray message = (items + QByteArray(2, '\0')).left(64);
        const auto data = reinterpret_cast<const uint8_t *>(message.constData());
        const auto size = uint16_t(message.size());
        return unit_ ? unit_->controlOut(29, 0, 0, data, size)
                     : sim::Bus::instance().controlOut(location_, 29, 0, 0, data, size);
    }
    Reply read(sim::Xfer *result = nullptr) const
    {
        uint8_t buf[64];
        memset(buf, 0xEE, sizeof buf); // not zero: a missing end item must show
        const sim::Xfer r = unit_ ? unit_->controlIn(30, 0, 0, buf, sizeof buf)
                                  : sim::Bus::instance().controlIn(location_, 30, 0, 0, buf, sizeof buf);
        if (result)
            *result = r;
        return decode(buf, sizeof buf);
    }
    // Up to a non-zero READY, 200 reads at most.
    QVector<Reply> readAnswer() const
    {
        QVector<Reply> answer;
        do
            answer.append(read());
        while (answer.last().ready <= 0 && answer.size() < 200);
        return answer;
    }
    QVector<Item> ask(const QByteArray &items) const { send(items); return itemsOf(readAnswer()); }

private:
    std::shared_ptr<sim::SimUnit> unit_;
    uint32_t location_ = 0;
};

} // namespace wirekit

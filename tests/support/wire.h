// The tests' own writer and reader of wire items, apart from the device
// library's codec and the simulator's encoder, so that a misreading both share
// cannot hide.
#pragma once

#include <QByteArray>
#include <QVector>

#include <algorithm>
#include <cstdint>

namespace wire {

enum : uint8_t {
    DebugText = 0x12, GetAutoPowerSave = 0x14, Hz = 0x18, FwBegin = 0x21, FwStatus = 0x22, FwData = 0x25,
    FwDataEnd = 0x26, FwGetChecksum = 0x27, GetInfo = 0x31, GetSerial = 0x38, RecFunc = 0x3B, Ch = 0x61,
    ChNum = 0x62, GetMeter = 0x71, Meter = 0x72, Ready = 0xA1, Mute = 0xC3,
};

inline QByteArray item(uint8_t cmd, uint8_t type, uint32_t value, int size)
{
    QByteArray bytes = QByteArray() + char(cmd) + char(type);
    for (int i = 0; i < size; ++i)
        bytes += char((value >> (8 * i)) & 0xFF);
    return bytes;
}
inline QByteArray none(uint8_t cmd) { return item(cmd, 1, 0, 0); }
inline QByteArray u8(uint8_t cmd, uint32_t value) { return item(cmd, 2, value, 1); }
inline QByteArray u16(uint8_t cmd, uint32_t value) { return item(cmd, 3, value, 2); }
inline QByteArray u32(uint8_t cmd, uint32_t value) { return item(cmd, 4, value, 4); }
inline QByteArray array(uint8_t cmd, const QByteArray &b) { return item(cmd, 5, uint32_t(b.size()), 1) + b; }
inline QByteArray end() { return QByteArray(2, '\0'); }
inline QByteArray ready(uint8_t value) { return u8(Ready, value); }
inline QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

struct Item { uint8_t cmd, type; uint32_t value; QByteArray bytes; };

// One reply message as read from a buffer, up to its end item or to fewer
// than two bytes left (a full message needs none).
struct Reply {
    QVector<Item> items;
    int length = 0;    // bytes read, the end item included
    bool clean = true; // no item of an unknown type, none longer than the message
    int ready = -1;    // READY's value, -1 without one

    int countOf(uint8_t cmd) const
    {
        return int(std::count_if(items.begin(), items.end(), [cmd](const Item &i) { return i.cmd == cmd; }));
    }
};

inline Reply decode(const uint8_t *buf, int size)
{
    static const int kLength[] = {2, 2, 3, 4, 6, 3}; // by type; an array adds its length byte
    Reply reply;
    int pos = 0;
    while (size - pos >= 2 && buf[pos + 1] != 0) {
        Item item{buf[pos], buf[pos + 1], 0, {}};
        const int length =
            item.type > 5 ? 0 : kLength[item.type] + (item.type == 5 && size - pos >= 3 ? buf[pos + 2] : 0);
        if (item.type > 5 || length > size - pos) {
            reply.clean = false;
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

} // namespace wire

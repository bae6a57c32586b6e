#include "wirekit.h"

namespace wirekit {

QByteArray none(uint8_t cmd)
{
    return QByteArray(1, char(cmd)).append(char(1));
}

QByteArray u8(uint8_t cmd, uint8_t value)
{
    return QByteArray(1, char(cmd)).append(char(2)).append(char(value));
}

QByteArray u32(uint8_t cmd, uint32_t value)
{
    QByteArray out = QByteArray(1, char(cmd)).append(char(4));
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
    return out;
}

QByteArray array(uint8_t cmd, const QByteArray &bytes)
{
    return QByteArray(1, char(cmd)).append(char(5)).append(char(bytes.size())).append(bytes);
}

QByteArray channel(uint8_t kind, uint8_t number)
{
    return u8(Ch, kind) + u8(ChNum, number);
}

QByteArray assign(uint8_t inKind, uint8_t inCh, uint8_t outKind, uint8_t outCh)
{
    return channel(inKind, inCh) + none(AssignIn) + channel(outKind, outCh) + none(AssignOut)
        + none(AssignCommit);
}

int Reply::countOf(uint8_t cmd) const
{
    int n = 0;
    for (const Item &item : items)
        n += item.cmd == cmd;
    return n;
}

bool Reply::ready() const
{
    for (const Item &item : items) {
        if (item.cmd == Ready && item.value != 0)
            return true;
    }
    return false;
}

bool Reply::busy() const
{
    for (const Item &item : items) {
        if (item.cmd == Ready && item.value == 0)
            return true;
    }
    return false;
}

Reply decode(const uint8_t *buf, int size)
{
    static const int kLength[] = {2, 2, 3, 4, 6, 3};
    Reply reply;
    int pos = 0;
    for (; size - pos >= 2; ) {
        Item item;
        item.cmd = buf[pos];
        item.type = buf[pos + 1];
        if (item.type == 0) {
            reply.ended = true;
            reply.length = pos + 2;
            return reply;
        }
        if (item.type > 5) {
            reply.badType = item.type;
            return reply;
        }
        int length = kLength[item.type];
        if (item.type == 5 && size - pos >= 3)
            length += buf[pos + 2];
        if (length > size - pos) {
            reply.overrun = true;
            return reply;
        }
        if (item.type == 5)
            item.bytes = QByteArray(reinterpret_cast<const char *>(buf + pos + 3), length - 3);
        for (int i = 2; i < length && item.type != 5; ++i)
            item.value |= uint32_t(buf[pos + i]) << (8 * (i - 2));
        reply.items.append(item);
        pos += length;
    }
    reply.full = true;
    reply.length = pos;
    return reply;
}

Item find(const QVector<Item> &items, uint8_t cmd)
{
    for (const Item &item : items) {
        if (item.cmd == cmd)
            return item;
    }
    return Item();
}

sim::Xfer Link::send(const QByteArray &items)
{
    const QByteArray message = items + QByteArray(2, '\0');
    return unit_->controlOut(29, 0, 0, reinterpret_cast<const uint8_t *>(message.constData()),
                             uint16_t(message.size()));
}

Reply Link::read(sim::Xfer *result)
{
    uint8_t buf[64] = {};
    const sim::Xfer r = unit_->controlIn(30, 0, 0, buf, sizeof buf);
    if (result)
        *result = r;
    return decode(buf, sizeof buf);
}

QVector<Reply> Link::readAnswer()
{
    QVector<Reply> answer;
    for (int i = 0; i < 200; ++i) {
        answer.append(read());
        if (answer.last().ready())
            break;
    }
    return answer;
}

QVector<Item> Link::ask(const QByteArray &items)
{
    send(items);
    return itemsOf(readAnswer());
}

QVector<Item> itemsOf(const QVector<Reply> &answer)
{
    QVector<Item> all;
    for (const Reply &reply : answer)
        all += reply.items;
    return all;
}

} // namespace wirekit

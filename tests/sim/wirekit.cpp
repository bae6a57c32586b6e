#include "wirekit.h"

#include <cstring>

namespace wirekit {

Reply decode(const uint8_t *buf, int size)
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

QVector<Item> itemsOf(const QVector<Reply> &answer)
{
    QVector<Item> all;
    for (const Reply &reply : answer)
        all += reply.items;
    return all;
}

QByteArray cmdsOf(const QVector<Item> &items)
{
    QByteArray cmds;
    for (const Item &item : items)
        cmds.append(char(item.cmd));
    return cmds.toHex();
}

sim::Xfer Link::send(const QByteArray &items) const
{
    const QByteArray message = (items + QByteArray(2, '\0')).left(64); // a full message needs no end item
    const auto data = reinterpret_cast<const uint8_t *>(message.constData());
    const auto size = uint16_t(message.size());
    return unit_ ? unit_->controlOut(29, 0, 0, data, size)
                 : sim::Bus::instance().controlOut(location_, 29, 0, 0, data, size);
}

Reply Link::read(sim::Xfer *result) const
{
    uint8_t buf[64];
    memset(buf, 0xEE, sizeof buf); // not zero: a missing end item must show
    const sim::Xfer r = unit_ ? unit_->controlIn(30, 0, 0, buf, sizeof buf)
                              : sim::Bus::instance().controlIn(location_, 30, 0, 0, buf, sizeof buf);
    if (result)
        *result = r;
    return decode(buf, sizeof buf);
}

QVector<Reply> Link::readAnswer() const
{
    QVector<Reply> answer;
    do
        answer.append(read());
    while (answer.last().ready <= 0 && answer.size() < 200);
    return answer;
}

} // namespace wirekit

#include "engineprobe.h"

SignalLog::SignalLog(QZUDevice *engine)
{
    auto text = [this](const char *name) {
        return [this, name](const QString &t) { lines << QString("%1 \"%2\"").arg(name, t); };
    };
    auto number = [this](const char *name) {
        return [this, name](uint32_t v) { lines << QString("%1 %2").arg(name).arg(v); };
    };
    auto channel = [this](const char *name) {
        return [this, name](zumsg_data_ch_t kind, uint8_t ch, uint32_t v) {
            lines << QString("%1 %2 %3 %4").arg(name).arg(kind).arg(ch).arg(v);
        };
    };
    connect(engine, &QZUDevice::sig_recv_debug, this, text("debug"));
    connect(engine, &QZUDevice::sig_recv_hz, this, number("hz"));
    connect(engine, &QZUDevice::sig_recv_autopowersave, this, number("aps"));
    connect(engine, &QZUDevice::sig_recv_serialnumber, this, text("serial"));
    connect(engine, &QZUDevice::sig_recv_stereo, this, channel("stereo"));
    connect(engine, &QZUDevice::sig_recv_mute, this, channel("mute"));
    connect(engine, &QZUDevice::sig_recv_fader, this, channel("fader"));
    connect(engine, &QZUDevice::sig_recv_assign_ch, this,
            [this](zumsg_data_ch_t in, uint8_t in_ch, zumsg_data_ch_t out, uint8_t out_ch) {
                lines << QString("assign %1 %2 %3 %4").arg(in).arg(in_ch).arg(out).arg(out_ch);
            });
    connect(engine, &QZUDevice::sig_recv_version, this, number("version"));
    connect(engine, &QZUDevice::sig_recv_build, this, number("build"));
    connect(engine, &QZUDevice::sig_recv_productname, this, text("name"));
    connect(engine, &QZUDevice::sig_recv_productsig, this, text("sig"));
    connect(engine, &QZUDevice::sig_recv_builddate, this, text("date"));
    connect(engine, &QZUDevice::sig_recv_buildtime, this, text("time"));
    connect(engine, &QZUDevice::sig_recv_recfunc, this,
            [this](const QByteArray &b) { lines << "recfunc " + QString::fromLatin1(b.toHex()); });
    connect(engine, &QZUDevice::sig_recv_meter, this, channel("meter"));
}

namespace items {

QByteArray num(uint8_t cmd, uint8_t type, uint32_t value)
{
    static const int width[] = {0, 0, 1, 2, 4, 0};
    QByteArray out;
    out += char(cmd);
    out += char(type);
    for (int i = 0; i < width[type]; ++i)
        out += char((value >> (8 * i)) & 0xFF);
    return out;
}

QByteArray array(uint8_t cmd, const QByteArray &payload)
{
    return join({QByteArray(1, char(cmd)), QByteArray(1, char(ZUMSG_TYPE_U8_ARRAY)),
                 QByteArray(1, char(payload.size())), payload});
}

QByteArray join(std::initializer_list<QByteArray> parts)
{
    QByteArray out;
    for (const QByteArray &part : parts)
        out += part;
    return out;
}

QByteArray reply(std::initializer_list<QByteArray> parts)
{
    const QByteArray out = join(parts) + end();
    return out.size() < 64 ? out + QByteArray(64 - out.size(), '\0') : out;
}

QByteArray channel(uint8_t kind, uint8_t ch, uint8_t cmd, uint8_t value)
{
    return join({u8(ZUMSG_CMD_CH, kind), u8(ZUMSG_CMD_CH_NUM, ch), u8(cmd, value)});
}

QByteArray assign(uint8_t inKind, uint8_t inCh, uint8_t outKind, uint8_t outCh)
{
    return join({u8(ZUMSG_CMD_CH, inKind), u8(ZUMSG_CMD_CH_NUM, inCh), none(ZUMSG_CMD_ASSIGN_IN),
                 u8(ZUMSG_CMD_CH, outKind), u8(ZUMSG_CMD_CH_NUM, outCh), none(ZUMSG_CMD_ASSIGN_OUT),
                 none(ZUMSG_CMD_ASSIGN_COMMIT)});
}

} // namespace items

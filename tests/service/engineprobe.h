// Test access to the request engine: its state readable, its worker cut off or
// reachable, every decoded value as a line of text, items built by hand.
#pragma once

#include <QStringList>

#include "service/datamanager.h"
#include "service/qzudeviceunit.h"

// Items as the unit and the engine write them; join them with +.
namespace items {
inline QByteArray num(uint8_t cmd, uint8_t type, uint32_t value)
{
    static const int width[] = {0, 0, 1, 2, 4, 0}; // by type: end, none, u8, u16, u32, array
    QByteArray out = QByteArray(1, char(cmd)) + char(type);
    for (int i = 0; i < width[type]; ++i)
        out += char((value >> (8 * i)) & 0xFF);
    return out;
}
inline QByteArray array(uint8_t cmd, const QByteArray &data)
{
    return num(cmd, ZUMSG_TYPE_U8_ARRAY, 0) + char(data.size()) + data;
}
inline QByteArray none(uint8_t cmd) { return num(cmd, ZUMSG_TYPE_NONE, 0); }
inline QByteArray u8(uint8_t cmd, uint8_t v) { return num(cmd, ZUMSG_TYPE_U8, v); }
inline QByteArray u16(uint8_t cmd, uint16_t v) { return num(cmd, ZUMSG_TYPE_U16, v); }
inline QByteArray u32(uint8_t cmd, uint32_t v) { return num(cmd, ZUMSG_TYPE_U32, v); }
inline QByteArray end() { return QByteArray(2, '\0'); }
// Items and the end item, padded to the 64 bytes a reply read gives.
inline QByteArray reply(const QByteArray &items) { return (items + end()).leftJustified(64, '\0'); }
// A channel group (CH, CH_NUM, cmd) and an assignment group (seven items).
inline QByteArray channel(uint8_t kind, uint8_t ch, uint8_t cmd, uint8_t value)
{
    return u8(ZUMSG_CMD_CH, kind) + u8(ZUMSG_CMD_CH_NUM, ch) + u8(cmd, value);
}
inline QByteArray assign(uint8_t inKind, uint8_t inCh, uint8_t outKind, uint8_t outCh)
{
    return u8(ZUMSG_CMD_CH, inKind) + u8(ZUMSG_CMD_CH_NUM, inCh) + none(ZUMSG_CMD_ASSIGN_IN)
        + u8(ZUMSG_CMD_CH, outKind) + u8(ZUMSG_CMD_CH_NUM, outCh) + none(ZUMSG_CMD_ASSIGN_OUT)
        + none(ZUMSG_CMD_ASSIGN_COMMIT);
}
} // namespace items

// Runs a call and gives what it returned and the debug lines it wrote.
template <class Call>
QPair<bool, QStringList> debugLinesOf(Call call)
{
    static QStringList lines;
    lines.clear();
    const auto capture = [](QtMsgType type, const QMessageLogContext &, const QString &s) {
        if (type == QtDebugMsg)
            lines << s;
    };
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    const bool result = call();
    qInstallMessageHandler(previous);
    return {result, lines};
}

class EngineProbe : public DataManager
{
public:
    using QZUDevice::is_selected_ret, QZUDevice::meter_num, QZUDevice::meter_state, QZUDevice::recv_state;
    using QZUDevice::req_assign, QZUDevice::req_hz, QZUDevice::req_recfunc, QZUDevice::req_serial;
    using QZUDevice::send_state, QZUDevice::unit_ready;

    QZUDeviceUnit *worker() const { return unit; }
    void detachWorker() { QObject::disconnect(this, nullptr, unit, nullptr); }
    // Plays the detached worker: the request went out, and the reply says ready.
    void answerReady()
    {
        if (send_state != 0)
            recv_zu_send_result(true);
        recv_zu_recv_result(true, items::reply(items::u8(ZUMSG_CMD_READY, 1)));
    }
};

// Every sig_recv_ signal as a line such as "meter 4 2 1000" or "name \"x\"".
class SignalLog : public QObject
{
public:
    explicit SignalLog(QZUDevice *e)
    {
        using D = QZUDevice;
        add(e, "debug", &D::sig_recv_debug); add(e, "hz", &D::sig_recv_hz); add(e, "meter", &D::sig_recv_meter);
        add(e, "aps", &D::sig_recv_autopowersave); add(e, "serial", &D::sig_recv_serialnumber);
        add(e, "stereo", &D::sig_recv_stereo); add(e, "mute", &D::sig_recv_mute); add(e, "fader", &D::sig_recv_fader);
        add(e, "assign", &D::sig_recv_assign_ch); add(e, "recfunc", &D::sig_recv_recfunc);
        add(e, "version", &D::sig_recv_version); add(e, "build", &D::sig_recv_build);
        add(e, "name", &D::sig_recv_productname); add(e, "sig", &D::sig_recv_productsig);
        add(e, "date", &D::sig_recv_builddate); add(e, "time", &D::sig_recv_buildtime);
    }
    QStringList lines;

private:
    static QString text(const QString &s) { return '"' + s + '"'; }
    static QString text(const QByteArray &b) { return QString::fromLatin1(b.toHex()); }
    template <class T>
    static QString text(T v) { return QString::number(qlonglong(v)); }
    template <class... A>
    void add(QZUDevice *e, const char *name, void (QZUDevice::*signal)(A...))
    {
        connect(e, signal, this,
                [this, name](A... a) { lines << (QStringList{name} << ... << text(a)).join(' '); });
    }
};

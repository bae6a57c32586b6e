// Test access to the request engine: its state made readable, the worker
// held or cut off, every decoded value written down as a line of text, and
// reply items built as the unit writes them.
#pragma once

#include <QByteArray>
#include <QSemaphore>
#include <QStringList>

#include <initializer_list>

#include "service/datamanager.h"
#include "service/qzudeviceunit.h"

template <class Engine>
class EngineProbe : public Engine
{
public:
    using Engine::assign_slots;
    using Engine::aps_slot;
    using Engine::builddate;
    using Engine::fader_slots;
    using Engine::is_selected_ret;
    using Engine::meter_info;
    using Engine::meter_num;
    using Engine::meter_state;
    using Engine::mute_slots;
    using Engine::recv_state;
    using Engine::req_assign;
    using Engine::req_hz;
    using Engine::req_mute;
    using Engine::req_recfunc;
    using Engine::req_serial;
    using Engine::req_stereo;
    using Engine::send_state;
    using Engine::stereo_slots;
    using Engine::unit_ready;
    using Engine::version;

    QZUDeviceUnit *worker() const { return this->unit; }
    // Cuts the requests to the worker: the test plays its part.
    void detachWorker() { QObject::disconnect(this, nullptr, this->unit, nullptr); }
    bool idle() const { return this->send_state == 0 && this->recv_state == 0; }
};

using EngineUnderTest = EngineProbe<QZUDevice>;
using DataManagerUnderTest = EngineProbe<DataManager>;

// Holds the worker thread inside a slot until released, so that requests
// queue up behind it while the test changes the world.
class WorkerGate
{
public:
    explicit WorkerGate(QObject *worker)
    {
        QMetaObject::invokeMethod(worker, [this] { entered_.release(); open_.acquire(); });
        entered_.acquire();
    }
    ~WorkerGate() { open_.release(); }

private:
    QSemaphore entered_;
    QSemaphore open_;
};

// Every sig_recv_ signal of an engine as a line such as "meter 4 2 1000".
class SignalLog : public QObject
{
public:
    explicit SignalLog(QZUDevice *engine);
    QStringList lines;
};

// Reply items as the unit writes them.
namespace items {
QByteArray num(uint8_t cmd, uint8_t type, uint32_t value);
QByteArray array(uint8_t cmd, const QByteArray &payload);
inline QByteArray none(uint8_t cmd) { return num(cmd, ZUMSG_TYPE_NONE, 0); }
inline QByteArray u8(uint8_t cmd, uint8_t v) { return num(cmd, ZUMSG_TYPE_U8, v); }
inline QByteArray u16(uint8_t cmd, uint16_t v) { return num(cmd, ZUMSG_TYPE_U16, v); }
inline QByteArray u32(uint8_t cmd, uint32_t v) { return num(cmd, ZUMSG_TYPE_U32, v); }
inline QByteArray end() { return QByteArray(2, '\0'); }
QByteArray join(std::initializer_list<QByteArray> parts);
// The items and the end item, padded to the 64 bytes a reply read gives.
QByteArray reply(std::initializer_list<QByteArray> parts);
// The three items of a channel group: CH, CH_NUM, then cmd.
QByteArray channel(uint8_t kind, uint8_t ch, uint8_t cmd, uint8_t value);
// The seven items of an assignment group.
QByteArray assign(uint8_t inKind, uint8_t inCh, uint8_t outKind, uint8_t outCh);
} // namespace items

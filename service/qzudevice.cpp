#include "qzudevice.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include <cstring>

#include "presencerelay.h"
#include "qzudeviceunit.h"

namespace {

constexpr int kMessageSize = 64;

// How long teardown waits for the worker to finish its current exchange: the
// longest blocking call (a meter read of a silent unit) takes about a second.
constexpr unsigned long kTeardownWaitMs = 5000;

// Kinds without a name in the codec's table: three meter groups and the
// loopback switch and level.
constexpr zumsg_data_ch_t kChMeterGroup6 = static_cast<zumsg_data_ch_t>(6);
constexpr zumsg_data_ch_t kChMeterGroup7 = static_cast<zumsg_data_ch_t>(7);
constexpr zumsg_data_ch_t kChMeterGroup8 = static_cast<zumsg_data_ch_t>(8);
constexpr zumsg_data_ch_t kChLoopback = static_cast<zumsg_data_ch_t>(9);

struct ChannelRef {
    zumsg_data_ch_t ch_type;
    uint8_t ch_no;
};

// The stereo-query sweep, one position per message.
constexpr ChannelRef kStereoSweep[4] = {
    {ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1},
    {ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 3},
    {ZUMSG_DATA_CH_COMPUTER_OUT, 1},
    {ZUMSG_DATA_CH_ANALOG_IN, 1},
};

struct MeterGroup {
    zumsg_data_ch_t ch_type;
    uint8_t channels;
};

// The meter template: 97 entries in the order the unit reports them.
constexpr MeterGroup kMeterTemplate[] = {
    {ZUMSG_DATA_CH_ANALOG_IN, 22}, {kChMeterGroup7, 24},          {ZUMSG_DATA_CH_COMPUTER_OUT, 22},
    {kChMeterGroup6, 22},          {ZUMSG_DATA_CH_MASTER_OUT, 6}, {kChMeterGroup8, 1},
};

int stereoSlotIndex(zumsg_data_ch_t ch_type, uint8_t ch_no)
{
    if (ch_type == ZUMSG_DATA_CH_DIRECTMONITOR_OUT && ch_no == 1)
        return 0;
    if (ch_type == ZUMSG_DATA_CH_DIRECTMONITOR_OUT && ch_no == 3)
        return 1;
    if (ch_type == ZUMSG_DATA_CH_COMPUTER_OUT)
        return 2;
    if (ch_type == ZUMSG_DATA_CH_ANALOG_IN)
        return 3;
    return -1;
}

int faderSlotIndex(zumsg_data_ch_t ch_type, uint8_t ch_no)
{
    if (ch_type == ZUMSG_DATA_CH_DIRECTMONITOR_OUT && ch_no == 1)
        return 0;
    if (ch_type == kChLoopback && ch_no == 0)
        return 1;
    if (ch_type == kChLoopback && ch_no == 1)
        return 2;
    return -1;
}

} // namespace

// What persists while one reply is decoded, piece after piece. Everything
// starts at 0 for each reply, so a commit without latches reports zeros.
struct QZUDevice::DecodeState {
    zumsg_data_ch_t ch_type = static_cast<zumsg_data_ch_t>(0);
    uint8_t ch_no = 0;
    zumsg_data_ch_t in_type = static_cast<zumsg_data_ch_t>(0);
    uint8_t in_ch = 0;
    zumsg_data_ch_t out_type = static_cast<zumsg_data_ch_t>(0);
    uint8_t out_ch = 0;
};

QZUDevice::QZUDevice()
{
    registerDeviceMetaTypes();

    unit = new QZUDeviceUnit;
    // Made before the move, so that it goes to the worker's thread with its
    // parent.
    auto *relay = new PresenceRelay(unit);
    thread = new QThread;
    unit->moveToThread(thread);
    connect(unit, &QZUDeviceUnit::finished, thread, &QThread::quit);
    connect(unit, &QZUDeviceUnit::finished, unit, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    start_worker();

    // Presence answers pass the relay, which keeps back those that would
    // change nothing here.
    connect(this, &QZUDevice::sig_deselect, relay, &PresenceRelay::deselectAsked);
    connect(this, &QZUDevice::sig_deselect, unit, &QZUDeviceUnit::deselect);
    connect(unit, &QZUDeviceUnit::ret_deselect, relay, &PresenceRelay::deselected, Qt::DirectConnection);
    connect(relay, &PresenceRelay::ret_deselect, this, &QZUDevice::recv_deselect);
    connect(this, &QZUDevice::sig_is_selected, unit, &QZUDeviceUnit::is_selected);
    connect(unit, &QZUDeviceUnit::ret_is_selected, relay, &PresenceRelay::selectionAnswered,
            Qt::DirectConnection);
    connect(relay, &PresenceRelay::ret_is_selected, this, &QZUDevice::recv_is_selected);
    connect(this, &QZUDevice::sig_zu_send, unit, &QZUDeviceUnit::zu_send);
    connect(unit, &QZUDeviceUnit::zu_send_result, this, &QZUDevice::recv_zu_send_result);
    connect(this, &QZUDevice::sig_zu_recv, unit, &QZUDeviceUnit::zu_recv);
    connect(unit, &QZUDeviceUnit::zu_recv_result, this, &QZUDevice::recv_zu_recv_result);
    connect(this, &QZUDevice::sig_zu_get_meter, unit, &QZUDeviceUnit::zu_get_meter);
    connect(unit, &QZUDeviceUnit::ret_get_meter, this, &QZUDevice::recv_get_meter);
    connect(this, &QZUDevice::sig_zu_fwupdate, unit, &QZUDeviceUnit::zu_fwupdate);
    connect(unit, &QZUDeviceUnit::ret_fwupdate_progress, this, &QZUDevice::sig_recv_fwupdate_progress);
    connect(unit, &QZUDeviceUnit::ret_fwupdate, this, &QZUDevice::sig_recv_fwupdate);
}

QZUDevice::~QZUDevice()
{
    QPointer<QZUDeviceUnit> worker(unit);
    unit->finish();
    unit = nullptr;

    // After main has returned no event loop is left to finish the thread's
    // clean-up, so wait for it here instead of leaving a running thread to
    // the end of the process. A worker still stuck in a transfer after the
    // wait is left alone: deleting its thread would abort the program.
    if (!thread->wait(kTeardownWaitMs))
        return;
    // The worker's deferred deletion is delivered only while an application
    // object exists and the loop got to it before quitting; the thread has
    // finished, so whatever is left is deleted here.
    delete worker.data();
    delete thread;
    thread = nullptr;
}

bool QZUDevice::deselect()
{
    deselect_ret = false;
    emit sig_deselect();
    return deselect_ret;
}

bool QZUDevice::select_default()
{
    return true;
}

bool QZUDevice::is_selected()
{
    emit sig_is_selected();
    return is_selected_ret;
}

void QZUDevice::request_version()
{
    req_info = true;
    zu_send();
}

void QZUDevice::request_hz()
{
    req_hz = true;
    zu_send();
}

void QZUDevice::request_autopowersave()
{
    req_autopowersave = true;
    zu_send();
}

void QZUDevice::request_stereo()
{
    req_stereo = 1;
    zu_send();
}

void QZUDevice::request_mute()
{
    // A running sweep goes on where it is.
    if (req_mute == 0)
        req_mute = 1;
    zu_send();
}

void QZUDevice::request_fader()
{
    req_fader = true;
    zu_send();
}

void QZUDevice::request_assign()
{
    req_assign = true;
    zu_send();
}

void QZUDevice::request_serialnumber()
{
    req_serial = true;
    zu_send();
}

void QZUDevice::request_recfunc()
{
    req_recfunc = true;
    zu_send();
}

void QZUDevice::set_autopowersave(bool on)
{
    aps_slot.pending = true;
    aps_slot.value = on ? 1 : 0;
    zu_send();
}

void QZUDevice::set_stereo(zumsg_data_ch_t ch_type, uint8_t ch_no, zumsg_data_ch_type_t type)
{
    const int index = stereoSlotIndex(ch_type, ch_no);
    if (index < 0)
        return;
    stereo_slots[index] = {true, type, ch_type, ch_no};
    zu_send();
}

void QZUDevice::set_hz(uint32_t hz)
{
    hz_slot.pending = true;
    hz_slot.value = hz;
    zu_send();
}

bool QZUDevice::set_mute(zumsg_data_ch_t ch_type, uint8_t ch_no, bool on)
{
    if (ch_type != ZUMSG_DATA_CH_ANALOG_IN || ch_no < 1 || ch_no > 4)
        return false;
    ChannelSlot &slot = mute_slots[ch_no - 1];
    const uint8_t value = on ? 1 : 0;
    if (slot.ch_type == ch_type && slot.ch_no == ch_no && slot.value == value)
        return true;
    slot = {ch_type, ch_no, value, true};
    zu_send();
    return true;
}

bool QZUDevice::set_fader(zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t value)
{
    const int index = faderSlotIndex(ch_type, ch_no);
    if (index < 0)
        return false;
    ChannelSlot &slot = fader_slots[index];
    if (slot.ch_type == ch_type && slot.ch_no == ch_no && slot.value == value)
        return true;
    slot = {ch_type, ch_no, value, true};
    zu_send();
    return true;
}

bool QZUDevice::set_assign_ch(zumsg_data_ch_t in_type, uint8_t in_ch, zumsg_data_ch_t out_type,
                              uint8_t out_ch)
{
    if (out_type != ZUMSG_DATA_CH_LINE_OUT || out_ch < 1 || out_ch > 4)
        return false;
    AssignSlot &slot = assign_slots[out_ch - 1];
    if (slot.out_type == out_type && slot.out_ch == out_ch && slot.in_type == in_type
        && slot.in_ch == in_ch)
        return true;
    slot = {out_type, out_ch, in_type, in_ch, true};
    zu_send();
    return true;
}

bool QZUDevice::request_meter(zuctl_meter_info_t *info, uint8_t count, uint8_t *num)
{
    if (meter_info[0].ch_type == 0)
        fill_meter_template(meter_info);
    if (info)
        std::memcpy(info, meter_info, sizeof(zuctl_meter_info_t) * qMin<int>(count, kMeterCount));

    if (meter_state == 0) {
        meter_state = 2;
        emit sig_zu_get_meter();
    } else {
        meter_state = 1;
    }
    if (num)
        *num = static_cast<uint8_t>(meter_num);
    return meter_result;
}

void QZUDevice::initializeParameter()
{
    std::memset(meter_info, 0, sizeof meter_info);
    meter_num = 0;
    meter_result = false;
    // meter_state is left alone: a read still with the worker stays the one
    // in flight. Marking the channel idle would start another read on every
    // tick while a failing unit holds the worker, and after the outage the
    // worker would work through that backlog before the meters (and every
    // other request) got an answer again.
}

void QZUDevice::zu_send()
{
    // Until the unit says it can take a request, asking to send reads its
    // status instead; the ready item in that reply restarts sending.
    if (!unit_ready) {
        zu_recv();
        return;
    }
    if (send_state != 0) {
        send_state = 1;
        return;
    }

    uint8_t buf[kMessageSize] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf, kMessageSize);
    build_message(&msg);
    if (msg.pos == 0)
        return;

    // A full message takes its end item silently and ends at its last byte.
    zumsg_put(&msg, ZUMSG_CMD_END, ZUMSG_TYPE_END, 0, 0);
    send_state = 2;
    unit_ready = false;
    emit sig_zu_send(QByteArray(reinterpret_cast<const char *>(buf), msg.pos));
}

void QZUDevice::zu_recv()
{
    if (recv_state == 0) {
        recv_state = 2;
        emit sig_zu_recv();
    } else {
        recv_state = 1;
    }
}

void QZUDevice::notify_zu_failed()
{
    version = 0;
    emit sig_recv_version(0);
    build = 0;
    emit sig_recv_build(0);
    emit sig_recv_productname(QString());
    emit sig_recv_builddate(QString());
    emit sig_recv_buildtime(QString());
}

void QZUDevice::recv_deselect(bool ret)
{
    deselect_ret = ret;
}

void QZUDevice::recv_is_selected(bool ret)
{
    is_selected_ret = ret;
}

void QZUDevice::recv_zu_send_result(bool result)
{
    if (!result)
        notify_zu_failed();
    const uint32_t previous = send_state;
    send_state = 0;
    if (previous == 1)
        zu_send();
}

void QZUDevice::recv_zu_recv_result(bool result, QByteArray zumsg_data)
{
    if (recv_state == 1) {
        recv_state = 2;
        emit sig_zu_recv();
    } else {
        recv_state = 0;
    }
    if (!result) {
        notify_zu_failed();
        return;
    }

    DecodeState state;
    const auto *bytes = reinterpret_cast<const uint8_t *>(zumsg_data.constData());
    for (int offset = 0; offset < zumsg_data.size(); offset += kMessageSize)
        decode_piece(bytes + offset, qMin(kMessageSize, zumsg_data.size() - offset), &state);
}

void QZUDevice::recv_get_meter(bool ret, QByteArray meter, int num)
{
    meter_result = ret;
    const int records = qMin(meter.size() / static_cast<int>(sizeof(zuctl_meter_info_t)),
                             kMeterCount);
    std::memcpy(meter_info, meter.constData(), sizeof(zuctl_meter_info_t) * records);
    meter_num = num;

    if (meter_state == 1) {
        meter_state = 2;
        emit sig_zu_get_meter();
    } else {
        meter_state = 0;
    }
}

void QZUDevice::start_worker()
{
    // An event loop started before the application object exists complains
    // ("Cannot be used without QApplication"). The global engine is built
    // during static initialisation, so its thread starts from the main
    // thread's first event loop instead; requests posted before that wait in
    // the worker's queue in order.
    if (QCoreApplication::instance()) {
        thread->start(QThread::InheritPriority);
        return;
    }
    QThread *worker_thread = thread;
    QMetaObject::invokeMethod(
        worker_thread, [worker_thread] { worker_thread->start(QThread::InheritPriority); },
        Qt::QueuedConnection);
}

void QZUDevice::build_message(zumsg_t *msg)
{
    if (put_query_groups(msg))
        put_setting_groups(msg);
}

// Queries, in the order their answers come back. Returns false when building
// stops because a group did not fit.
bool QZUDevice::put_query_groups(zumsg_t *msg)
{
    if (req_info) {
        if (zumsg_put(msg, ZUMSG_CMD_GET_INFO, ZUMSG_TYPE_NONE, 0, 0) != 0)
            return false;
        req_info = false;
    }
    if (req_hz) {
        if (zumsg_put(msg, ZUMSG_CMD_HZ, ZUMSG_TYPE_NONE, 0, 0) != 0)
            return false;
        req_hz = false;
    }
    if (req_autopowersave) {
        if (zumsg_put(msg, ZUMSG_CMD_GET_AUTOPOWERSAVE, ZUMSG_TYPE_NONE, 0, 0) != 0)
            return false;
        req_autopowersave = false;
    }
    // One stereo query per message: a sweep takes four messages.
    if (req_stereo >= 1 && req_stereo <= 4) {
        const ChannelRef &query = kStereoSweep[req_stereo - 1];
        if (zuctl_put_ch_common_u8(msg, query.ch_type, query.ch_no, ZUMSG_CMD_STEREO, 0) != 0)
            return false;
        ++req_stereo;
    }
    if (req_stereo >= 5)
        req_stereo = 0;
    // The mute sweep takes as many positions as fit and goes on in the next
    // message from where it stopped.
    while (req_mute != 0) {
        if (!put_channel_query(msg, ZUMSG_DATA_CH_ANALOG_IN, req_mute, ZUMSG_CMD_MUTE))
            break;
        req_mute = req_mute >= 4 ? 0 : req_mute + 1;
    }
    if (req_fader) {
        if (!put_channel_query(msg, ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1, ZUMSG_CMD_FADER))
            return false;
        req_fader = false;
    }
    if (req_assign) {
        const auto none = static_cast<zumsg_data_ch_t>(0);
        if (zuctl_put_assign_ch(msg, none, 0, none, 0) != 0)
            return false;
        req_assign = false;
    }
    if (req_serial) {
        if (zumsg_put(msg, ZUMSG_CMD_GET_SERIAL, ZUMSG_TYPE_NONE, 0, 0) != 0)
            return false;
        req_serial = false;
    }
    if (req_recfunc) {
        if (zumsg_put(msg, ZUMSG_CMD_RECFUNC, ZUMSG_TYPE_NONE, 0, 0) != 0)
            return false;
        req_recfunc = false;
    }
    return true;
}

// Wanted settings, after the queries. Returns false when building stops.
bool QZUDevice::put_setting_groups(zumsg_t *msg)
{
    if (aps_slot.pending) {
        if (zumsg_put(msg, ZUMSG_CMD_AUTOPOWERSAVE, ZUMSG_TYPE_U8, aps_slot.value, 0) != 0)
            return false;
        aps_slot.pending = false;
    }
    // Stereo slots that do not fit wait without stopping the later groups.
    for (StereoSlot &slot : stereo_slots) {
        if (!slot.pending)
            continue;
        if (zuctl_put_ch_common_u8(msg, slot.ch_type, slot.ch_no, ZUMSG_CMD_SET_STEREO,
                                   static_cast<uint8_t>(slot.type))
            != 0)
            break;
        slot.pending = false;
    }
    if (hz_slot.pending) {
        if (zumsg_put(msg, ZUMSG_CMD_SET_HZ, ZUMSG_TYPE_U32, hz_slot.value, 0) != 0)
            return false;
        hz_slot.pending = false;
    }
    for (ChannelSlot &slot : mute_slots) {
        if (!slot.pending)
            continue;
        if (zuctl_put_ch_common_u8(msg, slot.ch_type, slot.ch_no, ZUMSG_CMD_SET_MUTE, slot.value)
            != 0)
            return false;
        slot.pending = false;
    }
    for (ChannelSlot &slot : fader_slots) {
        if (!slot.pending)
            continue;
        if (zuctl_put_ch_common_u8(msg, slot.ch_type, slot.ch_no, ZUMSG_CMD_SET_FADER, slot.value)
            != 0)
            return false;
        slot.pending = false;
    }
    for (AssignSlot &slot : assign_slots) {
        if (!slot.pending)
            continue;
        if (zuctl_put_assign_ch(msg, slot.in_type, slot.in_ch, slot.out_type, slot.out_ch) != 0)
            return false;
        slot.pending = false;
    }
    return true;
}

void QZUDevice::decode_piece(const uint8_t *data, int size, DecodeState *state)
{
    uint8_t buf[kMessageSize];
    std::memcpy(buf, data, static_cast<size_t>(size));
    zumsg_t msg;
    zumsg_init(&msg, buf, static_cast<uint8_t>(size));

    uint32_t cmd = 0;
    uint32_t type = 0;
    uint64_t value = 0;
    uint8_t length = 0;
    while (zumsg_get(&msg, &cmd, &type, &value, &length) == 0 && cmd != ZUMSG_CMD_END)
        decode_item(cmd, type, value, length, state);
}

void QZUDevice::decode_item(uint32_t cmd, uint32_t type, uint64_t data, uint8_t size,
                            DecodeState *state)
{
    // An array item carries the address of its payload, never a number: a
    // numeric command that arrives as an array is passed over.
    const bool isArray = type == ZUMSG_TYPE_U8_ARRAY;
    const auto number = static_cast<uint32_t>(data);
    const char *payload = isArray ? reinterpret_cast<const char *>(static_cast<uintptr_t>(data))
                                  : nullptr;
    auto text = [&] { return isArray ? QString::fromUtf8(payload, size) : QString(); };

    switch (cmd) {
    case ZUMSG_CMD_DEBUG_TEXT:
        emit sig_recv_debug(text());
        return;
    case ZUMSG_CMD_PRODUCTNAME:
        emit sig_recv_productname(text());
        return;
    case ZUMSG_CMD_BUILDDATE:
        builddate = text();
        emit sig_recv_builddate(builddate);
        return;
    case ZUMSG_CMD_BUILDTIME:
        buildtime = text();
        emit sig_recv_buildtime(buildtime);
        return;
    case ZUMSG_CMD_PRODUCTSIG:
        emit sig_recv_productsig(text());
        return;
    case ZUMSG_CMD_SERIAL:
        emit sig_recv_serialnumber(text());
        return;
    case ZUMSG_CMD_RECFUNC:
        emit sig_recv_recfunc(isArray ? QByteArray(payload, size) : QByteArray());
        return;
    case ZUMSG_CMD_ASSIGN_IN:
        state->in_type = state->ch_type;
        state->in_ch = state->ch_no;
        return;
    case ZUMSG_CMD_ASSIGN_OUT:
        state->out_type = state->ch_type;
        state->out_ch = state->ch_no;
        return;
    case ZUMSG_CMD_ASSIGN_COMMIT:
        emit sig_recv_assign_ch(state->in_type, state->in_ch, state->out_type, state->out_ch);
        return;
    default:
        break;
    }

    if (isArray)
        return;

    switch (cmd) {
    case ZUMSG_CMD_GET_AUTOPOWERSAVE:
    case ZUMSG_CMD_AUTOPOWERSAVE:
        if (type == ZUMSG_TYPE_U8)
            emit sig_recv_autopowersave(number != 0);
        break;
    case ZUMSG_CMD_HZ:
        emit sig_recv_hz(number);
        break;
    case ZUMSG_CMD_VERSION:
        version = static_cast<uint16_t>(number & 0xFFFF);
        emit sig_recv_version(version);
        break;
    case ZUMSG_CMD_BUILD:
        build = static_cast<uint16_t>(number & 0xFFFF);
        emit sig_recv_build(build);
        break;
    case ZUMSG_CMD_CH:
        state->ch_type = static_cast<zumsg_data_ch_t>(number);
        break;
    case ZUMSG_CMD_CH_NUM:
        state->ch_no = static_cast<uint8_t>(number);
        break;
    case ZUMSG_CMD_METER:
        emit sig_recv_meter(state->ch_type, state->ch_no, number);
        break;
    case ZUMSG_CMD_READY:
        if (number == 0) {
            unit_ready = false;
        } else if (!unit_ready) {
            unit_ready = true;
            zu_send();
        }
        break;
    case ZUMSG_CMD_FADER:
        emit sig_recv_fader(state->ch_type, state->ch_no, static_cast<uint8_t>(number & 0xFF));
        break;
    case ZUMSG_CMD_MUTE:
        emit sig_recv_mute(state->ch_type, state->ch_no, number != 0);
        break;
    case ZUMSG_CMD_STEREO:
        emit sig_recv_stereo(state->ch_type, state->ch_no,
                             static_cast<zumsg_data_ch_type_t>(number));
        break;
    default:
        break;
    }
}

// The three items of a channel query; a group that does not fit is taken out
// again, as the library's own group builders do.
bool QZUDevice::put_channel_query(zumsg_t *msg, zumsg_data_ch_t ch_type, uint8_t ch_no,
                                  uint32_t cmd)
{
    const zumsg_t saved = *msg;
    if (zumsg_put(msg, ZUMSG_CMD_CH, ZUMSG_TYPE_U8, ch_type, 0) != 0
        || zumsg_put(msg, ZUMSG_CMD_CH_NUM, ZUMSG_TYPE_U8, ch_no, 0) != 0
        || zumsg_put(msg, cmd, ZUMSG_TYPE_U8, 0, 0) != 0) {
        *msg = saved;
        return false;
    }
    return true;
}

void QZUDevice::fill_meter_template(zuctl_meter_info_t *info)
{
    int index = 0;
    for (const MeterGroup &group : kMeterTemplate) {
        for (uint8_t ch = 1; ch <= group.channels; ++ch) {
            info[index].ch_type = group.ch_type;
            info[index].ch_no = ch;
            info[index].value = 0;
            ++index;
        }
    }
}

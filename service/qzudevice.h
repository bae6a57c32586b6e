// The request engine: the window's non-blocking way to the unit. Callers mark
// queries (request_) and store wanted settings (set_); the engine folds what
// is pending into request messages of at most 64 bytes, sends them only while
// the unit says it is ready, decodes the replies and announces every value as
// a sig_recv_ signal. Meter levels travel on a separate, double-buffered
// channel. Lives on the main thread; the worker does the blocking exchanges.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>

#include "devicemetatypes.h"
#include "zutest/zuctl.h"
#include "zutest/zumsg.h"

class QThread;
class QZUDeviceUnit;

class QZUDevice : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMeterCount = 97;

    QZUDevice();
    ~QZUDevice() override;

    bool deselect();
    bool select_default();
    bool is_selected();

    void request_version();
    void request_hz();
    void request_autopowersave();
    void request_stereo();
    void request_mute();
    void request_fader();
    void request_assign();
    void request_serialnumber();
    void request_recfunc();

    void set_autopowersave(bool on);
    void set_stereo(zumsg_data_ch_t ch_type, uint8_t ch_no, zumsg_data_ch_type_t type);
    void set_hz(uint32_t hz);
    bool set_mute(zumsg_data_ch_t ch_type, uint8_t ch_no, bool on);
    bool set_fader(zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t value);
    bool set_assign_ch(zumsg_data_ch_t in_type, uint8_t in_ch, zumsg_data_ch_t out_type,
                       uint8_t out_ch);

    // Nothing is with the worker on any of the three channels: what a
    // watchdog (the soak test) waits for after every fault.
    bool exchanges_idle() const { return send_state == 0 && recv_state == 0 && meter_state == 0; }

    bool request_meter(zuctl_meter_info_t *info, uint8_t count, uint8_t *num);
    void initializeParameter();
    // Hands the image at path to the worker's firmware transfer; the answer
    // comes as sig_recv_fwupdate.
    void start_fwupdate(const QString &path) { emit sig_zu_fwupdate(path); }

    void zu_send();
    void zu_recv();
    void notify_zu_failed();

signals:
    void sig_deselect();
    void sig_is_selected();
    void sig_zu_send(QByteArray zumsg_data);
    void sig_zu_recv();
    void sig_zu_get_meter();
    void sig_recv_debug(QString debug_log);
    void sig_recv_hz(uint32_t hz);
    void sig_recv_autopowersave(bool mode);
    void sig_recv_serialnumber(QString serialnum);
    void sig_recv_stereo(zumsg_data_ch_t ch_type, uint8_t ch_no, zumsg_data_ch_type_t mode);
    void sig_recv_mute(zumsg_data_ch_t ch_type, uint8_t ch_no, bool on);
    void sig_recv_fader(zumsg_data_ch_t ch_type, uint8_t ch_no, uint8_t value);
    void sig_recv_assign_ch(zumsg_data_ch_t in_type, uint8_t in_ch, zumsg_data_ch_t out_type,
                            uint8_t out_ch);
    void sig_recv_version(uint16_t version);
    void sig_recv_build(uint16_t build);
    void sig_recv_productname(QString productname);
    void sig_recv_productsig(QString productname);
    void sig_recv_builddate(QString builddate);
    void sig_recv_buildtime(QString buildtime);
    void sig_recv_recfunc(QByteArray rec_func);
    void sig_recv_meter(zumsg_data_ch_t ch_type, uint8_t ch_no, uint32_t value);
    // Firmware transfer: the image path to the worker, and its answer passed
    // on (QZUDeviceUnit::FirmwareResult). After the others, so that their
    // order stays as the message tables expect it.
    void sig_zu_fwupdate(QString path);
    void sig_recv_fwupdate_progress(quint32 pos, quint32 length, bool verifying);
    void sig_recv_fwupdate(int result, QString detail);

public slots:
    void recv_deselect(bool ret);
    void recv_is_selected(bool ret);
    void recv_zu_send_result(bool result);
    void recv_zu_recv_result(bool result, QByteArray zumsg_data);
    void recv_get_meter(bool ret, QByteArray meter, int num);

protected:
    struct ApsSlot {
        bool pending;
        uint8_t value;
    };
    struct StereoSlot {
        bool pending;
        zumsg_data_ch_type_t type;
        zumsg_data_ch_t ch_type;
        uint8_t ch_no;
    };
    struct HzSlot {
        bool pending;
        uint32_t value;
    };
    // Mute and fader slots share this layout.
    struct ChannelSlot {
        zumsg_data_ch_t ch_type;
        uint8_t ch_no;
        uint8_t value;
        bool pending;
    };
    struct AssignSlot {
        zumsg_data_ch_t out_type;
        uint8_t out_ch;
        zumsg_data_ch_t in_type;
        uint8_t in_ch;
        bool pending;
    };

    // Request, reply and meter channels: 0 idle, 2 with the worker, 1 busy
    // and asked again meanwhile.
    uint32_t send_state = 0;
    uint32_t recv_state = 0;
    bool unit_ready = false;
    bool req_info = false;
    bool req_hz = false;
    bool req_autopowersave = false;
    uint8_t req_stereo = 0;
    uint8_t req_mute = 0;
    bool req_fader = false;
    bool req_assign = false;
    bool req_serial = false;
    bool req_recfunc = false;
    uint16_t version = 0;
    uint16_t build = 0;
    QString builddate;
    QString buildtime;
    QZUDeviceUnit *unit = nullptr;
    QThread *thread = nullptr;
    bool deselect_ret = false;
    bool is_selected_ret = false;
    ApsSlot aps_slot = {};
    StereoSlot stereo_slots[4] = {};
    HzSlot hz_slot = {};
    ChannelSlot mute_slots[4] = {};
    ChannelSlot fader_slots[3] = {};
    AssignSlot assign_slots[4] = {};
    zuctl_meter_info_t meter_info[kMeterCount] = {};
    int meter_num = 0;
    bool meter_result = false;
    uint32_t meter_state = 0;

private:
    struct DecodeState;

    void start_worker();
    void build_message(zumsg_t *msg);
    bool put_query_groups(zumsg_t *msg);
    bool put_setting_groups(zumsg_t *msg);
    void decode_piece(const uint8_t *data, int size, DecodeState *state);
    void decode_item(uint32_t cmd, uint32_t type, uint64_t data, uint8_t size,
                     DecodeState *state);
    static bool put_channel_query(zumsg_t *msg, zumsg_data_ch_t ch_type, uint8_t ch_no,
                                  uint32_t cmd);
    static void fill_meter_template(zuctl_meter_info_t *info);
};

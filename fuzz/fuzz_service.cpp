// The device service's request engine on any sequence of worker answers:
// replies of any bytes and length, failed and successful sends, meter
// readings of any size and count, interleaved with the window's requests and
// settings; and the data manager sorting each reading into the snapshot.
// The engine is cut off from its worker, so the fuzzer plays the worker.
#include <QCoreApplication>
#include <QDir>

#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_quiet.h"
#include "service/datamanager.h"
#include "service/qzudeviceunit.h"

namespace {

class Engine : public DataManager
{
public:
    Engine() { QObject::disconnect(this, nullptr, unit, nullptr); }

    // Every input starts from an engine just connected to a unit.
    void reset()
    {
        send_state = recv_state = meter_state = 0;
        unit_ready = false;
        req_info = req_hz = req_autopowersave = req_fader = req_assign = req_serial = req_recfunc = false;
        req_stereo = req_mute = 0;
        aps_slot = {};
        hz_slot = {};
        for (auto &s : stereo_slots) s = {};
        for (auto &s : mute_slots) s = {};
        for (auto &s : fader_slots) s = {};
        for (auto &s : assign_slots) s = {};
        initializeParameter();
    }

    using QZUDevice::recv_get_meter;
    using QZUDevice::recv_zu_recv_result;
    using QZUDevice::recv_zu_send_result;
};

Engine *engine;

void discard(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    silenceLibraryLines();
    qInstallMessageHandler(discard);
    // The data manager reads the settings store: never the user's.
    const QByteArray home = QDir::tempPath().toLocal8Bit() + "/strata-fuzz-home";
    QDir().mkpath(QString::fromLocal8Bit(home));
    setenv("HOME", home.constData(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").constData(), 1);
    setenv("STRATA_SIMULATE", "", 1);
    // The corpus replay test brings its own application object.
    if (!QCoreApplication::instance())
        new QCoreApplication(*argc, *argv);
    engine = new Engine;
    return 0;
}

// Records of [operation][length][bytes...].
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    engine->reset();
    levelMeter snapshot[QZUDevice::kMeterCount] = {};
    size_t pos = 0;
    while (pos + 2 <= size) {
        const uint8_t op = data[pos], len = data[pos + 1];
        pos += 2;
        const size_t take = std::min<size_t>(len, size - pos);
        const QByteArray bytes(reinterpret_cast<const char *>(data + pos), int(take));
        pos += take;
        const uint8_t a = take > 0 ? data[pos - take] : 0, b = take > 1 ? data[pos - take + 1] : 0;
        switch (op % 8) {
        case 0: engine->recv_zu_recv_result(true, bytes); break;
        case 1: engine->recv_zu_recv_result(false, bytes); break;
        case 2: engine->recv_zu_send_result(len & 1); break;
        case 3:
            engine->recv_get_meter(op & 8, bytes, int(int8_t(len)) * 2);
            engine->getMeterdata(snapshot);
            break;
        case 4:
            if (len & 1) engine->getFirmVersion();
            if (len & 2) engine->getSampleRate();
            if (len & 4) engine->getAutoPowerSave();
            if (len & 8) engine->getDirectMonitor();
            if (len & 16) engine->getAudioInput();
            if (len & 32) engine->getInputVolume();
            if (len & 64) engine->getAssignCh();
            if (len & 128) { engine->getSerialNumber(); engine->getRecFunction(); }
            break;
        case 5:
            engine->set_fader(static_cast<zumsg_data_ch_t>(a % 10), b, len);
            engine->set_mute(static_cast<zumsg_data_ch_t>(b % 10), a, len & 1);
            engine->set_stereo(static_cast<zumsg_data_ch_t>(len % 10), a, static_cast<zumsg_data_ch_type_t>(b));
            break;
        case 6:
            engine->set_assign_ch(static_cast<zumsg_data_ch_t>(a % 10), b, static_cast<zumsg_data_ch_t>(len % 10), a);
            engine->set_hz(uint32_t(a) << 16 | uint32_t(b) << 8 | len);
            engine->set_autopowersave(len & 1);
            break;
        case 7:
            if (len & 1) engine->zu_send();
            if (len & 2) engine->zu_recv();
            if (len & 4) engine->notify_zu_failed();
            if (len & 8) engine->initializeParameterForDevice();
            break;
        }
    }
    return 0;
}

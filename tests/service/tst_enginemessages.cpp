// The request engine's messages, the worker cut off and played by the test: replies read, bad ones
// included (none may crash, read out of bounds or leave state behind), and requests built: the fixed
// order, the 64-byte limit and what waits, the setting slots and their replacement; and the data
// manager's side of it: a meter reading sorted into the 97-record snapshot, settings logged and sent.
#include <QtTest>

#include <functional>

#include "engineprobe.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

using namespace items;

namespace {
constexpr zumsg_data_ch_t kDM = ZUMSG_DATA_CH_DIRECTMONITOR_OUT, kIn = ZUMSG_DATA_CH_ANALOG_IN;
constexpr zumsg_data_ch_type_t kStereo = ZUMSG_DATA_CH_TYPE_STEREO, kMono = ZUMSG_DATA_CH_TYPE_MONO;

// A reading whose first record carries one meter; the others have no kind.
QByteArray reading(uint32_t kind, uint8_t ch, uint16_t level, int records = QZUDevice::kMeterCount)
{
    QVector<zuctl_meter_info_t> r(records, zuctl_meter_info_t{0, 0, 0});
    r[0] = {kind, ch, level};
    return QByteArray(reinterpret_cast<const char *>(r.constData()), records * int(sizeof(zuctl_meter_info_t)));
}

using DM = DataManager;
using Call = std::function<bool(DataManager &)>;
} // namespace
Q_DECLARE_METATYPE(Call)

class EngineMessages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init()
    {
        engine_ = new EngineProbe;
        engine_->detachWorker();
        sends_ = new QSignalSpy(engine_, &QZUDevice::sig_zu_send);
    }
    void cleanup() { delete sends_; delete engine_; }

private:
    QByteArray sent(int i) const { return sends_->at(i).at(0).toByteArray(); }

    VirtualClock clock_;
    EngineProbe *engine_ = nullptr;
    QSignalSpy *sends_ = nullptr;

private slots:
    void repliesBecomeSignals_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second"); // a reply read after the first
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("diagnostics");
        const QString bad(QChar(0xFFFD));
        const QStringList blank{"version 0", "build 0", "name \"\"", "date \"\"", "time \"\""};
        auto row = [](const char *tag, const QByteArray &first, const QStringList &expected, const char *out = "",
                      const QByteArray &second = {}, bool ok = true) {
            QTest::newRow(tag) << ok << first << second << expected << QString(out);
        };

        row("numbers (power save only as u8) and channel values",
            reply(u32(ZUMSG_CMD_HZ, 96000) + u32(ZUMSG_CMD_VERSION, 0x12345) + u8(ZUMSG_CMD_GET_AUTOPOWERSAVE, 1)
                  + u16(ZUMSG_CMD_AUTOPOWERSAVE, 1) + u8(ZUMSG_CMD_CH, 4) + u8(ZUMSG_CMD_CH_NUM, 2)
                  + u16(ZUMSG_CMD_METER, 1000) + u16(ZUMSG_CMD_FADER, 0x1FF) + u8(ZUMSG_CMD_MUTE, 3)
                  + u8(ZUMSG_CMD_STEREO, 4) + u16(ZUMSG_CMD_CH_NUM, 0x0103) + u8(ZUMSG_CMD_MUTE, 0)),
            {"hz 96000", "version 9029", "aps 1", "meter 4 2 1000", "fader 4 2 255", "mute 4 2 1", "stereo 4 2 4",
             "mute 4 3 0"});
        row("texts and bytes",
            reply(array(ZUMSG_CMD_PRODUCTNAME, "Strata 96") + array(ZUMSG_CMD_BUILDDATE, "Nov 12")
                  + array(ZUMSG_CMD_BUILDTIME, "10:21") + array(ZUMSG_CMD_PRODUCTSIG, "KS96")
                  + array(ZUMSG_CMD_SERIAL, "S9") + array(ZUMSG_CMD_RECFUNC, QByteArray("\1\2\0", 3))
                  + array(ZUMSG_CMD_DEBUG_TEXT, "up") + u8(ZUMSG_CMD_SERIAL, 7)),
            {"name \"Strata 96\"", "date \"Nov 12\"", "time \"10:21\"", "sig \"KS96\"", "serial \"S9\"",
             "recfunc 010200", "debug \"up\"", "serial \"\""});
        row("text that is not UTF-8",
            reply(array(ZUMSG_CMD_PRODUCTNAME, "\xff\xfe" "A") + array(ZUMSG_CMD_SERIAL, "ok\xc3")),
            {"name \"" + bad + bad + "A\"", "serial \"ok" + bad + "\""});
        // Channel and latches go on into the next 64-byte piece, not into the next reply: a
        // commit without latches reports zeros.
        row("state lasts for one reply",
            reply(u8(ZUMSG_CMD_CH, 4) + u8(ZUMSG_CMD_CH_NUM, 7) + none(ZUMSG_CMD_ASSIGN_IN))
                + reply(u16(ZUMSG_CMD_METER, 5) + u8(ZUMSG_CMD_CH, 1) + none(ZUMSG_CMD_ASSIGN_OUT)
                        + none(ZUMSG_CMD_ASSIGN_COMMIT)) + u16(ZUMSG_CMD_HZ, 32000),
            {"meter 4 7 5", "assign 4 7 1 7", "hz 32000", "fader 0 0 9", "assign 0 0 0 0"}, "",
            reply(u8(ZUMSG_CMD_FADER, 9) + u8(ZUMSG_CMD_CH, 3) + u8(ZUMSG_CMD_CH_NUM, 2)
                  + none(ZUMSG_CMD_ASSIGN_COMMIT)));
        row("unknown codes and numbers sent as arrays are skipped",
            reply(none(0x99) + u32(0xEE, 5) + array(ZUMSG_CMD_HZ, "\1\2") + array(ZUMSG_CMD_READY, "\1")
                  + u16(ZUMSG_CMD_HZ, 8000)), {"hz 8000"});
        row("invalid item type ends the reply", reply(u16(ZUMSG_CMD_HZ, 1) + "\x18\x09" + u16(ZUMSG_CMD_HZ, 2)),
            {"hz 1"}, "../../zutest/zumsg.c:186:ERROR 0x9\n");
        row("array running past the end", u16(ZUMSG_CMD_HZ, 1) + "\x34\x05\xff" + QByteArray(57, 'x'), {"hz 1"});
        row("garbage", QByteArray(64, '\xff'), {}, "../../zutest/zumsg.c:186:ERROR 0xff\n");
        // What a failed read left in the buffer means nothing, not even its ready item.
        row("failed request and read blank the identity", reply(u16(ZUMSG_CMD_HZ, 1) + u8(ZUMSG_CMD_READY, 1)),
            blank + blank, "", {}, false);
    }

    void repliesBecomeSignals()
    {
        QFETCH(bool, ok); QFETCH(QByteArray, first); QFETCH(QByteArray, second);
        SignalLog log(engine_);
        StdoutCapture out;
        if (!ok)
            engine_->recv_zu_send_result(false);
        engine_->recv_zu_recv_result(ok, first);
        if (!second.isEmpty())
            engine_->recv_zu_recv_result(true, second);
        QTEST(QString::fromStdString(out.finish()), "diagnostics");
        QTEST(log.lines, "expected");
        QVERIFY(!engine_->unit_ready);
    }

    void queriesFollowTheFixedOrderAndOverflowWaits()
    {
        // Marked before the unit said it is ready: status reads, nothing sent.
        for (auto request : {&QZUDevice::request_recfunc, &QZUDevice::request_serialnumber, &QZUDevice::request_assign,
                             &QZUDevice::request_fader, &QZUDevice::request_mute, &QZUDevice::request_stereo,
                             &QZUDevice::request_autopowersave, &QZUDevice::request_hz, &QZUDevice::request_version})
            (engine_->*request)();
        QCOMPARE(sends_->count(), 0);

        StdoutCapture out;
        engine_->answerReady();
        // The assignment query no longer fits behind the fader query: its
        // builder says where, and it and everything after it wait.
        QCOMPARE(QString::fromStdString(out.finish()), QString("../../zutest/zuctl.c:1082:ERROR\n"));
        QCOMPARE(sent(0), none(ZUMSG_CMD_GET_INFO) + none(ZUMSG_CMD_HZ) + none(ZUMSG_CMD_GET_AUTOPOWERSAVE)
                              + channel(kDM, 1, ZUMSG_CMD_STEREO, 0) + channel(kIn, 1, ZUMSG_CMD_MUTE, 0)
                              + channel(kIn, 2, ZUMSG_CMD_MUTE, 0) + channel(kIn, 3, ZUMSG_CMD_MUTE, 0)
                              + channel(kIn, 4, ZUMSG_CMD_MUTE, 0) + channel(kDM, 1, ZUMSG_CMD_FADER, 0) + end());
        QVERIFY(engine_->req_assign && engine_->req_serial && engine_->req_recfunc);

        engine_->answerReady();
        QCOMPARE(sent(1), channel(kDM, 3, ZUMSG_CMD_STEREO, 0) + assign(0, 0, 0, 0) + none(ZUMSG_CMD_GET_SERIAL)
                              + none(ZUMSG_CMD_RECFUNC) + end());
    }

    void newerValueReplacesOneNotYetSent()
    {
        engine_->answerReady();
        engine_->request_version();
        // Not ready after a send: a setting asks for a status read instead, and
        // that read says ready while the message is still with the worker.
        QVERIFY(engine_->set_fader(kDM, 1, 10));
        engine_->recv_zu_recv_result(true, reply(u8(ZUMSG_CMD_READY, 1)));
        QCOMPARE(engine_->send_state, 1u);
        QVERIFY(engine_->set_fader(kDM, 1, 20) && engine_->set_fader(kDM, 1, 30));
        engine_->set_stereo(kIn, 1, kStereo);
        engine_->set_stereo(kIn, 3, kMono);
        QCOMPARE(sends_->count(), 1);
        // The first message's result sends the latest value of each slot.
        engine_->recv_zu_send_result(true);
        QCOMPARE(sent(1),
                 channel(kIn, 3, ZUMSG_CMD_SET_STEREO, kMono) + channel(kDM, 1, ZUMSG_CMD_SET_FADER, 30) + end());
    }

    void meterEntryLandsInItsRecord_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("record"); // -1: none changes; -2: the reading is refused
        QTest::addColumn<int>("stored");
        QTest::newRow("input 3") << true << reading(4, 3, 1234) << 1 << 2 << 1234;
        QTest::newRow("one above the top of the scale") << true << reading(4, 1, 32769) << 1 << 0 << 0;
        QTest::newRow("input channel 0") << true << reading(4, 0, 10) << 1 << -1 << 0;
        QTest::newRow("kind 8 channel 2") << true << reading(8, 2, 10) << 1 << -1 << 0;
        QTest::newRow("failed read") << false << reading(4, 1, 77) << 97 << -2 << 0;
        QTest::newRow("98 meters") << true << reading(4, 1, 77) << 98 << -2 << 0;
        QTest::newRow("120 records, 120 meters") << true << reading(4, 1, 77, 120) << 120 << -2 << 0;
    }

    void meterEntryLandsInItsRecord()
    {
        QFETCH(bool, ok); QFETCH(QByteArray, bytes); QFETCH(int, count); QFETCH(int, record); QFETCH(int, stored);
        levelMeter snapshot[QZUDevice::kMeterCount];
        for (levelMeter &r : snapshot)
            r.value = 0xBEEF;
        engine_->recv_get_meter(ok, bytes, count);
        QCOMPARE(engine_->getMeterdata(snapshot), record != -2);
        for (int i = 0; i < QZUDevice::kMeterCount; ++i)
            QCOMPARE(int(snapshot[i].value), i == record ? stored : 0xBEEF);
    }

    void settingIsLoggedAndHandedOn_data()
    {
        QTest::addColumn<Call>("call");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("message"); // what the engine then sends, less the end item
        QTest::addColumn<bool>("accepted");
        auto row = [](const char *tag, Call call, const char *line, const QByteArray &message, bool accepted = true) {
            QTest::newRow(tag) << call << QString(line) << message << accepted;
        };
        row("power save, input, volume",
            [](DM &d) { d.setAutoPowerSave(true); return d.setAudioInput(3, false) && d.setInputVolume(100); },
            "Auto Power Save:TRUE\nAudio Input3:FALSE\nInput Volume:100",
            u8(ZUMSG_CMD_AUTOPOWERSAVE, 1) + channel(4, 3, ZUMSG_CMD_SET_MUTE, 1)
                + channel(5, 1, ZUMSG_CMD_SET_FADER, 100));
        row("monitor pairs (2 has no slot), assignment",
            [](DM &d) { d.setDirectMonitor(2, 1); d.setDirectMonitor(3, 0); return d.setAssignCh(1, 1); },
            "Direct Monitor 3_4:STEREO\nDirect Monitor 3_4:MONO\nAssign LineOut:3-4  Index:1",
            channel(5, 3, ZUMSG_CMD_SET_STEREO, 1) + assign(3, 1, 1, 3) + assign(3, 2, 1, 4));
        row("loopback",
            [](DM &d) { d.setLoopbackOut(1); d.setLoopbackIn(0); return d.setLoopback(true) && d.setLoopbackVolume(5); },
            "Loopback Out :STEREO\nLoopback In :MONO\nLoopback:TRUE\nLoopback Volume:5",
            channel(3, 1, ZUMSG_CMD_SET_STEREO, 4) + channel(4, 1, ZUMSG_CMD_SET_STEREO, 1)
                + channel(9, 0, ZUMSG_CMD_SET_FADER, 1) + channel(9, 1, ZUMSG_CMD_SET_FADER, 5));
        row("input 5, assignment index 3", [](DM &d) { return d.setAudioInput(5, true) || d.setAssignCh(3, 0); },
            "Audio Input5:TRUE\nAssign LineOut:1-2  Index:3", {}, false);
    }

    void settingIsLoggedAndHandedOn()
    {
        QFETCH(Call, call); QFETCH(QByteArray, message);
        const auto [accepted, lines] = debugLinesOf([&] { return call(*engine_); });
        QTEST(lines.join('\n'), "line");
        QTEST(accepted, "accepted");
        engine_->answerReady();
        QCOMPARE(sends_->count(), message.isEmpty() ? 0 : 1);
        QCOMPARE(sends_->value(0).value(0).toByteArray(), message.isEmpty() ? message : message + end());
    }
};

QTEST_GUILESS_MAIN(EngineMessages)
#include "tst_enginemessages.moc"

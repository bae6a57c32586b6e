// The request engine's messages, the worker cut off and played by the test: replies read, bad ones
// included (none may crash, read out of bounds or leave state behind), and requests built: the fixed
// order, the 64-byte limit and what waits, the setting slots and their replacement.
#include <QtTest>

#include "engineprobe.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

using namespace items;

namespace {
constexpr zumsg_data_ch_t kDM = ZUMSG_DATA_CH_DIRECTMONITOR_OUT, kIn = ZUMSG_DATA_CH_ANALOG_IN;
constexpr zumsg_data_ch_type_t kStereo = ZUMSG_DATA_CH_TYPE_STEREO, kMono = ZUMSG_DATA_CH_TYPE_MONO;
} // namespace

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

    void repliesBecomeSignals_data();
    void repliesBecomeSignals();
    void signalsAndSlotsKeepTheirOrder();
    void queriesFollowTheFixedOrderAndOverflowWaits();
    void newerValueReplacesOneNotYetSent();

private:
    QByteArray sent(int i) const { return sends_->at(i).at(0).toByteArray(); }

    VirtualClock clock_;
    EngineProbe *engine_ = nullptr;
    QSignalSpy *sends_ = nullptr;
};

void EngineMessages::repliesBecomeSignals_data()
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

void EngineMessages::repliesBecomeSignals()
{
    QFETCH(bool, ok);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
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

void EngineMessages::signalsAndSlotsKeepTheirOrder()
{
    QStringList names;
    for (const QMetaObject *meta : {&QZUDevice::staticMetaObject, &QZUDeviceUnit::staticMetaObject})
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
            names << meta->method(i).name();
    QCOMPARE(names.join(' '),
             QString("sig_deselect sig_is_selected sig_zu_send sig_zu_recv sig_zu_get_meter sig_recv_debug "
                     "sig_recv_hz sig_recv_autopowersave sig_recv_serialnumber sig_recv_stereo sig_recv_mute "
                     "sig_recv_fader sig_recv_assign_ch sig_recv_version sig_recv_build sig_recv_productname "
                     "sig_recv_productsig sig_recv_builddate sig_recv_buildtime sig_recv_recfunc sig_recv_meter "
                     "sig_zu_fwupdate sig_recv_fwupdate_progress sig_recv_fwupdate "
                     "recv_deselect recv_is_selected recv_zu_send_result recv_zu_recv_result recv_get_meter "
                     "zu_send_result zu_recv_result ret_deselect ret_is_selected ret_select_default ret_get_meter "
                     "finished ret_fwupdate_progress ret_fwupdate "
                     "deselect is_selected select_default zu_send zu_recv zu_get_meter zu_fwupdate"));
}

void EngineMessages::queriesFollowTheFixedOrderAndOverflowWaits()
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

void EngineMessages::newerValueReplacesOneNotYetSent()
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

QTEST_GUILESS_MAIN(EngineMessages)
#include "tst_enginemessages.moc"

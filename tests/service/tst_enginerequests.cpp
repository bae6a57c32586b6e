// How the request engine builds its messages: the fixed order, the 64-byte
// limit and what waits for the next message, the setting slots and their
// replacement. The worker is cut off; the test plays its part. Also the
// names and order of both classes' signals and slots.
#include <QtTest>

#include "engineprobe.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

using namespace items;

namespace {
constexpr auto kDM = ZUMSG_DATA_CH_DIRECTMONITOR_OUT;
constexpr auto kIn = ZUMSG_DATA_CH_ANALOG_IN;
constexpr auto kPc = ZUMSG_DATA_CH_COMPUTER_OUT;
constexpr auto kLine = ZUMSG_DATA_CH_LINE_OUT;
constexpr auto kLoop = static_cast<zumsg_data_ch_t>(9);

QStringList methodsOf(const QMetaObject &meta)
{
    QStringList out;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        out << QString::fromLatin1(meta.method(i).name());
    return out;
}
} // namespace

class EngineRequests : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init();
    void cleanup();

    void signalsAndSlotsKeepTheirOrder();
    void queriesFollowTheFixedOrderAndOverflowWaits();
    void settingsFollowAndFillTheMessage();
    void settingSlotsAcceptOnlyTheirChannels_data();
    void settingSlotsAcceptOnlyTheirChannels();
    void newerValueReplacesOneNotYetSent();

private:
    // Plays the worker: the request went out, and the reply says ready.
    void answerReady();
    QByteArray sent(int i) const { return sends_->at(i).at(0).toByteArray(); }

    VirtualClock clock_;
    EngineUnderTest *engine_ = nullptr;
    QSignalSpy *sends_ = nullptr;
};

void EngineRequests::init()
{
    engine_ = new EngineUnderTest;
    engine_->detachWorker();
    sends_ = new QSignalSpy(engine_, &QZUDevice::sig_zu_send);
}

void EngineRequests::cleanup()
{
    delete sends_;
    delete engine_;
}

void EngineRequests::answerReady()
{
    if (engine_->send_state != 0)
        engine_->recv_zu_send_result(true);
    engine_->recv_zu_recv_result(true, reply({u8(ZUMSG_CMD_READY, 1)}));
}

void EngineRequests::signalsAndSlotsKeepTheirOrder()
{
    QCOMPARE(methodsOf(QZUDevice::staticMetaObject),
             (QStringList{"sig_deselect", "sig_is_selected", "sig_zu_send", "sig_zu_recv",
                          "sig_zu_get_meter", "sig_recv_debug", "sig_recv_hz", "sig_recv_autopowersave",
                          "sig_recv_serialnumber", "sig_recv_stereo", "sig_recv_mute", "sig_recv_fader",
                          "sig_recv_assign_ch", "sig_recv_version", "sig_recv_build",
                          "sig_recv_productname", "sig_recv_productsig", "sig_recv_builddate",
                          "sig_recv_buildtime", "sig_recv_recfunc", "sig_recv_meter", "recv_deselect",
                          "recv_is_selected", "recv_zu_send_result", "recv_zu_recv_result",
                          "recv_get_meter"}));
    QCOMPARE(methodsOf(QZUDeviceUnit::staticMetaObject),
             (QStringList{"zu_send_result", "zu_recv_result", "ret_deselect", "ret_is_selected",
                          "ret_select_default", "ret_get_meter", "finished", "deselect", "is_selected",
                          "select_default", "zu_send", "zu_recv", "zu_get_meter"}));
}

void EngineRequests::queriesFollowTheFixedOrderAndOverflowWaits()
{
    // Marked before the unit said it is ready: status reads, nothing sent.
    engine_->request_recfunc();
    engine_->request_serialnumber();
    engine_->request_assign();
    engine_->request_fader();
    engine_->request_mute();
    engine_->request_stereo();
    engine_->request_autopowersave();
    engine_->request_hz();
    engine_->request_version();
    QCOMPARE(sends_->count(), 0);

    StdoutCapture out;
    answerReady();
    // The assignment query no longer fits behind the fader query: its
    // builder says where, and it and everything after it wait.
    QCOMPARE(QString::fromStdString(out.finish()), QString("../../zutest/zuctl.c:1082:ERROR\n"));
    QCOMPARE(sent(0), join({none(ZUMSG_CMD_GET_INFO), none(ZUMSG_CMD_HZ),
                            none(ZUMSG_CMD_GET_AUTOPOWERSAVE), channel(kDM, 1, ZUMSG_CMD_STEREO, 0),
                            channel(kIn, 1, ZUMSG_CMD_MUTE, 0), channel(kIn, 2, ZUMSG_CMD_MUTE, 0),
                            channel(kIn, 3, ZUMSG_CMD_MUTE, 0), channel(kIn, 4, ZUMSG_CMD_MUTE, 0),
                            channel(kDM, 1, ZUMSG_CMD_FADER, 0), end()}));
    QVERIFY(engine_->req_assign && engine_->req_serial && engine_->req_recfunc);

    answerReady();
    QCOMPARE(sent(1), join({channel(kDM, 3, ZUMSG_CMD_STEREO, 0), assign(0, 0, 0, 0),
                            none(ZUMSG_CMD_GET_SERIAL), none(ZUMSG_CMD_RECFUNC), end()}));
    QVERIFY(!engine_->req_assign && !engine_->req_serial && !engine_->req_recfunc);
    QCOMPARE(engine_->req_stereo, uint8_t(3));
}

void EngineRequests::settingsFollowAndFillTheMessage()
{
    engine_->set_assign_ch(kDM, 1, kLine, 1);
    engine_->set_fader(kDM, 1, 10);
    engine_->set_mute(kIn, 2, true);
    engine_->set_hz(96000);
    engine_->set_stereo(kPc, 2, ZUMSG_DATA_CH_TYPE_MONO);
    engine_->set_stereo(kDM, 1, ZUMSG_DATA_CH_TYPE_STEREO);
    engine_->set_autopowersave(true);
    answerReady();
    // 63 bytes: no room for the end item, which is left out without a word.
    QCOMPARE(sent(0), join({u8(ZUMSG_CMD_AUTOPOWERSAVE, 1),
                            channel(kDM, 1, ZUMSG_CMD_SET_STEREO, ZUMSG_DATA_CH_TYPE_STEREO),
                            channel(kPc, 2, ZUMSG_CMD_SET_STEREO, ZUMSG_DATA_CH_TYPE_MONO),
                            u32(ZUMSG_CMD_SET_HZ, 96000), channel(kIn, 2, ZUMSG_CMD_SET_MUTE, 1),
                            channel(kDM, 1, ZUMSG_CMD_SET_FADER, 10), assign(kDM, 1, kLine, 1)}));
}

enum class Setting { Mute, Fader, Assign, Stereo };
Q_DECLARE_METATYPE(Setting)

void EngineRequests::settingSlotsAcceptOnlyTheirChannels_data()
{
    QTest::addColumn<Setting>("setting");
    QTest::addColumn<uint>("kind");
    QTest::addColumn<uint>("channel");
    QTest::addColumn<int>("messages"); // for the same call made twice

    QTest::newRow("mute input 4") << Setting::Mute << uint(kIn) << 4u << 1;
    QTest::newRow("mute input 5") << Setting::Mute << uint(kIn) << 5u << 0;
    QTest::newRow("mute computer 1") << Setting::Mute << uint(kPc) << 1u << 0;
    QTest::newRow("fader monitor 1") << Setting::Fader << uint(kDM) << 1u << 1;
    QTest::newRow("fader monitor 2") << Setting::Fader << uint(kDM) << 2u << 0;
    QTest::newRow("fader loopback 0") << Setting::Fader << uint(kLoop) << 0u << 1;
    QTest::newRow("fader loopback 2") << Setting::Fader << uint(kLoop) << 2u << 0;
    QTest::newRow("assign line 4") << Setting::Assign << uint(kLine) << 4u << 1;
    QTest::newRow("assign line 5") << Setting::Assign << uint(kLine) << 5u << 0;
    QTest::newRow("assign master 1") << Setting::Assign << uint(ZUMSG_DATA_CH_MASTER_OUT) << 1u << 0;
    QTest::newRow("stereo monitor 3, sent again") << Setting::Stereo << uint(kDM) << 3u << 2;
    QTest::newRow("stereo monitor 2") << Setting::Stereo << uint(kDM) << 2u << 0;
    QTest::newRow("stereo input 9") << Setting::Stereo << uint(kIn) << 9u << 2;
    QTest::newRow("stereo line 1") << Setting::Stereo << uint(kLine) << 1u << 0;
}

void EngineRequests::settingSlotsAcceptOnlyTheirChannels()
{
    QFETCH(Setting, setting);
    QFETCH(uint, kind);
    QFETCH(uint, channel);
    QFETCH(int, messages);

    const auto type = static_cast<zumsg_data_ch_t>(kind);
    const auto ch = static_cast<uint8_t>(channel);
    for (int i = 0; i < 2; ++i) {
        answerReady();
        bool accepted = messages > 0;
        switch (setting) {
        case Setting::Mute: accepted = engine_->set_mute(type, ch, true); break;
        case Setting::Fader: accepted = engine_->set_fader(type, ch, 42); break;
        case Setting::Assign: accepted = engine_->set_assign_ch(kPc, 3, type, ch); break;
        case Setting::Stereo: engine_->set_stereo(type, ch, ZUMSG_DATA_CH_TYPE_STEREO); break;
        }
        QCOMPARE(accepted, messages > 0);
    }
    QCOMPARE(sends_->count(), messages);
}

void EngineRequests::newerValueReplacesOneNotYetSent()
{
    answerReady();
    engine_->request_version();
    // Not ready after a send: a setting asks for a status read instead, and
    // that read says ready while the message is still with the worker.
    QVERIFY(engine_->set_fader(kDM, 1, 10));
    engine_->recv_zu_recv_result(true, reply({u8(ZUMSG_CMD_READY, 1)}));
    QCOMPARE(engine_->send_state, 1u);
    QVERIFY(engine_->set_fader(kDM, 1, 20));
    QVERIFY(engine_->set_fader(kDM, 1, 30));
    engine_->set_stereo(kIn, 1, ZUMSG_DATA_CH_TYPE_STEREO);
    engine_->set_stereo(kIn, 3, ZUMSG_DATA_CH_TYPE_MONO);
    QCOMPARE(sends_->count(), 1);

    // The first message's result sends the latest value of each slot.
    engine_->recv_zu_send_result(true);
    QCOMPARE(sent(1), join({channel(kIn, 3, ZUMSG_CMD_SET_STEREO, ZUMSG_DATA_CH_TYPE_MONO),
                            channel(kDM, 1, ZUMSG_CMD_SET_FADER, 30), end()}));
}

QTEST_GUILESS_MAIN(EngineRequests)
#include "tst_enginerequests.moc"

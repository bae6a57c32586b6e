// How the request engine reads the unit's replies: the decoding table, what
// lasts from one 64-byte piece to the next, failed transfers, the ready item,
// and bad replies (unknown codes, malformed items, texts that are not UTF-8).
#include <QtTest>

#include "engineprobe.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

using namespace items;

class EngineDecoding : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init();
    void cleanup();

    void replyItemsBecomeSignals_data();
    void replyItemsBecomeSignals();
    void channelAndLatchesLastForOneReply();
    void failedTransferBlanksTheIdentity_data();
    void failedTransferBlanksTheIdentity();
    void readyItemRestartsSending();

private:
    VirtualClock clock_;
    EngineUnderTest *engine_ = nullptr;
    SignalLog *log_ = nullptr;
};

void EngineDecoding::init()
{
    engine_ = new EngineUnderTest;
    engine_->detachWorker();
    log_ = new SignalLog(engine_);
}

void EngineDecoding::cleanup()
{
    delete log_;
    delete engine_;
}

void EngineDecoding::replyItemsBecomeSignals_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("diagnostics");
    const QString bad(QChar(0xFFFD));

    QTest::newRow("numbers of any width")
        << reply({u32(ZUMSG_CMD_HZ, 96000), u16(ZUMSG_CMD_HZ, 44100), u32(ZUMSG_CMD_VERSION, 0x12345),
                  u16(ZUMSG_CMD_BUILD, 23)})
        << QStringList{"hz 96000", "hz 44100", "version 9029", "build 23"} << "";
    QTest::newRow("power save only as u8")
        << reply({u8(ZUMSG_CMD_GET_AUTOPOWERSAVE, 1), u16(ZUMSG_CMD_GET_AUTOPOWERSAVE, 1),
                  u8(ZUMSG_CMD_AUTOPOWERSAVE, 0), u32(ZUMSG_CMD_AUTOPOWERSAVE, 1)})
        << QStringList{"aps 1", "aps 0"} << "";
    QTest::newRow("texts and bytes")
        << reply({array(ZUMSG_CMD_PRODUCTNAME, "Strata 96"), array(ZUMSG_CMD_BUILDDATE, "Nov 12 2025"),
                  array(ZUMSG_CMD_BUILDTIME, "10:21"), array(ZUMSG_CMD_PRODUCTSIG, "KS96"),
                  array(ZUMSG_CMD_SERIAL, "S9"), array(ZUMSG_CMD_RECFUNC, QByteArray("\1\2\0", 3)),
                  array(ZUMSG_CMD_DEBUG_TEXT, "up")})
        << QStringList{"name \"Strata 96\"", "date \"Nov 12 2025\"", "time \"10:21\"", "sig \"KS96\"",
                       "serial \"S9\"", "recfunc 010200", "debug \"up\""}
        << "";
    QTest::newRow("text items of another type are empty")
        << reply({u8(ZUMSG_CMD_PRODUCTNAME, 7), u16(ZUMSG_CMD_SERIAL, 7), u8(ZUMSG_CMD_RECFUNC, 1)})
        << QStringList{"name \"\"", "serial \"\"", "recfunc "} << "";
    QTest::newRow("text that is not UTF-8")
        << reply({array(ZUMSG_CMD_PRODUCTNAME, "\xff\xfe" "A"), array(ZUMSG_CMD_SERIAL, "ok\xc3")})
        << QStringList{"name \"" + bad + bad + "A\"", "serial \"ok" + bad + "\""} << "";
    QTest::newRow("channel values")
        << reply({u8(ZUMSG_CMD_CH, 4), u8(ZUMSG_CMD_CH_NUM, 2), u16(ZUMSG_CMD_METER, 1000),
                  u16(ZUMSG_CMD_FADER, 0x1FF), u8(ZUMSG_CMD_MUTE, 3), u8(ZUMSG_CMD_STEREO, 4),
                  u16(ZUMSG_CMD_CH_NUM, 0x0103), u8(ZUMSG_CMD_MUTE, 0)})
        << QStringList{"meter 4 2 1000", "fader 4 2 255", "mute 4 2 1", "stereo 4 2 4", "mute 4 3 0"}
        << "";
    QTest::newRow("assignment") << reply({assign(5, 1, 1, 3)}) << QStringList{"assign 5 1 1 3"} << "";
    QTest::newRow("commit without latches reports zeros")
        << reply({u8(ZUMSG_CMD_CH, 3), u8(ZUMSG_CMD_CH_NUM, 2), none(ZUMSG_CMD_ASSIGN_COMMIT)})
        << QStringList{"assign 0 0 0 0"} << "";
    QTest::newRow("unknown codes and numbers sent as arrays are skipped")
        << reply({none(0x99), u32(0xEE, 5), array(ZUMSG_CMD_HZ, "\1\2"), array(ZUMSG_CMD_READY, "\1"),
                  u16(ZUMSG_CMD_HZ, 8000)})
        << QStringList{"hz 8000"} << "";
    QTest::newRow("invalid item type ends the reply")
        << reply({u16(ZUMSG_CMD_HZ, 1), QByteArray("\x18\x09", 2), u16(ZUMSG_CMD_HZ, 2)})
        << QStringList{"hz 1"} << "../../zutest/zumsg.c:186:ERROR 0x9\n";
    QTest::newRow("array running past the end ends the reply")
        << join({u16(ZUMSG_CMD_HZ, 1), QByteArray("\x34\x05\xff", 3), QByteArray(57, 'x')})
        << QStringList{"hz 1"} << "";
    QTest::newRow("command 0 of any type ends the reply")
        << reply({u16(ZUMSG_CMD_HZ, 1), none(0), u16(ZUMSG_CMD_HZ, 2)}) << QStringList{"hz 1"} << "";
    QTest::newRow("garbage") << QByteArray(64, '\xff') << QStringList{}
                             << "../../zutest/zumsg.c:186:ERROR 0xff\n";
    QTest::newRow("nothing") << QByteArray() << QStringList{} << "";
}

void EngineDecoding::replyItemsBecomeSignals()
{
    QFETCH(QByteArray, reply);
    QFETCH(QStringList, expected);
    QFETCH(QString, diagnostics);

    StdoutCapture out;
    engine_->recv_zu_recv_result(true, reply);
    QCOMPARE(QString::fromStdString(out.finish()), diagnostics);
    QCOMPARE(log_->lines, expected);
}

void EngineDecoding::channelAndLatchesLastForOneReply()
{
    // Each 64-byte piece is read up to its end item; the current channel and
    // the latches go on into the next piece, but not into the next reply.
    const QByteArray first = reply({u8(ZUMSG_CMD_CH, 4), u8(ZUMSG_CMD_CH_NUM, 7), none(ZUMSG_CMD_ASSIGN_IN)});
    const QByteArray second = reply({u16(ZUMSG_CMD_METER, 5), u8(ZUMSG_CMD_CH, 1),
                                     none(ZUMSG_CMD_ASSIGN_OUT), none(ZUMSG_CMD_ASSIGN_COMMIT)});
    engine_->recv_zu_recv_result(true, first + second + u16(ZUMSG_CMD_HZ, 32000));
    engine_->recv_zu_recv_result(true, reply({none(ZUMSG_CMD_ASSIGN_COMMIT), u8(ZUMSG_CMD_FADER, 9)}));
    QCOMPARE(log_->lines, (QStringList{"meter 4 7 5", "assign 4 7 1 7", "hz 32000", "assign 0 0 0 0",
                                       "fader 0 0 9"}));
}

void EngineDecoding::failedTransferBlanksTheIdentity_data()
{
    QTest::addColumn<bool>("sendFailed");
    QTest::newRow("request transfer") << true;
    QTest::newRow("reply transfer") << false;
}

void EngineDecoding::failedTransferBlanksTheIdentity()
{
    QFETCH(bool, sendFailed);
    engine_->recv_zu_recv_result(true, reply({u16(ZUMSG_CMD_VERSION, 0x0102)}));
    log_->lines.clear();

    // What a failed read left in the array means nothing.
    if (sendFailed)
        engine_->recv_zu_send_result(false);
    else
        engine_->recv_zu_recv_result(false, reply({u16(ZUMSG_CMD_HZ, 1), u8(ZUMSG_CMD_READY, 1)}));

    QCOMPARE(log_->lines, (QStringList{"version 0", "build 0", "name \"\"", "date \"\"", "time \"\""}));
    QCOMPARE(engine_->version, uint16_t(0));
    QVERIFY(!engine_->unit_ready && engine_->idle());
}

void EngineDecoding::readyItemRestartsSending()
{
    QSignalSpy sends(engine_, &QZUDevice::sig_zu_send);
    // With nothing pending, ready sends nothing and the unit stays ready...
    engine_->recv_zu_recv_result(true, reply({u8(ZUMSG_CMD_READY, 1)}));
    QVERIFY(engine_->unit_ready);
    QCOMPARE(sends.count(), 0);
    // ...so the next request goes out at once.
    engine_->request_hz();
    QCOMPARE(sends.count(), 1);
    QCOMPARE(sends.at(0).at(0).toByteArray(), join({none(ZUMSG_CMD_HZ), end()}));
    QVERIFY(!engine_->unit_ready);

    // Not ready: a request becomes a status read; busy, then ready sends.
    engine_->recv_zu_send_result(true);
    engine_->request_autopowersave();
    QCOMPARE(engine_->recv_state, 2u);
    engine_->recv_zu_recv_result(true, reply({u8(ZUMSG_CMD_READY, 0)}));
    QCOMPARE(sends.count(), 1);
    engine_->recv_zu_recv_result(true, reply({u16(ZUMSG_CMD_READY, 1), u32(ZUMSG_CMD_READY, 7)}));
    QCOMPARE(sends.count(), 2);
    QCOMPARE(sends.at(1).at(0).toByteArray(), join({none(ZUMSG_CMD_GET_AUTOPOWERSAVE), end()}));
}

QTEST_GUILESS_MAIN(EngineDecoding)
#include "tst_enginedecoding.moc"

// Setting commands (poll until ready, send, read nothing) and the message
// builders, which must leave no partial group behind when a message is full.
#include <QtTest>

#include <functional>

#include "scripted_unit.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

using Command = std::function<uint32_t(zuctl_t *)>;
Q_DECLARE_METATYPE(Command)

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

const auto kAnalogIn = ZUMSG_DATA_CH_ANALOG_IN;

void addSettingColumns()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QList<int>>("notReady"); // lines when the unit stays busy
    QTest::addColumn<QList<int>>("sendFailed"); // lines after the send's own
}

void addSettingRows()
{
    using L = QList<int>;
    QTest::newRow("autopowersave") << Command([](zuctl_t *c) { return zuctl_set_autopowersave(c, 1); })
                                   << hex("15020100 00") << L{844} << L{848};
    QTest::newRow("fader") << Command([](zuctl_t *c) { return zuctl_set_fader(c, kAnalogIn, 2, 100); })
                           << hex("610204 620202 810264 0000") << L{1329} << L{1333};
    QTest::newRow("mute") << Command([](zuctl_t *c) { return zuctl_set_mute(c, ZUMSG_DATA_CH_LINE_OUT, 3, 1); })
                          << hex("610201 620203 830201 0000") << L{1329} << L{1333};
    QTest::newRow("stereo")
        << Command([](zuctl_t *c) { return zuctl_set_stereo(c, kAnalogIn, 1, ZUMSG_DATA_CH_TYPE_STEREO); })
        << hex("610204 620201 860204 0000") << L{1329, 1469} << L{1333, 1469};
    QTest::newRow("assignment")
        << Command([](zuctl_t *c) {
               return zuctl_set_assign_ch(c, ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1, ZUMSG_DATA_CH_LINE_OUT, 2);
           })
        << hex("610205 620201 4101 610201 620202 4201 4301 0000") << L{1165} << L{1169};
    QTest::newRow("serial") << Command([](zuctl_t *c) { return zuctl_set_serial(c, "AB"); })
                            << hex("3a05024142 0000") << L{1580} << L{1584};
    QTest::newRow("all indicators") << Command([](zuctl_t *c) { return zuctl_debug_led_allon(c, 1); })
                                    << hex("130201 0000") << L{553} << L{557};
    QTest::newRow("sample rate") << Command([](zuctl_t *c) { return zuctl_debug_set_hz(c, 48000); })
                                 << hex("170480bb0000 0000") << L{595} << L{599};
    QTest::newRow("key set") << Command([](zuctl_t *c) { return zuctl_debug_set_key(c, 1, 0x1234); })
                             << hex("1c0434120000 0000") << L{697} << L{701};
    QTest::newRow("key clear") << Command([](zuctl_t *c) { return zuctl_debug_set_key(c, 0, 7); })
                               << hex("1d0407000000 0000") << L{697} << L{701};
    QTest::newRow("configuration erase") << Command([](zuctl_t *c) { return zuctl_config_erase(c); })
                                         << hex("a20200 0000") << L{736} << L{740};
}

QString linesOf(const QList<int> &lines)
{
    QString text;
    for (int line : lines)
        text += zuctlLines({line});
    return text;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void settingPollsThenSendsItsItems_data() { addSettingColumns(); addSettingRows(); }
    void settingPollsThenSendsItsItems();
    void settingFailsWhenUnitStaysBusy_data() { addSettingColumns(); addSettingRows(); }
    void settingFailsWhenUnitStaysBusy();
    void settingFailsWhenSendStalls_data() { addSettingColumns(); addSettingRows(); }
    void settingFailsWhenSendStalls();
    void serialLength_data();
    void serialLength();
    void buildersRollBackAPartialGroup_data();
    void buildersRollBackAPartialGroup();

private:
    UnitHarness harness_;
    std::unique_ptr<VirtualClock> clock_;
    std::shared_ptr<ScriptedUnit> unit_;
    zuctl_t ctl_{};
};

void SettingsTest::init()
{
    clock_.reset(new VirtualClock);
    unit_ = harness_.attach(&ctl_);
    QVERIFY(ctl_.dev);
}

void SettingsTest::cleanup()
{
    harness_.unplug(unit_);
    clock_.reset();
}

void SettingsTest::settingPollsThenSendsItsItems()
{
    QFETCH(Command, command);
    QFETCH(QByteArray, request);

    StdoutCapture capture;
    QCOMPARE(command(&ctl_), 0u);
    QCOMPARE(capture.finish(), std::string());
    const auto transfers = unit_->transfers();
    QCOMPARE(int(transfers.size()), 2);
    QVERIFY(!transfers[0].out); // the ready poll comes first
    QCOMPARE(transfers[1].data, request);
    QCOMPARE(clock_->sleepCount(), 0);
}

void SettingsTest::settingFailsWhenUnitStaysBusy()
{
    QFETCH(Command, command);
    QFETCH(QList<int>, notReady);

    unit_->setIdleReply(wire::ready(0) + wire::end());
    StdoutCapture capture;
    QCOMPARE(command(&ctl_), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()), linesOf(notReady));
    QVERIFY(unit_->sentMessages().isEmpty());
    QCOMPARE(clock_->sleepCount(10000), 1000);
}

void SettingsTest::settingFailsWhenSendStalls()
{
    QFETCH(Command, command);
    QFETCH(QList<int>, sendFailed);

    for (int i = 0; i < 3; ++i)
        unit_->queueOut(sim::Xfer::Stall);
    StdoutCapture capture;
    QCOMPARE(command(&ctl_), 1u);
    const QString attempt = stallLine(true) + zuctlLines({56});
    QCOMPARE(QString::fromStdString(capture.finish()),
             attempt.repeated(3) + zuctlLines({65}) + linesOf(sendFailed));
}

void SettingsTest::serialLength_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<uint>("status");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("sentLength");

    QTest::newRow("61 characters fill the message") << QByteArray(61, 'S') << 0u << "" << 64;
    QTest::newRow("62 characters do not fit")
        << QByteArray(62, 'S') << 1u << "../../zutest/zumsg.c:124:ERROR\n" + zuctlLines({1572}) << -1;
    QTest::newRow("length counts modulo 256") << QByteArray(256 + 5, 'S') << 0u << "" << 3 + 5 + 2;
    QTest::newRow("empty text is refused") << QByteArray() << 1u << zuctlLines({1572}) << -1;
}

void SettingsTest::serialLength()
{
    QFETCH(QByteArray, text);
    QFETCH(uint, status);
    QFETCH(QString, output);
    QFETCH(int, sentLength);

    StdoutCapture capture;
    QCOMPARE(zuctl_set_serial(&ctl_, text.constData()), status);
    QCOMPARE(QString::fromStdString(capture.finish()), output);
    const QList<QByteArray> sent = unit_->sentMessages();
    QCOMPARE(sent.size(), sentLength < 0 ? 0 : 1);
    if (sentLength >= 0) {
        QCOMPARE(sent[0].size(), sentLength);
        QCOMPARE(sent[0].left(3), hex("3a05") + char(sentLength == 64 ? 61 : 5));
    }
}

// Each row starts the builder on a message with `room` bytes left.
void SettingsTest::buildersRollBackAPartialGroup_data()
{
    QTest::addColumn<bool>("assign");
    QTest::addColumn<int>("room");
    QTest::addColumn<uint>("status");
    QTest::addColumn<QString>("output");

    const QString u8Full = QStringLiteral("../../zutest/zumsg.c:93:ERROR\n");
    QTest::newRow("channel setting, 9 left") << false << 9 << 0u << "";
    QTest::newRow("channel setting, 8 left") << false << 8 << 1u << u8Full + zuctlLines({1292});
    QTest::newRow("channel setting, 7 left") << false << 7 << 1u << zuctlLines({1292});
    QTest::newRow("channel setting, 4 left") << false << 4 << 1u << zuctlLines({1283});
    QTest::newRow("channel setting, 2 left") << false << 2 << 1u << u8Full + zuctlLines({1274});
    QTest::newRow("assignment, 18 left") << true << 18 << 0u << "";
    QTest::newRow("assignment, 17 left") << true << 17 << 1u << zuctlLines({1128});
    QTest::newRow("assignment, 15 left") << true << 15 << 1u << zuctlLines({1119});
    QTest::newRow("assignment, 10 left") << true << 10 << 1u << u8Full + zuctlLines({1101});
}

void SettingsTest::buildersRollBackAPartialGroup()
{
    QFETCH(bool, assign);
    QFETCH(int, room);
    QFETCH(uint, status);
    QFETCH(QString, output);

    uint8_t buf[64];
    memset(buf, 0xEE, sizeof buf);
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    msg.pos = uint8_t(64 - room);
    StdoutCapture capture;
    const uint32_t result = assign
        ? zuctl_put_assign_ch(&msg, ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1, ZUMSG_DATA_CH_LINE_OUT, 1)
        : zuctl_put_ch_common_u8(&msg, kAnalogIn, 2, ZUMSG_CMD_SET_FADER, 9);
    QCOMPARE(result, status);
    QCOMPARE(QString::fromStdString(capture.finish()), output);
    QCOMPARE(int(msg.pos), status ? 64 - room : 64 - room + (assign ? 18 : 9));
    QCOMPARE(msg.buf, buf);
    QCOMPARE(int(msg.size), 64);
    QCOMPARE(zuctl_put_assign_ch(nullptr, kAnalogIn, 1, kAnalogIn, 1), 1u);
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "test_zuctl_settings.moc"

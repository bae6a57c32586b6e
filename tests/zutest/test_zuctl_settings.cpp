// Setting commands (poll until ready, send, read nothing) and the message
// builders, which must leave no partial group behind when a message is full.
#include <QtTest>

#include "scripted_unit.h"

namespace {

const auto kAnalogIn = ZUMSG_DATA_CH_ANALOG_IN;
const QString kU8Full = QStringLiteral("../../zutest/zumsg.c:93:ERROR\n");

} // namespace

class SettingsTest : public UnitFixture {
    Q_OBJECT
private slots:
    void setting_data();
    void setting();
    void serialOf62CharactersIsRefused();
    void buildersRollBackAPartialGroup_data();
    void buildersRollBackAPartialGroup();
};

void SettingsTest::setting_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QList<int>>("lines"); // unit stays busy, send fails, then after either

    using C = Command;
    using L = QList<int>;
    static const std::string longSerial(256 + 5, 'S');
    QTest::newRow("autopowersave") << C([](zuctl_t *c) { return zuctl_set_autopowersave(c, 1); })
                                   << hex("150201 0000") << L{844, 848};
    QTest::newRow("fader") << C([](zuctl_t *c) { return zuctl_set_fader(c, kAnalogIn, 2, 100); })
                           << hex("610204 620202 810264 0000") << L{1329, 1333};
    QTest::newRow("mute") << C([](zuctl_t *c) { return zuctl_set_mute(c, ZUMSG_DATA_CH_LINE_OUT, 3, 1); })
                          << hex("610201 620203 830201 0000") << L{1329, 1333};
    QTest::newRow("stereo")
        << C([](zuctl_t *c) { return zuctl_set_stereo(c, kAnalogIn, 1, ZUMSG_DATA_CH_TYPE_STEREO); })
        << hex("610204 620201 860204 0000") << L{1329, 1333, 1469};
    QTest::newRow("assignment") << C([](zuctl_t *c) {
        return zuctl_set_assign_ch(c, ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1, ZUMSG_DATA_CH_LINE_OUT, 2);
    }) << hex("610205 620201 4101 610201 620202 4201 4301 0000") << L{1165, 1169};
    QTest::newRow("serial") << C([](zuctl_t *c) { return zuctl_set_serial(c, "AB"); })
                            << hex("3a05024142 0000") << L{1580, 1584};
    QTest::newRow("serial of 61 fills the message, no end item")
        << C([](zuctl_t *c) { return zuctl_set_serial(c, longSerial.substr(0, 61).c_str()); })
        << hex("3a053d") + QByteArray(61, 'S') << L{1580, 1584};
    QTest::newRow("serial length counts modulo 256")
        << C([](zuctl_t *c) { return zuctl_set_serial(c, longSerial.c_str()); }) << hex("3a0505 5353535353 0000")
        << L{1580, 1584};
    QTest::newRow("all indicators") << C([](zuctl_t *c) { return zuctl_debug_led_allon(c, 1); })
                                    << hex("130201 0000") << L{553, 557};
    QTest::newRow("sample rate") << C([](zuctl_t *c) { return zuctl_debug_set_hz(c, 48000); })
                                 << hex("170480bb0000 0000") << L{595, 599};
    QTest::newRow("key set") << C([](zuctl_t *c) { return zuctl_debug_set_key(c, 1, 0x1234); })
                             << hex("1c0434120000 0000") << L{697, 701};
    QTest::newRow("key clear") << C([](zuctl_t *c) { return zuctl_debug_set_key(c, 0, 7); })
                               << hex("1d0407000000 0000") << L{697, 701};
    QTest::newRow("configuration erase") << C([](zuctl_t *c) { return zuctl_config_erase(c); })
                                         << hex("a20200 0000") << L{736, 740};
}

void SettingsTest::setting()
{
    QFETCH(Command, command);
    QFETCH(QList<int>, lines);
    const QString after = lines.size() > 2 ? zuctlLines({lines[2]}) : QString();

    StdoutCapture quiet;
    QCOMPARE(command(&ctl_), 0u);
    QCOMPARE(finished(quiet), QString());
    const auto transfers = unit_->transfers();
    QCOMPARE(int(transfers.size()), 2);
    QVERIFY(!transfers[0].out); // the ready poll comes first
    QTEST(transfers[1].data, "request");

    unit_->setIdleReply(wire::ready(0) + wire::end());
    StdoutCapture busy;
    QCOMPARE(command(&ctl_), 1u);
    QCOMPARE(finished(busy), zuctlLines({lines[0]}) + after);
    QCOMPARE(unit_->sentMessages().size(), 1);
    QCOMPARE(clock_->sleepCount(10000), 1000);

    unit_->setIdleReply(QByteArray());
    for (int i = 0; i < 3; ++i)
        unit_->queueOut(sim::Xfer::Stall);
    StdoutCapture stalled;
    QCOMPARE(command(&ctl_), 1u);
    QCOMPARE(finished(stalled), (stallLine(true) + zuctlLines({56})).repeated(3) + zuctlLines({65, lines[1]}) + after);

    // An I/O error is not retried, and the setting never reached the unit.
    unit_->queueOut(sim::Xfer::Error);
    StdoutCapture failed;
    QCOMPARE(command(&ctl_), 1u);
    QCOMPARE(finished(failed), usbLine(248, "ERROR 0xffffffff") + zuctlLines({56, lines[1]}) + after);
}

void SettingsTest::serialOf62CharactersIsRefused()
{
    StdoutCapture capture;
    QCOMPARE(zuctl_set_serial(&ctl_, std::string(62, 'S').c_str()), 1u);
    QCOMPARE(finished(capture), "../../zutest/zumsg.c:124:ERROR\n" + zuctlLines({1572}));
    QVERIFY(unit_->transfers().empty());
}

// Each row starts the builder on a 64-byte message with `room` bytes left.
void SettingsTest::buildersRollBackAPartialGroup_data()
{
    QTest::addColumn<bool>("assign");
    QTest::addColumn<int>("room");
    QTest::addColumn<QString>("output"); // empty when the group fits

    QTest::newRow("channel setting, 9 left") << false << 9 << "";
    QTest::newRow("channel setting, 8 left") << false << 8 << kU8Full + zuctlLines({1292});
    QTest::newRow("channel setting, 7 left") << false << 7 << zuctlLines({1292});
    QTest::newRow("channel setting, 4 left") << false << 4 << zuctlLines({1283});
    QTest::newRow("channel setting, 2 left") << false << 2 << kU8Full + zuctlLines({1274});
    QTest::newRow("assignment, 18 left") << true << 18 << "";
    QTest::newRow("assignment, 17 left") << true << 17 << zuctlLines({1128});
    QTest::newRow("assignment, 15 left") << true << 15 << zuctlLines({1119});
    QTest::newRow("assignment, 10 left") << true << 10 << kU8Full + zuctlLines({1101});
}

void SettingsTest::buildersRollBackAPartialGroup()
{
    QFETCH(bool, assign);
    QFETCH(int, room);
    QFETCH(QString, output);

    uint8_t buf[64] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    msg.pos = uint8_t(64 - room);
    StdoutCapture capture;
    QCOMPARE(assign ? zuctl_put_assign_ch(&msg, ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1, ZUMSG_DATA_CH_LINE_OUT, 1)
                    : zuctl_put_ch_common_u8(&msg, kAnalogIn, 2, ZUMSG_CMD_SET_FADER, 9),
             output.isEmpty() ? 0u : 1u);
    QCOMPARE(finished(capture), output);
    QCOMPARE(int(msg.pos), 64 - room + (output.isEmpty() ? (assign ? 18 : 9) : 0));
    QVERIFY(msg.buf == buf && msg.size == 64);
    QCOMPARE(zuctl_put_assign_ch(nullptr, kAnalogIn, 1, kAnalogIn, 1), 1u);
}

STRATA_TEST_CLASS(SettingsTest)
#include "test_zuctl_settings.moc"

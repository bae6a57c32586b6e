// The command set against a scripted unit.
#include <QtTest>

#include "scripted_unit.h"

// A query's answer as text: numbers in hexadecimal, bytes as such, "overflow"
// when a byte beyond the caller's capacity changed.
using Query = std::function<uint32_t(zuctl_t *, QByteArray *)>;
Q_DECLARE_METATYPE(Query)
Q_DECLARE_METATYPE(sim::Xfer)

namespace {

const auto kAnalogIn = ZUMSG_DATA_CH_ANALOG_IN;
const QString kU8Full = QStringLiteral("../../zutest/zumsg.c:93:ERROR\n");

template <typename T> QByteArray text(T value)
{
    return QByteArray::number(qulonglong(value), 16);
}

template <typename T> Query number(uint32_t (*get)(zuctl_t *, T *))
{
    return [get](zuctl_t *c, QByteArray *out) { T v = 0; const uint32_t s = get(c, &v); *out = text(v); return s; };
}

template <typename T> Query channel(uint32_t (*get)(zuctl_t *, zumsg_data_ch_t, uint8_t, T *), int kind, int no)
{
    return [=](zuctl_t *c, QByteArray *out) {
        T v = 0;
        const uint32_t s = get(c, zumsg_data_ch_t(kind), uint8_t(no), &v);
        *out = text(v);
        return s;
    };
}

Query bytes(uint32_t (*get)(zuctl_t *, uint8_t *, uint8_t, uint8_t *), uint8_t cap)
{
    return [get, cap](zuctl_t *c, QByteArray *out) {
        uint8_t buf[64];
        memset(buf, 0xEE, sizeof buf);
        uint8_t len = 0;
        const uint32_t status = get(c, buf, cap, &len);
        *out = QByteArray(reinterpret_cast<char *>(buf), len) + (buf[cap] != 0xEE ? "overflow" : "");
        return status;
    };
}

} // namespace

class RequestsTest : public UnitFixture {
    Q_OBJECT
private slots:
    void send_data()
    {
        // pauses: of 10 ms
        addColumns<QByteArray, QList<sim::Xfer>, uint, QString, int, int>(
            "message", "script", "status", "output", "attempts", "pauses");
        using X = sim::Xfer;
        const QByteArray query = QByteArray::fromHex("31010000");
        const QString stall = stallLine(true) + zuctlLines({56});
        QTest::newRow("64 bytes") << QByteArray(64, 'Z') << QList<X>{} << 0u << "" << 1 << 0;
        QTest::newRow("65 bytes refused") << QByteArray(65, 'Z') << QList<X>{} << 1u << zuctlLines({47}) << 0 << 0;
        QTest::newRow("three stalls") << query << QList<X>{X::Stall, X::Stall, X::Stall} << 1u
                                      << stall.repeated(3) + zuctlLines({65}) << 3 << 3;
        QTest::newRow("time-out, then sent") << query << QList<X>{X::Timeout} << 0u
                                             << usbLine(255, "kIOUSBTransactionTimeout") + zuctlLines({56}) << 2 << 1;
    }

    void send()
    {
        QFETCH(QByteArray, message);
        QFETCH(QList<sim::Xfer>, script);
        QFETCH(int, pauses);
        for (sim::Xfer x : script)
            unit_->queueOut(x);
        uint8_t buf[100] = {};
        memcpy(buf, message.constData(), size_t(message.size()));
        zumsg_t msg;
        zumsg_init(&msg, buf, sizeof buf);
        msg.pos = uint8_t(message.size());
        StdoutCapture capture;
        QTEST(zuctl_send(&ctl_, &msg), "status");
        QTEST(finished(capture), "output");
        const auto transfers = unit_->transfers();
        QTEST(int(transfers.size()), "attempts");
        for (const ScriptedUnit::Transfer &t : transfers) {
            QVERIFY(t.out);
            QCOMPARE(int(t.request), 29);
            QCOMPARE(t.data, message);
        }
        QCOMPARE(clock_->sleepCount(10000), pauses);
        QCOMPARE(clock_->sleepCount(), pauses);
    }

    void recv_data()
    {
        addColumns<int, QByteArray, QString>("capacity", "reply", "output");
        QTest::newRow("65 asks for 64") << 65 << wire::ready(1) + wire::end() << zuctlLines({82});
        // Unreported byte count: what the buffer held (a request) is no answer.
        QTest::newRow("nothing returned") << 64 << QByteArray() << "";
    }

    void recv()
    {
        QFETCH(int, capacity);
        QFETCH(QByteArray, reply);
        unit_->queueReply(reply);
        uint8_t buf[100] = {};
        const QByteArray before = wire::u8(ZUMSG_CMD_CH, 4) + wire::none(ZUMSG_CMD_FADER);
        memcpy(buf, before.constData(), size_t(before.size()));
        zumsg_t msg;
        zumsg_init(&msg, buf, uint8_t(capacity));
        msg.pos = 7;
        StdoutCapture capture;
        QCOMPARE(zuctl_recv(&ctl_, &msg), 0u);
        QTEST(finished(capture), "output");
        QCOMPARE(int(msg.pos), 0);
        const int asked = qMin(capacity, 64);
        const auto transfers = unit_->transfers();
        QCOMPARE(int(transfers.size()), 1);
        QCOMPARE(int(transfers[0].request), 30);
        QCOMPARE(int(transfers[0].length), asked);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), asked), reply + QByteArray(asked - reply.size(), '\0'));
    }

    void waitReady_data()
    {
        // replies: then busy for good
        addColumns<QList<QByteArray>, bool, uint, QString, int, int>(
            "replies", "noUnit", "status", "output", "reads", "pauses");
        using R = QList<QByteArray>;
        const QByteArray busy = wire::ready(0) + wire::end();
        const QByteArray ready = wire::ready(1) + wire::end();
        QTest::newRow("only other items") << R{wire::u8(0x15, 0) + wire::end()} << false << 0u << "" << 1 << 0;
        QTest::newRow("busy, then ready") << R{busy, ready} << false << 0u << "" << 2 << 1;
        QTest::newRow("ready wins over a later busy") << R{wire::ready(2) + busy} << false << 0u << "" << 1 << 0;
        QTest::newRow("u32 ready after other items")
            << R{busy, wire::u8(0x61, 4) + wire::u32(ZUMSG_CMD_READY, 0x100) + wire::end()} << false << 0u << "" << 2
            << 1;
        QTest::newRow("busy for good") << R{} << false << 1u << "" << 1000 << 1000;
        QTest::newRow("no unit") << R{} << true << 1u << zuctlLines({89, 114}).repeated(1000) << 0 << 1000;
    }

    void waitReady()
    {
        QFETCH(QList<QByteArray>, replies);
        QFETCH(bool, noUnit);
        for (const QByteArray &reply : replies)
            unit_->queueReply(reply);
        unit_->setIdleReply(wire::ready(0) + wire::end());
        zuctl_t none{};
        StdoutCapture capture;
        QTEST(zuctl_wait_ready(noUnit ? &none : &ctl_), "status");
        QTEST(finished(capture), "output");
        QTEST(unit_->reads(), "reads");
        QTEST(clock_->sleepCount(10000), "pauses");
        QVERIFY(unit_->sentMessages().isEmpty());
    }

    void setting_data()
    {
        // lines: unit stays busy, send fails, then after either; empty where
        // the failures take the tail every setting shares
        addColumns<Command, QByteArray, QList<int>>("command", "request", "lines");
        const auto row = [](const char *name, const Command &command, const char *request, QList<int> lines = {}) {
            QTest::newRow(name) << command << hex(request) << lines;
        };
        constexpr auto out = ZUMSG_DATA_CH_LINE_OUT, monitor = ZUMSG_DATA_CH_DIRECTMONITOR_OUT;
        row("autopowersave", COMMAND(zuctl_set_autopowersave(c, 1)), "150201 0000", {844, 848});
        row("fader", COMMAND(zuctl_set_fader(c, kAnalogIn, 2, 100)), "610204 620202 810264 0000");
        row("mute", COMMAND(zuctl_set_mute(c, out, 3, 1)), "610201 620203 830201 0000");
        row("stereo", COMMAND(zuctl_set_stereo(c, kAnalogIn, 1, ZUMSG_DATA_CH_TYPE_STEREO)),
            "610204 620201 860204 0000", {1329, 1333, 1469});
        row("assignment", COMMAND(zuctl_set_assign_ch(c, monitor, 1, out, 2)),
            "610205 620201 4101 610201 620202 4201 4301 0000");
        row("serial", COMMAND(zuctl_set_serial(c, "AB")), "3a05024142 0000");
        row("all indicators", COMMAND(zuctl_debug_led_allon(c, 1)), "130201 0000");
        row("sample rate", COMMAND(zuctl_debug_set_hz(c, 48000)), "170480bb0000 0000");
        row("key set", COMMAND(zuctl_debug_set_key(c, 1, 0x1234)), "1c0434120000 0000");
        row("key clear", COMMAND(zuctl_debug_set_key(c, 0, 7)), "1d0407000000 0000");
        row("configuration erase", COMMAND(zuctl_config_erase(c)), "a20200 0000");
    }

    void setting()
    {
        QFETCH(Command, command);
        QFETCH(QList<int>, lines);
        StdoutCapture quiet;
        QCOMPARE(command(&ctl_), 0u);
        QCOMPARE(finished(quiet), QString());
        const auto transfers = unit_->transfers();
        QCOMPARE(int(transfers.size()), 2);
        QVERIFY(!transfers[0].out); // the ready poll comes first
        QTEST(transfers[1].data, "request");
        if (lines.isEmpty())
            return;
        const QString after = lines.size() > 2 ? zuctlLines({lines[2]}) : QString();
        unit_->setIdleReply(wire::ready(0) + wire::end());
        StdoutCapture busy;
        QCOMPARE(command(&ctl_), 1u);
        QCOMPARE(finished(busy), zuctlLines({lines[0]}) + after);
        QCOMPARE(unit_->sentMessages().size(), 1);
        QCOMPARE(clock_->sleepCount(10000), 1000);
        // An I/O error is not retried, and the setting never reached the unit.
        unit_->setIdleReply(QByteArray());
        unit_->queueOut(sim::Xfer::Error);
        StdoutCapture failed;
        QCOMPARE(command(&ctl_), 1u);
        QCOMPARE(finished(failed), usbLine(248, "ERROR 0xffffffff") + zuctlLines({56, lines[1]}) + after);
    }

    void serialOf62CharactersIsRefused()
    {
        StdoutCapture capture;
        QCOMPARE(zuctl_set_serial(&ctl_, std::string(62, 'S').c_str()), 1u);
        QCOMPARE(finished(capture), "../../zutest/zumsg.c:124:ERROR\n" + zuctlLines({1572}));
        QVERIFY(unit_->transfers().empty());
    }

    // Each row starts the builder on a 64-byte message with `room` bytes left;
    // output is empty when the group fits.
    void buildersRollBackAPartialGroup_data()
    {
        addColumns<bool, int, QString>("assign", "room", "output");
        QTest::newRow("channel setting, 9 left") << false << 9 << "";
        QTest::newRow("channel setting, 8 left") << false << 8 << kU8Full + zuctlLines({1292});
        QTest::newRow("channel setting, 4 left") << false << 4 << zuctlLines({1283});
        QTest::newRow("channel setting, 2 left") << false << 2 << kU8Full + zuctlLines({1274});
        QTest::newRow("assignment, 18 left") << true << 18 << "";
        QTest::newRow("assignment, 17 left") << true << 17 << zuctlLines({1128});
    }

    void buildersRollBackAPartialGroup()
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

    void queryTakesItsAnswer_data()
    {
        addColumns<Query, QByteArray, QList<QByteArray>, QByteArray, QString>(
            "query", "request", "replies", "answer", "output");
        using R = QList<QByteArray>;
        using namespace wire;
        const auto ch = [](int kind, int no) { return u8(ZUMSG_CMD_CH, kind) + u8(ZUMSG_CMD_CH_NUM, no); };
        const QByteArray info = hex("3101 0000"), serial = hex("3801 0000");
        QTest::newRow("build among the other info items") << number(zuctl_get_build) << info
            << R{u16(0x32, 0x0102) + u16(0x33, 23) + array(0x34, "Strata 96") + end()} << text(23) << "";
        QTest::newRow("name cut to the capacity") << bytes(zuctl_get_productname, 8) << info
            << R{array(0x34, "Strata 96 XL") + end()} << QByteArray("Strata 9") << "";
        QTest::newRow("u16 into a one-byte capacity") << bytes(zuctl_get_buildtime, 1) << info
            << R{u16(0x36, 0x4241) + end()} << QByteArray("A") << "";
        QTest::newRow("debug text is shown up to its zero byte") << bytes(zuctl_get_builddate, 16) << info
            << R{array(0x12, QByteArray("hi\0xx", 5)) + array(0x35, "2024") + end()} << QByteArray("2024")
            << "\ndbg:hi\n";
        QTest::newRow("empty array keeps waiting") << bytes(zuctl_get_productsig, 16) << info
            << R{array(0x37, "") + end(), array(0x37, "S") + end()} << QByteArray("S") << "";
        QTest::newRow("wrong type keeps waiting, rest of reply unread") << bytes(zuctl_get_serial, 16) << serial
            << R{u8(0x39, 5) + array(0x12, "unread") + end(), array(0x39, "A1") + end()} << QByteArray("A1")
            << zuctlLines({1533});
        QTest::newRow("autopowersave of any type, low byte") << number(zuctl_get_autopowersave) << hex("1401 0000")
            << R{u8(0x14, 0) + end(), u16(0x15, 0x0101) + end()} << text(1) << "";
        QTest::newRow("channel named after another one") << channel(zuctl_get_fader, 4, 2)
            << ch(4, 2) + hex("c101 0000")
            << R{ch(4, 1) + u8(0xc1, 10) + u8(0x62, 2) + u8(0xc1, 20) + end()} << text(20) << "";
        QTest::newRow("channel number 0 needs no naming") << channel(zuctl_get_fader, 4, 0)
            << ch(4, 0) + hex("c101 0000") << R{u8(0xc1, 7) + end()} << text(7) << "";
        QTest::newRow("other kind passed over") << channel(zuctl_get_mute, 4, 1) << ch(4, 1) + hex("c301 0000")
            << R{ch(1, 1) + u8(0xc3, 1) + end(), ch(4, 1) + u16(0xc3, 0x0101) + end()} << text(1) << "";
        QTest::newRow("sample rate, after a quiet reply") << number(zuctl_debug_get_hz) << hex("1801 0000")
            << R{u8(0x15, 1) + end(), u32(0x18, 96000) + end()} << text(96000) << "";
        QTest::newRow("stereo, low byte") << channel(zuctl_get_stereo, 1, 3) << ch(1, 3) + hex("c601 0000")
            << R{ch(1, 3) + u32(0xc6, 0x104) + end()} << text(4) << "";
    }

    void queryTakesItsAnswer()
    {
        QFETCH(Query, query);
        QFETCH(QByteArray, request);
        QFETCH(QList<QByteArray>, replies);
        unit_->queueReply(QByteArray()); // the ready poll
        for (const QByteArray &r : replies)
            unit_->queueReply(r);
        QByteArray got;
        StdoutCapture capture;
        QCOMPARE(query(&ctl_, &got), 0u);
        QTEST(finished(capture), "output");
        QTEST(got, "answer");
        QCOMPARE(unit_->sentMessages(), QList<QByteArray>{request});
        QCOMPARE(unit_->reads(), 1 + replies.size());
        QCOMPARE(clock_->sleepCount(10000), replies.size() - 1);
    }

    void queryFails_data()
    {
        // readFails: otherwise every reply is empty
        addColumns<Query, bool, QString, int, int>("query", "readFails", "output", "reads", "pauses");
        const auto timesOut = [](const char *name, const Query &query, const QString &output, int pauses = 99) {
            QTest::newRow(name) << query << false << output << 101 << pauses;
        };
        const auto readFails = [](const char *name, const Query &query, std::initializer_list<int> lines) {
            QTest::newRow(name) << query << true << stallLine(false) + zuctlLines({89}) + zuctlLines(lines) << 2 << 0;
        };
        timesOut("rec function times out", bytes(zuctl_get_recfunc, 8), zuctlLines({1663}));
        timesOut("autopowersave pauses after every cycle", number(zuctl_get_autopowersave), zuctlLines({809}), 100);
        timesOut("sample rate times out silently", number(zuctl_debug_get_hz), "");
        timesOut("stereo times out", channel(zuctl_get_stereo, 4, 1), zuctlLines({1460}));
        readFails("version, read fails", number(zuctl_get_version), {907});
        readFails("autopowersave, read fails", number(zuctl_get_autopowersave), {787, 809});
        readFails("sample rate, read fails", number(zuctl_debug_get_hz), {646});
        readFails("stereo, read fails", channel(zuctl_get_stereo, 4, 1), {1414, 1460});
    }

    void queryFails()
    {
        QFETCH(Query, query);
        QFETCH(bool, readFails);
        unit_->queueReply(QByteArray());
        if (readFails)
            unit_->queueReply(QByteArray(), sim::Xfer::Stall);
        QByteArray got;
        StdoutCapture capture;
        QCOMPARE(query(&ctl_, &got), 1u);
        QTEST(finished(capture), "output");
        QTEST(unit_->reads(), "reads");
        QTEST(clock_->sleepCount(10000), "pauses");
        QCOMPARE(clock_->sleepCount(), clock_->sleepCount(10000));
    }
};

STRATA_TEST_CLASS(RequestsTest)

#include "test_zuctl_requests.moc"

// Queries and channel queries: which reply item answers them, how it is
// stored (never beyond the caller's capacity), wrong types, debug text, and
// how they fail: the one-second time-out and a reply that cannot be read.
#include <QtTest>

#include <functional>

#include "scripted_unit.h"

// Runs one query; the answer comes back as text (numbers in hexadecimal, byte
// outputs as their bytes, "overflow" when a byte beyond the capacity changed).
using Query = std::function<uint32_t(zuctl_t *, QByteArray *)>;
Q_DECLARE_METATYPE(Query)

namespace {

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

QByteArray reply(std::initializer_list<QByteArray> items)
{
    QByteArray message;
    for (const QByteArray &item : items)
        message += item;
    return message + wire::end();
}

} // namespace

class QueriesTest : public UnitFixture {
    Q_OBJECT
private slots:
    void queryTakesItsAnswer_data();
    void queryTakesItsAnswer();
    void queryFails_data();
    void queryFails();
};

void QueriesTest::queryTakesItsAnswer_data()
{
    QTest::addColumn<Query>("query");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("output");

    using R = QList<QByteArray>;
    using namespace wire;
    const auto ch = [](int kind, int no) { return u8(ZUMSG_CMD_CH, kind) + u8(ZUMSG_CMD_CH_NUM, no); };
    const QByteArray info = hex("3101 0000"), serial = hex("3801 0000");
    QTest::newRow("version") << number(zuctl_get_version) << info << R{reply({u16(0x32, 0x0102)})} << text(0x102) << "";
    QTest::newRow("build among the other info items") << number(zuctl_get_build) << info
        << R{reply({u16(0x32, 0x0102), u16(0x33, 23), array(0x34, "Strata 96")})} << text(23) << "";
    QTest::newRow("name cut to the capacity") << bytes(zuctl_get_productname, 8) << info
        << R{reply({array(0x34, "Strata 96 XL")})} << QByteArray("Strata 9") << "";
    QTest::newRow("u16 into a one-byte capacity") << bytes(zuctl_get_buildtime, 1) << info
        << R{reply({u16(0x36, 0x4241)})} << QByteArray("A") << "";
    QTest::newRow("debug text is shown up to its zero byte") << bytes(zuctl_get_builddate, 16) << info
        << R{reply({array(0x12, QByteArray("hi\0xx", 5)), array(0x35, "2024")})} << QByteArray("2024") << "\ndbg:hi\n";
    QTest::newRow("empty array keeps waiting") << bytes(zuctl_get_productsig, 16) << info
        << R{reply({array(0x37, "")}), reply({array(0x37, "S")})} << QByteArray("S") << "";
    QTest::newRow("wrong type keeps waiting, rest of reply unread") << bytes(zuctl_get_serial, 16) << serial
        << R{reply({u8(0x39, 5), array(0x12, "unread")}), reply({array(0x39, "A1")})} << QByteArray("A1")
        << zuctlLines({1533});
    QTest::newRow("autopowersave of any type, low byte") << number(zuctl_get_autopowersave) << hex("1401 0000")
        << R{reply({u8(0x14, 0)}), reply({u16(0x15, 0x0101)})} << text(1) << "";
    QTest::newRow("channel named after another one") << channel(zuctl_get_fader, 4, 2) << ch(4, 2) + hex("c101 0000")
        << R{reply({ch(4, 1), u8(0xc1, 10), u8(0x62, 2), u8(0xc1, 20)})} << text(20) << "";
    QTest::newRow("channel number 0 needs no naming") << channel(zuctl_get_fader, 4, 0) << ch(4, 0) + hex("c101 0000")
        << R{reply({u8(0xc1, 7)})} << text(7) << "";
    QTest::newRow("other kind passed over") << channel(zuctl_get_mute, 4, 1) << ch(4, 1) + hex("c301 0000")
        << R{reply({ch(1, 1), u8(0xc3, 1)}), reply({ch(4, 1), u16(0xc3, 0x0101)})} << text(1) << "";
    QTest::newRow("sample rate, after a quiet reply") << number(zuctl_debug_get_hz) << hex("1801 0000")
        << R{reply({u8(0x15, 1)}), reply({u32(0x18, 96000)})} << text(96000) << "";
    QTest::newRow("stereo, low byte") << channel(zuctl_get_stereo, 1, 3) << ch(1, 3) + hex("c601 0000")
        << R{reply({ch(1, 3), u32(0xc6, 0x104)})} << text(4) << "";
}

void QueriesTest::queryTakesItsAnswer()
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

void QueriesTest::queryFails_data()
{
    QTest::addColumn<Query>("query");
    QTest::addColumn<bool>("readFails"); // otherwise every reply is empty
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("reads");
    QTest::addColumn<int>("pauses");

    // An empty reply leaves the request in the exchange buffer; it must not
    // be taken for the answer.
    QTest::newRow("version times out") << number(zuctl_get_version) << false << zuctlLines({943}) << 101 << 99;
    QTest::newRow("serial times out") << bytes(zuctl_get_serial, 8) << false << zuctlLines({1546}) << 101 << 99;
    QTest::newRow("rec function times out") << bytes(zuctl_get_recfunc, 8) << false << zuctlLines({1663}) << 101 << 99;
    QTest::newRow("autopowersave pauses after every cycle")
        << number(zuctl_get_autopowersave) << false << zuctlLines({809}) << 101 << 100;
    QTest::newRow("fader times out silently") << channel(zuctl_get_fader, 4, 0) << false << "" << 101 << 99;
    QTest::newRow("sample rate times out silently") << number(zuctl_debug_get_hz) << false << "" << 101 << 99;
    QTest::newRow("stereo times out") << channel(zuctl_get_stereo, 4, 1) << false << zuctlLines({1460}) << 101 << 99;
    const QString stall = stallLine(false) + zuctlLines({89});
    QTest::newRow("version, read fails") << number(zuctl_get_version) << true << stall + zuctlLines({907}) << 2 << 0;
    QTest::newRow("serial, read fails") << bytes(zuctl_get_serial, 8) << true << stall + zuctlLines({1515}) << 2 << 0;
    QTest::newRow("rec function, read fails")
        << bytes(zuctl_get_recfunc, 8) << true << stall + zuctlLines({1632}) << 2 << 0;
    QTest::newRow("autopowersave, read fails")
        << number(zuctl_get_autopowersave) << true << stall + zuctlLines({787, 809}) << 2 << 0;
    QTest::newRow("sample rate, read fails") << number(zuctl_debug_get_hz) << true << stall + zuctlLines({646}) << 2
                                             << 0;
    QTest::newRow("mute, read fails") << channel(zuctl_get_mute, 4, 1) << true << stall + zuctlLines({1414}) << 2 << 0;
    QTest::newRow("stereo, read fails")
        << channel(zuctl_get_stereo, 4, 1) << true << stall + zuctlLines({1414, 1460}) << 2 << 0;
}

void QueriesTest::queryFails()
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

STRATA_TEST_CLASS(QueriesTest)
#include "test_zuctl_queries.moc"

// Queries: which reply item answers them, how it is stored (never beyond the
// caller's capacity), wrong types, debug text, and the one-second time-out.
#include <QtTest>

#include <functional>

#include "scripted_unit.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

// Runs one query; the answer comes back as text (numbers in hexadecimal,
// byte outputs as their bytes, "overflow" when a byte beyond the capacity
// was touched).
using Query = std::function<uint32_t(zuctl_t *, QByteArray *)>;
Q_DECLARE_METATYPE(Query)

namespace {

constexpr uint8_t kGuard = 0xEE;

template <typename T> Query number(uint32_t (*get)(zuctl_t *, T *))
{
    return [get](zuctl_t *c, QByteArray *out) {
        T value = 0;
        const uint32_t status = get(c, &value);
        *out = QByteArray::number(qulonglong(value), 16);
        return status;
    };
}

Query bytes(uint32_t (*get)(zuctl_t *, uint8_t *, uint8_t, uint8_t *), uint8_t cap)
{
    return [get, cap](zuctl_t *c, QByteArray *out) {
        uint8_t buf[64];
        memset(buf, kGuard, sizeof buf);
        uint8_t len = 0;
        const uint32_t status = get(c, buf, cap, &len);
        *out = QByteArray(reinterpret_cast<char *>(buf), len);
        if (buf[cap] != kGuard)
            *out += "overflow";
        return status;
    };
}

template <typename T> Query channel(uint32_t (*get)(zuctl_t *, zumsg_data_ch_t, uint8_t, T *),
                                    uint32_t kind, uint8_t number)
{
    return [=](zuctl_t *c, QByteArray *out) {
        T value = 0;
        const uint32_t status = get(c, zumsg_data_ch_t(kind), number, &value);
        *out = QByteArray::number(qulonglong(value), 16);
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

class QueriesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void queryTakesItsAnswer_data();
    void queryTakesItsAnswer();
    void queryTimesOut_data();
    void queryTimesOut();
    void queryFailsWhenReplyCannotBeRead_data();
    void queryFailsWhenReplyCannotBeRead();

private:
    UnitHarness harness_;
    std::unique_ptr<VirtualClock> clock_;
    std::shared_ptr<ScriptedUnit> unit_;
    zuctl_t ctl_{};
};

void QueriesTest::init()
{
    clock_.reset(new VirtualClock);
    unit_ = harness_.attach(&ctl_);
    QVERIFY(ctl_.dev);
}

void QueriesTest::cleanup()
{
    harness_.unplug(unit_);
    clock_.reset();
}

void QueriesTest::queryTakesItsAnswer_data()
{
    QTest::addColumn<Query>("query");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("output");

    using R = QList<QByteArray>;
    using namespace wire;
    const QByteArray info = QByteArray::fromHex("3101 0000");
    QTest::newRow("version") << number(zuctl_get_version) << info
                             << R{reply({u16(0x32, 0x0102)})} << QByteArray("102") << "";
    QTest::newRow("build among the other info items")
        << number(zuctl_get_build) << info
        << R{reply({u16(0x32, 0x0102), u16(0x33, 23), array(0x34, "Strata 96")})} << QByteArray("17") << "";
    QTest::newRow("version as an array") << number(zuctl_get_version) << info
                                         << R{reply({array(0x32, "\x02\x01")})} << QByteArray("102") << "";
    QTest::newRow("name cut to the capacity")
        << bytes(zuctl_get_productname, 8) << info << R{reply({array(0x34, "Strata 96 XL")})}
        << QByteArray("Strata 9") << "";
    QTest::newRow("u16 into a one-byte capacity")
        << bytes(zuctl_get_buildtime, 1) << info << R{reply({u16(0x36, 0x4241)})} << QByteArray("A") << "";
    QTest::newRow("debug text is shown up to its zero byte")
        << bytes(zuctl_get_builddate, 16) << info
        << R{reply({array(0x12, QByteArray("hi\0xx", 5)), array(0x35, "2024")})} << QByteArray("2024")
        << "\ndbg:hi\n";
    QTest::newRow("empty array keeps waiting")
        << bytes(zuctl_get_productsig, 16) << info << R{reply({array(0x37, "")}), reply({array(0x37, "S")})}
        << QByteArray("S") << "";
    QTest::newRow("wrong type keeps waiting, rest of reply unread")
        << bytes(zuctl_get_serial, 16) << QByteArray::fromHex("3801 0000")
        << R{reply({u8(0x39, 5), array(0x12, "unread")}), reply({array(0x39, "A1")})} << QByteArray("A1")
        << zuctlLines({1533});
    QTest::newRow("rec function") << bytes(zuctl_get_recfunc, 16) << QByteArray::fromHex("3b01 0000")
                                  << R{reply({ready(1), array(0x3b, QByteArray("\x01\x02\x00", 3))})}
                                  << QByteArray("\x01\x02\x00", 3) << "";
    QTest::newRow("u16 is no array for the serial")
        << bytes(zuctl_get_serial, 16) << QByteArray::fromHex("3801 0000")
        << R{reply({u16(0x39, 5)}), reply({array(0x39, "B")})} << QByteArray("B") << zuctlLines({1533});
    QTest::newRow("autopowersave of any type, low byte")
        << number(zuctl_get_autopowersave) << QByteArray::fromHex("1401 0000")
        << R{reply({u8(0x14, 0)}), reply({u16(0x15, 0x0101)})} << QByteArray("1") << "";
    QTest::newRow("channel named after another one")
        << channel(zuctl_get_fader, 4, 2) << QByteArray::fromHex("610204 620202 c101 0000")
        << R{reply({u8(0x61, 4), u8(0x62, 1), u8(0xc1, 10), u8(0x62, 2), u8(0xc1, 20)})}
        << QByteArray("14") << "";
    QTest::newRow("channel number 0 needs no naming")
        << channel(zuctl_get_fader, 4, 0) << QByteArray::fromHex("610204 620200 c101 0000")
        << R{reply({u8(0xc1, 7)})} << QByteArray("7") << "";
    QTest::newRow("other kind passed over")
        << channel(zuctl_get_mute, 4, 1) << QByteArray::fromHex("610204 620201 c301 0000")
        << R{reply({u8(0x61, 1), u8(0x62, 1), u8(0xc3, 1)}), reply({u8(0x61, 4), u8(0x62, 1), u16(0xc3, 0x0101)})}
        << QByteArray("1") << "";
    QTest::newRow("stereo, low byte")
        << channel(zuctl_get_stereo, 1, 3) << QByteArray::fromHex("610201 620203 c601 0000")
        << R{reply({u8(0x61, 1), u8(0x62, 3), u32(0xc6, 0x104)})} << QByteArray("4") << "";
}

void QueriesTest::queryTakesItsAnswer()
{
    QFETCH(Query, query);
    QFETCH(QByteArray, request);
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QByteArray, answer);
    QFETCH(QString, output);

    unit_->queueReply(QByteArray()); // the ready poll
    for (const QByteArray &r : replies)
        unit_->queueReply(r);
    QByteArray got;
    StdoutCapture capture;
    QCOMPARE(query(&ctl_, &got), 0u);
    QCOMPARE(QString::fromStdString(capture.finish()), output);
    QCOMPARE(got, answer);
    QCOMPARE(unit_->sentMessages(), QList<QByteArray>{request});
    QCOMPARE(unit_->reads(), 1 + replies.size());
    QCOMPARE(clock_->sleepCount(10000), replies.size() - 1);
}

void QueriesTest::queryTimesOut_data()
{
    QTest::addColumn<Query>("query");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("pauses");

    QTest::newRow("version") << number(zuctl_get_version) << zuctlLines({943}) << 99;
    QTest::newRow("serial") << bytes(zuctl_get_serial, 8) << zuctlLines({1546}) << 99;
    QTest::newRow("rec function") << bytes(zuctl_get_recfunc, 8) << zuctlLines({1663}) << 99;
    QTest::newRow("autopowersave pauses after every cycle")
        << number(zuctl_get_autopowersave) << zuctlLines({809}) << 100;
    QTest::newRow("fader, silently") << channel(zuctl_get_fader, 4, 0) << "" << 99;
    QTest::newRow("stereo") << channel(zuctl_get_stereo, 4, 1) << zuctlLines({1460}) << 99;
}

// The unit answers every read with nothing at all: the request still in the
// exchange buffer must not be taken for its answer.
void QueriesTest::queryTimesOut()
{
    QFETCH(Query, query);
    QFETCH(QString, output);
    QFETCH(int, pauses);

    QByteArray got;
    StdoutCapture capture;
    QCOMPARE(query(&ctl_, &got), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()), output);
    QCOMPARE(unit_->reads(), 1 + 100);
    QCOMPARE(clock_->sleepCount(10000), pauses);
}

void QueriesTest::queryFailsWhenReplyCannotBeRead_data()
{
    QTest::addColumn<Query>("query");
    QTest::addColumn<QString>("output");

    QTest::newRow("version") << number(zuctl_get_version) << zuctlLines({89, 907});
    QTest::newRow("serial") << bytes(zuctl_get_serial, 8) << zuctlLines({89, 1515});
    QTest::newRow("rec function") << bytes(zuctl_get_recfunc, 8) << zuctlLines({89, 1632});
    QTest::newRow("autopowersave") << number(zuctl_get_autopowersave) << zuctlLines({89, 787, 809});
    QTest::newRow("mute") << channel(zuctl_get_mute, 4, 1) << zuctlLines({89, 1414});
    QTest::newRow("stereo") << channel(zuctl_get_stereo, 4, 1) << zuctlLines({89, 1414, 1460});
}

void QueriesTest::queryFailsWhenReplyCannotBeRead()
{
    QFETCH(Query, query);
    QFETCH(QString, output);

    unit_->queueReply(QByteArray());
    unit_->queueInFailure(sim::Xfer::Stall);
    QByteArray got;
    StdoutCapture capture;
    QCOMPARE(query(&ctl_, &got), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()), stallLine(false) + output);
    QCOMPARE(unit_->reads(), 2);
    QCOMPARE(clock_->sleepCount(), 0);
}

QTEST_GUILESS_MAIN(QueriesTest)
#include "test_zuctl_queries.moc"

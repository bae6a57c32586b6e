// The codec's byte layouts and the limits of a message: what each put writes,
// where it stops, and that get reads back what put wrote.
#include <QtTest>

#include <memory>

#include "stdout_capture.h"
#include "zutest/zumsg.h"

namespace {

const char kArrayText[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

QByteArray bytes(const uint8_t *p, int n)
{
    return QByteArray(reinterpret_cast<const char *>(p), n);
}

QString line(int number)
{
    return QStringLiteral("../../zutest/zumsg.c:%1:ERROR\n").arg(number);
}

} // namespace

class ZumsgLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void putWritesLittleEndianItems_data();
    void putWritesLittleEndianItems();
    void queryThenEndItemGivesFourBytes();
    void putFailsAtTheLimits_data();
    void putFailsAtTheLimits();
    void arrayOfSizeZeroFillsTheRest();
    void remainingArrayRoom_data();
    void remainingArrayRoom();
    void getReadsBackWhatPutWrote_data();
    void getReadsBackWhatPutWrote();
    void endItemStopsReadingForGood();
    void channelNames_data();
    void channelNames();
};

void ZumsgLayoutTest::putWritesLittleEndianItems_data()
{
    QTest::addColumn<uint>("cmd");
    QTest::addColumn<uint>("type");
    QTest::addColumn<qulonglong>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("none") << 0x18u << uint(ZUMSG_TYPE_NONE) << 0ull << QByteArray("\x18\x01", 2);
    QTest::newRow("u8 keeps the low byte")
        << 0x15u << uint(ZUMSG_TYPE_U8) << 0x1ffull << QByteArray("\x15\x02\xff", 3);
    QTest::newRow("u16") << 0x32u << uint(ZUMSG_TYPE_U16) << 0x1234ull
                         << QByteArray("\x32\x03\x34\x12", 4);
    QTest::newRow("u32 96000") << 0x17u << uint(ZUMSG_TYPE_U32) << 96000ull
                               << QByteArray("\x17\x04\x00\x77\x01\x00", 6);
    QTest::newRow("end") << 0u << uint(ZUMSG_TYPE_END) << 0ull << QByteArray(2, '\0');
}

void ZumsgLayoutTest::putWritesLittleEndianItems()
{
    QFETCH(uint, cmd);
    QFETCH(uint, type);
    QFETCH(qulonglong, value);
    QFETCH(QByteArray, expected);

    uint8_t buf[64];
    memset(buf, 0xEE, sizeof buf);
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    QCOMPARE(zumsg_put(&msg, cmd, type, value, 0), 0u);
    QCOMPARE(int(msg.pos), expected.size());
    QCOMPARE(bytes(buf, msg.pos), expected);
    QCOMPARE(int(buf[msg.pos]), 0xEE);
}

void ZumsgLayoutTest::queryThenEndItemGivesFourBytes()
{
    uint8_t buf[64] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    QCOMPARE(zumsg_put(&msg, 0x18, ZUMSG_TYPE_NONE, 0, 0), 0u);
    QCOMPARE(zumsg_put(&msg, 0, ZUMSG_TYPE_END, 0, 0), 0u);
    QCOMPARE(int(msg.pos), 4);
    QCOMPARE(bytes(buf, 4), QByteArray("\x18\x01\x00\x00", 4));

}

// Each row puts one item into a buffer of exactly `size` bytes at `pos`, so
// that the sanitizer sees any byte touched beyond the record's size.
void ZumsgLayoutTest::putFailsAtTheLimits_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("pos");
    QTest::addColumn<uint>("cmd");
    QTest::addColumn<uint>("type");
    QTest::addColumn<int>("arraySize");
    QTest::addColumn<uint>("status");
    QTest::addColumn<int>("posAfter");
    QTest::addColumn<QString>("output");

    const uint u8 = ZUMSG_TYPE_U8, u16 = ZUMSG_TYPE_U16, u32 = ZUMSG_TYPE_U32;
    const uint arr = ZUMSG_TYPE_U8_ARRAY, end = ZUMSG_TYPE_END;
    QTest::newRow("end item, one byte left") << 64 << 63 << 0u << end << 0 << 0u << 63 << "";
    QTest::newRow("end item, message full") << 64 << 64 << 0u << end << 0 << 0u << 64 << "";
    QTest::newRow("none, message full") << 64 << 64 << 0x18u << uint(ZUMSG_TYPE_NONE) << 0 << 1u << 64 << "";
    QTest::newRow("u8, one byte left") << 64 << 63 << 0x15u << u8 << 0 << 1u << 63 << "";
    QTest::newRow("u8, two bytes left") << 64 << 62 << 0x15u << u8 << 0 << 1u << 62 << line(93);
    QTest::newRow("u8, three bytes left") << 64 << 61 << 0x15u << u8 << 0 << 0u << 64 << "";
    QTest::newRow("u16, three bytes left") << 64 << 61 << 0x32u << u16 << 0 << 1u << 61 << line(102);
    QTest::newRow("u32, five bytes left") << 64 << 59 << 0x17u << u32 << 0 << 1u << 59 << line(111);
    QTest::newRow("u32, six bytes left") << 64 << 58 << 0x17u << u32 << 0 << 0u << 64 << "";
    QTest::newRow("array of 10, twelve left") << 64 << 52 << 0x34u << arr << 10 << 1u << 52 << line(124);
    QTest::newRow("array of 61 fills the message") << 64 << 0 << 0x34u << arr << 61 << 0u << 64 << "";
    QTest::newRow("array fill, two left") << 64 << 62 << 0x34u << arr << 0 << 1u << 62 << line(124);
    QTest::newRow("array fill, three left") << 64 << 61 << 0x34u << arr << 0 << 0u << 64 << "";
    QTest::newRow("array of 252 in 255") << 255 << 0 << 0x34u << arr << 252 << 0u << 255 << "";
    QTest::newRow("array of 253 in 255") << 255 << 0 << 0x34u << arr << 253 << 1u << 0 << line(124);
    QTest::newRow("array of 255 in 255") << 255 << 0 << 0x34u << arr << 255 << 1u << 0 << line(124);
    QTest::newRow("type 6") << 64 << 0 << 0x15u << 6u << 0 << 1u << 0 << line(73);
    QTest::newRow("end type with a command") << 64 << 0 << 0x15u << end << 0 << 1u << 0 << line(78);
    QTest::newRow("pos beyond size") << 16 << 20 << 0x15u << u8 << 0 << 1u << 20 << "";
}

void ZumsgLayoutTest::putFailsAtTheLimits()
{
    QFETCH(int, size);
    QFETCH(int, pos);
    QFETCH(uint, cmd);
    QFETCH(uint, type);
    QFETCH(int, arraySize);
    QFETCH(uint, status);
    QFETCH(int, posAfter);
    QFETCH(QString, output);

    std::unique_ptr<uint8_t[]> buf(new uint8_t[size]());
    static const uint8_t source[255] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf.get(), uint8_t(size));
    msg.pos = uint8_t(pos);
    const uint64_t data = type == ZUMSG_TYPE_U8_ARRAY ? reinterpret_cast<uintptr_t>(source) : 7;

    StdoutCapture capture;
    QCOMPARE(zumsg_put(&msg, cmd, type, data, uint8_t(arraySize)), status);
    QCOMPARE(QString::fromStdString(capture.finish()), output);
    QCOMPARE(int(msg.pos), posAfter);
    QCOMPARE(int(msg.size), size);
}

void ZumsgLayoutTest::arrayOfSizeZeroFillsTheRest()
{
    uint8_t buf[64] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    msg.pos = 54;
    QCOMPARE(zumsg_put(&msg, 0x34, ZUMSG_TYPE_U8_ARRAY, reinterpret_cast<uintptr_t>(kArrayText), 0), 0u);
    QCOMPARE(int(msg.pos), 64);
    QCOMPARE(bytes(buf + 54, 10), QByteArray("\x34\x05\x07" "ABCDEFG", 10));

    // put_alloc reserves the same item and reports where its payload goes.
    zumsg_rewind(&msg);
    uint8_t *payload = nullptr;
    uint8_t payloadSize = 0;
    QCOMPARE(zumsg_put_alloc(&msg, 0x34, ZUMSG_TYPE_U8_ARRAY, 0, &payload, &payloadSize), 0u);
    QCOMPARE(payload, buf + 3);
    QCOMPARE(int(payloadSize), 61);
}

void ZumsgLayoutTest::remainingArrayRoom_data()
{
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("room");
    QTest::newRow("empty") << 0 << 61;
    QTest::newRow("four left") << 60 << 1;
    QTest::newRow("two left") << 62 << 0;
    QTest::newRow("pos beyond size") << 200 << 0;
}

void ZumsgLayoutTest::remainingArrayRoom()
{
    QFETCH(int, pos);
    QFETCH(int, room);
    uint8_t buf[64] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    msg.pos = uint8_t(pos);
    QCOMPARE(int(zumsg_remain_u8_array_put_size(&msg)), room);
}

void ZumsgLayoutTest::getReadsBackWhatPutWrote_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<qulonglong>("value");
    QTest::addColumn<int>("size");
    QTest::newRow("none") << uint(ZUMSG_TYPE_NONE) << 0ull << 0;
    QTest::newRow("u8") << uint(ZUMSG_TYPE_U8) << 0xA5ull << 1;
    QTest::newRow("u16") << uint(ZUMSG_TYPE_U16) << 0xBEEFull << 2;
    QTest::newRow("u32 high bit") << uint(ZUMSG_TYPE_U32) << 0xF0000001ull << 4;
    QTest::newRow("array") << uint(ZUMSG_TYPE_U8_ARRAY) << 0ull << 12;
}

void ZumsgLayoutTest::getReadsBackWhatPutWrote()
{
    QFETCH(uint, type);
    QFETCH(qulonglong, value);
    QFETCH(int, size);

    uint8_t buf[64] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    const bool array = type == ZUMSG_TYPE_U8_ARRAY;
    const uint64_t data = array ? reinterpret_cast<uintptr_t>(kArrayText) : value;
    QCOMPARE(zumsg_put(&msg, 0x99, ZUMSG_TYPE_U8, 1, 0), 0u);
    QCOMPARE(zumsg_put(&msg, 0x42, type, data, uint8_t(size)), 0u);
    QCOMPARE(zumsg_put(&msg, 0, ZUMSG_TYPE_END, 0, 0), 0u);
    const uint8_t written = msg.pos;

    zumsg_rewind(&msg);
    QCOMPARE(zumsg_get(&msg, nullptr, nullptr, nullptr, nullptr), 0u);
    uint32_t cmd = 0, gotType = 0;
    uint64_t got = 0;
    uint8_t gotSize = 0xFF;
    QCOMPARE(zumsg_get(&msg, &cmd, &gotType, &got, &gotSize), 0u);
    QCOMPARE(cmd, 0x42u);
    QCOMPARE(gotType, type);
    QCOMPARE(int(gotSize), size);
    if (array) {
        QCOMPARE(got, qulonglong(reinterpret_cast<uintptr_t>(buf + 6)));
        QCOMPARE(bytes(buf + 6, size), QByteArray(kArrayText, size));
    } else {
        QCOMPARE(got, value);
    }
    QCOMPARE(zumsg_get(&msg, &cmd, nullptr, nullptr, nullptr), 1u);
    QCOMPARE(int(msg.pos), written - 2);
}

void ZumsgLayoutTest::endItemStopsReadingForGood()
{
    uint8_t buf[64] = {0x00, 0x00, 0x18, 0x01};
    zumsg_t msg;
    zumsg_init(&msg, buf, sizeof buf);
    QCOMPARE(zumsg_get(&msg, nullptr, nullptr, nullptr, nullptr), 1u);
    QCOMPARE(zumsg_get(&msg, nullptr, nullptr, nullptr, nullptr), 1u);
    QCOMPARE(int(msg.pos), 0);

    // A zero command with another type is an item like any other.
    const uint8_t other[] = {0x00, 0x02, 0x07, 0x00, 0x00};
    memcpy(buf, other, sizeof other);
    uint32_t cmd = 1;
    uint64_t value = 0;
    QCOMPARE(zumsg_get(&msg, &cmd, nullptr, &value, nullptr), 0u);
    QCOMPARE(cmd, 0u);
    QCOMPARE(value, 7ull);
}

void ZumsgLayoutTest::channelNames_data()
{
    QTest::addColumn<uint>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0u << "UNKNOWN";
    QTest::newRow("4") << 4u << "ZUMSG_DATA_CH_ANALOG_IN";
    QTest::newRow("6") << 6u << "UNKNOWN";
}

void ZumsgLayoutTest::channelNames()
{
    QFETCH(uint, kind);
    QFETCH(QString, name);
    QCOMPARE(QString(get_text_from_ch(static_cast<zumsg_data_ch_t>(kind))), name);
}

QTEST_APPLESS_MAIN(ZumsgLayoutTest)
#include "test_zumsg_layout.moc"

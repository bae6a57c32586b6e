// The message codec. Buffers have their exact size, for the sanitizer build.
#include <QtTest>

#include <memory>

#include "scripted_unit.h"

namespace {

QString line(int number) { return QStringLiteral("../../zutest/zumsg.c:%1:ERROR\n").arg(number); }

const QByteArray kSource = QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ").repeated(10);

} // namespace

class ZumsgTest : public QObject {
    Q_OBJECT
private slots:
    // Each row puts one item at `pos` into a buffer of exactly `size` bytes;
    // `value` is the length for arrays.
    void putWritesTheItem_data()
    {
        addColumns<int, int, uint, uint, qulonglong, uint, QString, QByteArray>(
            "size", "pos", "cmd", "type", "value", "status", "output", "written");
        const uint none = ZUMSG_TYPE_NONE, u8 = ZUMSG_TYPE_U8, u16 = ZUMSG_TYPE_U16, u32 = ZUMSG_TYPE_U32;
        const uint arr = ZUMSG_TYPE_U8_ARRAY, end = ZUMSG_TYPE_END;
        const QString ok;
        const QByteArray nothing;
        QTest::newRow("none") << 64 << 0 << 0x18u << none << 0ull << 0u << ok << hex("1801");
        QTest::newRow("u8 keeps the low byte") << 64 << 0 << 0x15u << u8 << 0x1ffull << 0u << ok << hex("1502ff");
        QTest::newRow("u16") << 64 << 0 << 0x32u << u16 << 0x1234ull << 0u << ok << hex("32033412");
        QTest::newRow("u32 high bit") << 64 << 0 << 0x17u << u32 << 0xF0000001ull << 0u << ok << hex("1704010000f0");
        QTest::newRow("end") << 64 << 0 << 0u << end << 0ull << 0u << ok << hex("0000");
        QTest::newRow("end, one byte left") << 64 << 63 << 0u << end << 0ull << 0u << ok << nothing;
        QTest::newRow("u8, one byte left") << 64 << 63 << 0x15u << u8 << 7ull << 1u << ok << nothing;
        QTest::newRow("u8, two left") << 64 << 62 << 0x15u << u8 << 7ull << 1u << line(93) << nothing;
        QTest::newRow("u16, three left") << 64 << 61 << 0x32u << u16 << 7ull << 1u << line(102) << nothing;
        QTest::newRow("u32, five left") << 64 << 59 << 0x17u << u32 << 7ull << 1u << line(111) << nothing;
        QTest::newRow("array of 10, twelve left") << 64 << 52 << 0x34u << arr << 10ull << 1u << line(124) << nothing;
        QTest::newRow("array of 61 fills the message")
            << 64 << 0 << 0x34u << arr << 61ull << 0u << ok << hex("34053d") + kSource.left(61);
        QTest::newRow("array fill, ten left")
            << 64 << 54 << 0x34u << arr << 0ull << 0u << ok << hex("340507") + kSource.left(7);
        QTest::newRow("array fill, two left") << 64 << 62 << 0x34u << arr << 0ull << 1u << line(124) << nothing;
        QTest::newRow("type 6") << 64 << 0 << 0x15u << 6u << 0ull << 1u << line(73) << nothing;
        QTest::newRow("end type with a command") << 64 << 0 << 0x15u << end << 0ull << 1u << line(78) << nothing;
        QTest::newRow("pos beyond size") << 16 << 20 << 0x15u << u8 << 7ull << 1u << ok << nothing;
    }

    void putWritesTheItem()
    {
        QFETCH(int, size);
        QFETCH(int, pos);
        QFETCH(uint, cmd);
        QFETCH(uint, type);
        QFETCH(qulonglong, value);
        QFETCH(QByteArray, written);
        std::unique_ptr<uint8_t[]> buf(new uint8_t[size]);
        memset(buf.get(), 0xEE, size_t(size));
        zumsg_t msg;
        zumsg_init(&msg, buf.get(), uint8_t(size));
        msg.pos = uint8_t(pos);
        QCOMPARE(int(zumsg_remain_u8_array_put_size(&msg)), qMax(0, size - pos - 3));
        const bool array = type == ZUMSG_TYPE_U8_ARRAY;
        StdoutCapture capture;
        QTEST(zumsg_put(&msg, cmd, type, array ? uintptr_t(kSource.constData()) : value, uint8_t(array ? value : 0)),
              "status");
        QTEST(QString::fromStdString(capture.finish()), "output");
        QCOMPARE(int(msg.pos), pos + written.size());
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buf.get()) + qMin(pos, size), written.size()), written);
        if (written.isEmpty() || type == ZUMSG_TYPE_END)
            return;
        if (msg.pos < size)
            QCOMPARE(int(buf[msg.pos]), 0xEE);
        // Every output of get is optional: without any, it steps over the item.
        msg.pos = uint8_t(pos);
        QCOMPARE(zumsg_get(&msg, nullptr, nullptr, nullptr, nullptr), 0u);
        QCOMPARE(int(msg.pos), pos + written.size());
    }

    void getRefusesCutItems_data()
    {
        addColumns<QByteArray, QString>("wire", "output");
        QTest::newRow("end item first") << hex("00001801") << "";
        QTest::newRow("one byte") << hex("18") << "";
        QTest::newRow("u8 without payload") << hex("1502") << "";
        QTest::newRow("array without length") << hex("3405") << "";
        QTest::newRow("array length past the end") << hex("34050a4142") << "";
        QTest::newRow("type 9") << hex("18090000") << "../../zutest/zumsg.c:186:ERROR 0x9\n";
    }

    void getRefusesCutItems()
    {
        QFETCH(QByteArray, wire);
        std::unique_ptr<uint8_t[]> buf(new uint8_t[wire.size()]);
        memcpy(buf.get(), wire.constData(), size_t(wire.size()));
        zumsg_t msg;
        zumsg_init(&msg, buf.get(), uint8_t(wire.size()));
        uint32_t cmd = 0x55;
        uint64_t data = 0x55;
        StdoutCapture capture;
        QCOMPARE(zumsg_get(&msg, &cmd, nullptr, &data, nullptr), 1u);
        QTEST(QString::fromStdString(capture.finish()), "output");
        QCOMPARE(int(msg.pos), 0);
        QCOMPARE(cmd, 0x55u);
        QCOMPARE(data, 0x55ull);
    }
};

STRATA_TEST_CLASS(ZumsgTest)
#include "test_zumsg.moc"

// Replies the codec cannot trust: cut items, lengths pointing past the end,
// invalid types and plain garbage. Buffers are allocated at their exact size
// so that the sanitizer build sees any access beyond them.
#include <QtTest>

#include <memory>

#include "stdout_capture.h"
#include "zutest/zumsg.h"

namespace {

// A small generator of its own, so every run reads the same garbage.
struct Lcg {
    uint32_t state;
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

} // namespace

class ZumsgMalformedTest : public QObject {
    Q_OBJECT
private slots:
    void cutItemsAreNotRead_data();
    void cutItemsAreNotRead();
    void garbageIsReadWithinTheBuffer();
    void randomPutsStayWithinTheBuffer();
};

void ZumsgMalformedTest::cutItemsAreNotRead_data()
{
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("output");

    QTest::newRow("one byte") << QByteArray("\x18", 1) << "";
    QTest::newRow("u8 without payload") << QByteArray("\x15\x02", 2) << "";
    QTest::newRow("u16 cut") << QByteArray("\x32\x03\x34", 3) << "";
    QTest::newRow("u32 cut") << QByteArray("\x17\x04\x00\x77\x01", 5) << "";
    QTest::newRow("array without length") << QByteArray("\x34\x05", 2) << "";
    QTest::newRow("array length past the end") << QByteArray("\x34\x05\x0a" "AB", 5) << "";
    QTest::newRow("array length 255") << QByteArray("\x34\x05\xff" "ABCD", 7) << "";
    QTest::newRow("type 9") << QByteArray("\x18\x09\x00\x00", 4)
                            << "../../zutest/zumsg.c:186:ERROR 0x9\n";
    QTest::newRow("type 0xff") << QByteArray("\x18\xff", 2) << "../../zutest/zumsg.c:186:ERROR 0xff\n";
}

void ZumsgMalformedTest::cutItemsAreNotRead()
{
    QFETCH(QByteArray, wire);
    QFETCH(QString, output);

    std::unique_ptr<uint8_t[]> buf(new uint8_t[wire.size()]);
    memcpy(buf.get(), wire.constData(), wire.size());
    zumsg_t msg;
    zumsg_init(&msg, buf.get(), uint8_t(wire.size()));
    uint32_t cmd = 0x55;
    uint64_t data = 0x55;

    StdoutCapture capture;
    QCOMPARE(zumsg_get(&msg, &cmd, nullptr, &data, nullptr), 1u);
    QCOMPARE(QString::fromStdString(capture.finish()), output);
    QCOMPARE(int(msg.pos), 0);
    QCOMPARE(cmd, 0x55u);
    QCOMPARE(data, 0x55ull);
}

void ZumsgMalformedTest::garbageIsReadWithinTheBuffer()
{
    Lcg lcg{20240611};
    StdoutCapture quiet; // invalid types print their line; not of interest here
    for (int round = 0; round < 3000; ++round) {
        const int size = int(lcg.next() % 80) + 1;
        std::unique_ptr<uint8_t[]> buf(new uint8_t[size]);
        for (int i = 0; i < size; ++i) {
            // Mostly valid types, so that reading gets past the first item.
            buf[i] = uint8_t(i % 2 ? lcg.next() % 7 : lcg.next());
        }
        zumsg_t msg;
        zumsg_init(&msg, buf.get(), uint8_t(size));
        uint32_t type = 0;
        uint64_t data = 0;
        uint8_t n = 0;
        int items = 0;
        while (zumsg_get(&msg, nullptr, &type, &data, &n) == 0) {
            QVERIFY(msg.pos <= size);
            if (type == ZUMSG_TYPE_U8_ARRAY) {
                const uint8_t *p = reinterpret_cast<const uint8_t *>(uintptr_t(data));
                QVERIFY(p >= buf.get() && p + n <= buf.get() + size);
            }
            QVERIFY(++items <= size / 2);
        }
    }
}

void ZumsgMalformedTest::randomPutsStayWithinTheBuffer()
{
    Lcg lcg{7};
    static const uint8_t source[255] = {};
    StdoutCapture quiet;
    for (int round = 0; round < 3000; ++round) {
        const int size = int(lcg.next() % 70) + 1;
        std::unique_ptr<uint8_t[]> buf(new uint8_t[size]());
        zumsg_t msg;
        zumsg_init(&msg, buf.get(), uint8_t(size));
        msg.pos = uint8_t(lcg.next() % (size + 4));
        for (int put = 0; put < 6; ++put) {
            const uint8_t before = msg.pos;
            const uint32_t type = lcg.next() % 7;
            const uint32_t cmd = lcg.next() % 3 ? 0x34 : 0;
            const uint8_t arraySize = uint8_t(lcg.next() % 4 ? lcg.next() % 8 : lcg.next());
            const uint32_t status =
                zumsg_put(&msg, cmd, type, reinterpret_cast<uintptr_t>(source), arraySize);
            if (status != 0)
                QCOMPARE(msg.pos, before);
            QVERIFY(msg.pos <= size || msg.pos == before);
        }
    }
}

QTEST_APPLESS_MAIN(ZumsgMalformedTest)
#include "test_zumsg_malformed.moc"

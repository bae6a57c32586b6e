// The unit's side of a firmware transfer, driven the way the host drives it:
// ask for room and offset, send that many bytes in chunks of 61, repeat.
#include <QtTest>

#include "wirekit.h"

using namespace wirekit;
using sim::Model;
using sim::SimUnit;

namespace {

// Room and offset as the unit reports them (-1: not reported).
QPair<int, int> status(Link *link)
{
    const QVector<Item> items = link->ask(none(FwStatus));
    const Item room = find(items, FwRoom), offset = find(items, FwOffset);
    return {room.cmd ? int(room.value) : -1, offset.cmd ? int(offset.value) : -1};
}

} // namespace

class FirmwareTransfer : public QObject {
    Q_OBJECT

private slots:
    void transferInBlocks_data();
    void transferInBlocks();
    void unitCancels_data();
    void unitCancels();
};

void FirmwareTransfer::transferInBlocks_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("overshoot"); // bytes the host sends beyond the room, once
    QTest::addColumn<int>("blocks");
    QTest::newRow("empty image") << 0 << 256 << 0 << 0;
    QTest::newRow("less than a chunk") << 40 << 256 << 0 << 1;
    QTest::newRow("exactly one block") << 256 << 256 << 0 << 1;
    QTest::newRow("several blocks") << 1000 << 256 << 0 << 4;
    QTest::newRow("block of one chunk") << 200 << 61 << 0 << 4;
    // The unit keeps no more than it offered; the host sees it in the offset.
    QTest::newRow("bytes beyond the room dropped") << 200 << 50 << 5 << 4;
}

void FirmwareTransfer::transferInBlocks()
{
    QFETCH(int, length);
    QFETCH(int, block);
    QFETCH(int, overshoot);
    QFETCH(int, blocks);

    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    unit->setFirmwareBlockSize(uint32_t(block));
    Link link(unit);
    QByteArray image;
    for (int i = 0; i < length; ++i)
        image.append(char((i * 37 + 11) & 0xFF));
    link.send(u32(FwBegin, uint32_t(length)));
    QCOMPARE(unit->firmwareLength(), uint32_t(length));

    int pos = 0, blocksSent = 0;
    for (auto s = status(&link); s.first > 0 && blocksSent <= blocks; s = status(&link)) {
        QCOMPARE(s.second, pos);
        QVERIFY(s.first <= block);
        ++blocksSent;
        for (int room = s.first + overshoot; room > 0; room -= 61) {
            const int chunk = std::min(room, 61);
            const QByteArray item = array(room > 61 ? FwData : FwDataEnd, image.mid(pos, chunk));
            // A full chunk fills the message: no end item.
            unit->controlOut(29, 0, 0, reinterpret_cast<const uint8_t *>((item + QByteArray(2, '\0')).constData()),
                             uint16_t(std::min(item.size() + 2, 64)));
            pos += std::min(chunk, s.first);
        }
        overshoot = 0;
    }
    QCOMPARE(blocksSent, blocks);
    QCOMPARE(status(&link), qMakePair(0, length));

    const std::vector<uint8_t> held = unit->firmwareImage();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(held.data()), int(held.size())), image);
    uint32_t sum = 0;
    for (char b : image)
        sum += uint8_t(b);
    const QVector<Item> items = link.ask(u32(FwGetChecksum, 0));
    QCOMPARE(items.first().cmd, uint8_t(FwChecksum));
    QCOMPARE(items.first().value, sum);
}

void FirmwareTransfer::unitCancels_data()
{
    QTest::addColumn<bool>("begin");
    QTest::addColumn<bool>("refuse");
    QTest::newRow("status before any transfer") << false << false;
    QTest::newRow("refused transfer") << true << true;
}

void FirmwareTransfer::unitCancels()
{
    QFETCH(bool, begin);
    QFETCH(bool, refuse);
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    unit->refuseFirmware(refuse);
    Link link(unit);
    if (begin)
        link.send(u32(FwBegin, 500));
    QCOMPARE(status(&link), qMakePair(0, 0));
    link.send(array(FwDataEnd, "firmware"));
    QVERIFY(unit->firmwareImage().empty());
}

QTEST_APPLESS_MAIN(FirmwareTransfer)
#include "tst_simfirmware.moc"

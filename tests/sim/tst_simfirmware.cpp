// The unit's side of a firmware transfer, driven the way the host drives it:
// ask for room and offset, send that many bytes in chunks of 61, repeat.
#include <QtTest>

#include "test_classes.h"
#include "wirekit.h"

using namespace wirekit;

class FirmwareTransfer : public QObject {
    Q_OBJECT

private slots:
    void roundTrip()
    {
        auto unit = std::make_shared<sim::SimUnit>(sim::Model::Strata96);
        unit->setFirmwareBlockSize(100);
        const Link link(unit);
        QByteArray image;
        for (int i = 0; i < 250; ++i)
            image.append(char((i * 37 + 11) & 0xFF));
        link.send(u32(FwBegin, uint32_t(image.size())));
        for (int block = 0; block < 4; ++block) {
            const QVector<Item> status = link.ask(none(FwStatus));
            QCOMPARE(cmdsOf(status), QByteArray("2324a1"));
            const int room = int(status[0].value), offset = int(status[1].value);
            QCOMPARE(offset, std::min(block * 100, 250));
            QCOMPARE(room, std::min(100, 250 - offset));
            // The host overshoots the first block: the unit keeps no more
            // than it offered, and the next offset says so.
            const int length = room + (block == 0 ? 5 : 0);
            for (int sent = 0; sent < length; sent += 61) {
                const int chunk = std::min(length - sent, 61);
                link.send(array(sent + chunk < length ? FwData : FwDataEnd, image.mid(offset + sent, chunk)));
            }
        }
        const std::vector<uint8_t> held = unit->firmwareImage();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(held.data()), int(held.size())), image);
        const QVector<Item> checksum = link.ask(u32(FwGetChecksum, 0));
        QCOMPARE(cmdsOf(checksum), QByteArray("28a1"));
        uint32_t sum = 0;
        for (char c : image)
            sum += uint8_t(c);
        QCOMPARE(checksum[0].value, sum);
    }
};

STRATA_TEST_CLASS(FirmwareTransfer)
#include "tst_simfirmware.moc"

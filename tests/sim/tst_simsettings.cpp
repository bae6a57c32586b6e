// What the unit holds and reports: identity per model, channel settings,
// sample rate, power save and assignments.
#include <QtTest>

#include "strata_config.h"
#include "wirekit.h"

using namespace wirekit;
using sim::Model;
using sim::SimUnit;

Q_DECLARE_METATYPE(sim::Model)

class UnitSettings : public QObject {
    Q_OBJECT

private slots:
    void identityPerModel_data();
    void identityPerModel();
    void modelFromName_data();
    void modelFromName();
    void channelSettingRoundTrip_data();
    void channelSettingRoundTrip();
    void sampleRate_data();
    void sampleRate();
    void assignmentsStoredAndListed();
    void configEraseKeepsIdentity();
};

void UnitSettings::identityPerModel_data()
{
    QTest::addColumn<Model>("model");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("productId");
    QTest::addColumn<bool>("hasSerial");
    QTest::newRow("96") << Model::Strata96 << "Strata 96" << int(STRATA_USB_PID_96) << true;
    QTest::newRow("10") << Model::Strata10 << "Strata 10" << int(STRATA_USB_PID_10) << false;
    QTest::newRow("14") << Model::Strata14 << "Strata 14" << int(STRATA_USB_PID_14) << false;
    QTest::newRow("20") << Model::Strata20 << "Strata 20" << int(STRATA_USB_PID_20) << false;
}

void UnitSettings::identityPerModel()
{
    QFETCH(Model, model);
    QFETCH(QString, name);
    QFETCH(int, productId);
    QFETCH(bool, hasSerial);

    QCOMPARE(QString(sim::modelName(model)), name);
    auto unit = std::make_shared<SimUnit>(model);
    QCOMPARE(int(unit->productId()), productId);
    const QVector<Item> items = Link(unit).ask(none(GetInfo) + none(GetSerial) + none(RecFunc));
    QCOMPARE(find(items, Version).type, uint8_t(3));
    QCOMPARE(find(items, Build).type, uint8_t(3));
    QCOMPARE(QString(find(items, ProductName).bytes), name);
    QVERIFY(QRegularExpression("^[A-Z][a-z]{2} [ 0-3]\\d \\d{4}$").match(QString(find(items, BuildDate).bytes)).hasMatch());
    QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(QString(find(items, BuildTime).bytes)).hasMatch());
    QVERIFY(!find(items, ProductSig).bytes.isEmpty());
    QCOMPARE(find(items, Serial).type, uint8_t(5));
    QCOMPARE(!find(items, Serial).bytes.isEmpty(), hasSerial);
    if (model == Model::Strata96) {
        QCOMPARE(find(items, Version).value, 102u);
        QCOMPARE(find(items, Build).value, 23u);
        QCOMPARE(find(items, Serial).bytes, QByteArray("S96A00417"));
    }
    // Rec-function states: 23 bytes, some lit (1), some blinking (2), the rest off.
    const QByteArray rec = find(items, RecFunc).bytes;
    QCOMPARE(rec.size(), 23);
    QCOMPARE(rec.count('\x01') > 0 && rec.count('\x02') > 0, true);
    QCOMPARE(rec.count('\x01') + rec.count('\x02') + rec.count('\0'), 23);
    QVERIFY(rec.count('\0') > 0);
}

void UnitSettings::modelFromName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("known");
    QTest::addColumn<Model>("model");
    QTest::newRow("full 96") << "Strata 96" << true << Model::Strata96;
    QTest::newRow("full 20") << "Strata 20" << true << Model::Strata20;
    QTest::newRow("short 10") << "10" << true << Model::Strata10;
    QTest::newRow("short 14") << "14" << true << Model::Strata14;
    QTest::newRow("lower case") << "strata 14" << false << Model::Strata96;
    QTest::newRow("no space") << "Strata14" << false << Model::Strata96;
    QTest::newRow("other model") << "Strata 12" << false << Model::Strata96;
    QTest::newRow("empty") << "" << false << Model::Strata96;
}

void UnitSettings::modelFromName()
{
    QFETCH(QString, name);
    QFETCH(bool, known);
    QFETCH(Model, model);
    Model found = Model::Strata96;
    QCOMPARE(sim::modelFromName(name.toStdString(), &found), known);
    QCOMPARE(found, model);
    QCOMPARE(sim::modelFromName(name.toStdString(), nullptr), known);
}

void UnitSettings::channelSettingRoundTrip_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("setCmd");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("fader direct monitor 1") << 5 << 1 << int(SetFader) << 200 << 200;
    QTest::newRow("loopback level") << 9 << 1 << int(SetFader) << 77 << 77;
    QTest::newRow("mute input 3") << 4 << 3 << int(SetMute) << 1 << 1;
    QTest::newRow("mute any non-zero") << 4 << 4 << int(SetMute) << 9 << 1;
    QTest::newRow("stereo direct monitor 3") << 5 << 3 << int(SetStereo) << 4 << 4;
    QTest::newRow("bad stereo type ignored") << 4 << 1 << int(SetStereo) << 2 << 1;
}

void UnitSettings::channelSettingRoundTrip()
{
    QFETCH(int, kind);
    QFETCH(int, channel);
    QFETCH(int, setCmd);
    QFETCH(int, value);
    QFETCH(int, expected);

    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    Link link(unit);
    const uint8_t k = uint8_t(kind), ch = uint8_t(channel), other = uint8_t(channel + 1);
    QCOMPARE(link.send(wirekit::channel(k, ch) + u8(uint8_t(setCmd), uint8_t(value))), sim::Xfer::Ok);
    const int held = setCmd == SetFader ? unit->fader(k, ch)
                   : setCmd == SetMute  ? int(unit->muted(k, ch))
                                        : unit->stereo(k, ch);
    QCOMPARE(held, expected);

    // The query reads the channel's own value, naming the channel before it;
    // the neighbour keeps its default.
    const uint8_t query = uint8_t(setCmd | 0x40);
    const QVector<Item> items = link.ask(wirekit::channel(k, other) + u8(query, 0) + wirekit::channel(k, ch) + u8(query, 0));
    QCOMPARE(items.size(), 7);
    const uint8_t expectedCmds[] = {Ch, ChNum, query, Ch, ChNum, query, Ready};
    for (int i = 0; i < 7; ++i)
        QCOMPARE(items[i].cmd, expectedCmds[i]);
    QCOMPARE(int(items[1].value), channel + 1);
    QCOMPARE(int(items[2].value), setCmd == SetStereo ? 1 : 0);
    QCOMPARE(int(items[3].value), kind);
    QCOMPARE(int(items[4].value), channel);
    QCOMPARE(int(items[5].value), expected);
}

void UnitSettings::sampleRate_data()
{
    QTest::addColumn<uint>("requested");
    QTest::addColumn<uint>("held");
    for (uint hz : {44100u, 48000u, 88200u, 96000u, 176400u, 192000u})
        QTest::addRow("%u accepted", hz) << hz << hz;
    for (uint hz : {0u, 32000u, 44101u, 384000u})
        QTest::addRow("%u ignored", hz) << hz << 48000u;
}

void UnitSettings::sampleRate()
{
    QFETCH(uint, requested);
    QFETCH(uint, held);
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    Link link(unit);
    link.send(u32(SetHz, requested));
    QCOMPARE(unit->sampleRate(), held);
    QCOMPARE(find(link.ask(none(Hz)), Hz).value, held);
}

void UnitSettings::assignmentsStoredAndListed()
{
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    Link link(unit);
    QCOMPARE(int(unit->assignments().size()), 4);

    // A new source for line out 2 replaces the old route; line out 5 is added.
    link.send(assign(5, 1, 1, 2));
    link.send(assign(4, 7, 1, 5));
    const std::vector<sim::Assignment> held = unit->assignments();
    QCOMPARE(int(held.size()), 5);
    QCOMPARE(int(held[1].inKind), 5);
    QCOMPARE(int(held[4].outChannel), 5);

    // Read the list as a host does, each message on its own: latches take the
    // current channel, commits report the latched pair.
    link.send(assign(0, 0, 0, 0));
    QVector<sim::Assignment> listed;
    for (const Reply &reply : link.readAnswer()) {
        int kind = -1, ch = -1;
        sim::Assignment a{0, 0, 0, 0};
        for (const Item &item : reply.items) {
            if (item.cmd == Ch)
                kind = int(item.value);
            else if (item.cmd == ChNum)
                ch = int(item.value);
            else if (item.cmd == AssignIn)
                a.inKind = uint8_t(kind), a.inChannel = uint8_t(ch);
            else if (item.cmd == AssignOut)
                a.outKind = uint8_t(kind), a.outChannel = uint8_t(ch);
            else if (item.cmd == AssignCommit)
                listed.append(a);
        }
    }
    QCOMPARE(listed.size(), 5);
    for (int i = 0; i < 5; ++i) {
        const sim::Assignment &h = held[size_t(i)];
        QCOMPARE(QVector<int>({listed[i].inKind, listed[i].inChannel, listed[i].outKind, listed[i].outChannel}),
                 QVector<int>({h.inKind, h.inChannel, h.outKind, h.outChannel}));
    }
    QCOMPARE(int(unit->assignments().size()), 5);
}

void UnitSettings::configEraseKeepsIdentity()
{
    auto unit = std::make_shared<SimUnit>(Model::Strata96);
    Link link(unit);
    link.send(array(SetSerial, "S96B00001") + u32(SetHz, 96000) + u8(AutoPowerSave, 1)
              + channel(4, 1) + u8(SetMute, 1));
    link.send(assign(4, 1, 1, 1));
    QVERIFY(unit->autoPowerSave());
    QCOMPARE(find(link.ask(none(GetAutoPowerSave)), AutoPowerSave).value, 1u);
    link.send(u8(ConfigErase, 0));
    QCOMPARE(unit->sampleRate(), 48000u);
    QVERIFY(!unit->autoPowerSave());
    QVERIFY(!unit->muted(4, 1));
    QCOMPARE(int(unit->assignments()[0].inKind), 2);
    QCOMPARE(find(link.ask(none(GetSerial)), Serial).bytes, QByteArray("S96B00001"));
}

QTEST_APPLESS_MAIN(UnitSettings)
#include "tst_simsettings.moc"

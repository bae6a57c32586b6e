// The data manager's facade: how a meter reading is sorted into the 97-record
// snapshot, and how each setting is logged and handed to the engine.
#include <QtTest>

#include "engineprobe.h"
#include "virtual_clock.h"

namespace {

constexpr uint16_t kUntouched = 0xBEEF;
QStringList *debugLines = nullptr;

void captureDebug(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg && debugLines)
        *debugLines << text;
}

// A reading whose first record carries one meter; the others have no kind
// and so belong to no record of the snapshot.
QByteArray readingWith(uint32_t kind, uint8_t ch, uint16_t level, int records = QZUDevice::kMeterCount)
{
    QVector<zuctl_meter_info_t> reading(records, zuctl_meter_info_t{0, 0, 0});
    reading[0] = {kind, ch, level};
    return QByteArray(reinterpret_cast<const char *>(reading.constData()),
                      records * int(sizeof(zuctl_meter_info_t)));
}

// The wanted settings the engine holds and has not sent yet.
QStringList pendingSlots(const DataManagerUnderTest &dm)
{
    QStringList out;
    if (dm.aps_slot.pending)
        out << QString("aps %1").arg(dm.aps_slot.value);
    for (const auto &s : dm.stereo_slots)
        if (s.pending)
            out << QString("stereo %1 %2 %3").arg(s.ch_type).arg(s.ch_no).arg(s.type);
    for (const auto &s : dm.mute_slots)
        if (s.pending)
            out << QString("mute %1 %2 %3").arg(s.ch_type).arg(s.ch_no).arg(s.value);
    for (const auto &s : dm.fader_slots)
        if (s.pending)
            out << QString("fader %1 %2 %3").arg(s.ch_type).arg(s.ch_no).arg(s.value);
    for (const auto &s : dm.assign_slots)
        if (s.pending)
            out << QString("assign %1 %2 -> %3 %4").arg(s.in_type).arg(s.in_ch).arg(s.out_type).arg(s.out_ch);
    return out;
}

} // namespace

class DataManagerFacade : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init();
    void cleanup();

    void meterEntryLandsInItsRecord_data();
    void meterEntryLandsInItsRecord();
    void failedOrOverfullReadingLeavesSnapshot_data();
    void failedOrOverfullReadingLeavesSnapshot();
    void settingIsLoggedAndHandedOn_data();
    void settingIsLoggedAndHandedOn();

private:
    VirtualClock clock_;
    DataManagerUnderTest *dm_ = nullptr;
    QStringList lines_;
    QtMessageHandler previous_ = nullptr;
};

void DataManagerFacade::init()
{
    dm_ = new DataManagerUnderTest;
    dm_->detachWorker();
    lines_.clear();
    debugLines = &lines_;
    previous_ = qInstallMessageHandler(captureDebug);
}

void DataManagerFacade::cleanup()
{
    qInstallMessageHandler(previous_);
    debugLines = nullptr;
    delete dm_;
}

void DataManagerFacade::meterEntryLandsInItsRecord_data()
{
    QTest::addColumn<uint>("kind");
    QTest::addColumn<uint>("channel");
    QTest::addColumn<uint>("level");
    QTest::addColumn<int>("record"); // -1: no record changes
    QTest::addColumn<uint>("stored");

    QTest::newRow("input 3") << 4u << 3u << 1234u << 2 << 1234u;
    QTest::newRow("kind 8 channel 1") << 8u << 1u << 10u << 96 << 10u;
    QTest::newRow("master 7 falls on record 96") << 2u << 7u << 11u << 96 << 11u;
    QTest::newRow("level above the scale") << 4u << 1u << 40000u << 0 << 0u;
    QTest::newRow("top of the scale") << 4u << 1u << 32768u << 0 << 32768u;
    QTest::newRow("one above the top") << 4u << 1u << 32769u << 0 << 0u;
    QTest::newRow("kind 5") << 5u << 1u << 10u << -1 << 0u;
    QTest::newRow("kind 1") << 1u << 1u << 10u << -1 << 0u;
    QTest::newRow("kind 9") << 9u << 1u << 10u << -1 << 0u;
    QTest::newRow("input channel 0") << 4u << 0u << 10u << -1 << 0u;
    QTest::newRow("kind 8 channel 2") << 8u << 2u << 10u << -1 << 0u;
}

void DataManagerFacade::meterEntryLandsInItsRecord()
{
    QFETCH(uint, kind);
    QFETCH(uint, channel);
    QFETCH(uint, level);
    QFETCH(int, record);
    QFETCH(uint, stored);

    levelMeter snapshot[QZUDevice::kMeterCount];
    for (levelMeter &r : snapshot)
        r.value = kUntouched;
    dm_->recv_get_meter(true, readingWith(kind, uint8_t(channel), uint16_t(level)), 1);
    QVERIFY(dm_->getMeterdata(snapshot));
    for (int i = 0; i < QZUDevice::kMeterCount; ++i)
        QCOMPARE(snapshot[i].value, i == record ? uint16_t(stored) : kUntouched);
}

void DataManagerFacade::failedOrOverfullReadingLeavesSnapshot_data()
{
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("count");
    QTest::newRow("failed read") << false << 97 << 97;
    QTest::newRow("98 meters") << true << 97 << 98;
    QTest::newRow("120 records, 120 meters") << true << 120 << 120;
}

void DataManagerFacade::failedOrOverfullReadingLeavesSnapshot()
{
    QFETCH(bool, result);
    QFETCH(int, records);
    QFETCH(int, count);
    levelMeter snapshot[QZUDevice::kMeterCount];
    for (levelMeter &r : snapshot)
        r.value = kUntouched;
    dm_->recv_get_meter(result, readingWith(4, 1, 77, records), count);
    QVERIFY(!dm_->getMeterdata(snapshot));
    for (const levelMeter &r : snapshot)
        QCOMPARE(r.value, kUntouched);
}

enum class Op { AutoPowerSave, DirectMonitor, AudioInput, InputVolume, AssignCh, Loopback,
                LoopbackVolume, LoopbackOut, LoopbackIn };
Q_DECLARE_METATYPE(Op)

void DataManagerFacade::settingIsLoggedAndHandedOn_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("pending");

    QTest::newRow("power save") << Op::AutoPowerSave << 1 << 0 << true << "Auto Power Save:TRUE"
                                << QStringList{"aps 1"};
    QTest::newRow("monitor pair 2 has no slot") << Op::DirectMonitor << 2 << 1 << true
                                                << "Direct Monitor 3_4:STEREO" << QStringList{};
    QTest::newRow("monitor pair 3") << Op::DirectMonitor << 3 << 0 << true << "Direct Monitor 3_4:MONO"
                                    << QStringList{"stereo 5 3 1"};
    QTest::newRow("input off mutes") << Op::AudioInput << 3 << 0 << true << "Audio Input3:FALSE"
                                     << QStringList{"mute 4 3 1"};
    QTest::newRow("input 5 refused") << Op::AudioInput << 5 << 1 << false << "Audio Input5:TRUE"
                                     << QStringList{};
    QTest::newRow("input volume") << Op::InputVolume << 100 << 0 << true << "Input Volume:100"
                                  << QStringList{"fader 5 1 100"};
    QTest::newRow("assign computer 1-2 to 3-4")
        << Op::AssignCh << 1 << 1 << true << "Assign LineOut:3-4  Index:1"
        << QStringList{"assign 3 1 -> 1 3", "assign 3 2 -> 1 4"};
    QTest::newRow("assign index 3 only logs") << Op::AssignCh << 3 << 0 << false
                                              << "Assign LineOut:1-2  Index:3" << QStringList{};
    QTest::newRow("loopback") << Op::Loopback << 1 << 0 << true << "Loopback:TRUE"
                              << QStringList{"fader 9 0 1"};
    QTest::newRow("loopback volume") << Op::LoopbackVolume << 5 << 0 << true << "Loopback Volume:5"
                                     << QStringList{"fader 9 1 5"};
    QTest::newRow("loopback out") << Op::LoopbackOut << 1 << 0 << true << "Loopback Out :STEREO"
                                  << QStringList{"stereo 3 1 4"};
    QTest::newRow("loopback in") << Op::LoopbackIn << 0 << 0 << true << "Loopback In :MONO"
                                 << QStringList{"stereo 4 1 1"};
}

void DataManagerFacade::settingIsLoggedAndHandedOn()
{
    QFETCH(Op, op);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(bool, accepted);
    QFETCH(QString, line);
    QFETCH(QStringList, pending);

    const auto ua = uint8_t(a);
    const auto ub = uint8_t(b);
    bool result = accepted;
    switch (op) {
    case Op::AutoPowerSave: dm_->setAutoPowerSave(a != 0); break;
    case Op::DirectMonitor: dm_->setDirectMonitor(ua, ub); break;
    case Op::AudioInput: result = dm_->setAudioInput(ua, b != 0); break;
    case Op::InputVolume: result = dm_->setInputVolume(ua); break;
    case Op::AssignCh: result = dm_->setAssignCh(ua, ub); break;
    case Op::Loopback: result = dm_->setLoopback(a != 0); break;
    case Op::LoopbackVolume: result = dm_->setLoopbackVolume(ua); break;
    case Op::LoopbackOut: dm_->setLoopbackOut(ua); break;
    case Op::LoopbackIn: dm_->setLoopbackIn(ua); break;
    }
    QCOMPARE(lines_, QStringList{line});
    QCOMPARE(result, accepted);
    QCOMPARE(pendingSlots(*dm_), pending);
}

QTEST_GUILESS_MAIN(DataManagerFacade)
#include "tst_datamanager.moc"

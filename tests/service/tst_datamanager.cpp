// The data manager's facade: how a meter reading is sorted into the 97-record
// snapshot, and how each setting is logged and handed to the engine.
#include <QtTest>

#include <functional>

#include "engineprobe.h"
#include "virtual_clock.h"

using namespace items;

namespace {
QStringList debugLines;

void captureDebug(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg)
        debugLines << text;
}

// A reading whose first record carries one meter; the others have no kind.
QByteArray reading(uint32_t kind, uint8_t ch, uint16_t level, int records = QZUDevice::kMeterCount)
{
    QVector<zuctl_meter_info_t> r(records, zuctl_meter_info_t{0, 0, 0});
    r[0] = {kind, ch, level};
    return QByteArray(reinterpret_cast<const char *>(r.constData()), records * int(sizeof(zuctl_meter_info_t)));
}

using DM = DataManager;
using Call = std::function<bool(DataManager &)>;
} // namespace
Q_DECLARE_METATYPE(Call)

class DataManagerFacade : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(usbdevs_select_backend(USBDEVS_BACKEND_SIM), 0u); }
    void init() { dm_ = new EngineProbe; dm_->detachWorker(); }
    void cleanup() { delete dm_; }

    void meterEntryLandsInItsRecord_data();
    void meterEntryLandsInItsRecord();
    void settingIsLoggedAndHandedOn_data();
    void settingIsLoggedAndHandedOn();

private:
    VirtualClock clock_;
    EngineProbe *dm_ = nullptr;
};

void DataManagerFacade::meterEntryLandsInItsRecord_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("record"); // -1: none changes; -2: the reading is refused
    QTest::addColumn<int>("stored");
    QTest::newRow("input 3") << true << reading(4, 3, 1234) << 1 << 2 << 1234;
    QTest::newRow("one above the top of the scale") << true << reading(4, 1, 32769) << 1 << 0 << 0;
    QTest::newRow("input channel 0") << true << reading(4, 0, 10) << 1 << -1 << 0;
    QTest::newRow("kind 8 channel 2") << true << reading(8, 2, 10) << 1 << -1 << 0;
    QTest::newRow("failed read") << false << reading(4, 1, 77) << 97 << -2 << 0;
    QTest::newRow("98 meters") << true << reading(4, 1, 77) << 98 << -2 << 0;
    QTest::newRow("120 records, 120 meters") << true << reading(4, 1, 77, 120) << 120 << -2 << 0;
}

void DataManagerFacade::meterEntryLandsInItsRecord()
{
    QFETCH(bool, ok);
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(int, record);
    QFETCH(int, stored);
    levelMeter snapshot[QZUDevice::kMeterCount];
    for (levelMeter &r : snapshot)
        r.value = 0xBEEF;
    dm_->recv_get_meter(ok, bytes, count);
    QCOMPARE(dm_->getMeterdata(snapshot), record != -2);
    for (int i = 0; i < QZUDevice::kMeterCount; ++i)
        QCOMPARE(int(snapshot[i].value), i == record ? stored : 0xBEEF);
}

void DataManagerFacade::settingIsLoggedAndHandedOn_data()
{
    QTest::addColumn<Call>("call");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("message"); // what the engine then sends, less the end item
    QTest::addColumn<bool>("accepted");
    auto row = [](const char *tag, Call call, const char *line, const QByteArray &message, bool accepted = true) {
        QTest::newRow(tag) << call << QString(line) << message << accepted;
    };
    row("power save, input, volume",
        [](DM &d) { d.setAutoPowerSave(true); return d.setAudioInput(3, false) && d.setInputVolume(100); },
        "Auto Power Save:TRUE\nAudio Input3:FALSE\nInput Volume:100",
        u8(ZUMSG_CMD_AUTOPOWERSAVE, 1) + channel(4, 3, ZUMSG_CMD_SET_MUTE, 1)
            + channel(5, 1, ZUMSG_CMD_SET_FADER, 100));
    row("monitor pairs (2 has no slot), assignment",
        [](DM &d) { d.setDirectMonitor(2, 1); d.setDirectMonitor(3, 0); return d.setAssignCh(1, 1); },
        "Direct Monitor 3_4:STEREO\nDirect Monitor 3_4:MONO\nAssign LineOut:3-4  Index:1",
        channel(5, 3, ZUMSG_CMD_SET_STEREO, 1) + assign(3, 1, 1, 3) + assign(3, 2, 1, 4));
    row("loopback",
        [](DM &d) { d.setLoopbackOut(1); d.setLoopbackIn(0); return d.setLoopback(true) && d.setLoopbackVolume(5); },
        "Loopback Out :STEREO\nLoopback In :MONO\nLoopback:TRUE\nLoopback Volume:5",
        channel(3, 1, ZUMSG_CMD_SET_STEREO, 4) + channel(4, 1, ZUMSG_CMD_SET_STEREO, 1)
            + channel(9, 0, ZUMSG_CMD_SET_FADER, 1) + channel(9, 1, ZUMSG_CMD_SET_FADER, 5));
    row("input 5, assignment index 3", [](DM &d) { return d.setAudioInput(5, true) || d.setAssignCh(3, 0); },
        "Audio Input5:TRUE\nAssign LineOut:1-2  Index:3", {}, false);
}

void DataManagerFacade::settingIsLoggedAndHandedOn()
{
    QFETCH(Call, call);
    QFETCH(QByteArray, message);
    QSignalSpy sends(dm_, &QZUDevice::sig_zu_send);
    debugLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureDebug);
    const bool accepted = call(*dm_);
    qInstallMessageHandler(previous);
    QTEST(debugLines.join('\n'), "line");
    QTEST(accepted, "accepted");
    dm_->answerReady();
    QCOMPARE(sends.count(), message.isEmpty() ? 0 : 1);
    QCOMPARE(sends.value(0).value(0).toByteArray(), message.isEmpty() ? message : message + end());
}

QTEST_GUILESS_MAIN(DataManagerFacade)
#include "tst_datamanager.moc"

// The command set against the simulated unit, which speaks the wire format
// with an encoder of its own: both sides must agree on every exchange.
#include <QtTest>

#include "scripted_unit.h"
#include "sim/simunit.h"
#include "stdout_capture.h"
#include "virtual_clock.h"

class SimUnitTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void identityOfTheStrata96();
    void meterReadTakesSeventeenReplies();
    void channelSettingsRoundTrip_data();
    void channelSettingsRoundTrip();
    void autoPowerSaveAndSampleRateRoundTrip();
    void assignmentIsListed();
    void busyUnitIsWaitedFor();
    void firmwareImageArrivesWhole();

private:
    UnitHarness harness_;
    std::unique_ptr<VirtualClock> clock_;
    std::shared_ptr<sim::SimUnit> unit_;
    zuctl_t ctl_{};
};

void SimUnitTest::init()
{
    clock_.reset(new VirtualClock);
    unit_ = std::make_shared<sim::SimUnit>(sim::Model::Strata96);
    unit_->setClock(clock_->source());
    harness_.plug(unit_);
    zuctl_group_get_init(harness_.group());
    QCOMPARE(zuctl_group_get_zu(harness_.group(), &ctl_), 0u);
}

void SimUnitTest::cleanup()
{
    harness_.unplug(unit_);
    clock_.reset();
}

void SimUnitTest::identityOfTheStrata96()
{
    uint16_t version = 0, build = 0;
    QCOMPARE(zuctl_get_version(&ctl_, &version), 0u);
    QCOMPARE(int(version), 102);
    QCOMPARE(zuctl_get_build(&ctl_, &build), 0u);
    QCOMPARE(int(build), 23);
    uint8_t text[64] = {};
    uint8_t len = 0;
    QCOMPARE(zuctl_get_productname(&ctl_, text, sizeof text, &len), 0u);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(text), len), QByteArray("Strata 96"));
    QCOMPARE(zuctl_get_serial(&ctl_, text, sizeof text, &len), 0u);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(text), len), QByteArray("S96A00417"));
    QCOMPARE(zuctl_get_recfunc(&ctl_, text, sizeof text, &len), 0u);
    QCOMPARE(int(len), 23);
}

void SimUnitTest::meterReadTakesSeventeenReplies()
{
    const std::vector<sim::MeterPoint> expected = unit_->meterSnapshot();
    QCOMPARE(int(expected.size()), 97);
    const int transfersBefore = unit_->transferCount();
    zuctl_meter_info_t info[97] = {};
    uint8_t num = 0;
    QCOMPARE(zuctl_get_meter(&ctl_, info, 97, &num), 0u);
    QCOMPARE(int(num), 97);
    QCOMPARE(unit_->transferCount() - transfersBefore, 1 + 17);
    for (int i = 0; i < 97; ++i) {
        QCOMPARE(info[i].ch_type, uint32_t(expected[size_t(i)].kind));
        QCOMPARE(info[i].ch_no, expected[size_t(i)].channel);
        QCOMPARE(info[i].value, expected[size_t(i)].level);
    }
}

void SimUnitTest::channelSettingsRoundTrip_data()
{
    QTest::addColumn<uint>("kind");
    QTest::addColumn<int>("channel");
    QTest::newRow("analog in 2") << uint(ZUMSG_DATA_CH_ANALOG_IN) << 2;
    QTest::newRow("line out 0") << uint(ZUMSG_DATA_CH_LINE_OUT) << 0;
}

void SimUnitTest::channelSettingsRoundTrip()
{
    QFETCH(uint, kind);
    QFETCH(int, channel);
    const auto ch = zumsg_data_ch_t(kind);
    const auto no = uint8_t(channel);

    QCOMPARE(zuctl_set_fader(&ctl_, ch, no, 87), 0u);
    QCOMPARE(zuctl_set_mute(&ctl_, ch, no, 1), 0u);
    QCOMPARE(zuctl_set_stereo(&ctl_, ch, no, ZUMSG_DATA_CH_TYPE_STEREO), 0u);
    QCOMPARE(int(unit_->fader(uint8_t(kind), no)), 87);

    uint8_t fader = 0, mute = 0;
    uint32_t stereo = 0;
    QCOMPARE(zuctl_get_fader(&ctl_, ch, no, &fader), 0u);
    QCOMPARE(int(fader), 87);
    QCOMPARE(zuctl_get_mute(&ctl_, ch, no, &mute), 0u);
    QVERIFY(mute != 0);
    QCOMPARE(zuctl_get_stereo(&ctl_, ch, no, &stereo), 0u);
    QCOMPARE(stereo, uint32_t(ZUMSG_DATA_CH_TYPE_STEREO));
}

void SimUnitTest::autoPowerSaveAndSampleRateRoundTrip()
{
    uint8_t value = 0xFF;
    QCOMPARE(zuctl_set_autopowersave(&ctl_, 1), 0u);
    QCOMPARE(zuctl_get_autopowersave(&ctl_, &value), 0u);
    QCOMPARE(int(value), 1);
    QCOMPARE(zuctl_set_autopowersave(&ctl_, 0), 0u);
    QCOMPARE(zuctl_get_autopowersave(&ctl_, &value), 0u);
    QCOMPARE(int(value), 0);

    uint32_t hz = 0;
    QCOMPARE(zuctl_debug_set_hz(&ctl_, 96000), 0u);
    QCOMPARE(zuctl_debug_get_hz(&ctl_, &hz), 0u);
    QCOMPARE(hz, 96000u);
}

void SimUnitTest::assignmentIsListed()
{
    QCOMPARE(zuctl_set_assign_ch(&ctl_, ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1, ZUMSG_DATA_CH_LINE_OUT, 1), 0u);
    char text[512] = {};
    size_t len = 0;
    QCOMPARE(zuctl_get_assign_ch(&ctl_, text, sizeof text, &len), 0u);
    QVERIFY2(strstr(text, "ZUMSG_DATA_CH_DIRECTMONITOR_OUT:1 -> ZUMSG_DATA_CH_LINE_OUT:1\n"), text);
    QCOMPARE(len, strlen(text));
}

void SimUnitTest::busyUnitIsWaitedFor()
{
    unit_->busyFor(3);
    uint16_t version = 0;
    QCOMPARE(zuctl_get_version(&ctl_, &version), 0u);
    QCOMPARE(int(version), 102);
    QCOMPARE(clock_->sleepCount(10000), 3);
}

void SimUnitTest::firmwareImageArrivesWhole()
{
    QByteArray image(700, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7);
    uint32_t progress = 0;
    StdoutCapture capture;
    QCOMPARE(zuctl_fwupdate(&ctl_, reinterpret_cast<const uint8_t *>(image.constData()), 700, &progress), 0u);
    QCOMPARE(QString::fromStdString(capture.finish()),
             "pos = 0/700\npos = 256/700\npos = 512/700\npos = 700/700\nFWUP OK\n");
    QCOMPARE(progress, 700u);
    uint32_t sum = 0;
    for (char c : image)
        sum += uint8_t(c);
    uint32_t checksum = 0;
    QCOMPARE(zuctl_get_fw_checksum(&ctl_, 0, &checksum), 0u);
    QCOMPARE(checksum, sum);
}

QTEST_GUILESS_MAIN(SimUnitTest)
#include "test_zuctl_simunit.moc"

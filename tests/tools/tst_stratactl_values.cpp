// The words stratactl takes for channels and values, and the scales it shows:
// meter records, levels in dB, firmware and sample-rate texts.
#include <QtTest>

#include "tools/channelparse.h"
#include "tools/meterlayout.h"
#include "tools/unitreport.h"

class StratactlValues : public QObject
{
    Q_OBJECT

private slots:
    void channelWords_data();
    void channelWords();
    void settingValues_data();
    void settingValues();
    void meterRecordsFollowThePanelLayout_data();
    void meterRecordsFollowThePanelLayout();
    void everyRecordMapsBackToItsMeter();
    void levelsInDb_data();
    void levelsInDb();
    void firmwareAndRateTexts_data();
    void firmwareAndRateTexts();
};

void StratactlValues::channelWords_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<uint>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("error");

    QTest::newRow("number alone is an input") << "3" << true << 4u << 3 << "";
    QTest::newRow("last input") << "22" << true << 4u << 22 << "";
    QTest::newRow("input 30") << "30" << false << 0u << 0 << "invalid channel 30: channels are 1 to 22";
    QTest::newRow("input 0") << "0" << false << 0u << 0 << "invalid channel 0: channels are 1 to 22";
    QTest::newRow("leading zeros read as the number") << "030" << false << 0u << 0 << "invalid channel 30: channels are 1 to 22";
    QTest::newRow("kind by name") << "line:4" << true << 1u << 4 << "";
    QTest::newRow("kind by number") << "5:1" << true << 5u << 1 << "";
    QTest::newRow("kind by its enumerator") << "ZUMSG_DATA_CH_COMPUTER_OUT:22" << true << 3u << 22 << "";
    QTest::newRow("kind in capitals") << "MASTER:6" << true << 2u << 6 << "";
    QTest::newRow("master 7") << "master:7" << false << 0u << 0 << "invalid channel 7: channels are 1 to 6";
    QTest::newRow("unnamed kind") << "6:1" << false << 0u << 0
        << "invalid channel kind '6': kinds are line, master, computer, analog, direct";
    QTest::newRow("not a number") << "analog:x" << false << 0u << 0 << "invalid channel 'analog:x': channels are 1 to 22";
    QTest::newRow("number too wide for a byte") << "analog:257" << false << 0u << 0 << "invalid channel 257: channels are 1 to 22";
    QTest::newRow("sign") << "+3" << false << 0u << 0 << "invalid channel '+3': channels are 1 to 22";
    QTest::newRow("empty number") << "line:" << false << 0u << 0 << "invalid channel 'line:': channels are 1 to 4";
}

void StratactlValues::channelWords()
{
    QFETCH(QString, word);
    QFETCH(bool, ok);
    Channel channel{};
    QString error;
    QCOMPARE(parseChannel(word, &channel, &error), ok);
    QTEST(error, "error");
    if (ok) {
        QTEST(uint(channel.kind), "kind");
        QTEST(int(channel.number), "number");
    }
}

void StratactlValues::settingValues_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<uint>("value");
    QTest::addColumn<QString>("error");

    QTest::newRow("on") << "onoff" << "on" << true << 1u << "";
    QTest::newRow("OFF") << "onoff" << "OFF" << true << 0u << "";
    QTest::newRow("maybe") << "onoff" << "maybe" << false << 0u << "invalid value 'maybe': use on or off";
    QTest::newRow("stereo") << "stereo" << "stereo" << true << 4u << "";
    QTest::newRow("mono") << "stereo" << "mono" << true << 1u << "";
    QTest::newRow("surround") << "stereo" << "surround" << false << 0u << "invalid value 'surround': use stereo or mono";
    QTest::newRow("fader 0") << "fader" << "0" << true << 0u << "";
    QTest::newRow("fader 255") << "fader" << "255" << true << 255u << "";
    QTest::newRow("fader 256") << "fader" << "256" << false << 0u << "invalid fader level 256: levels are 0 to 255";
    QTest::newRow("fader -1") << "fader" << "-1" << false << 0u << "invalid fader level -1: levels are 0 to 255";
    QTest::newRow("rate 96000") << "rate" << "96000" << true << 96000u << "";
    QTest::newRow("rate 32000") << "rate" << "32000" << false << 0u
        << "invalid sample rate 32000: rates are 44100, 48000, 88200, 96000, 176400, 192000";
    QTest::newRow("rate in kHz") << "rate" << "48k" << false << 0u
        << "invalid sample rate 48k: rates are 44100, 48000, 88200, 96000, 176400, 192000";
}

void StratactlValues::settingValues()
{
    QFETCH(QString, setting);
    QFETCH(QString, word);
    QString error;
    bool ok = false;
    uint value = 0;
    if (setting == QLatin1String("onoff")) {
        bool on = false;
        ok = parseOnOff(word, &on, &error);
        value = on;
    } else if (setting == QLatin1String("stereo")) {
        zumsg_data_ch_type_t type = zumsg_data_ch_type_t(0);
        ok = parseStereo(word, &type, &error);
        value = type;
    } else if (setting == QLatin1String("fader")) {
        uint8_t level = 0;
        ok = parseFaderLevel(word, &level, &error);
        value = level;
    } else {
        uint32_t hz = 0;
        ok = parseSampleRate(word, &hz, &error);
        value = hz;
    }
    QTEST(ok, "ok");
    QTEST(error, "error");
    if (ok)
        QTEST(value, "value");
}

void StratactlValues::meterRecordsFollowThePanelLayout_data()
{
    QTest::addColumn<uint>("kind");
    QTest::addColumn<uint>("channel");
    QTest::addColumn<int>("record");

    QTest::newRow("input 1") << 4u << 1u << 0;
    QTest::newRow("input 22") << 4u << 22u << 21;
    QTest::newRow("input 23 is no meter") << 4u << 23u << -1;
    QTest::newRow("kind 7 channel 24") << 7u << 24u << 45;
    QTest::newRow("computer 1") << 3u << 1u << 46;
    QTest::newRow("kind 6 channel 22") << 6u << 22u << 89;
    QTest::newRow("main L") << 2u << 5u << 94;
    QTest::newRow("main R") << 2u << 6u << 95;
    QTest::newRow("kind 8") << 8u << 1u << 96;
    QTest::newRow("kind 8 channel 2") << 8u << 2u << -1;
    QTest::newRow("channel 0") << 4u << 0u << -1;
    QTest::newRow("line outputs have no meter") << 1u << 1u << -1;
    QTest::newRow("direct monitor has no meter") << 5u << 1u << -1;
}

void StratactlValues::meterRecordsFollowThePanelLayout()
{
    QFETCH(uint, kind);
    QFETCH(uint, channel);
    QTEST(meterRecord(kind, channel), "record");
}

void StratactlValues::everyRecordMapsBackToItsMeter()
{
    for (int r = 0; r < kMeterRecords; ++r)
        QCOMPARE(meterRecord(meterRecordKind(r), meterRecordChannel(r)), r);
    QCOMPARE(meterRecordKind(kMainLeftRecord), 2u);
    QCOMPARE(int(meterRecordChannel(kMainRightRecord)), 6);
}

void StratactlValues::levelsInDb_data()
{
    QTest::addColumn<uint>("raw");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("tenths");
    QTest::addColumn<QString>("whole");

    QTest::newRow("silence") << 0u << 0 << "-inf" << "-inf";
    QTest::newRow("full scale") << 32767u << 32767 << "0.0" << "0";
    QTest::newRow("one above full scale") << 32768u << 32768 << "0.0" << "0";
    QTest::newRow("above 32768 is no level") << 32769u << 0 << "-inf" << "-inf";
    QTest::newRow("40000") << 40000u << 0 << "-inf" << "-inf";
    QTest::newRow("half scale") << 16384u << 16384 << "-6.0" << "-6";
    QTest::newRow("smallest step") << 1u << 1 << "-90.3" << "-90";
    QTest::newRow("just below full scale") << 32700u << 32700 << "0.0" << "0";
}

void StratactlValues::levelsInDb()
{
    QFETCH(uint, raw);
    const uint16_t level = usableLevel(raw);
    QTEST(int(level), "level");
    QTEST(levelDbText(level, 1), "tenths");
    QTEST(levelDbText(level, 0), "whole");
}

void StratactlValues::firmwareAndRateTexts_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("build");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<uint>("hz");
    QTest::addColumn<QString>("rate");

    QTest::newRow("1.02 0023") << 102 << 23 << "1.02 0023" << 48000u << "48 kHz";
    QTest::newRow("small numbers") << 5 << 7 << "0.05 0007" << 44100u << "44.1 kHz";
    QTest::newRow("build never cut") << 1234 << 12345 << "12.34 12345" << 176400u << "176.4 kHz";
    QTest::newRow("largest") << 65535 << 65535 << "655.35 65535" << 192000u << "192 kHz";
    QTest::newRow("unknown rate") << 100 << 1 << "1.00 0001" << 32000u << "32000 Hz";
}

void StratactlValues::firmwareAndRateTexts()
{
    QFETCH(int, version);
    QFETCH(int, build);
    QFETCH(uint, hz);
    QTEST(firmwareText(uint16_t(version), uint16_t(build)), "firmware");
    QTEST(sampleRateText(hz), "rate");
}

QTEST_APPLESS_MAIN(StratactlValues)
#include "tst_stratactl_values.moc"

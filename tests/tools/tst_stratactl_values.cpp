// The scales and texts stratactl shows: meter records, dB levels, firmware and
// rate texts, repeated library lines, the firmware progress line.
#include <QtTest>

#include "service/repeatedlines.h"
#include "tools/firmwareprogress.h"
#include "tools/meterlayout.h"
#include "tools/unitreport.h"

class StratactlValues : public QObject
{
    Q_OBJECT

private slots:
    void meterRecords_data()
    {
        QTest::addColumn<uint>("kind");
        QTest::addColumn<uint>("channel");
        QTest::addColumn<int>("record");

        QTest::newRow("input 22") << 4u << 22u << 21;
        QTest::newRow("input 23 is no meter") << 4u << 23u << -1;
        QTest::newRow("kind 7 channel 24") << 7u << 24u << 45;
        QTest::newRow("computer 1") << 3u << 1u << 46;
        QTest::newRow("main L") << 2u << 5u << kMainLeftRecord;
        QTest::newRow("kind 8 channel 2") << 8u << 2u << -1;
        QTest::newRow("line outputs have no meter") << 1u << 1u << -1;
    }
    void meterRecords()
    {
        QFETCH(uint, kind);
        QFETCH(uint, channel);
        QTEST(meterRecord(kind, channel), "record");
        // And every record maps back to itself: no gap, no overlap.
        for (int r = 0; r < kMeterRecords; ++r)
            QCOMPARE(meterRecord(meterRecordKind(r), meterRecordChannel(r)), r);
    }

    // shown: the level kept, then in dB with one decimal and with none.
    void levelsInDb_data()
    {
        QTest::addColumn<uint>("raw");
        QTest::addColumn<QString>("shown");

        QTest::newRow("silence") << 0u << "0 -inf -inf";
        QTest::newRow("full scale") << 32767u << "32767 0.0 0";
        QTest::newRow("one above full scale") << 32768u << "32768 0.0 0";
        QTest::newRow("above 32768 is no level") << 32769u << "0 -inf -inf";
        QTest::newRow("half scale") << 16384u << "16384 -6.0 -6";
        QTest::newRow("just below full scale") << 32700u << "32700 0.0 0";
    }
    void levelsInDb()
    {
        QFETCH(uint, raw);
        const uint16_t level = usableLevel(raw);
        QTEST(QStringLiteral("%1 %2 %3").arg(level).arg(levelDbText(level, 1), levelDbText(level, 0)), "shown");
    }

    void firmwareAndRateTexts_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("build");
        QTest::addColumn<uint>("hz");
        QTest::addColumn<QString>("shown");

        QTest::newRow("small numbers") << 5 << 7 << 44100u << "0.05 0007, 44.1 kHz";
        QTest::newRow("build never cut") << 1234 << 12345 << 176400u << "12.34 12345, 176.4 kHz";
        QTest::newRow("unknown rate") << 100 << 1 << 32000u << "1.00 0001, 32000 Hz";
    }
    void firmwareAndRateTexts()
    {
        QFETCH(int, version);
        QFETCH(int, build);
        QFETCH(uint, hz);
        QTEST(firmwareText(uint16_t(version), uint16_t(build)) + ", " + sampleRateText(hz), "shown");
    }

    // Lines in, separated by |, and what is shown, the end of the output included.
    void repeatedLinesShortened_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("shown");
        QTest::newRow("all different") << "a|b|c|d" << "a|b|c|d";
        QTest::newRow("one line") << "a|a|a|b" << "a|last line repeated 2 times|b";
        QTest::newRow("once, at the end") << "x|a|a" << "x|a|last line repeated 1 time";
        QTest::newRow("a group of three") << "a|b|c|a|b|c|a|b|c|d" << "a|b|c|last 3 lines repeated 2 times|d";
        QTest::newRow("group cut short") << "a|b|a|b|a|c" << "a|b|last 2 lines repeated 1 time|a|c";
        QTest::newRow("four is no group") << "a|b|c|d|a|b|c|d" << "a|b|c|d|a|b|c|d";
    }
    void repeatedLinesShortened()
    {
        QFETCH(QString, in);
        RepeatedLines lines;
        QStringList shown;
        for (const QString &line : in.split('|'))
            for (const std::string &out : lines.add(line.toStdString()))
                shown << QString::fromStdString(out);
        for (const std::string &out : lines.flush())
            shown << QString::fromStdString(out);
        QTEST(shown.join('|'), "shown");
    }

    void progressLine_data()
    {
        QTest::addColumn<uint>("pos");
        QTest::addColumn<uint>("length");
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<bool>("verifying");
        QTest::addColumn<QString>("line");
        QTest::newRow("start") << 0u << 27000u << qint64(0) << false << "Sending firmware    0%  0/27000 bytes";
        QTest::newRow("first second") << 12288u << 27000u << qint64(900) << false << "Sending firmware   45%  12288/27000 bytes";
        QTest::newRow("rate") << 12288u << 27000u << qint64(2000) << false
                              << "Sending firmware   45%  12288/27000 bytes  6.0 KiB/s  3 s left";
        QTest::newRow("slow") << 100u << 100000u << qint64(10000) << false
                              << "Sending firmware    0%  100/100000 bytes  10 B/s  166 min 30 s left";
        QTest::newRow("4 GiB - 1") << 0xFFFFFFFFu << 0xFFFFFFFFu << qint64(1000) << false
                                   << "Sending firmware  100%  4294967295/4294967295 bytes  4096.0 MiB/s  0 s left";
        QTest::newRow("verifying") << 27000u << 27000u << qint64(5000) << true
                                   << "Verifying firmware  27000 bytes sent, waiting for the unit";
    }
    void progressLine()
    {
        QFETCH(uint, pos);
        QFETCH(uint, length);
        QFETCH(qint64, ms);
        QFETCH(bool, verifying);
        QTEST(firmwareProgressLine(pos, length, ms, verifying), "line");
    }
};

QTEST_APPLESS_MAIN(StratactlValues)
#include "tst_stratactl_values.moc"

// What the information page shows of the unit: which of the four models it
// is (by exact product name), its firmware, sample rate and serial number.
#include <QtTest>

#include <memory>

#include "panelwindow.h"

using namespace panelwindow;

class InformationPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void init() { m_window = std::make_unique<MainWindow>(); }
    void cleanup() { m_window.reset(); }

    // An empty name is how a failed exchange is reported: no unit, no line.
    void onlyExactNamesAreTaken_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("logged");
        QTest::addColumn<bool>("failedBefore");
        for (const char *model : {"Strata 96", "Strata 10", "Strata 14", "Strata 20"})
            QTest::newRow(model) << model << model << false << false;
        QTest::newRow("lower case") << "strata 96" << "Strata 14" << true << false;
        QTest::newRow("trailing blank") << "Strata 96 " << "Strata 14" << true << false;
        QTest::newRow("no blank") << "Strata20" << "Strata 14" << true << false;
        QTest::newRow("other model") << "Strata 30" << "Strata 14" << true << false;
        QTest::newRow("non-ASCII") << QString::fromUtf8("Strata 96\u00e9") << "Strata 14" << true << false;
        QTest::newRow("empty") << "" << "No Device" << false << false;
        // The last name taken again waits for the one-second tick to forget it.
        QTest::newRow("same after a failed exchange") << "Strata 14" << "No Device" << false << true;
    }
    void onlyExactNamesAreTaken()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(bool, logged);
        QFETCH(bool, failedBefore);
        m_window->slt_RecvDeviceName(QStringLiteral("Strata 14"));
        if (failedBefore)
            m_window->slt_RecvDeviceName(QString());
        DebugCapture debug;
        m_window->slt_RecvDeviceName(name);
        QCOMPARE(text(*m_window, "label_Device"), shown);
        QCOMPARE(debug.lines(), logged ? QStringList{QStringLiteral("[ERROR]Connected Device is [%1]").arg(name)}
                                       : QStringList());
    }

    void firmwareText_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("build");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1.02 build 23") << 102 << 23 << "V1.02 0023";
        QTest::newRow("minor below ten") << 5 << 7 << "V0.05 0007";
        QTest::newRow("major above nine, build never cut") << 1234 << 12345 << "V12.34 12345";
    }
    void firmwareText()
    {
        QFETCH(int, version);
        QFETCH(int, build);
        QFETCH(QString, shown);
        m_window->slt_RecvFirmVersion(static_cast<unsigned short>(version));
        m_window->slt_RecvFirmBuld(static_cast<unsigned short>(build));
        QCOMPARE(text(*m_window, "label_FWVer"), shown);
    }

    // A failed exchange reports zeros, which must not replace the last text.
    void failedExchangeKeepsLastFirmwareText()
    {
        m_window->slt_RecvFirmVersion(102);
        m_window->slt_RecvFirmBuld(23);
        m_window->slt_RecvFirmVersion(0);
        m_window->slt_RecvFirmBuld(0);
        QCOMPARE(text(*m_window, "label_FWVer"), QStringLiteral("V1.02 0023"));
    }

    void sampleRate_data()
    {
        QTest::addColumn<uint>("hz");
        QTest::addColumn<QString>("shown");
        QTest::newRow("44.1") << 44100u << "44.1 kHz";
        QTest::newRow("48") << 48000u << "48 kHz";
        QTest::newRow("88.2") << 88200u << "88.2 kHz";
        QTest::newRow("96") << 96000u << "96 kHz";
        QTest::newRow("176.4") << 176400u << "176.4 kHz";
        QTest::newRow("192") << 192000u << "192 kHz";
        QTest::newRow("32 not offered") << 32000u << "-- kHz";
        QTest::newRow("one off") << 48001u << "-- kHz";
    }
    void sampleRate()
    {
        QFETCH(uint, hz);
        QFETCH(QString, shown);
        m_window->slt_RecvSampleRate(44100);   // so that falling back is seen
        m_window->slt_RecvSampleRate(hz);
        QCOMPARE(text(*m_window, "label_Samplerate"), shown);
    }

    void serialNumber()
    {
        m_window->slt_RecvSerialNumber(QStringLiteral("KS96-004211"));
        QCOMPARE(text(*m_window, "label_SerialNumber"), QStringLiteral("KS96-004211"));
        m_window->slt_RecvSerialNumber(QString());
        QCOMPARE(text(*m_window, "label_SerialNumber"), QStringLiteral("-------"));
    }

private:
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(InformationPageTest)
#include "test_informationpage.moc"

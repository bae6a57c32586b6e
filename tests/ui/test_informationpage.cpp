// What the information page shows of the unit's firmware, sample rate and
// serial number.
#include <QtTest>

#include <memory>

#include "panelwindow.h"
#include "ui/mainwindow.h"

using namespace panelwindow;

class InformationPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithoutUnitValues();
    void firmwareTextFromVersionAndBuild_data();
    void firmwareTextFromVersionAndBuild();
    void versionBeforeBuildKeepsPreviousText();
    void failedExchangeKeepsLastCompleteText();
    void sampleRateTable_data();
    void sampleRateTable();
    void serialNumber_data();
    void serialNumber();

private:
    std::unique_ptr<MainWindow> m_window;
};

void InformationPageTest::initTestCase()
{
    initPanelResources();
}

void InformationPageTest::init()
{
    m_window = std::make_unique<MainWindow>();
}

void InformationPageTest::cleanup()
{
    m_window.reset();
}

void InformationPageTest::startsWithoutUnitValues()
{
    QCOMPARE(text(*m_window, "label_SWVer"), QStringLiteral("V2.00 0023"));
    QCOMPARE(text(*m_window, "label_FWVer"), QStringLiteral("No Device"));
    QCOMPARE(text(*m_window, "label_Samplerate"), QStringLiteral("-- kHz"));
    QCOMPARE(text(*m_window, "label_Device"), QStringLiteral("a"));
    QVERIFY(!shown(*m_window, "label_SerialNumber"));
    QVERIFY(!shown(*m_window, "horizontalSlider_BufferSize"));
    QVERIFY(!shown(*m_window, "label_BufferSize"));
}

void InformationPageTest::firmwareTextFromVersionAndBuild_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("build");
    QTest::addColumn<QString>("shown");
    QTest::newRow("1.02 build 23") << 102 << 23 << "V1.02 0023";
    QTest::newRow("minor below ten") << 5 << 7 << "V0.05 0007";
    QTest::newRow("major above nine, build never cut") << 1234 << 12345 << "V12.34 12345";
    QTest::newRow("whole version") << 200 << 1 << "V2.00 0001";
    QTest::newRow("largest values") << 65535 << 65535 << "V655.35 65535";
}

void InformationPageTest::firmwareTextFromVersionAndBuild()
{
    QFETCH(int, version);
    QFETCH(int, build);
    QFETCH(QString, shown);

    m_window->slt_RecvFirmVersion(static_cast<unsigned short>(version));
    m_window->slt_RecvFirmBuld(static_cast<unsigned short>(build));

    QCOMPARE(text(*m_window, "label_FWVer"), shown);
}

void InformationPageTest::versionBeforeBuildKeepsPreviousText()
{
    m_window->slt_RecvFirmVersion(102);
    QCOMPARE(text(*m_window, "label_FWVer"), QStringLiteral("VNo Device"));

    m_window->slt_RecvFirmBuld(23);
    QCOMPARE(text(*m_window, "label_FWVer"), QStringLiteral("V1.02 0023"));

    // A second unit: its version alone still shows the first unit's text.
    m_window->slt_RecvFirmVersion(0);
    m_window->slt_RecvFirmBuld(0);
    m_window->slt_RecvFirmVersion(310);
    QCOMPARE(text(*m_window, "label_FWVer"), QStringLiteral("V1.02 0023"));
    m_window->slt_RecvFirmBuld(40);
    QCOMPARE(text(*m_window, "label_FWVer"), QStringLiteral("V3.10 0040"));
}

void InformationPageTest::failedExchangeKeepsLastCompleteText()
{
    m_window->slt_RecvFirmVersion(102);
    m_window->slt_RecvFirmBuld(23);

    m_window->slt_RecvFirmVersion(0);
    m_window->slt_RecvFirmBuld(0);

    QCOMPARE(text(*m_window, "label_FWVer"), QStringLiteral("V1.02 0023"));
}

void InformationPageTest::sampleRateTable_data()
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
    QTest::newRow("zero") << 0u << "-- kHz";
    QTest::newRow("one off") << 48001u << "-- kHz";
    QTest::newRow("largest") << 0xFFFFFFFFu << "-- kHz";
}

void InformationPageTest::sampleRateTable()
{
    QFETCH(uint, hz);
    QFETCH(QString, shown);
    // A known rate first, so that falling back to "-- kHz" is seen to happen.
    m_window->slt_RecvSampleRate(44100);

    m_window->slt_RecvSampleRate(hz);

    QCOMPARE(text(*m_window, "label_Samplerate"), shown);
}

void InformationPageTest::serialNumber_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("shown");
    QTest::newRow("reported") << "KS96-004211" << "KS96-004211";
    QTest::newRow("blanks kept") << " 0042 " << " 0042 ";
    QTest::newRow("none") << "" << "-------";
}

void InformationPageTest::serialNumber()
{
    QFETCH(QString, serial);
    QFETCH(QString, shown);

    m_window->slt_RecvSerialNumber(serial);

    QCOMPARE(text(*m_window, "label_SerialNumber"), shown);
}

QTEST_MAIN(InformationPageTest)
#include "test_informationpage.moc"

// The meter page's controls on the panel's window: meter source and
// peak-hold buttons, what they store and restore after a restart, the hold
// clears, and which rec-function replies are taken.
#include <QtTest>

#include <QLabel>
#include <QPushButton>

#include <memory>

#include "meter/meterstyles.h"
#include "service/datamanager.h"
#include "ui/mainwindow.h"

namespace {

const QString kSourceSelected = QString::fromLatin1(meter::kSourceSelectedStyle);
const QString kSourceUnselected = QString::fromLatin1(meter::kSourceUnselectedStyle);
const QString kHoldSelected = QString::fromLatin1(meter::kPeakHoldSelectedStyle);
const QString kHoldUnselected = QString::fromLatin1(meter::kPeakHoldUnselectedStyle);
const QString kHoldOffFlat = QString::fromLatin1(meter::kPeakHoldOffFlatStyle);
const QString kRecGrey = QStringLiteral(
    "QLabel{background-color: #CECECE; border-radius:1px;  border-color:#000000; border-width:1px; color:#0D0D0D;}");
const QString kRecBlack = QStringLiteral(
    "QLabel{background-color: #000000; border-radius:1px;  border-color:#000000; border-width:1px; color:#FFFFFF;}");
const QString kRecRed = QStringLiteral(
    "QLabel{background-color: #CB2700; border-radius:1px;  border-color:#000000; border-width:1px; color:#FFFFFF;}");

const char *const kSourceButtons[] = {"pushButton_MTRSource", "pushButton_Analog", "pushButton_USB",
                                      "pushButton_MTR"};
const char *const kHoldButtons[] = {"pushButton_PeakHoldOff", "pushButton_PeakHold1s",
                                    "pushButton_PeakHold3s", "pushButton_PeakHoldInf"};

QString stripName(const char *prefix, int k)
{
    if (k < 22)
        return QString::fromLatin1(prefix) + QString::number(k + 1);
    return QString::fromLatin1(prefix) + (k == 22 ? QLatin1Char('L') : QLatin1Char('R'));
}

} // namespace

class MeterPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void init()
    {
        DataManager::setMeterSource(0);
        DataManager::setPeakHold(1);
        m_window = std::make_unique<MainWindow>();
    }
    void cleanup() { m_window.reset(); }

    void sourceButtonStoresMarksAndEmptiesChannelBars_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("labelStyle");
        QTest::newRow("MTR SOURCE") << 0 << kRecGrey;
        QTest::newRow("MIC / LINE") << 1 << kRecBlack;
        QTest::newRow("USB RETURN") << 2 << kRecBlack;
        QTest::newRow("MTR RETURN") << 3 << kRecBlack;
    }
    void sourceButtonStoresMarksAndEmptiesChannelBars()
    {
        QFETCH(int, source);
        QFETCH(QString, labelStyle);
        // Start from another source with standing bars.
        const int other = (source + 1) % 4;
        child<QPushButton>(QLatin1String(kSourceButtons[other]))->click();
        for (int k = 0; k < 24; ++k)
            bar(k)->setGeometry(100 + k, 300, 18, 246);

        child<QPushButton>(QLatin1String(kSourceButtons[source]))->click();

        QCOMPARE(DataManager::getMeterSource(), QString::number(source));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(style(kSourceButtons[i]), i == source ? kSourceSelected : kSourceUnselected);
        for (int k = 0; k < 22; ++k)
            QCOMPARE(recStyle(k), labelStyle);
        QCOMPARE(child(QStringLiteral("label_meter1"))->geometry(), QRect(50, 546, 18, 0));
        QCOMPARE(child(QStringLiteral("label_meter22"))->geometry(), QRect(902, 546, 18, 0));
        QCOMPARE(child(QStringLiteral("label_meter_mainL"))->geometry(), QRect(122, 300, 18, 246));
        QCOMPARE(child(QStringLiteral("label_meter_mainR"))->geometry(), QRect(123, 300, 18, 246));
    }

    void peakHoldButtonStoresAndShowsMarkers_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("markers");
        QTest::addColumn<QString>("offStyle");
        QTest::newRow("OFF") << 0 << false << kHoldSelected;
        QTest::newRow("1 SEC") << 1 << true << kHoldOffFlat;
        QTest::newRow("3 SEC") << 2 << true << kHoldUnselected;
        QTest::newRow("infinite") << 3 << true << kHoldUnselected;
    }
    void peakHoldButtonStoresAndShowsMarkers()
    {
        QFETCH(int, mode);
        QFETCH(bool, markers);
        QFETCH(QString, offStyle);
        child<QPushButton>(QLatin1String(kHoldButtons[(mode + 2) % 4]))->click();
        // A held peak above the bar, dropped by the click.
        child(QStringLiteral("label_meter5"))->setGeometry(186, 446, 18, 100);
        child<QPushButton>(QStringLiteral("pushButton_HoldClear"))->click();
        child(QStringLiteral("label_meter5"))->setGeometry(186, 546, 18, 0);

        child<QPushButton>(QLatin1String(kHoldButtons[mode]))->click();

        QCOMPARE(DataManager::getPeakHold(), QString::number(mode));
        QCOMPARE(style(kHoldButtons[0]), offStyle);
        for (int i = 1; i < 4; ++i)
            QCOMPARE(style(kHoldButtons[i]), i == mode ? kHoldSelected : kHoldUnselected);
        for (int k = 0; k < 24; ++k)
            QCOMPARE(!child(stripName("label_peak", k))->isHidden(), markers);
        QCOMPARE(child(QStringLiteral("label_peak5"))->y(), child(QStringLiteral("label_peak4"))->y());
        QCOMPARE(child<QPushButton>(QStringLiteral("pushButton_peakText5"))->text(), QStringLiteral(" -inf"));
    }

    void storedSettingsComeBackAfterRestart_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("mode");
        QTest::newRow("USB RETURN, 3 SEC") << 2 << 2;
        QTest::newRow("MTR RETURN, OFF") << 3 << 0;
        QTest::newRow("MIC / LINE, infinite") << 1 << 3;
    }
    void storedSettingsComeBackAfterRestart()
    {
        QFETCH(int, source);
        QFETCH(int, mode);
        child<QPushButton>(QLatin1String(kSourceButtons[source]))->click();
        child<QPushButton>(QLatin1String(kHoldButtons[mode]))->click();

        restart();

        QCOMPARE(style(kSourceButtons[source]), kSourceSelected);
        QCOMPARE(style(kHoldButtons[mode]), kHoldSelected);
        QCOMPARE(!child(QStringLiteral("label_peakL"))->isHidden(), mode != 0);
        m_window->timerInterrupt_500ms();
        QCOMPARE(recStyle(0), source == 0 ? kRecGrey : kRecBlack);
    }

    void unknownStoredValuesMarkNoButton()
    {
        DataManager::setMeterSource(7);
        DataManager::setPeakHold(9);
        restart();
        for (const char *name : kSourceButtons)
            QVERIFY(style(name) != kSourceSelected);
        for (const char *name : kHoldButtons)
            QVERIFY(style(name) != kHoldSelected);
        QCOMPARE(DataManager::getPeakHold(), QStringLiteral("9"));
    }

    void readoutClickClearsOnlyItsStrip_data()
    {
        QTest::addColumn<int>("strip");
        QTest::newRow("channel 1") << 0;
        QTest::newRow("channel 22") << 21;
        QTest::newRow("main L") << 22;
        QTest::newRow("main R") << 23;
    }
    void readoutClickClearsOnlyItsStrip()
    {
        QFETCH(int, strip);
        for (int k = 0; k < 24; ++k)
            bar(k)->setGeometry(bar(k)->x(), 446, 18, 100);
        QList<int> markerTops;
        for (int k = 0; k < 24; ++k)
            markerTops << child(stripName("label_peak", k))->y();

        child<QPushButton>(stripName("pushButton_peakText", strip))->click();

        for (int k = 0; k < 24; ++k) {
            const QString readout = child<QPushButton>(stripName("pushButton_peakText", k))->text();
            const int top = child(stripName("label_peak", k))->y();
            if (k == strip) {
                QVERIFY(readout != QLatin1String(" -inf"));
                QVERIFY(top < markerTops[k]);
            } else {
                QCOMPARE(readout, QStringLiteral(" -inf"));
                QCOMPARE(top, markerTops[k]);
            }
        }
    }

    void recFunctionReplyLength_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("taken");
        QTest::newRow("23 bytes: channels and main") << 23 << true;
        QTest::newRow("40 bytes: first 32 stored") << 40 << true;
        QTest::newRow("97 bytes") << 97 << true;
        QTest::newRow("98 bytes: ignored") << 98 << false;
        QTest::newRow("empty: ignored") << 0 << false;
    }
    void recFunctionReplyLength()
    {
        QFETCH(int, length);
        QFETCH(bool, taken);
        m_window->slt_RecvRecFunction(QByteArray(length, '\1'));
        m_window->timerInterrupt_500ms();
        const QString expected = taken ? kRecRed : kRecGrey;
        QCOMPARE(recStyle(0), expected);
        QCOMPARE(recStyle(21), expected);
        QCOMPARE(recStyle(22), expected);
    }

    void shortReplyKeepsLaterStates()
    {
        m_window->slt_RecvRecFunction(QByteArray(23, '\1'));
        m_window->slt_RecvRecFunction(QByteArray(5, '\0'));
        m_window->timerInterrupt_500ms();
        QCOMPARE(recStyle(4), kRecGrey);
        QCOMPARE(recStyle(5), kRecRed);
        QCOMPARE(recStyle(22), kRecRed);
    }

private:
    template <class T = QWidget>
    T *child(const QString &name) const
    {
        T *w = m_window->findChild<T *>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    QString style(const char *name) const { return child(QLatin1String(name))->styleSheet(); }
    QWidget *bar(int k) const
    {
        if (k < 22)
            return child(stripName("label_meter", k));
        return child(k == 22 ? QStringLiteral("label_meter_mainL") : QStringLiteral("label_meter_mainR"));
    }
    QString recStyle(int k) const { return child(stripName("label_recfunc", k))->styleSheet(); }
    void restart() { m_window.reset(); m_window = std::make_unique<MainWindow>(); }

    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(MeterPageTest)
#include "test_meterpage.moc"

// The meter page on the panel's window: meter source and peak-hold buttons,
// what they store and restore after a restart, the hold clears, and the
// rec-function indicators as replies and the half-second tick set them.
#include <QtTest>

#include <QPushButton>
#include <QStatusBar>

#include <memory>

#include "meter/meterstyles.h"
#include "service/datamanager.h"
#include "service/settingsstore.h"
#include "ui/mainwindow.h"

static const QString kSourceOn = QString::fromLatin1(meter::kSourceSelectedStyle);
static const QString kSourceOff = QString::fromLatin1(meter::kSourceUnselectedStyle);
static const QString kHoldOn = QString::fromLatin1(meter::kPeakHoldSelectedStyle);
static const QString kHoldOff = QString::fromLatin1(meter::kPeakHoldUnselectedStyle);
static const QString kRed("QLabel{background-color: #CB2700; border-radius:1px;  border-color:#000000; border-width:1px; color:#FFFFFF;}");
static const QString kGrey("QLabel{background-color: #CECECE; border-radius:1px;  border-color:#000000; border-width:1px; color:#0D0D0D;}");
static const QString kBlack("QLabel{background-color: #000000; border-radius:1px;  border-color:#000000; border-width:1px; color:#FFFFFF;}");
static const char *const kSources[] = {"pushButton_MTRSource", "pushButton_Analog", "pushButton_USB", "pushButton_MTR"};
static const char *const kHolds[] = {"pushButton_PeakHoldOff", "pushButton_PeakHold1s", "pushButton_PeakHold3s",
                                     "pushButton_PeakHoldInf"};

static QString strip(const char *prefix, int k)
{
    return QLatin1String(prefix) + (k < 22 ? QString::number(k + 1) : QString(k == 22 ? "L" : "R"));
}

class MeterPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        // A manifest address the update check refuses at once: no host lookup.
        DataManager::saveSetting(QStringLiteral("Update"), QStringLiteral("JsonUrl"), QStringLiteral("file:///nowhere"));
    }
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
        for (int s = 0; s < 4; ++s)
            QTest::newRow(kSources[s]) << s;
    }
    void sourceButtonStoresMarksAndEmptiesChannelBars()
    {
        QFETCH(int, source);
        click(kSources[(source + 1) % 4]);
        for (const char *name : {"label_meter1", "label_meter22", "label_meter_mainL"})
            child(name)->setGeometry(122, 300, 18, 246);
        click(kSources[source]);
        QCOMPARE(DataManager::getMeterSource(), QString::number(source));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(child(kSources[i])->styleSheet(), i == source ? kSourceOn : kSourceOff);
        QCOMPARE(child("label_meter1")->geometry(), QRect(50, 546, 18, 0));
        QCOMPARE(child("label_meter22")->geometry(), QRect(902, 546, 18, 0));
        QCOMPARE(child("label_meter_mainL")->geometry(), QRect(122, 300, 18, 246));
    }

    void peakHoldButtonStoresAndShowsMarkers_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("offStyle");
        QTest::newRow("OFF") << 0 << kHoldOn;
        QTest::newRow("1 SEC") << 1 << QString::fromLatin1(meter::kPeakHoldOffFlatStyle);
        QTest::newRow("3 SEC") << 2 << kHoldOff;
        QTest::newRow("infinite") << 3 << kHoldOff;
    }
    void peakHoldButtonStoresAndShowsMarkers()
    {
        QFETCH(int, mode);
        QFETCH(QString, offStyle);
        click(kHolds[(mode + 2) % 4]);
        // A held peak above the bar, which the click drops.
        child("label_meter5")->setGeometry(186, 446, 18, 100);
        click("pushButton_HoldClear");
        child("label_meter5")->setGeometry(186, 546, 18, 0);
        click(kHolds[mode]);
        QCOMPARE(DataManager::getPeakHold(), QString::number(mode));
        QCOMPARE(child(kHolds[0])->styleSheet(), offStyle);
        for (int i = 1; i < 4; ++i)
            QCOMPARE(child(kHolds[i])->styleSheet(), i == mode ? kHoldOn : kHoldOff);
        for (int k = 0; k < 24; ++k)
            QCOMPARE(child(strip("label_peak", k))->isHidden(), mode == 0);
        QCOMPARE(child("label_peak5")->y(), child("label_peak4")->y());
        QCOMPARE(readout(4), " -inf");
    }

    // Values the panel never stores (7, 9) must not index its button lists.
    void storedSettingsComeBackAfterRestart_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("mode");
        QTest::newRow("USB RETURN, 3 SEC") << 2 << 2;
        QTest::newRow("MTR RETURN, OFF") << 3 << 0;
        QTest::newRow("unknown values") << 7 << 9;
    }
    void storedSettingsComeBackAfterRestart()
    {
        QFETCH(int, source);
        QFETCH(int, mode);
        DataManager::setMeterSource(uint8_t(source));
        DataManager::setPeakHold(uint8_t(mode));
        restart();
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(child(kSources[i])->styleSheet() == kSourceOn, i == source);
            QCOMPARE(child(kHolds[i])->styleSheet() == kHoldOn, i == mode);
        }
        if (mode < 4)
            QCOMPARE(child("label_peakL")->isHidden(), mode == 0);
    }

    // Applying the stored choices at start writes nothing: the user's own
    // lines in the file stay.
    void startLeavesTheSettingsFileAlone()
    {
        const QByteArray mine("; mine\n[Other]\nfoo=1\n\n[Meter]\nSource=2\n\n[PeakHold]\nType=3\n");
        QFile file(SettingsStore::fileName());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(mine) == mine.size());
        file.close();
        restart();
        QCOMPARE(child(kHolds[3])->styleSheet(), kHoldOn);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), mine);
    }

    // With a file in place of the settings folder, the first choice that is
    // not saved says so once, in the log and the window's status line.
    void unsavedChoiceIsSaidOnce()
    {
        const QString path = SettingsStore::fileName();
        const QString folder = QFileInfo(path).path();
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        unsaved().clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectUnsaved);
        click(kSources[2]);
        click(kHolds[3]);
        qInstallMessageHandler(previous);
        QVERIFY(blocker.remove());
        const QString said = "Settings cannot be saved to " + path;
        QCOMPARE(unsaved(), QStringList{said});
        QCOMPARE(m_window->statusBar()->currentMessage(), said);
    }

    // Every readout clears the hold of its own strip; each bar stands at a
    // height of its own.
    void readoutClickClearsItsStrip()
    {
        for (int k = 0; k < 24; ++k)
            child(strip(k < 22 ? "label_meter" : "label_meter_main", k))->setGeometry(0, 446 - k, 18, 100 + k);
        for (int k = 0; k < 24; ++k) {
            click(strip("pushButton_peakText", k));
            QCOMPARE(child(strip("label_peak", k))->y(), 446 - k);
        }
        QCOMPARE(readout(0), "-34.5");
    }

    void stateOverTwoTicks_data()
    {
        QTest::addColumn<int>("index");   // 22: the main bus, on both main labels
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("firstTick");
        QTest::addColumn<QString>("secondTick");
        QTest::newRow("lit, channel 1") << 0 << 1 << kRed << kRed;
        // The blink phase starts clear, so a blinking label starts grey.
        QTest::newRow("blinking") << 6 << 2 << kGrey << kRed;
        QTest::newRow("unknown state 255") << 4 << 255 << kGrey << kGrey;
        QTest::newRow("main lit") << 22 << 1 << kRed << kRed;
        QTest::newRow("main blinking") << 22 << 2 << kGrey << kRed;
    }
    void stateOverTwoTicks()
    {
        QFETCH(int, index);
        QFETCH(int, state);
        QFETCH(QString, firstTick);
        QFETCH(QString, secondTick);
        QByteArray states(23, '\0');
        states[index] = static_cast<char>(state);
        m_window->slt_RecvRecFunction(states);
        for (const QString &expected : {firstTick, secondTick, firstTick}) {
            m_window->timerInterrupt_500ms();
            QCOMPARE(recStyle(index), expected);
            if (index == 22)
                QCOMPARE(recStyle(23), expected);
        }
    }

    // The click recolours at once; the tick keeps it so from the stored source.
    void otherMeterSourceBlackensOnlyChannelLabels()
    {
        m_window->slt_RecvRecFunction(QByteArray(23, '\1'));
        click("pushButton_MTR");
        QCOMPARE(recStyle(0), kBlack);
        m_window->timerInterrupt_500ms();
        for (int i = 0; i < 22; ++i)
            QCOMPARE(recStyle(i), kBlack);
        QCOMPARE(recStyle(22), kRed);
        click("pushButton_MTRSource");
        QCOMPARE(recStyle(21), kGrey);
    }

    // A reply overwrites as many states as it brings; the others stay.
    void replyLength_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("taken");
        QTest::newRow("5 bytes") << 5 << true;
        QTest::newRow("23 bytes: channels and main") << 23 << true;
        QTest::newRow("40 bytes: first 32 stored") << 40 << true;
        QTest::newRow("97 bytes") << 97 << true;
        QTest::newRow("98 bytes: ignored") << 98 << false;
        QTest::newRow("empty: ignored") << 0 << false;
    }
    void replyLength()
    {
        QFETCH(int, length);
        QFETCH(bool, taken);
        m_window->slt_RecvRecFunction(QByteArray(23, '\1'));
        m_window->slt_RecvRecFunction(QByteArray(length, '\0'));
        m_window->timerInterrupt_500ms();
        for (int i : {0, 4, 5, 21, 22})
            QCOMPARE(recStyle(i), taken && i < length ? kGrey : kRed);
    }

private:
    static QStringList &unsaved() { static QStringList lines; return lines; }
    static void collectUnsaved(QtMsgType, const QMessageLogContext &, const QString &text)
    {
        if (text.contains("cannot be saved"))
            unsaved() << text;
    }
    QWidget *child(const QString &name) const
    {
        QWidget *w = m_window->findChild<QWidget *>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    void click(const QString &name) { static_cast<QPushButton *>(child(name))->click(); }
    QString recStyle(int k) const { return child(strip("label_recfunc", k))->styleSheet(); }
    QString readout(int k) const { return static_cast<QPushButton *>(child(strip("pushButton_peakText", k)))->text(); }
    void restart() { m_window.reset(); m_window = std::make_unique<MainWindow>(); }

    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(MeterPageTest)
#include "test_meterpage.moc"

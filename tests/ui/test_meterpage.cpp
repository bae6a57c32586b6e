// The meter page's buttons, stored choices, indicators and keyboard access.
#include <QtTest>

#include <QAccessible>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include <memory>

#include "meter/meterstyles.h"
#include "panelwindow.h"
#include "service/datamanager.h"
#include "service/settingsstore.h"
#include "test_table.h"
#include "ui/focusmark.h"

using namespace panelwindow;

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

static const char kNoFocus[] = "the platform does not activate the window, so there is no keyboard focus";

static QStringList meterPageOrder()
{
    QStringList order{"pushButton_Information", "pushButton_PeakHoldOff", "pushButton_PeakHold1s",
                      "pushButton_PeakHold3s", "pushButton_PeakHoldInf", "pushButton_HoldClear", "pushButton_MTRSource",
                      "pushButton_Analog", "pushButton_USB", "pushButton_MTR"};
    for (int k = 0; k < 24; ++k)
        order.append(strip("pushButton_peakText", k));
    return order;
}
static const QStringList kMeterPageOrder = meterPageOrder();

static QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

class MeterPageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initPanelTest();
        QVERIFY(noUnit());   // a unit coming would turn the window to its information page
    }
    void init()
    {
        DataManager::setMeterSource(0);
        DataManager::setPeakHold(1);
        m_window = std::make_unique<MainWindow>();
        widget<QStackedWidget>(*m_window, "stackedWidget")->setCurrentIndex(Meter);
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
        // Marked only by colour; a screen reader hears the choice as a pressed toggle.
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(child(kSources[i])->styleSheet(), i == source ? kSourceOn : kSourceOff);
            QVERIFY(a11y(kSources[i]).checkable);
            QCOMPARE(bool(a11y(kSources[i]).checked), i == source);
        }
        QCOMPARE(child("label_meter1")->geometry(), QRect(50, 546, 18, 0));
        QCOMPARE(child("label_meter22")->geometry(), QRect(902, 546, 18, 0));
        QCOMPARE(child("label_meter_mainL")->geometry(), QRect(122, 300, 18, 246));
    }

    void peakHoldButtonStoresAndShowsMarkers_data()
    {
        addColumns<int, QString>("mode", "offStyle");
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
        for (int i = 0; i < 4; ++i)
            QCOMPARE(bool(a11y(kHolds[i]).checked), i == mode);
        QVERIFY(!a11y("pushButton_HoldClear").checkable);   // chooses nothing
        for (int k = 0; k < 24; ++k)
            QCOMPARE(child(strip("label_peak", k))->isHidden(), mode == 0);
        QCOMPARE(child("label_peak5")->y(), child("label_peak4")->y());
        QCOMPARE(readout(4), " -inf");
    }

    // Values the panel never stores (7, 9) must not index its button lists.
    // Applying the stored choices at start writes nothing: the user's own
    // lines in the file stay.
    void storedSettingsComeBackAfterRestart_data()
    {
        addColumns<int, int>("source", "mode");
        QTest::newRow("USB RETURN, 3 SEC") << 2 << 2;
        QTest::newRow("MTR RETURN, OFF") << 3 << 0;
        QTest::newRow("unknown values") << 7 << 9;
    }
    void storedSettingsComeBackAfterRestart()
    {
        QFETCH(int, source);
        QFETCH(int, mode);
        const QByteArray mine = QStringLiteral("; mine\n[Other]\nfoo=1\n\n[Meter]\nSource=%1\n\n[PeakHold]\nType=%2\n")
                                    .arg(source).arg(mode).toLatin1();
        QFile file(SettingsStore::fileName());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(mine) == mine.size());
        file.close();
        restart();
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(child(kSources[i])->styleSheet() == kSourceOn, i == source);
            QCOMPARE(child(kHolds[i])->styleSheet() == kHoldOn, i == mode);
        }
        if (mode < 4)
            QCOMPARE(child("label_peakL")->isHidden(), mode == 0);
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
        DebugCapture debug;
        click(kSources[2]);
        click(kHolds[3]);
        QVERIFY(blocker.remove());
        const QString said = "Settings cannot be saved to " + path;
        QCOMPARE(debug.lines().filter(QStringLiteral("cannot be saved")), QStringList{said});
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
        // index 22: the main bus, on both main labels
        addColumns<int, int, QString, QString>("index", "state", "firstTick", "secondTick");
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
        addColumns<int, bool>("length", "taken");
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

    // Tab goes round the page once in reading order, each button named.
    void tabVisitsEveryMeterButtonInOrder()
    {
        if (!activate())
            QSKIP(kNoFocus);
        QStringList visited;
        for (int i = 0; i < 2 * kMeterPageOrder.size(); ++i) {
            pressKey(Qt::Key_Tab);
            const QString name = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            if (visited.contains(name))
                break;
            visited.append(name);
        }
        // Activation may already have given the focus to the first button.
        const int start = visited.indexOf(kMeterPageOrder.first());
        QVERIFY2(start >= 0, qPrintable(visited.join(' ')));
        QCOMPARE(visited.mid(start) + visited.mid(0, start), kMeterPageOrder);

        QStringList pageButtons;
        for (QPushButton *b : widget(*m_window, "STRATAMeter")->findChildren<QPushButton *>()) {
            if (!b->isHidden())
                pageButtons.append(b->objectName());
        }
        pageButtons.sort();
        visited.sort();
        QCOMPARE(visited, pageButtons);
        for (const QString &name : kMeterPageOrder)
            QVERIFY2(!accessibleName(widget(*m_window, qPrintable(name))).isEmpty(), qPrintable(name));
    }

    void focusMarkShowsForKeyboardOnlyAndCtrlQCloses()
    {
        if (!activate())
            QSKIP(kNoFocus);
        focusByTab("pushButton_USB");
        pressKey(Qt::Key_Space);   // operates the button and keeps the ring
        QCOMPARE(DataManager::getMeterSource(), QStringLiteral("2"));
        auto *mark = m_window->findChild<FocusMark *>();
        QVERIFY(mark);
        QCOMPARE(mark->markedButton(), widget<QAbstractButton>(*m_window, "pushButton_USB"));
        QVERIFY(mark->geometry().contains(widget(*m_window, "pushButton_USB")->geometry()));
        // A menu closed with Escape hands the focus, and the ring, back.
        auto *menu = widget<QMenu>(*m_window, "menuWindow");
        m_window->menuBar()->setActiveAction(menu->menuAction());
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_COMPARE(m_window->focusWidget(), widget(*m_window, "pushButton_USB"));   // not the menu bar
        QVERIFY(activate());   // where no window manager does it
        QTRY_COMPARE(mark->markedButton(), widget<QAbstractButton>(*m_window, "pushButton_USB"));
        // Around a readout the ring clears the widest reading.
        auto *readout = widget<QPushButton>(*m_window, "pushButton_peakText5");
        focusByTab("pushButton_peakText5");
        QVERIFY(mark->width() >= readout->fontMetrics().horizontalAdvance(QStringLiteral("-10.9")) + 6);
        readout->repaint();   // focused, it is painted whole, past the text's rows
        // The ring goes with the page of its button.
        focusByTab("pushButton_Information");
        QTRY_COMPARE(mark->markedButton(), widget<QAbstractButton>(*m_window, "pushButton_Information"));
        pressKey(Qt::Key_Space);
        QCOMPARE(page(*m_window), int(Info));
        QVERIFY(mark->isHidden());
        widget<QStackedWidget>(*m_window, "stackedWidget")->setCurrentIndex(Meter);
        QTest::mouseClick(widget(*m_window, "pushButton_MTR"), Qt::LeftButton);
        QCOMPARE(mark->markedButton(), nullptr);
        QCOMPARE(DataManager::getMeterSource(), QStringLiteral("3"));
        QVERIFY(activate());
        QTest::keyClick(m_window.get(), Qt::Key_Q, Qt::ControlModifier);   // Ctrl+Q closes the window
        QVERIFY(!m_window->isVisible());
    }

    // Each button is announced by what it does; a readout with its strip
    // and level as it shows them now (`text`, set first when not empty).
    void buttonNames_data()
    {
        addColumns<QString, QString, QString>("button", "text", "name");
        QTest::newRow("infinite") << "pushButton_PeakHoldInf" << "" << "Peak hold infinite";
        QTest::newRow("CLEAR") << "pushButton_HoldClear" << "" << "Clear all held peaks";
        QTest::newRow("USB RETURN") << "pushButton_USB" << "" << "Meter source: USB RETURN";
        QTest::newRow("METERS") << "pushButton_Meter" << "" << "Meters page";
        QTest::newRow("channel") << "pushButton_peakText5" << "-4.5" << "Channel 5 peak, -4.5 dB";
        QTest::newRow("below range") << "pushButton_peakText22" << " -inf" << "Channel 22 peak, no signal";
        QTest::newRow("main L") << "pushButton_peakTextL" << "0.0" << "Main L peak, 0.0 dB";
        QTest::newRow("main R") << "pushButton_peakTextR" << "-12.0" << "Main R peak, -12.0 dB";
    }
    void buttonNames()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        auto *b = widget<QPushButton>(*m_window, qPrintable(button));
        if (!text.isEmpty())
            b->setText(text);
        QTEST(accessibleName(b), "name");
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(b);
        QCOMPARE(iface->role(), QAccessible::Button);
        QVERIFY(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }

private:
    QWidget *child(const QString &name) const { return widget(*m_window, qPrintable(name)); }
    QAccessible::State a11y(const QString &name) const { return QAccessible::queryAccessibleInterface(child(name))->state(); }
    void click(const QString &name) { static_cast<QPushButton *>(child(name))->click(); }
    QString recStyle(int k) const { return child(strip("label_recfunc", k))->styleSheet(); }
    QString readout(int k) const { return static_cast<QPushButton *>(child(strip("pushButton_peakText", k)))->text(); }
    void restart() { m_window.reset(); m_window = std::make_unique<MainWindow>(); }

    bool activate()
    {
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        return QTest::qWaitForWindowActive(m_window.get());
    }
    void pressKey(Qt::Key key)
    {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : m_window.get(), key);
    }
    void focusByTab(const QString &name)
    {
        for (int i = 0; i <= kMeterPageOrder.size(); ++i) {
            if (QApplication::focusWidget() && QApplication::focusWidget()->objectName() == name)
                return;
            pressKey(Qt::Key_Tab);
        }
        QFAIL(qPrintable(name + QStringLiteral(" is not reached with Tab")));
    }

    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(MeterPageTest)
#include "test_meterpage.moc"

// Reaching, operating and hearing every button of the meter page with the
// keyboard alone, the way a screen-reader user goes through it.
#include <QtTest>

#include <QAccessible>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <memory>

#include "panelwindow.h"
#include "service/datamanager.h"
#include "ui/focusmark.h"

using namespace panelwindow;
static const char kNoFocus[] = "the platform does not activate the window, so there is no keyboard focus";

static QStringList meterPageOrder()
{
    QStringList order{"pushButton_Information", "pushButton_PeakHoldOff", "pushButton_PeakHold1s",
                      "pushButton_PeakHold3s", "pushButton_PeakHoldInf", "pushButton_HoldClear", "pushButton_MTRSource",
                      "pushButton_Analog", "pushButton_USB", "pushButton_MTR"};
    for (int strip = 1; strip <= 22; ++strip)
        order.append(QStringLiteral("pushButton_peakText%1").arg(strip));
    return order << "pushButton_peakTextL" << "pushButton_peakTextR";
}
static const QStringList kMeterPageOrder = meterPageOrder();

static QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

class KeyboardAccessTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initPanelTest(); }
    void init()
    {
        DataManager::setMeterSource(0);
        DataManager::setPeakHold(1);
        m_window = std::make_unique<MainWindow>();
        widget<QStackedWidget>(*m_window, "stackedWidget")->setCurrentIndex(Meter);
        m_window->show();
    }
    void cleanup() { m_window.reset(); }

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
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
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

    // Space operates the focused button. The page marks the chosen source and
    // hold mode only by colour; a screen reader hears it as a pressed toggle.
    void spaceOperatesAndTheChoiceIsAnnouncedPressed_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("meterSource");
        QTest::addColumn<QString>("peakHold");
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("pressed");
        const QStringList atStart{"pushButton_PeakHold1s", "pushButton_MTRSource"};
        QTest::newRow("start") << QString() << "0" << "1" << int(Meter) << atStart;
        QTest::newRow("USB RETURN") << "pushButton_USB" << "2" << "1" << int(Meter)
                                    << QStringList{"pushButton_PeakHold1s", "pushButton_USB"};
        QTest::newRow("3 SEC") << "pushButton_PeakHold3s" << "0" << "2" << int(Meter)
                               << QStringList{"pushButton_PeakHold3s", "pushButton_MTRSource"};
        QTest::newRow("infinite") << "pushButton_PeakHoldInf" << "0" << "3" << int(Meter)
                                  << QStringList{"pushButton_PeakHoldInf", "pushButton_MTRSource"};
        QTest::newRow("INFORMATION") << "pushButton_Information" << "0" << "1" << int(Info) << atStart;
    }
    void spaceOperatesAndTheChoiceIsAnnouncedPressed()
    {
        QFETCH(QString, button);
        if (!button.isEmpty()) {
            if (!activate())
                QSKIP(kNoFocus);
            focusByTab(button);
            pressKey(Qt::Key_Space);
        }
        QTEST(DataManager::getMeterSource(), "meterSource");
        QTEST(DataManager::getPeakHold(), "peakHold");
        QTEST(page(*m_window), "page");
        QStringList checked;
        for (int i = 1; i <= 9; ++i) {
            if (kMeterPageOrder[i] == QLatin1String("pushButton_HoldClear"))   // chooses nothing
                continue;
            QWidget *b = widget(*m_window, qPrintable(kMeterPageOrder[i]));
            const QAccessible::State state = QAccessible::queryAccessibleInterface(b)->state();
            QVERIFY(state.checkable);
            if (state.checked)
                checked.append(b->objectName());
        }
        QTEST(checked, "pressed");
    }

private:
    bool activate()
    {
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

QTEST_MAIN(KeyboardAccessTest)
#include "test_keyboardaccess.moc"

// The window and the service under the faults of STRATA_SIMULATE_FAULTS while a
// user clicks through the pages, for STRATA_SOAK_SECONDS (20 s or 600 s).
#include <QtTest>

#include <QPushButton>

#include "../service/soakwatch.h"
#include "panelwindow.h"

using namespace panelwindow;

class PanelSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initPanelTest(); }

    void windowRidesOutFaults()
    {
        QVERIFY2(qEnvironmentVariable("STRATA_SIMULATE_FAULTS").contains(QLatin1String("unplug")),
                 "run from CTest, which sets the fault list");
        const int seconds = SoakWatch::seconds(20);
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return page(window) == Info; }, 10000));
        SoakWatch watch(&dm, qMax(5000, seconds * 250));

        static const char *const buttons[] = {
            "pushButton_Meter", "pushButton_PeakHold1s", "pushButton_Analog", "pushButton_PeakHoldInf",
            "pushButton_USB", "pushButton_HoldClear", "pushButton_MTR", "pushButton_PeakHoldOff",
            "pushButton_Information", "pushButton_PeakHold3s", "pushButton_Meter",
        };
        int clicks = 0, deadPages = 0, returns = 0, lastPage = page(window);
        QTimer user;
        connect(&user, &QTimer::timeout, this, [&] {
            auto *button = widget<QPushButton>(window, buttons[clicks++ % (sizeof buttons / sizeof *buttons)]);
            if (button->isVisible() && button->isEnabled())
                button->click();
        });
        // Every turn of the page, however short, not a sample of it.
        connect(widget<QStackedWidget>(window, "stackedWidget"), &QStackedWidget::currentChanged, this, [&](int now) {
            deadPages += now == Dead && lastPage != Dead;
            returns += now != Dead && lastPage == Dead;
            lastPage = now;
        });
        user.start(250);
        QTest::qWait(seconds * 1000);
        // A loaded machine may run the pull-outs late: wait for those owed.
        const int owed = qMax(1, seconds / 30);
        const bool pulledOut = QTest::qWaitFor([&] { return deadPages >= owed; }, 30000);
        user.stop();

        const qint64 growth = watch.rssPeak() - watch.rssBaseline();
        qInfo("panel soak %d s: %d clicks, %d pull-outs seen, %d returns, %d returns to idle, "
              "longest exchange %lld ms, resident %lld KiB after warm-up, growth %lld KiB",
              seconds, clicks, deadPages, returns, watch.idleReturns(), watch.longestBusyMs(),
              watch.rssBaseline() / 1024, growth / 1024);
        QVERIFY2(watch.longestBusyMs() < 12000, "an exchange stayed with the worker past every time-out");
        QVERIFY(watch.idleReturns() > seconds);
        QVERIFY(pulledOut);
        // The unit comes back after every pull-out but perhaps the last.
        QVERIFY(returns >= deadPages - 1);
        QVERIFY(QTest::qWaitFor([&] { return page(window) != Dead; }, 10000));
        QVERIFY2(growth <= 2 * 1024 * 1024, "resident memory grew after warm-up");
    }
};

QTEST_MAIN(PanelSoak)
#include "test_soak.moc"

#include "panelrun.h"

#include <cstdio>

#ifdef STRATA_BENCH_PANEL

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "measuredstretch.h"
#include "service/datamanager.h"
#include "ui/appidentity.h"
#include "ui/fontfallback.h"
#include "ui/mainwindow.h"
#include "ui/translationloader.h"

namespace {

constexpr char kModel[] = "Strata 96";
constexpr int kIdentifyTimeoutMs = 15000;
constexpr int kMeterPage = 1;

// Counts how often the bars were resized, to show that metering ran.
class BarMoves : public QObject
{
public:
    long count = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Resize)
            ++count;
        return false;
    }
};

bool waitForModel(const QLabel *device)
{
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (device->text() == QLatin1String(kModel) || waited.elapsed() > kIdentifyTimeoutMs)
            loop.quit();
    });
    poll.start(50);
    loop.exec();
    return device->text() == QLatin1String(kModel);
}

bool openMeterPage(MainWindow &window)
{
    auto *device = window.findChild<QLabel *>(QStringLiteral("label_Device"));
    auto *meterButton = window.findChild<QPushButton *>(QStringLiteral("pushButton_Meter"));
    auto *pages = window.findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    if (!device || !meterButton || !pages || !waitForModel(device)) {
        MeasuredStretch::fail("the panel did not identify the simulated Strata 96");
        return false;
    }
    meterButton->click();
    if (pages->currentIndex() != kMeterPage) {
        MeasuredStretch::fail("the meter page did not open");
        return false;
    }
    return true;
}

// The panel would otherwise ask the maker's server for its manifest at
// start: the run would depend on the internet, and the network and TLS
// libraries would be in the figures or not as the lookup went. Turned off the
// way a user turns it off, so nothing of the network is loaded.
void turnOffUpdateCheck()
{
    DataManager::saveSetting(QStringLiteral("Update"), QStringLiteral("CheckAtStart"), QStringLiteral("false"));
}

} // namespace

int runPanelProcess(int argc, char **argv, int seconds)
{
    const bool metering = qEnvironmentVariable("STRATA_SIMULATE") == QLatin1String(kModel);
    // A settings store of its own, on the peak hold the engine starts with,
    // so that the run neither depends on nor changes the user's settings.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());

    // As strata-panel's main sets the program up.
    QApplication app(argc, argv);
#ifdef STRATA_BENCH_RESOURCES
    Q_INIT_RESOURCE(resources);
#endif
    panel::applyApplicationIdentity();
    panel::installFontFallbacks();
    panel::installTranslations();
    DataManager::setPeakHold(1);
    turnOffUpdateCheck();
    MainWindow window;
    window.show();

    if (metering && !openMeterPage(window))
        return 1;

    BarMoves moves;
    for (QLabel *bar : window.findChildren<QLabel *>(QRegularExpression(QStringLiteral("^label_meter"))))
        bar->installEventFilter(&moves);
    // A unit lost on the way would have taken the window off the meter
    // page; asking the data manager here would add polls of its own.
    auto *pages = window.findChild<QStackedWidget *>(QStringLiteral("stackedWidget"));
    MeasuredStretch stretch(seconds, [&] {
        return QStringLiteral("resizes=%1 page=%2").arg(moves.count).arg(pages ? pages->currentIndex() : -1);
    });
    QTimer::singleShot(0, &stretch, [&] { stretch.begin(); });
    return app.exec();
}

#else

#include "measuredstretch.h"

int runPanelProcess(int, char **, int)
{
    MeasuredStretch::fail("built without the panel");
    return 2;
}

#endif

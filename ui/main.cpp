// strata-panel: the settings panel of the KORVEN Strata mixers.
#include <QApplication>

#include <cstdio>

#include "service/faultoption.h"
#include "service/simulationoption.h"
#include "sim/simunit.h"
#include "ui/appidentity.h"
#include "ui/fontfallback.h"
#include "ui/mainwindow.h"
#include "ui/panelcommandline.h"
#include "ui/processactivity.h"
#include "ui/translationloader.h"

int main(int argc, char *argv[])
{
    const panel::CommandLine commandLine = panel::readCommandLine(argc, argv);
    if (commandLine.exitStatus >= 0)
        return commandLine.exitStatus;
    // Before anything else: a --simulate MODEL restarts the program with the
    // simulated unit selected, since the device service starts before main.
    // A misspelt model would start on an empty simulated bus, so it is
    // refused here.
    bool simulate = false;
    const QString model = SimulationOption::model(argc, argv, &simulate);
    sim::Model known;
    if (simulate && !sim::modelFromName(model.toStdString(), &known)) {
        std::fprintf(stderr, "%s: unknown model '%s': models are Strata 96, Strata 10, Strata 14, Strata 20\n",
                     argv[0], model.toLocal8Bit().constData());
        return 2;
    }
    const QString faultError = FaultOption::environmentError(simulate || SimulationOption::isSimulated());
    if (!faultError.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", argv[0], faultError.toLocal8Bit().constData());
        return 2;
    }
    if (!SimulationOption::apply(argc, argv))
        return 1;
    argc = SimulationOption::strip(argc, argv);

    panel::beginPollingActivity();

    QApplication application(argc, argv);
    Q_INIT_RESOURCE(resources);
    panel::applyApplicationIdentity();
    panel::installFontFallbacks();
    panel::installTranslations();

    int exitCode = 0;
    {
        MainWindow window(nullptr, commandLine.updateCheck);
        if (SimulationOption::isSimulated())
            window.setWindowTitle(window.windowTitle()
                                 + QCoreApplication::translate("main", " (simulated unit)"));
        window.show();
        exitCode = application.exec();
    }
    return exitCode;
}

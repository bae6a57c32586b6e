// A program built like the panel: the global data manager starts before main,
// --simulate is applied first, and the process ends with a meter read under way.
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

#include "service/datamanager.h"
#include "service/simulationoption.h"

int main(int argc, char **argv)
{
    if (!SimulationOption::apply(argc, argv))
        return 3;
    argc = SimulationOption::strip(argc, argv);
    QCoreApplication app(argc, argv);
    QObject::connect(&dm, &QZUDevice::sig_recv_version, &app, [&app](uint16_t version) {
        std::printf("version %u\n", version);
        levelMeter snapshot[QZUDevice::kMeterCount] = {};
        dm.getMeterdata(snapshot);
        app.quit();
    });
    QTimer::singleShot(0, &app, [] { dm.getFirmVersion(); });
    QTimer::singleShot(10000, &app, [&app] { app.exit(2); });
    const int status = app.exec();
    std::printf("simulated %s\n", SimulationOption::isSimulated() ? "yes" : "no");
    std::fflush(stdout);
    return status;
}

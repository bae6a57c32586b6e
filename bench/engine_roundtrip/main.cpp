// Round trips through the device service: request engine, worker thread and
// library against the simulated Strata 96. Prints, for the unit answering
// without delay and with the worker's real 10 ms pacing, how many request
// messages go out per second and the mean time from request_version() to
// sig_recv_version; then the main thread's CPU time per meter poll.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>
#include <ctime>

#include "service/datamanager.h"
#include "sim/simunit.h"
#include "zutest/usbdevs.h"
#include "zutest/zuctl.h"

namespace {

int noSleep(uint32_t)
{
    return 0;
}

double threadCpuMicros()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

class BenchManager : public DataManager
{
public:
    // A reading has come in since the buffer was last cleared.
    bool meterReadingArrived() const { return meter_result || meter_num != 0; }
};

struct RoundTrips {
    double messagesPerSecond;
    double meanLatencyMs;
};

RoundTrips measureRoundTrips(BenchManager &engine, int count)
{
    QEventLoop loop;
    int sent = 0;
    QObject::connect(&engine, &QZUDevice::sig_zu_send, &loop, [&sent] { ++sent; });
    QObject::connect(&engine, &QZUDevice::sig_recv_version, &loop, [&loop] { loop.quit(); });

    // The first request reads the unit's status before it can send.
    engine.request_version();
    loop.exec();
    sent = 0;

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        engine.request_version();
        loop.exec();
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    return {sent / seconds, seconds * 1000.0 / count};
}

void printRoundTrips(const char *label, const RoundTrips &r, int count)
{
    std::printf("%-22s %6d round trips  %9.1f messages/s  mean latency %8.3f ms\n", label, count,
                r.messagesPerSecond, r.meanLatencyMs);
}

void measureMeterPolls(BenchManager &engine, int polls)
{
    levelMeter snapshot[QZUDevice::kMeterCount] = {};
    double inCalls = 0;
    int good = 0;
    const double start = threadCpuMicros();
    for (int i = 0; i < polls; ++i) {
        const double before = threadCpuMicros();
        good += engine.getMeterdata(snapshot) ? 1 : 0;
        engine.initializeParameterForDevice();
        inCalls += threadCpuMicros() - before;
        // Wait for the read started by this poll, as the next 100 ms tick would.
        while (!engine.meterReadingArrived())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const double total = threadCpuMicros() - start;
    std::printf("meter poll (main thread CPU) %d polls, %d with a reading: "
                "getMeterdata + initializeParameterForDevice %.2f us/poll, "
                "including the reading's delivery %.2f us/poll\n",
                polls, good, inCalls / polls, total / polls);
}

} // namespace

int main(int argc, char **argv)
{
    usbdevs_select_backend(USBDEVS_BACKEND_SIM);
    auto unit = sim::plugSimUnit(sim::Model::Strata96);
    QCoreApplication app(argc, argv);
    BenchManager engine;

    std::printf("engine_roundtrip: simulated Strata 96\n");
    zuctl_set_usleep(&noSleep);
    printRoundTrips("no pacing", measureRoundTrips(engine, 5000), 5000);
    measureMeterPolls(engine, 2000);
    zuctl_set_usleep(nullptr);
    printRoundTrips("10 ms pacing", measureRoundTrips(engine, 50), 50);
    return 0;
}

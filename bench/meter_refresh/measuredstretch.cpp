#include "measuredstretch.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

#include <unistd.h>

namespace {

constexpr int kSettleMs = 2000;

double cpuSeconds(const rusage &r)
{
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

} // namespace

MeasuredStretch::MeasuredStretch(int seconds, std::function<QString()> extra)
    : m_seconds(seconds), m_extra(std::move(extra)), m_input(STDIN_FILENO, QSocketNotifier::Read)
{
    m_input.setEnabled(false);
    connect(&m_input, &QSocketNotifier::activated, this, [this] {
        char c = 0;
        const ssize_t got = read(STDIN_FILENO, &c, 1);
        if (got <= 0) {
            // The parent went away: nothing to report to.
            m_input.setEnabled(false);
            QCoreApplication::exit(1);
        } else if (c == '\n') {
            m_input.setEnabled(false);
            start();
        }
    });
}

void MeasuredStretch::begin()
{
    // A window's first expose and paint, its pictures drawn for its size and
    // the first rounds of its timers are start-up, not the steady state the
    // stretch compares: every process settles for a while before it says it
    // is ready.
    QTimer::singleShot(kSettleMs, this, [this] {
        std::printf("bench-ready\n");
        std::fflush(stdout);
        m_input.setEnabled(true);
    });
}

void MeasuredStretch::fail(const char *why)
{
    std::printf("bench-error %s\n", why);
    std::fflush(stdout);
}

void MeasuredStretch::start()
{
    getrusage(RUSAGE_SELF, &m_before);
    m_clock.start();
    QTimer::singleShot(m_seconds * 1000, Qt::PreciseTimer, this, [this] { finish(); });
}

void MeasuredStretch::finish()
{
    const double wall = static_cast<double>(m_clock.nsecsElapsed()) / 1e9;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    // ru_maxrss is the peak of the whole life of the process, in KiB.
    std::printf("bench-figures cpu=%.4f wall=%.4f maxrss=%ld %s\n", cpuSeconds(after) - cpuSeconds(m_before), wall,
                after.ru_maxrss, m_extra ? qPrintable(m_extra()) : "");
    std::fflush(stdout);
    QCoreApplication::quit();
}

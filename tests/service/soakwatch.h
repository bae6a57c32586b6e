// What the soak tests watch while the device service runs against a unit
// with random faults: the longest time any exchange stayed with the worker
// (every request must resolve or fail within its time-out), how often the
// engine came back to idle, and the process's resident memory after warm-up.
#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <unistd.h>

#include "service/qzudevice.h"

class SoakWatch : public QObject
{
public:
    SoakWatch(const QZUDevice *engine, qint64 warmUpMs) : m_engine(engine), m_warmUpMs(warmUpMs)
    {
        connect(&m_sampler, &QTimer::timeout, this, [this] { sample(); });
        m_sampler.start(10);
        m_clock.start();
        m_busySince = -1;
    }

    // Seconds from the environment (the long run sets STRATA_SOAK_SECONDS), else the default.
    static int seconds(int fallback)
    {
        const int s = qEnvironmentVariableIntValue("STRATA_SOAK_SECONDS");
        return s > 0 ? s : fallback;
    }

    static qint64 residentBytes()
    {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly))
            return -1;
        const QList<QByteArray> fields = statm.readAll().split(' ');
        return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
    }

    qint64 longestBusyMs() const { return qMax(m_longestBusyMs, busyNowMs()); }
    int idleReturns() const { return m_idleReturns; }
    qint64 rssBaseline() const { return m_rssBaseline; }
    qint64 rssPeak() const { return m_rssPeak; }
    qint64 elapsedMs() const { return m_clock.elapsed(); }

private:
    qint64 busyNowMs() const { return m_busySince < 0 ? 0 : m_clock.elapsed() - m_busySince; }

    void sample()
    {
        const qint64 now = m_clock.elapsed();
        if (m_engine->exchanges_idle()) {
            if (m_busySince >= 0) {
                m_longestBusyMs = qMax(m_longestBusyMs, now - m_busySince);
                ++m_idleReturns;
            }
            m_busySince = -1;
        } else if (m_busySince < 0) {
            m_busySince = now;
        }
        if (now >= m_warmUpMs && now - m_lastRssMs >= 500) {
            m_lastRssMs = now;
            const qint64 rss = residentBytes();
            if (m_rssBaseline < 0)
                m_rssBaseline = rss;
            m_rssPeak = qMax(m_rssPeak, rss);
        }
    }

    const QZUDevice *m_engine;
    const qint64 m_warmUpMs;
    QTimer m_sampler;
    QElapsedTimer m_clock;
    qint64 m_busySince;
    qint64 m_longestBusyMs = 0;
    int m_idleReturns = 0;
    qint64 m_rssBaseline = -1;
    qint64 m_rssPeak = -1;
    qint64 m_lastRssMs = 0;
};

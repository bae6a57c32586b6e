// What a soak watches: the longest exchange, the engine's returns to idle, resident memory after warm-up.
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
    }

    // Seconds from the environment (the long run sets STRATA_SOAK_SECONDS), else the default.
    static int seconds(int fallback)
    {
        const int s = qEnvironmentVariableIntValue("STRATA_SOAK_SECONDS");
        return s > 0 ? s : fallback;
    }

    qint64 longestBusyMs() const { return qMax(m_longestBusyMs, m_busySince < 0 ? 0 : m_clock.elapsed() - m_busySince); }
    int idleReturns() const { return m_idleReturns; }
    qint64 rssBaseline() const { return m_rssBaseline; }
    qint64 rssPeak() const { return m_rssPeak; }

private:
    static qint64 residentBytes()
    {
        QFile statm(QStringLiteral("/proc/self/statm"));
        const QList<QByteArray> fields = statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ') : QList<QByteArray>();
        return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
    }

    void sample()
    {
        const qint64 now = m_clock.elapsed();
        if (!m_engine->exchanges_idle()) {
            m_busySince = m_busySince < 0 ? now : m_busySince;
        } else if (m_busySince >= 0) {
            m_longestBusyMs = qMax(m_longestBusyMs, now - m_busySince);
            ++m_idleReturns;
            m_busySince = -1;
        }
        if (now >= m_warmUpMs && now - m_lastRssMs >= 500) {
            m_lastRssMs = now;
            m_rssPeak = qMax(m_rssPeak, residentBytes());
            m_rssBaseline = m_rssBaseline < 0 ? m_rssPeak : m_rssBaseline;
        }
    }

    const QZUDevice *m_engine;
    const qint64 m_warmUpMs;
    QTimer m_sampler;
    QElapsedTimer m_clock;
    qint64 m_busySince = -1, m_longestBusyMs = 0, m_rssBaseline = -1, m_rssPeak = -1, m_lastRssMs = 0;
    int m_idleReturns = 0;
};

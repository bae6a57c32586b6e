// Collects the debug lines written while it lives; workers log from their own threads, hence the lock.
#pragma once

#include <QMutex>
#include <QStringList>

class DebugCapture
{
public:
    DebugCapture() : m_previous(qInstallMessageHandler(&collect)) { QMutexLocker lock(&mutex()); store().clear(); }
    ~DebugCapture() { qInstallMessageHandler(m_previous); }
    QStringList lines() const { QMutexLocker lock(&mutex()); return store(); }

private:
    static QStringList &store() { static QStringList collected; return collected; }
    static QMutex &mutex() { static QMutex lock; return lock; }
    static void collect(QtMsgType type, const QMessageLogContext &, const QString &text)
    {
        QMutexLocker lock(&mutex());
        if (type == QtDebugMsg)
            store().append(text);
    }
    QtMessageHandler m_previous;
};

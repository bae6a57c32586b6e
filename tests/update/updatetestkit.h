// What the update tests share: the error box answered as a user would, and the manifest setting.
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <memory>

#include "debugcapture.h"
#include "service/datamanager.h"

namespace updatetest {

constexpr int kWaitMs = 10000;

// Presses OK whenever the modal error box is up, and counts how often it was.
class ErrorBoxAnswerer
{
public:
    explicit ErrorBoxAnswerer(QMessageBox &box)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, &box] {
            if (box.isVisible() && ++m_shown)
                box.done(QMessageBox::Ok);
        });
        m_poll.start(10);
    }
    int shown() const { return m_shown; }

private:
    QTimer m_poll;
    int m_shown = 0;
};

// Where the worker fetches the manifest; the refused kNoManifest keeps a test off the network.
inline void setManifestAddress(const QString &url) { DataManager::saveSetting("Update", "JsonUrl", url); }
inline const char *kNoManifest = "file:///nowhere";
inline QString manifestText(const QJsonObject &version)
{
    return QString::fromUtf8(QJsonDocument(QJsonObject{{"Strata96_version1", version}}).toJson());
}

// The platform under test with the application's quit counted instead.
template <class Base>
class CountingQuits : public Base
{
public:
    template <class... Args>
    explicit CountingQuits(std::shared_ptr<std::atomic<int>> quits, Args &&...args)
        : Base(std::forward<Args>(args)...), m_quits(std::move(quits)) {}
    void quitApplication() override { ++*m_quits; }

private:
    std::shared_ptr<std::atomic<int>> m_quits;
};

} // namespace updatetest

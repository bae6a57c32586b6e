// The update worker, on a thread of its own: fetches the manifest once, and
// on request downloads an update file, unpacks or mounts it and hands it to
// its installer. The controller hears of it only through signals.
#pragma once

#include <QFile>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QUrl>

#include <memory>

#include "update/updatemessages.h"
#include "update/updateplatform.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTemporaryDir;
class QTimer;

class UpdateInformation : public QObject
{
    Q_OBJECT

public:
    static constexpr int kInactivityTimeoutMs = 60000;
    // More than any installer or firmware image; a download or an archive's
    // unpacked content past it is refused.
    static constexpr qint64 kMaxDownloadBytes = 400 * 1024 * 1024;
    // What the network layer may hold for the worker before it reads; the
    // rest waits in the socket.
    static constexpr qint64 kReadBufferBytes = 256 * 1024;
    // The error box's detail line when there is nothing more to say.
    static constexpr int kNoDetail = -1;

    // Tests shorten the inactivity time-out and the size cap; the panel keeps
    // the defaults.
    explicit UpdateInformation(std::unique_ptr<UpdatePlatform> platform = nullptr,
                               int inactivityTimeoutMs = kInactivityTimeoutMs,
                               qint64 maxDownloadBytes = kMaxDownloadBytes);
    ~UpdateInformation() override;

    // Whether a download address may be fetched: HTTPS, or plain HTTP to this
    // machine only.
    static bool isAllowedAddress(const QUrl &url);
    // Fixed for the worker's life, so it may be asked from any thread.
    bool readsLinuxAddresses() const;

signals:
    void finishedInformation(QString str);
    void startedDownloadFile();
    void finishedDownloadFile();
    // The percentage, or -1 while the size is not known.
    void progressValueChanged(int);
    // detail: the UpdateMessage slot saying what happened, or kNoDetail.
    void errorDownloadFile(int detail);
    // Linux: the firmware image that "Update now" fetched, for the panel to
    // transfer itself; its folder stays until firmwareInstallFinished().
    void firmwareImageReady(const QString &path);

public slots:
    void downloadInformation();
    void replyFinishedInfo(QNetworkReply *reply);
    void downloadFile(QString url);
    void cancelDownload();
    void timeoutDownload();
    void replyDownloadProgress(qint64 received, qint64 total);
    void replyFinishedFileDownload(QNetworkReply *reply);
    void replyFinishedUnzip(int exitCode, QProcess::ExitStatus exitStatus);
    void replyFinishedMount(int exitCode, QProcess::ExitStatus exitStatus);
    // Whether the next download answers the firmware notice.
    void setFirmwareDownload(bool firmware);
    // The panel is done with the firmware image: its folder goes.
    void firmwareInstallFinished();
    // Runs on the worker thread as it ends: what belongs to it goes there.
    void releaseResources();

private:
    // The file is still arriving, or being unpacked or mounted.
    bool downloadRunning() const;
    void writeArrivedBody();
    void fail(const QString &logLine, int detail = kNoDetail);
    void unpack(const QString &archive);
    void startStep(const UpdatePlatform::Command &command,
                   void (UpdateInformation::*next)(int, QProcess::ExitStatus));
    void unpackedOrDownloaded(const QString &path);
    QString findInstaller(const QString &folder) const;
    void handOver(const QString &path);
    void removeDownloadFolder();

    QNetworkAccessManager *network = nullptr;
    QProcess process;
    QTemporaryDir *tempDir = nullptr;
    QPointer<QNetworkReply> fileReply;
    QTimer *timeoutTimer = nullptr;
    bool timedOut = false;
    bool isExe = false;
    bool isDmg = false;

    std::unique_ptr<UpdatePlatform> m_platform;
    int m_inactivityTimeoutMs;
    qint64 m_maxDownloadBytes;
    bool m_manifestTooLarge = false;
    QByteArray m_manifestBody;
    bool m_firmwareDownload = false;
    QFile m_file;
    qint64 m_written = 0;
    // Why the worker itself stopped the download; empty for a user's cancel.
    QString m_stopReason;
    // The current download's folder; it outlives tempDir, which is only the
    // object that made it.
    QString m_folder;
};

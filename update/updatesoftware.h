// The update controller, on the main thread: evaluates the manifest the
// worker fetched, shows the information message and the software and
// firmware notices in the user's language, and follows a download in its
// window. The main window calls it once a second and when it closes.
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QObject>
#include <QString>

#include <memory>

#include "update/informationbox.h"
#include "update/updateinformation.h"
#include "update/updatemanifest.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QWidget;

enum UpdateCheckState {
    SoftwareOpen = 0,
    FirmwareOpen = 1,
    SoftwareSettled = 2,
    FirmwareSettled = 3
};

class UpdateSoftware : public QObject
{
    Q_OBJECT

public:
    // How long closing the panel waits for the update thread to end.
    static constexpr unsigned long kThreadExitWaitMs = 5000;

    // Tests hand in the system layer, a shorter inactivity time-out and a
    // smaller size cap. Without checkAtStart the manifest is never fetched:
    // no notice, no update; the download window still serves the panel's
    // firmware transfer.
    explicit UpdateSoftware(std::unique_ptr<UpdatePlatform> platform = nullptr,
                            int inactivityTimeoutMs = UpdateInformation::kInactivityTimeoutMs,
                            bool checkAtStart = true,
                            qint64 maxDownloadBytes = UpdateInformation::kMaxDownloadBytes);
    ~UpdateSoftware() override;

    void showInformationMassage();
    void checkSoftwareUpdate();
    void checkFirmwareInformation(QString name, QString firmware);
    bool checkVersion(const QString *now, const QString *netMajor, const QString *netMinor);
    bool querySoftUpdate();
    void closeAll();

    UpdateCheckState checkState() const { return state; }
    // From "Update now" until the download fails, is cancelled or its
    // firmware image has been dealt with (a hand-over ends the panel).
    bool downloadRunning() const { return m_downloadRunning; }
    InformationBox &softwareNotice() { return softwareBox; }
    InformationBox &firmwareNotice() { return firmwareBox; }
    InformationBox &informationNotice() { return informationBox; }
    QMessageBox &downloadErrorBox() { return errorBox; }
    QWidget *downloadWindowWidget() const { return downloadWindow; }

signals:
    void readiedDownloadFile(QString url);
    void stopDownload();
    // Linux: the firmware image "Update now" fetched, ready for the transfer
    // to the unit; call firmwareInstallFinished() when done with it.
    void firmwareImageReady(const QString &path);

public slots:
    void saveInformation(QString str);
    void openDownloadFileInfo();
    void closeDownloadFileInfo();
    void decideClickedSoftware();
    void decideClickedFirmware();
    void decideClickedInformation();
    void cancelSoftware();
    void cancelFirmware();
    void cancelDownload();
    // detail: the UpdateMessage slot of the line under the text, or none.
    void showMsgBoxError(int detail = UpdateInformation::kNoDetail);
    void enableCanselButton(int);

    // The download window doubles as the progress window of a firmware
    // transfer the panel makes itself.
    void showFirmwareProgress(qint64 done, qint64 total);
    void showFirmwareResult(bool ok, const QString &text);
    void firmwareInstallFinished();

private slots:
    void showDownloadProgress(int percent);

private:
    void setUpBoxes();
    void connectBoxes();
    void startWorker();
    void requestDownload(UpdateManifest::Product product);
    bool refusedWhileDownloading();
    void setDownloadRunning(bool running);
    void createDownloadWindow();
    void connectDownloadWindow(bool on);
    void deleteDownloadWindow();

    int language;
    UpdateInformation worker;
    QThread *workerThread = nullptr;
    QJsonDocument manifestDocument;
    QJsonObject manifest;
    QString informationText;
    QString latestSoftwareVersion;
    QString latestFirmwareVersion;
    QString deviceName;
    UpdateCheckState state = SoftwareOpen;
    QMessageBox errorBox;
    InformationBox softwareBox;
    InformationBox firmwareBox;
    InformationBox informationBox;
    QWidget *downloadWindow = nullptr;
    QPushButton *downloadButton = nullptr;
    QProgressBar *downloadProgress = nullptr;
    QLabel *downloadLabel = nullptr;
    bool m_linuxAddresses;
    bool m_downloadRunning = false;
};

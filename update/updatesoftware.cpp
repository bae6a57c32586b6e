#include "update/updatesoftware.h"

#include <QDebug>
#include <QDesktopServices>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QThread>
#include <QUrl>
#include <QWidget>

#include "service/datamanager.h"
#include "strata_config.h"
#include "ui/panelconstants.h"
#include "update/messagemarkup.h"
#include "update/updatemessages.h"

namespace {

// Where a Linux user finds the update when the manifest offers no file for Linux.
constexpr char kDownloadPage[] = "https://" STRATA_WEB_HOST "/support/download/";
constexpr int kInformationLineHeight = 18;

void log(const QString &line)
{
    qDebug().noquote() << line;
}

int digitsAt(const QString &text, int position, int count)
{
    return text.mid(position, count).toInt(nullptr, 10);
}

bool systemIsJapanese()
{
    return QLocale().language() == QLocale::Japanese;
}

constexpr int kDownloadLabelHeight = 20;

// A transfer's result is a sentence or two where the window has room for
// one word: the label wraps, and the window and the controls below it make
// room for every line.
void showWholeText(QWidget *window, QLabel *label, const QString &text)
{
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    // A path has no blanks to wrap at; it may break after each slash.
    label->setText(QString(text).replace(QLatin1Char('/'), QStringLiteral("/\u200b")));
    const int grown = qMax(kDownloadLabelHeight, label->heightForWidth(label->width())) - label->height();
    label->resize(label->width(), label->height() + grown);
    for (QWidget *below : window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (below != label)
            below->move(below->x(), below->y() + grown);
    }
    window->setFixedSize(window->width(), window->height() + grown);
}

} // namespace

UpdateSoftware::UpdateSoftware(std::unique_ptr<UpdatePlatform> platform, int inactivityTimeoutMs,
                               bool checkAtStart, qint64 maxDownloadBytes)
    : QObject(nullptr),
      // The program never sets a default locale, so this is the system's.
      language(updateLanguageRow(QLocale().language())),
      worker(std::move(platform), inactivityTimeoutMs, maxDownloadBytes),
      errorBox(),
      softwareBox(nullptr),
      firmwareBox(nullptr),
      informationBox(nullptr),
      m_linuxAddresses(worker.readsLinuxAddresses())
{
    workerThread = new QThread;
    worker.moveToThread(workerThread);
    connect(&worker, &UpdateInformation::finishedInformation, this, &UpdateSoftware::saveInformation);
    connect(workerThread, &QThread::finished, &worker, &UpdateInformation::releaseResources,
            Qt::DirectConnection);
    if (checkAtStart) {
        startWorker();
        QMetaObject::invokeMethod(&worker, "downloadInformation", Qt::QueuedConnection);
    } else {
        log(QStringLiteral("UpdateSoftware: update check turned off"));
    }

    setUpBoxes();
    connectBoxes();
}

UpdateSoftware::~UpdateSoftware()
{
    log(QStringLiteral("UpdateSoftware: ~UpdateSoftware"));
    deleteDownloadWindow();
    workerThread->exit(0);
    // Never waits for ever on the way out: a thread stuck in a system call is
    // stopped, and one that will not stop is left to the process's end.
    if (!workerThread->wait(kThreadExitWaitMs)) {
        log(QStringLiteral("UpdateSoftware: update thread did not end"));
        workerThread->terminate();
        if (!workerThread->wait(kThreadExitWaitMs))
            return;
    }
    delete workerThread;
}

void UpdateSoftware::showInformationMassage()
{
    // Capped and cut down to the panel's own markup before it is compared,
    // stored or laid out: the stored copy stays small, and a message in the
    // panel's own markup is kept exactly as the maker wrote it.
    informationText = MessageMarkup::sanitize(UpdateManifest(manifest).informationText(QLocale().language()));
    if (informationText == DataManager::getDoNotUpdateInfoDialog() || informationText.isEmpty())
        return;

    // A fixed line height on the first block, which the message then joins.
    QTextBrowser *text = informationBox.ui.textMessage;
    text->setText(QStringLiteral(" "));
    QTextCursor cursor = text->textCursor();
    cursor.movePosition(QTextCursor::Start);
    QTextBlockFormat format = cursor.blockFormat();
    format.setLineHeight(kInformationLineHeight, QTextBlockFormat::FixedHeight);
    cursor.setBlockFormat(format);
    cursor.insertBlock();
    cursor.insertHtml(informationText);
    cursor.movePosition(QTextCursor::Start);
    cursor.deleteChar();
    informationBox.show();
    text->verticalScrollBar()->setValue(text->verticalScrollBar()->minimum());
}

void UpdateSoftware::checkSoftwareUpdate()
{
    state = SoftwareOpen;
    const UpdateManifest evaluated(manifest);
    const QString netMajor = evaluated.netMajor(UpdateManifest::Product::Software);
    const QString netMinor = evaluated.netMinor(UpdateManifest::Product::Software);
    const QString now = QLatin1String(panel::kSoftwareVersionShort);
    qDebug().noquote() << "UpdateSoftware: Sofware nowMajor" << digitsAt(now, 0, 1);
    qDebug().noquote() << "UpdateSoftware: Sofware nowMinor" << digitsAt(now, 2, 2);
    qDebug().noquote() << "UpdateSoftware: Sofware netMajor" << netMajor.toInt();
    qDebug().noquote() << "UpdateSoftware: Sofware netMinor" << netMinor.toInt();

    if (!checkVersion(&now, &netMajor, &netMinor)) {
        log(QStringLiteral("UpdateSoftware: Software update none"));
        state = SoftwareSettled;
        return;
    }
    log(QStringLiteral("UpdateSoftware: Software update start"));
    latestSoftwareVersion = netMajor + QLatin1Char('.') + netMinor;
    const QString silenced = DataManager::getDoNotUpdateSoftDialog();
    if (UpdateManifest::isSilenced(silenced, netMajor, netMinor)) {
        log(QStringLiteral("UpdateSoftware: Software update Dialog: not displayed: ini ==") + silenced);
        state = SoftwareSettled;
        return;
    }
    softwareBox.ui.textMessage->setText(updateMessage(language, SoftwareReleasedText) + QStringLiteral("<br>")
                                        + updateMessage(language, CurrentVersionText) + now.left(4)
                                        + QStringLiteral("<br>") + updateMessage(language, LatestVersionText)
                                        + latestSoftwareVersion);
    softwareBox.show();
}

void UpdateSoftware::checkFirmwareInformation(QString name, QString firmware)
{
    deviceName = name;
    if (manifest.isEmpty()) {
        log(QStringLiteral("UpdateSoftware: checkFirm jObj none"));
        return;
    }
    if (state != SoftwareSettled || name != QLatin1String(panel::kMeterModelName))
        return;
    if (firmware == QLatin1String(panel::kNoDevice)) {
        log(QStringLiteral("UpdateSoftware: checkFirm firmVer is No Device:") + firmware);
        return;
    }
    if (firmware.isEmpty() || !firmware.at(0).isDigit()) {
        log(QStringLiteral("UpdateSoftware: checkFirm NowFirmwareVersion not match:") + firmware);
        return;
    }

    const UpdateManifest evaluated(manifest);
    const QString netMajor = evaluated.netMajor(UpdateManifest::Product::Firmware);
    const QString netMinor = evaluated.netMinor(UpdateManifest::Product::Firmware);
    qDebug().noquote() << "UpdateSoftware: Firmware nowMajor" << digitsAt(firmware, 0, 1);
    qDebug().noquote() << "UpdateSoftware: Firmware nowMinor" << digitsAt(firmware, 2, 2);
    qDebug().noquote() << "UpdateSoftware: Firmware netMajor" << netMajor.toInt();
    qDebug().noquote() << "UpdateSoftware: Firmware netMinor" << netMinor.toInt();

    if (!checkVersion(&firmware, &netMajor, &netMinor)) {
        log(QStringLiteral("UpdateSoftware: Firmware update none"));
        state = FirmwareSettled;
        return;
    }
    log(QStringLiteral("UpdateSoftware: Firmware update start"));
    latestFirmwareVersion = netMajor + QLatin1Char('.') + netMinor;
    const QString silenced = DataManager::getDoNotUpdateFirmDialog();
    if (UpdateManifest::isSilenced(silenced, netMajor, netMinor)) {
        log(QStringLiteral("UpdateSoftware: Firmware update Dialog: not displayed: ini==") + silenced);
        state = FirmwareSettled;
        return;
    }
    state = FirmwareOpen;
    firmwareBox.ui.textMessage->setText(updateMessage(language, FirmwareReleasedText) + QStringLiteral("<br>")
                                        + updateMessage(language, CurrentVersionText) + firmware.left(4)
                                        + QStringLiteral("<br>") + updateMessage(language, LatestVersionText)
                                        + latestFirmwareVersion);
    firmwareBox.show();
}

bool UpdateSoftware::checkVersion(const QString *now, const QString *netMajor, const QString *netMinor)
{
    return UpdateManifest::checkVersion(*now, *netMajor, *netMinor);
}

bool UpdateSoftware::querySoftUpdate()
{
    return (state == SoftwareSettled || state == FirmwareSettled)
           && (!latestSoftwareVersion.isEmpty() || !latestFirmwareVersion.isEmpty());
}

void UpdateSoftware::closeAll()
{
    softwareBox.close();
    firmwareBox.close();
    informationBox.close();
    emit stopDownload();
}

void UpdateSoftware::saveInformation(QString str)
{
    manifestDocument = QJsonDocument::fromJson(str.toUtf8());
    manifest = UpdateManifest::fromText(str).object();
    showInformationMassage();
    checkSoftwareUpdate();
}

void UpdateSoftware::openDownloadFileInfo()
{
    log(QStringLiteral("UpdateSoftware: Now downloading..."));
    createDownloadWindow();
    connectDownloadWindow(true);
    // The request is out: a server that never answers must not hold the user
    // until the time-out.
    downloadButton->setEnabled(true);
    downloadWindow->show();
}

void UpdateSoftware::closeDownloadFileInfo()
{
    log(QStringLiteral("UpdateSoftware: End of downloading"));
    deleteDownloadWindow();
}

void UpdateSoftware::decideClickedSoftware()
{
    if (refusedWhileDownloading())
        return;
    softwareBox.close();
    state = SoftwareOpen;
    requestDownload(UpdateManifest::Product::Software);
}

void UpdateSoftware::decideClickedFirmware()
{
    if (refusedWhileDownloading())
        return;
    firmwareBox.close();
    state = FirmwareOpen;
    requestDownload(UpdateManifest::Product::Firmware);
}

void UpdateSoftware::decideClickedInformation()
{
    informationBox.close();
    if (informationBox.ui.dontShowCheckBox->isChecked())
        DataManager::setDoNotUpdateInfoDialog(informationText);
}

void UpdateSoftware::cancelSoftware()
{
    state = SoftwareSettled;
    softwareBox.close();
    log(QStringLiteral("UpdateSoftware: Software update cancel"));
    if (softwareBox.ui.dontShowCheckBox->isChecked()) {
        log(QStringLiteral("UpdateSoftware: softCheckBox = Checked"));
        DataManager::setDoNotUpdateSoftDialog(latestSoftwareVersion);
    }
}

void UpdateSoftware::cancelFirmware()
{
    state = FirmwareSettled;
    firmwareBox.close();
    log(QStringLiteral("UpdateSoftware: Firmware update cancel"));
    if (firmwareBox.ui.dontShowCheckBox->isChecked()) {
        log(QStringLiteral("UpdateSoftware: firmCheckBox = Checked"));
        DataManager::setDoNotUpdateFirmDialog(latestFirmwareVersion);
    }
}

void UpdateSoftware::cancelDownload()
{
    state = FirmwareSettled;
    setDownloadRunning(false);
}

void UpdateSoftware::showMsgBoxError(int detail)
{
    state = FirmwareSettled;
    setDownloadRunning(false);
    errorBox.setInformativeText(detail >= 0 && detail < UpdateMessageCount
                                    ? updateMessage(language, static_cast<UpdateMessage>(detail))
                                    : QString());
    errorBox.exec();
}

void UpdateSoftware::enableCanselButton(int)
{
    if (downloadButton)
        downloadButton->setEnabled(true);
}

void UpdateSoftware::showFirmwareProgress(qint64 done, qint64 total)
{
    if (!downloadWindow) {
        createDownloadWindow();
        downloadWindow->show();
    }
    if (total > 0)
        downloadProgress->setValue(static_cast<int>(done * 100 / total));
}

void UpdateSoftware::showFirmwareResult(bool ok, const QString &text)
{
    if (!downloadWindow)
        createDownloadWindow();
    connectDownloadWindow(false);
    showWholeText(downloadWindow, downloadLabel, text);
    if (ok)
        downloadProgress->setValue(downloadProgress->maximum());
    downloadButton->setText(updateMessage(language, OkText));
    downloadButton->setEnabled(true);
    connect(downloadButton, &QPushButton::clicked, this, &UpdateSoftware::firmwareInstallFinished);
    downloadWindow->show();
}

void UpdateSoftware::firmwareInstallFinished()
{
    setDownloadRunning(false);
    deleteDownloadWindow();
    QMetaObject::invokeMethod(&worker, "firmwareInstallFinished", Qt::QueuedConnection);
}

void UpdateSoftware::setUpBoxes()
{
    for (InformationBox *box : {&softwareBox, &firmwareBox}) {
        box->setWindowTitle(updateMessage(language, UpdateTitle));
        box->ui.okButton->setText(updateMessage(language, UpdateNowText));
        box->ui.noButton->setText(updateMessage(language, UpdateLaterText));
        box->ui.dontShowCheckBox->setText(updateMessage(language, DontShowText));
    }
    informationBox.setWindowTitle(updateMessage(language, InformationTitle));
    informationBox.ui.okButton->setText(updateMessage(language, OkText));
    informationBox.ui.dontShowCheckBox->setText(updateMessage(language, DontShowText));
    informationBox.ui.noButton->close();
    informationBox.setWindowModality(Qt::ApplicationModal);

    errorBox.setIcon(QMessageBox::Warning);
    errorBox.setWindowTitle(updateMessage(language, UpdateTitle));
    errorBox.setTextFormat(Qt::RichText);
    errorBox.setStandardButtons(QMessageBox::Ok);
    errorBox.setText(updateMessage(language, DownloadErrorText));
}

void UpdateSoftware::connectBoxes()
{
    connect(softwareBox.ui.okButton, &QPushButton::clicked, this, &UpdateSoftware::decideClickedSoftware);
    connect(softwareBox.ui.noButton, &QPushButton::clicked, this, &UpdateSoftware::cancelSoftware);
    connect(firmwareBox.ui.okButton, &QPushButton::clicked, this, &UpdateSoftware::decideClickedFirmware);
    connect(firmwareBox.ui.noButton, &QPushButton::clicked, this, &UpdateSoftware::cancelFirmware);
    connect(informationBox.ui.okButton, &QPushButton::clicked, this, &UpdateSoftware::decideClickedInformation);

    connect(&worker, &UpdateInformation::errorDownloadFile, this, &UpdateSoftware::showMsgBoxError);
    connect(this, &UpdateSoftware::readiedDownloadFile, this, [this] { startWorker(); });
    connect(this, &UpdateSoftware::readiedDownloadFile, &worker, &UpdateInformation::downloadFile);
    connect(&worker, &UpdateInformation::startedDownloadFile, this, &UpdateSoftware::openDownloadFileInfo);
    connect(&worker, &UpdateInformation::finishedDownloadFile, this, &UpdateSoftware::closeDownloadFileInfo);
    connect(this, &UpdateSoftware::stopDownload, &worker, &UpdateInformation::cancelDownload);
    connect(&worker, &UpdateInformation::firmwareImageReady, this, &UpdateSoftware::firmwareImageReady);
    // Connected for good rather than with each window: a report emitted
    // before the window's connections were made would otherwise be lost, and
    // Cancel would stay disabled through a stall.
    connect(&worker, &UpdateInformation::progressValueChanged, this, &UpdateSoftware::showDownloadProgress);
}

void UpdateSoftware::requestDownload(UpdateManifest::Product product)
{
    const UpdateManifest::Platform platform =
        m_linuxAddresses ? UpdateManifest::Platform::Linux : UpdateManifest::Platform::Mac;
    const QString url = UpdateManifest(manifest).downloadUrl(product, systemIsJapanese(), platform);
    if (m_linuxAddresses && url.isEmpty()) {
        // Nothing installable here: the maker's page is the next best thing,
        // and the question counts as answered.
        log(QStringLiteral("UpdateSoftware: no Linux download, opening ") + QLatin1String(kDownloadPage));
        state = product == UpdateManifest::Product::Software ? SoftwareSettled : FirmwareSettled;
        QDesktopServices::openUrl(QUrl(QLatin1String(kDownloadPage)));
        return;
    }
    setDownloadRunning(true);
    QMetaObject::invokeMethod(&worker, "setFirmwareDownload", Qt::QueuedConnection,
                              Q_ARG(bool, product == UpdateManifest::Product::Firmware));
    emit readiedDownloadFile(url);
}

void UpdateSoftware::startWorker()
{
    // Without a manifest there is nothing to download, and the thread would
    // only hold its stack and its event loop all day: it starts with the
    // first work it gets. What was posted to the worker before waits for it.
    if (!workerThread->isRunning())
        workerThread->start(QThread::InheritPriority);
}

bool UpdateSoftware::refusedWhileDownloading()
{
    if (!m_downloadRunning)
        return false;
    log(QStringLiteral("UpdateSoftware: a download is already running, request refused"));
    return true;
}

void UpdateSoftware::setDownloadRunning(bool running)
{
    // One download at a time: a second one would change the running one's
    // file type and hand-over under it.
    m_downloadRunning = running;
    softwareBox.ui.okButton->setEnabled(!running);
    firmwareBox.ui.okButton->setEnabled(!running);
}

void UpdateSoftware::createDownloadWindow()
{
    deleteDownloadWindow();
    downloadWindow = new QWidget;
    downloadLabel = new QLabel(downloadWindow);
    downloadLabel->setStyleSheet(QStringLiteral("color: white; background-image: url(:/Resource/trans.png);"));
    downloadLabel->setText(updateMessage(language, DownloadingText));
    QFont font = downloadLabel->font();
    font.setPointSize(11);
    downloadLabel->setFont(font);
    downloadLabel->setGeometry(10, 10, 230, 20);

    downloadProgress = new QProgressBar(downloadWindow);
    downloadProgress->setRange(0, 100);
    downloadProgress->setGeometry(10, 40, 230, 20);

    downloadButton = new QPushButton(downloadWindow);
    downloadButton->setStyleSheet(QStringLiteral("color: black; background-image: url(:/Resource/trans.png);"));
    downloadButton->setText(updateMessage(language, CancelText));
    downloadButton->setMinimumHeight(20);
    downloadButton->setEnabled(false);
    downloadButton->setGeometry(140, 70, 100, 20);

    downloadWindow->setFixedSize(250, 100);
    downloadWindow->setStyleSheet(
        QStringLiteral("color: white; background-image: url(:/Resource/update/Download_250x100.png)"));
    downloadWindow->setWindowTitle(updateMessage(language, UpdateTitle));
    downloadWindow->setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);
}

void UpdateSoftware::connectDownloadWindow(bool on)
{
    if (on) {
        connect(downloadButton, &QPushButton::clicked, this, &UpdateSoftware::cancelDownload);
        connect(downloadButton, &QPushButton::clicked, &worker, &UpdateInformation::cancelDownload);
        return;
    }
    disconnect(downloadButton, &QPushButton::clicked, this, &UpdateSoftware::cancelDownload);
    disconnect(downloadButton, &QPushButton::clicked, &worker, &UpdateInformation::cancelDownload);
}

void UpdateSoftware::showDownloadProgress(int percent)
{
    if (!downloadWindow)
        return;
    // An unknown size: a busy bar instead of a percentage.
    downloadProgress->setRange(0, percent < 0 ? 0 : 100);
    if (percent >= 0)
        downloadProgress->setValue(percent);
    enableCanselButton(percent);
}

void UpdateSoftware::deleteDownloadWindow()
{
    if (!downloadWindow)
        return;
    connectDownloadWindow(false);
    downloadWindow->close();
    delete downloadWindow;
    downloadWindow = nullptr;
    downloadButton = nullptr;
    downloadProgress = nullptr;
    downloadLabel = nullptr;
}

#include "update/updateinformation.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslSocket>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "service/datamanager.h"
#include "strata_config.h"
#include "update/replyguard.h"
#include "update/updatemanifest.h"
#include "update/ziplisting.h"

namespace {

constexpr char kDefaultManifestAddress[] =
    "https://" STRATA_DOWNLOAD_HOST "/download/fw/strata96/Strata96_UpdateInformation.json";
constexpr char kFirmwareUpdater[] = "/strata96_firmware/strata96_firmware.app";
constexpr char kSoftwareInstaller[] = "/StrataMixer_Installer/StrataMixer_Installer.pkg";
constexpr int kMountPolls = 5;
constexpr unsigned long kMountPollMs = 100;
// How long the way out waits for a program the worker started.
constexpr int kExitWaitMs = 2000;

void log(const QString &line)
{
    qDebug().noquote() << line;
}

// Removes a folder and what is in it without ever following a link: an
// unpacked archive may hold links pointing anywhere, and read-only folders.
void removeTree(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir()) {
        QFile::remove(path);
        return;
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext())
        removeTree(it.next());
    QDir().rmdir(path);
}

// The name the download is stored under inside its own folder; empty when
// the address gives no name that stays inside it.
QString downloadFileName(const QUrl &url, bool isDmg, bool linuxPackages)
{
    if (isDmg)
        return QStringLiteral("temp.dmg");
    const QString name = QFileInfo(url.path()).fileName();
    if (!linuxPackages || name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        return QStringLiteral("temp.zip");
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QString();
    return name;
}

} // namespace

UpdateInformation::UpdateInformation(std::unique_ptr<UpdatePlatform> platform, int inactivityTimeoutMs,
                                     qint64 maxDownloadBytes)
    : process(this),
      m_platform(platform ? std::move(platform) : UpdatePlatform::createDefault()),
      m_inactivityTimeoutMs(inactivityTimeoutMs),
      m_maxDownloadBytes(maxDownloadBytes)
{
    // A program that cannot be started never reports finished(): without this
    // the pipeline would stop without a word.
    connect(&process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        disconnect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, nullptr);
        fail(QStringLiteral("UpdateInformation: cannot start ") + process.program());
    });
}

UpdateInformation::~UpdateInformation()
{
    delete tempDir;
}

bool UpdateInformation::readsLinuxAddresses() const
{
    return m_platform->readsLinuxAddresses();
}

bool UpdateInformation::isAllowedAddress(const QUrl &url)
{
    return replyguard::isAllowedAddress(url);
}

void UpdateInformation::downloadInformation()
{
    log(QStringLiteral("UpdateInformation: start download json"));
    if (!network)
        network = new QNetworkAccessManager(this);
    QString address = DataManager::getJsonUrl();
    if (address == QLatin1String(""))
        address = QLatin1String(kDefaultManifestAddress);
    log(QStringLiteral("UpdateInformation: ") + address);

    const QUrl url(address);
    if (!isAllowedAddress(url)) {
        log(QStringLiteral("UpdateInformation: jason dwonload error"));
        log(QStringLiteral("UpdateInformation: manifest address refused, not HTTPS"));
        return;
    }
    QNetworkReply *reply = replyguard::get(network, url, UpdateManifest::kMaxBytes, kReadBufferBytes);
    // Collected as it arrives, the limit checked on arrival rather than on
    // progress reports, which the network layer holds back for a while.
    m_manifestBody.clear();
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        m_manifestBody += reply->readAll();
        if (m_manifestBody.size() > UpdateManifest::kMaxBytes) {
            m_manifestTooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { replyFinishedInfo(reply); });
}

void UpdateInformation::replyFinishedInfo(QNetworkReply *reply)
{
    m_manifestBody += reply->readAll();
    if (m_manifestBody.size() > UpdateManifest::kMaxBytes)
        m_manifestTooLarge = true;
    if (replyguard::succeeded(reply) && !m_manifestTooLarge) {
        qDebug().noquote() << "UpdateInformation: jason dwonload ok" << m_manifestBody.size();
        const QString text = UpdateManifest::textOfBody(m_manifestBody);
        log(text);
        emit finishedInformation(text);
    } else {
        log(QStringLiteral("UpdateInformation: jason dwonload error"));
        log(m_manifestTooLarge ? QStringLiteral("Manifest larger than 1 MiB") : replyguard::failure(reply));
    }
    log(QStringLiteral("UpdateInformation: end of replyFinished"));
    qDebug().noquote() << (QSslSocket::supportsSsl() ? "true" : "false")
                       << QSslSocket::sslLibraryBuildVersionString() << QSslSocket::sslLibraryVersionString();
    m_manifestBody.clear();
    reply->deleteLater();
}

void UpdateInformation::downloadFile(QString url)
{
    log(QStringLiteral("UpdateInformation: download ") + url);
    // Before anything is set: the running download's type decides its hand-over.
    if (downloadRunning()) {
        log(QStringLiteral("UpdateInformation: a download is already running"));
        return;
    }
    isExe = url.endsWith(QLatin1String("exe"), Qt::CaseInsensitive);
    isDmg = url.endsWith(QLatin1String("dmg"), Qt::CaseInsensitive);
    log(QStringLiteral("UpdateInformation: isExe %1, isDmg %2")
            .arg(QLatin1String(isExe ? "true" : "false"), QLatin1String(isDmg ? "true" : "false")));
    const QUrl address(url);
    if (!isAllowedAddress(address))
        return fail(QStringLiteral("UpdateInformation: download refused, not HTTPS"));
    // Nothing this panel can do with a Windows program.
    if (isExe)
        return fail(QStringLiteral("UpdateInformation: download refused, exe file"));
    if (isDmg && !m_platform->mountsDiskImages())
        return fail(QStringLiteral("UpdateInformation: download refused, disk image"));
    const QString name = downloadFileName(address, isDmg, m_platform->readsLinuxAddresses());
    if (name.isEmpty())
        return fail(QStringLiteral("UpdateInformation: download refused, no file name"));
    // Only what the desktop's opener hands to an installer (or an archive
    // holding it), never a script or a program of unknown kind.
    if (name != QLatin1String("temp.zip") && !isDmg
        && !QDir::match(m_platform->installerFilters(m_firmwareDownload), name))
        return fail(QStringLiteral("UpdateInformation: download refused, not an installer: ") + name);

    removeDownloadFolder();
    tempDir = new QTemporaryDir;
    tempDir->setAutoRemove(false);
    if (!tempDir->isValid())
        return fail(QStringLiteral("UpdateInformation: file open error"));
    m_folder = tempDir->path();
    log(QStringLiteral("UpdateInformation: tempDir ") + m_folder);
    // The body goes to disk as it arrives, never whole into memory.
    m_file.setFileName(m_folder + QLatin1Char('/') + name);
    m_written = 0;
    m_stopReason.clear();
    if (!m_file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("UpdateInformation: file open error"));

    timeoutTimer = new QTimer;
    timeoutTimer->setSingleShot(true);
    timeoutTimer->start(m_inactivityTimeoutMs);
    timedOut = false;
    connect(timeoutTimer, &QTimer::timeout, this, &UpdateInformation::timeoutDownload);

    if (!network)
        network = new QNetworkAccessManager(this);
    QNetworkReply *reply = replyguard::get(network, address, m_maxDownloadBytes, kReadBufferBytes);
    fileReply = reply;
    connect(reply, &QNetworkReply::downloadProgress, this, &UpdateInformation::replyDownloadProgress);
    connect(reply, &QNetworkReply::readyRead, this, &UpdateInformation::writeArrivedBody);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { replyFinishedFileDownload(reply); });
    emit startedDownloadFile();
}

void UpdateInformation::cancelDownload()
{
    log(QStringLiteral("UpdateInformation: cancel download"));
    if (!fileReply)
        return;
    QNetworkReply *reply = fileReply;
    if (reply->isRunning())
        reply->abort();
    log(QStringLiteral("UpdateInformation: file download abort"));
    log(reply->errorString());
}

void UpdateInformation::timeoutDownload()
{
    log(QStringLiteral("UpdateInformation: timeout"));
    timedOut = true;
    m_stopReason = QStringLiteral("no data for %1 ms").arg(m_inactivityTimeoutMs);
    cancelDownload();
}

void UpdateInformation::replyDownloadProgress(qint64 received, qint64 total)
{
    if (total == 0)
        return;
    // A size the server did not announce leaves the bar busy.
    const qint64 percent = total > 0 ? qBound<qint64>(0, received * 100 / total, 100) : -1;
    if (percent >= 0)
        qDebug().noquote() << "UpdateInformation: ProgressBar" << percent;
    emit progressValueChanged(static_cast<int>(percent));
    if (timeoutTimer)
        timeoutTimer->start(m_inactivityTimeoutMs);
}

void UpdateInformation::replyFinishedFileDownload(QNetworkReply *reply)
{
    if (reply != fileReply) {
        reply->deleteLater();
        return;
    }
    emit finishedDownloadFile();
    if (timeoutTimer) {
        timeoutTimer->disconnect(this);
        timeoutTimer->stop();
        timeoutTimer->deleteLater();
        timeoutTimer = nullptr;
    }
    writeArrivedBody();
    m_file.close();
    fileReply = nullptr;
    reply->deleteLater();

    if (!replyguard::succeeded(reply) || !m_stopReason.isEmpty()) {
        log(QStringLiteral("UpdateInformation: file download error"));
        log(m_stopReason.isEmpty() ? replyguard::failure(reply) : m_stopReason);
        removeDownloadFolder();
        // A user's cancel ends quietly; the time-out is a failure.
        if (reply->error() == QNetworkReply::OperationCanceledError && m_stopReason.isEmpty()
            && replyguard::refusal(reply).isEmpty())
            return;
        emit errorDownloadFile(kNoDetail);
        return;
    }
    if (m_written == 0)
        return fail(QStringLiteral("UpdateInformation: file download size zero"));
    qDebug().noquote() << "UpdateInformation: read size" << m_written;

    m_platform->unmountVolumes();
    const QString path = m_file.fileName();
    if (isDmg) {
        log(QStringLiteral("UpdateInformation: Mac OS dmg ") + path);
        startStep(m_platform->mountCommand(path), &UpdateInformation::replyFinishedMount);
        return;
    }
    if (path.endsWith(QLatin1String(".zip")))
        return unpack(path);
    unpackedOrDownloaded(path);
}

void UpdateInformation::unpack(const QString &archive)
{
    // Sizes as the archive lists them, checked before anything is written: a
    // small archive may unpack to far more than any installer.
    const ZipListing listing = readZipListing(archive);
    qDebug().noquote() << "UpdateInformation: archive lists" << listing.entries << "entries,"
                       << listing.unpackedBytes << "bytes";
    if (listing.status == ZipListing::NotZip)
        return fail(QStringLiteral("UpdateInformation: not a zip archive"), UnzipFailedText);
    if (listing.status == ZipListing::Unsafe)
        return fail(QStringLiteral("UpdateInformation: unsafe archive entries"), UnsafeArchiveText);
    if (listing.unpackedBytes > m_maxDownloadBytes)
        return fail(QStringLiteral("UpdateInformation: archive unpacks past the size limit"), UnsafeArchiveText);
    const qint64 freeBytes = QStorageInfo(m_folder).bytesAvailable();
    if (freeBytes >= 0 && listing.unpackedBytes > freeBytes)
        return fail(QStringLiteral("UpdateInformation: not enough free space to unpack"), UnsafeArchiveText);
    startStep(m_platform->unzipCommand(archive), &UpdateInformation::replyFinishedUnzip);
}

void UpdateInformation::replyFinishedUnzip(int exitCode, QProcess::ExitStatus exitStatus)
{
    QFile::remove(m_folder + QStringLiteral("/temp.zip"));
    disconnect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
               &UpdateInformation::replyFinishedUnzip);
    if (exitStatus == QProcess::CrashExit)
        return fail(QStringLiteral("UpdateInformation: CrashExit"), UnzipFailedText);
    if (exitCode != 0)
        return fail(QStringLiteral("UpdateInformation: unzip exit code %1").arg(exitCode), UnzipFailedText);

    const QString found = findInstaller(m_folder);
    if (found.isEmpty())
        return fail(QStringLiteral("UpdateInformation: no installer in the archive"), NoInstallerText);
    if (!m_platform->mountsDiskImages())
        return unpackedOrDownloaded(found);
    log(QStringLiteral("UpdateInformation: exec/dmg ") + found);
    startStep(m_platform->mountCommand(found), &UpdateInformation::replyFinishedMount);
}

void UpdateInformation::replyFinishedMount(int exitCode, QProcess::ExitStatus exitStatus)
{
    log(QStringLiteral("UpdateInformation: replyFinishedMount"));
    disconnect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
               &UpdateInformation::replyFinishedMount);
    if (exitStatus == QProcess::CrashExit)
        return fail(QStringLiteral("UpdateInformation: CrashExit"));
    if (exitCode != 0)
        return fail(QStringLiteral("UpdateInformation: mount exit code %1").arg(exitCode));

    const QString firmware = m_platform->volumesRoot() + QLatin1String(kFirmwareUpdater);
    const QString software = m_platform->volumesRoot() + QLatin1String(kSoftwareInstaller);
    // The firmware updater is looked for first: an image with both is a
    // firmware update.
    for (int attempt = 0; attempt < kMountPolls; ++attempt) {
        if (QFileInfo::exists(firmware)) {
            log(QStringLiteral("UpdateInformation: replyFinishedMount: firmware update"));
            if (!m_platform->openFirmwareUpdater(firmware))
                return fail(QStringLiteral("UpdateInformation: cannot start ") + firmware);
            return m_platform->quitApplication();
        }
        if (QFileInfo::exists(software)) {
            log(QStringLiteral("UpdateInformation: replyFinishedMount: software update"));
            if (!m_platform->openInstaller(software))
                return fail(QStringLiteral("UpdateInformation: cannot start ") + software);
            return m_platform->quitApplication();
        }
        QThread::msleep(kMountPollMs);
        qDebug().noquote() << "UpdateInformation: replyFinishedMount: sleep" << attempt;
    }
    fail(QStringLiteral("UpdateInformation: nothing to install on the volume"));
}

void UpdateInformation::setFirmwareDownload(bool firmware)
{
    if (downloadRunning()) {
        log(QStringLiteral("UpdateInformation: a download is already running"));
        return;
    }
    m_firmwareDownload = firmware;
}

bool UpdateInformation::downloadRunning() const
{
    return fileReply || process.state() != QProcess::NotRunning;
}

void UpdateInformation::firmwareInstallFinished()
{
    removeDownloadFolder();
}

void UpdateInformation::releaseResources()
{
    if (fileReply)
        fileReply->abort();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(kExitWaitMs);
    }
    delete timeoutTimer;
    timeoutTimer = nullptr;
    delete network;
    network = nullptr;
}

void UpdateInformation::writeArrivedBody()
{
    if (!fileReply || !m_file.isOpen())
        return;
    // At most the bounded read buffer: the socket is drained as it fills.
    const QByteArray chunk = fileReply->readAll();
    if (chunk.isEmpty() || !replyguard::statusOk(fileReply))
        return;   // a redirect's or an error page's body is not the download
    if (m_written + chunk.size() > m_maxDownloadBytes) {
        m_stopReason = QStringLiteral("download larger than %1 bytes").arg(m_maxDownloadBytes);
        fileReply->abort();
        return;
    }
    if (m_file.write(chunk) != chunk.size()) {
        m_stopReason = m_file.errorString();
        fileReply->abort();
        return;
    }
    m_written += chunk.size();
}

void UpdateInformation::fail(const QString &logLine, int detail)
{
    log(logLine);
    // Whatever the download left on disk goes with the failure.
    removeDownloadFolder();
    emit errorDownloadFile(detail);
}

void UpdateInformation::startStep(const UpdatePlatform::Command &command,
                                  void (UpdateInformation::*next)(int, QProcess::ExitStatus))
{
    if (command.program.isEmpty())
        return fail(QStringLiteral("UpdateInformation: no program for this step"));
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, next);
    process.setWorkingDirectory(m_folder);
    process.start(command.program, command.arguments, QIODevice::ReadWrite);
    // A question from the tool must not wait for an answer that never comes.
    process.closeWriteChannel();
}

void UpdateInformation::unpackedOrDownloaded(const QString &path)
{
    if (m_firmwareDownload) {
        log(QStringLiteral("UpdateInformation: firmware image ") + path);
        emit firmwareImageReady(path);
        return;
    }
    log(QStringLiteral("UpdateInformation: hand over ") + path);
    if (!m_platform->openInstaller(path))
        return fail(QStringLiteral("UpdateInformation: cannot start ") + path);
    m_platform->quitApplication();
}

QString UpdateInformation::findInstaller(const QString &folder) const
{
    // An archive entry may be a link pointing anywhere; only regular files
    // that really lie inside the folder count.
    const QString root = QFileInfo(folder).canonicalFilePath() + QLatin1Char('/');
    const auto flags = m_platform->mountsDiskImages() ? QDirIterator::NoIteratorFlags
                                                       : QDirIterator::Subdirectories;
    QStringList found;
    QDirIterator it(folder, m_platform->installerFilters(m_firmwareDownload),
                    QDir::Files | QDir::NoSymLinks, flags);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        if (info.canonicalFilePath().startsWith(root))
            found.append(info.absoluteFilePath());
    }
    found.sort();
    return found.value(0);
}

void UpdateInformation::removeDownloadFolder()
{
    delete tempDir;
    tempDir = nullptr;
    if (!m_folder.isEmpty())
        removeTree(m_folder);
    m_folder.clear();
}

// From the downloaded file to the installer, with the system's programs
// replaced by stand-ins on a temporary PATH: the macOS road (zip, disk image,
// mount, poll, "open", quit) and the Linux one (unzip, xdg-open, quit; a
// firmware image handed to the panel; the browser when there is no file).
#include <QtTest>

#include <QDesktopServices>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include "httpstub.h"
#include "update/linuxupdateplatform.h"
#include "update/macupdateplatform.h"
#include "update/updatesoftware.h"
#include "updatetestkit.h"

using namespace updatetest;

namespace {

// hdiutil "mounts" an image by creating the item named in its first line
// under the volumes root; an image saying "fail" does not mount.
const char kHdiutil[] = R"sh(#!/bin/sh
echo "hdiutil $*" >> "$STANDIN_LOG"
[ "$1" = mount ] || exit 0
item=$(head -n 1 "$2")
[ "$item" = fail ] && exit 1
mkdir -p "$STANDIN_VOLUMES/$(dirname "$item")" && touch "$STANDIN_VOLUMES/$item"
)sh";
const char kOpener[] = "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> \"$STANDIN_LOG\"\n";

bool writeScript(const QString &path, const char *text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text);
    file.close();
    return file.setPermissions(file.permissions() | QFile::ExeOwner);
}

} // namespace

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class UpdateInstallTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_log;
    QString m_volumes;
    std::unique_ptr<HttpStub> m_server;
    std::shared_ptr<std::atomic<int>> m_quits;

    QString standInLog() const
    {
        QFile file(m_log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // A zip archive of the given files (name -> content; content "->x" is a
    // link to x), served at path.
    bool serveZip(const QString &path, const QMap<QString, QByteArray> &files)
    {
        QTemporaryDir staging;
        for (auto it = files.begin(); it != files.end(); ++it) {
            const QString target = staging.filePath(it.key());
            QDir().mkpath(QFileInfo(target).path());
            if (it.value().startsWith("->")) {
                QFile::link(QString::fromUtf8(it.value().mid(2)), target);
                continue;
            }
            QFile file(target);
            if (!file.open(QIODevice::WriteOnly))
                return false;
            file.write(it.value());
        }
        QProcess zip;
        zip.setWorkingDirectory(staging.path());
        zip.start("zip", QStringList{"-q", "-r", "-y", staging.filePath("out.zip")} + files.keys());
        if (!zip.waitForFinished() || zip.exitCode() != 0)
            return false;
        QFile archive(staging.filePath("out.zip"));
        archive.open(QIODevice::ReadOnly);
        m_server->set(path, {200, archive.readAll()});
        return true;
    }
    std::unique_ptr<UpdateSoftware> controller(bool mac)
    {
        std::unique_ptr<UpdatePlatform> platform;
        if (mac)
            platform = std::make_unique<CountingQuits<MacUpdatePlatform>>(m_quits, m_volumes);
        else
            platform = std::make_unique<CountingQuits<LinuxUpdatePlatform>>(m_quits);
        return std::make_unique<UpdateSoftware>(std::move(platform));
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        setManifestAddress(QLatin1String(kNoManifest));
        QVERIFY(m_root.isValid());
        const QString bin = m_root.filePath("bin");
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(writeScript(bin + "/hdiutil", kHdiutil));
        QVERIFY(writeScript(bin + "/open", kOpener));
        QVERIFY(writeScript(bin + "/xdg-open", kOpener));
        qputenv("PATH", bin.toLocal8Bit() + ':' + qgetenv("PATH"));
        if (QStandardPaths::findExecutable("unzip").isEmpty() || QStandardPaths::findExecutable("zip").isEmpty())
            QSKIP("unzip and zip are not installed (scripts/ensure-deps.sh installs them)");
    }
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English));
        m_log = m_root.filePath(QString("log-%1").arg(QTest::currentDataTag()).replace(' ', '_'));
        QFile::remove(m_log);
        m_volumes = m_root.filePath("Volumes");
        QDir(m_volumes).removeRecursively();
        QDir().mkpath(m_volumes);
        qputenv("STANDIN_LOG", m_log.toLocal8Bit());
        qputenv("STANDIN_VOLUMES", m_volumes.toLocal8Bit());
        m_server = std::make_unique<HttpStub>();
        m_quits = std::make_shared<std::atomic<int>>(0);
    }

    void macInstallerIsMountedAndOpened_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("opened");
        QTest::newRow("zip holding the panel installer") << "/StrataMixer.zip"
            << "open /System/Library/CoreServices/installer.app %1/StrataMixer_Installer/StrataMixer_Installer.pkg";
        QTest::newRow("upper-case DMG with the firmware updater") << "/Firmware.DMG"
            << "open %1/strata96_firmware/strata96_firmware.app";
    }
    void macInstallerIsMountedAndOpened()
    {
        QFETCH(QString, path);
        QFETCH(QString, opened);
        if (path.endsWith(".zip"))
            QVERIFY(serveZip(path, {{"StrataMixer_Installer.dmg", "StrataMixer_Installer/StrataMixer_Installer.pkg\n"}}));
        else
            m_server->set(path, {200, "strata96_firmware/strata96_firmware.app\n"});
        DebugCapture debug;
        auto update = controller(true);
        ErrorBoxAnswerer errors(update->downloadErrorBox());
        emit update->readiedDownloadFile(m_server->url(path));
        QTRY_COMPARE_WITH_TIMEOUT(m_quits->load(), 1, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(standInLog().contains(opened.arg(m_volumes)), kWaitMs);
        QVERIFY(standInLog().startsWith(QString("hdiutil unmount %1/dmg\nhdiutil unmount %1/StrataMixer_Installer\n"
                                                "hdiutil mount ").arg(m_volumes)));
        QCOMPARE(errors.shown(), 0);
        const QStringList tempDirs = debug.lines().filter("UpdateInformation: tempDir ");
        QCOMPARE(tempDirs.size(), 1);
        QVERIFY(!QFile::exists(tempDirs[0].mid(int(strlen("UpdateInformation: tempDir "))) + "/temp.zip"));
    }

    void installationFailureEndsInErrorBox_data()
    {
        QTest::addColumn<bool>("mac");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("line");
        QTest::newRow("image with nothing to install") << true << "/x.dmg" << QByteArray("other/thing")
                                                      << "UpdateInformation: replyFinishedMount: sleep 4";
        QTest::newRow("mount fails") << true << "/x.dmg" << QByteArray("fail") << "UpdateInformation: mount exit code 1";
        QTest::newRow("zip without disk image") << true << "/x.zip" << QByteArray("zip:readme.txt")
                                                << "UpdateInformation: no installer in the archive";
        QTest::newRow("broken zip") << true << "/x.zip" << QByteArray("not a zip") << "UpdateInformation: not a zip archive";
        QTest::newRow("linux zip without package") << false << "/x.zip" << QByteArray("zip:readme.txt")
                                                   << "UpdateInformation: no installer in the archive";
        QTest::newRow("linux zip with a link leading out") << false << "/x.zip" << QByteArray("zip:link")
                                                           << "UpdateInformation: no installer in the archive";
        QTest::newRow("linux disk image") << false << "/x.dmg" << QByteArray("x")
                                          << "UpdateInformation: download refused, disk image";
    }
    void installationFailureEndsInErrorBox()
    {
        QFETCH(bool, mac);
        QFETCH(QString, path);
        QFETCH(QByteArray, content);
        QFETCH(QString, line);
        if (content == "zip:readme.txt")
            QVERIFY(serveZip(path, {{"readme.txt", "hello"}}));
        else if (content == "zip:link")
            QVERIFY(serveZip(path, {{"strata.deb", "->" + m_root.filePath("outside.deb").toUtf8()}}));
        else
            m_server->set(path, {200, content});
        QFile outside(m_root.filePath("outside.deb"));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        outside.close();

        DebugCapture debug;
        auto update = controller(mac);
        ErrorBoxAnswerer errors(update->downloadErrorBox());
        emit update->readiedDownloadFile(m_server->url(path));
        QTRY_COMPARE_WITH_TIMEOUT(errors.shown(), 1, kWaitMs);
        QVERIFY2(debug.has(line), qPrintable(debug.lines().join('\n')));
        QCOMPARE(m_quits->load(), 0);
        QVERIFY(!standInLog().contains("open"));
    }

    void linuxPackageGoesToTheDesktopOpener_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("package");
        QTest::newRow("package as downloaded") << "/strata-panel_2.01_amd64.deb" << "/strata-panel_2.01_amd64.deb";
        QTest::newRow("package inside a zip") << "/strata-panel.zip" << "/dist/strata-panel.AppImage";
    }
    void linuxPackageGoesToTheDesktopOpener()
    {
        QFETCH(QString, path);
        QFETCH(QString, package);
        if (path.endsWith(".zip"))
            QVERIFY(serveZip(path, {{package.mid(1), "ELF"}, {"readme.txt", "x"}}));
        else
            m_server->set(path, {200, "package bytes"});
        auto update = controller(false);
        ErrorBoxAnswerer errors(update->downloadErrorBox());
        update->saveInformation(manifestText(QJsonObject{{"mac_software_version_major", 2},
                                                         {"mac_software_version_minor", 1},
                                                         {"linux_software_url_en", m_server->url(path)}}));
        update->softwareNotice().ui.okButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(m_quits->load(), 1, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(standInLog().startsWith("xdg-open /"), kWaitMs);
        QVERIFY2(standInLog().trimmed().endsWith(package), qPrintable(standInLog()));
        QCOMPARE(errors.shown(), 0);
    }

    void linuxFirmwareImageIsHandedToThePanel()
    {
        QVERIFY(serveZip("/fw.zip", {{"strata96_1.03.bin", "IMAGE"}, {"notes.txt", "x"}}));
        auto update = controller(false);
        ErrorBoxAnswerer errors(update->downloadErrorBox());
        QSignalSpy images(update.get(), &UpdateSoftware::firmwareImageReady);
        update->saveInformation(manifestText(QJsonObject{{"firmware_version_major", 1}, {"firmware_version_minor", 3},
                                                         {"linux_firmware_url_en", m_server->url("/fw.zip")}}));
        update->checkFirmwareInformation("Strata 96", "1.02 0001");
        QVERIFY(update->firmwareNotice().isVisible());
        update->firmwareNotice().ui.okButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(images.count(), 1, kWaitMs);
        const QString image = images.at(0).at(0).toString();
        QFile file(image);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("IMAGE"));
        QCOMPARE(m_quits->load(), 0);

        // The download window serves as the transfer's progress window.
        update->showFirmwareProgress(50, 200);
        QVERIFY(update->downloadWindowWidget() && update->downloadWindowWidget()->isVisible());
        QCOMPARE(update->downloadWindowWidget()->findChild<QProgressBar *>()->value(), 25);
        update->showFirmwareResult(true, "Done");
        QPushButton *ok = update->downloadWindowWidget()->findChild<QPushButton *>();
        QVERIFY(ok->isEnabled());
        ok->click();
        QVERIFY(!update->downloadWindowWidget());
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(image), kWaitMs);
        QCOMPARE(errors.shown(), 0);
    }

    void linuxWithoutLinuxFileOpensDownloadPage()
    {
        UrlRecorder browser;
        QDesktopServices::setUrlHandler("https", &browser, "open");
        auto update = controller(false);
        QSignalSpy downloads(update.get(), &UpdateSoftware::readiedDownloadFile);
        update->saveInformation(manifestText(QJsonObject{{"mac_software_version_major", 2},
                                                         {"mac_software_version_minor", 1},
                                                         {"mac_software_url_en", "https://x/StrataMixer.zip"}}));
        update->softwareNotice().ui.okButton->click();
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(downloads.count(), 0);
        QCOMPARE(browser.urls.size(), 1);
        QVERIFY(browser.urls[0].path().contains("download"));
        QCOMPARE(update->checkState(), SoftwareSettled);
    }
};

QTEST_MAIN(UpdateInstallTest)
#include "test_updateinstall.moc"

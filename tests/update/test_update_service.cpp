// The update service: the manifest, the message, the notices and their buttons, and the download
// from a server on 127.0.0.1, plain and over TLS, with stand-ins for the system's programs.
#include <QtTest>

#include <QDesktopServices>
#include <QProgressBar>
#include <QPushButton>

#include <sys/stat.h>

#include "httpstub.h"
#include "test_table.h"
#include "ui/panelcommandline.h"
#include "update/linuxupdateplatform.h"
#include "update/macupdateplatform.h"
#include "update/messagemarkup.h"
#include "update/updatecheck.h"
#include "update/updatemanifest.h"
#include "update/updatemessages.h"
#include "update/updatesoftware.h"
#include "updatetestkit.h"

using namespace updatetest;
using A = HttpStub::Answer;
using Platform = UpdateManifest::Platform;
Q_DECLARE_METATYPE(HttpStub::Answer)

namespace {

constexpr int kShortTimeoutMs = 1500;
constexpr qint64 kSmallCap = 1024 * 1024;
const QByteArray kPackage(30 * 1000, 'p');
const QByteArray kManifest = manifestText({{"mac_software_version_major", 3}}).toUtf8();

// hdiutil "mounts" an image: the item its first line names appears, or "fail".
const char kHdiutil[] = R"sh(#!/bin/sh
[ "$1" = mount ] || exit 0
item=$(head -n 1 "$2")
[ "$item" = fail ] && exit 1
mkdir -p "$STANDIN_VOLUMES/$(dirname "$item")" && touch "$STANDIN_VOLUMES/$item"
)sh";
// The opener logs its arguments and the size of what it was handed.
const char kOpener[] = "#!/bin/sh\nfor last; do :; done\n"
                       "echo \"$(basename \"$0\") $* ($(wc -c < \"$last\") bytes)\" >> \"$STANDIN_LOG\"\n";

QString tls(const QString &name) { return QStringLiteral(STRATA_TEST_TLS_DIR "/") + name; }

QString readAll(const QString &path) { QFile f(path); return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString(); }

// A zip archive of files (name -> content; "->x" is a link to x).
QByteArray zipOf(const QMap<QString, QByteArray> &files)
{
    QTemporaryDir staging;
    for (auto it = files.begin(); it != files.end(); ++it) {
        QFile file(staging.filePath(it.key()));
        QDir().mkpath(QFileInfo(file).path());
        if (it.value().startsWith("->"))
            QFile::link(QString::fromUtf8(it.value().mid(2)), file.fileName());
        else if (file.open(QIODevice::WriteOnly))
            file.write(it.value());
    }
    QProcess::execute("sh", QStringList{"-c", "cd \"$0\" && zip -q -r -y out.zip \"$@\"", staging.path()} + files.keys());
    QFile out(staging.filePath("out.zip")); return out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray();
}

} // namespace

class UpdateServiceTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    std::shared_ptr<std::atomic<int>> m_quits = std::make_shared<std::atomic<int>>(0);
    std::unique_ptr<UpdateSoftware> m_update;
    std::unique_ptr<ErrorBoxAnswerer> m_errors;
    QList<QUrl> m_opened;

    void restart(bool mac = false, qint64 cap = kSmallCap, bool checkAtStart = true, int timeoutMs = kShortTimeoutMs)
    {
        cleanup();
        std::unique_ptr<UpdatePlatform> platform = std::make_unique<CountingQuits<LinuxUpdatePlatform>>(m_quits);
        if (mac)
            platform = std::make_unique<CountingQuits<MacUpdatePlatform>>(m_quits, m_root.filePath("Volumes"));
        m_update = std::make_unique<UpdateSoftware>(std::move(platform), timeoutMs, checkAtStart, cap);
        m_errors = std::make_unique<ErrorBoxAnswerer>(m_update->downloadErrorBox());
    }
    // Shows the notice for an address and answers "Update now".
    void acceptUpdateFrom(const QString &url, const char *key = "linux_software_url_en")
    {
        m_update->saveInformation(manifestText(QJsonObject{{"mac_software_version_major", 2},
                                                           {"mac_software_version_minor", 1}, {key, url}}));
        m_update->softwareNotice().ui.okButton->click();
    }
    template <class T> T *windowChild() const { return m_update->downloadWindowWidget() ? m_update->downloadWindowWidget()->findChild<T *>() : nullptr; }

public slots:
    void openedInBrowser(const QUrl &url) { m_opened.append(url); }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        for (const char *scheme : {"https", "http", "file"})
            QDesktopServices::setUrlHandler(scheme, this, "openedInBrowser");
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.addCaCertificates(tls("ca.pem"));
        QSslConfiguration::setDefaultConfiguration(config);
        const QString bin = m_root.filePath("bin");
        QDir().mkpath(bin);
        for (const auto &[name, text] : {std::pair{"hdiutil", kHdiutil}, {"open", kOpener}, {"xdg-open", kOpener}}) {
            QFile script(bin + '/' + name);
            QVERIFY(script.open(QIODevice::WriteOnly) && script.write(text) > 0);
            script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        }
        QFile outside(m_root.filePath("outside.deb"));
        QVERIFY(outside.open(QIODevice::WriteOnly) && outside.write("mine") == 4);
        qputenv("PATH", bin.toLocal8Bit() + ':' + qgetenv("PATH"));
        qputenv("STANDIN_LOG", m_root.filePath("log").toLocal8Bit());
        qputenv("STANDIN_VOLUMES", m_root.filePath("Volumes").toLocal8Bit());
        if (QStandardPaths::findExecutable("unzip").isEmpty() || QStandardPaths::findExecutable("zip").isEmpty())
            QSKIP("unzip and zip are not installed (scripts/ensure-deps.sh installs them)");
    }
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English));
        for (const char *key : {"SoftDialog", "FirmDialog", "InfoDialog"})
            DataManager::saveSetting("Update", key, QString());
        setManifestAddress(QLatin1String(kNoManifest));
        QFile::remove(m_root.filePath("log"));
        QDir(m_root.filePath("Volumes")).removeRecursively();
        *m_quits = 0;
        restart();
    }
    void cleanup() { m_errors.reset(); m_update.reset(); }

    // installed: the installed version for checkVersion, the silenced one for isSilenced.
    void versionsComparedByPosition_data()
    {
        addColumns<bool, QString, QString, bool>("silencing", "installed", "offered", "result");
        QTest::newRow("2.00 vs 2.01") << false << "2.00" << "2.01" << true;
        QTest::newRow("2.00 vs 2.00") << false << "2.00" << "2.00" << false;
        QTest::newRow("major 12 reads as 1") << false << "2.00" << "12.00" << false;
        QTest::newRow("2.01 silenced, 2.01 offered") << true << "2.01" << "2.01" << true;
        QTest::newRow("2.01 silenced, 2.02 offered") << true << "2.01" << "2.02" << false;
        QTest::newRow("nothing silenced, 1.00 offered") << true << "" << "1.00" << false;
    }
    void versionsComparedByPosition()
    {
        QFETCH(bool, silencing); QFETCH(QString, installed); QFETCH(QString, offered);
        const QString major = offered.section('.', 0, 0), minor = offered.section('.', 1);
        QTEST(silencing ? UpdateManifest::isSilenced(installed, major, minor)
                        : UpdateManifest::checkVersion(installed, major, minor), "result");
    }

    // What manifest texts read as: "." a version, "msg" a language's message, else an address.
    void manifestReadAs_data()
    {
        addColumns<QByteArray, QString, QString>("json", "what", "read");
        const QByteArray urls = R"({"mac_software_url_en":"se","mac_software_url_ja":"sj","mac_firmware_url_ja":"fj",
            "linux_software_url_en":"lse","linux_firmware_url_ja":"lfj"})";
        const QByteArray messages = R"({"messages":{"English":"en text","Japanese":"ja text","German":""}})";
        QTest::newRow("minor padded") << QByteArray(R"({"mac_software_version_major":2,"mac_software_version_minor":1})") << "." << "2.01";
        QTest::newRow("string and fraction read as 0") << QByteArray(R"({"mac_software_version_major":"3","mac_software_version_minor":2.5})") << "." << "0.00";
        QTest::newRow("Japanese has its own") << messages << "msg ja" << "ja text";
        QTest::newRow("German reads English") << messages << "msg de" << "en text";
        QTest::newRow("mac software ja") << urls << "software ja" << "sj";
        QTest::newRow("linux software ja takes en") << urls << "software ja linux" << "lse";
        QTest::newRow("linux firmware en takes ja") << urls << "firmware linux" << "lfj";
        QTest::newRow("linux without linux keys") << QByteArray(R"({"mac_software_url_en":"se"})") << "software linux" << "";
    }
    void manifestReadAs()
    {
        QFETCH(QByteArray, json); QFETCH(QString, what);
        const UpdateManifest m = UpdateManifest::fromText(QString::fromUtf8("{\"Strata96_version1\":" + json + "}"));
        const auto product = what.startsWith("firmware") ? UpdateManifest::Product::Firmware : UpdateManifest::Product::Software;
        if (what == ".")
            QTEST(m.netMajor(product) + '.' + m.netMinor(product), "read");
        else if (what.startsWith("msg "))
            QTEST(m.informationText(QLocale(what.mid(4)).language()), "read");
        else
            QTEST(m.downloadUrl(product, what.contains("ja"), what.contains("linux") ? Platform::Linux : Platform::Mac), "read");
    }

    // Exit status -1 starts the window, which fetches the manifest once if allowed.
    void checkAtStart_data()
    {
        addColumns<QString, int>("line", "exitStatus");
        QTest::newRow("fetched") << "-platform|offscreen|--simulate|Strata 96" << -1;
        QTest::newRow("setting off") << "" << -1;
        QTest::newRow("option off") << "--no-update-check" << -1;
        QTest::newRow("unknown option") << "--no-update" << 2;
        QTest::newRow("extra argument") << "Strata 96" << 2;
    }
    void checkAtStart()
    {
        QFETCH(QString, line);
        QList<QByteArray> bytes{"strata-panel"};
        std::vector<char *> argv;
        for (const QString &a : line.split('|', Qt::SkipEmptyParts))
            bytes.append(a.toLocal8Bit());
        std::transform(bytes.begin(), bytes.end(), std::back_inserter(argv), [](QByteArray &b) { return b.data(); });
        const panel::CommandLine read = panel::readCommandLine(int(argv.size()), argv.data());
        QTEST(read.exitStatus, "exitStatus");
        HttpStub server;
        server.set("/m.json", {200, manifestText({{"mac_software_version_major", 3}}).toUtf8()});
        setManifestAddress(server.url("/m.json"));
        DataManager::saveSetting("Update", "CheckAtStart", QTest::currentDataTag() == QLatin1String("setting off") ? "false" : "true");
        const bool check = read.exitStatus < 0 && UpdateCheck::atStart(read.updateCheck);
        DebugCapture debug;
        restart(true, kSmallCap, check);
        QTRY_VERIFY_WITH_TIMEOUT(debug.lines().contains(check ? "UpdateInformation: end of replyFinished"
                                                 : "UpdateSoftware: update check turned off"), kWaitMs);
        QCOMPARE(server.requests("/m.json"), int(check));
        QTRY_COMPARE(m_update->softwareNotice().isVisible(), check);
    }

    // The firmware notice waits for the software question and a known Strata 96 firmware.
    void noticesComeInOrder()
    {
        QLocale::setDefault(QLocale(QLocale::French));
        restart(true, kSmallCap, false);
        m_update->saveInformation(manifestText({{"mac_software_version_major", 2}, {"mac_software_version_minor", 1},
            {"firmware_version_major", 1}, {"firmware_version_minor", 3}, {"messages", QJsonObject{{"English", "News"}}}}));
        QVERIFY(m_update->informationNotice().isVisible() && m_update->softwareNotice().isVisible());
        m_update->checkFirmwareInformation("Strata 96", "1.02 0001");
        QVERIFY(!m_update->firmwareNotice().isVisible() && !m_update->querySoftUpdate());
        m_update->softwareNotice().ui.dontShowCheckBox->setChecked(true);
        m_update->softwareNotice().ui.noButton->click();
        for (const char *firmware : {"No Device", "v1.02", ""})
            m_update->checkFirmwareInformation("Strata 96", firmware);
        m_update->checkFirmwareInformation("Strata 10", "1.02 0001");
        QVERIFY(m_update->checkState() == SoftwareSettled && m_update->querySoftUpdate());
        m_update->checkFirmwareInformation("Strata 96", "1.02 0001");
        QVERIFY(m_update->checkState() == FirmwareOpen && !m_update->querySoftUpdate());
        const QString text = m_update->firmwareNotice().ui.textMessage->toPlainText();
        QVERIFY2(text.contains(updateMessage(UpdateFrench, CurrentVersionText) + "1.02")
                 && text.contains(updateMessage(UpdateFrench, LatestVersionText) + "1.03"), qPrintable(text));
        m_update->firmwareNotice().ui.noButton->click();
        QVERIFY(m_update->checkState() == FirmwareSettled && DataManager::getDoNotUpdateSoftDialog() == "2.01"
                && DataManager::getDoNotUpdateFirmDialog().isEmpty());
    }

    // The message loads nothing and opens only https links; what is shown is what is silenced.
    void messageShownSafely_data()
    {
        addColumns<QString, QString>("message", "shown");
        QTest::newRow("files") << "<img src=\"/dev/zero\"><img src=\"FIFO\"><a href=\"file:///etc/hostname\">f</a>" << "<a>f</a>";
        QTest::newRow("own picture") << "<img src=\":/Resource/trans.png\" width=99999>" << "<img src=\":/Resource/trans.png\">";
        QTest::newRow("foreign markup") << "<style>p{}</style><h1 class=x>T</h1><font size=7>a < b & c"
                                        << "T<font>a &lt; b &amp; c</font>";
        QTest::newRow("nesting") << QString("<i>").repeated(20) + "x" << QString("<i>").repeated(8) + "x" + QString("</i>").repeated(8);
        QTest::newRow("1 MB word") << QString(1 << 20, 'w') << QString(MessageMarkup::kMaxSourceChars, 'w');
    }
    void messageShownSafely()
    {
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600) == 0);
        UpdateSoftware update(std::make_unique<MacUpdatePlatform>(), 60000, false);
        update.saveInformation(manifestText(QJsonObject{{"messages", QJsonObject{{"English", message.replace("FIFO", dir.filePath("fifo"))}}}}));
        InformationBox &box = update.informationNotice();
        box.ui.dontShowCheckBox->setChecked(true);
        box.ui.okButton->click();
        QTEST(DataManager::getDoNotUpdateInfoDialog(), "shown");
        const auto picture = [&box](const QUrl &url) {
            return box.ui.textMessage->loadResource(QTextDocument::ImageResource, url).value<QImage>(); };
        QCOMPARE(picture(QUrl::fromLocalFile(dir.filePath("fifo"))).size(), QSize(1, 1));
        QCOMPARE(picture(QUrl("qrc:/Resource/trans.png")), QImage(":/Resource/trans.png"));
        m_opened.clear();
        for (const char *link : {"file:///etc/hostname", "http://x.example/", "https://x.example/"})
            emit box.ui.textMessage->anchorClicked(QUrl(link));
        QCOMPARE(m_opened, QList<QUrl>{QUrl("https://x.example/")});
    }

    // Every language's row has the English markup and placeholders, which the markup keeps.
    void messageTableRowsMatchEnglish()
    {
        static const QRegularExpression structure("</?[a-z]+|%[0-9]|<br> +");
        const auto skeleton = [](const QString &text) {
            QStringList parts;
            for (auto it = structure.globalMatch(text); it.hasNext();)
                parts << it.next().captured();
            return parts;
        };
        for (int slot = 0; slot < UpdateMessageCount; ++slot) {
            for (int row = 0; row < UpdateLanguageCount; ++row) {
                const QString text = updateMessage(row, UpdateMessage(slot));
                QVERIFY2(!text.isEmpty() && skeleton(text) == skeleton(updateMessage(UpdateEnglish, UpdateMessage(slot))),
                         qPrintable(text));
                QCOMPARE(MessageMarkup::sanitize(text), text);
            }
        }
    }

    void serverAnswers_data()
    {
        // address: a path on the server (.json: the manifest), or a whole address; outcome: the
        // opener's line ("... bytes)"), or a piece of the failure's log line; detail: the error box's.
        addColumns<QString, A, QString, QString, int>("address", "answer", "certificate", "outcome", "detail");
        const A elsewhere{302, "moved", "Location: http://192.0.2.1/pkg.deb\r\n"};
        const QString deb = "a.deb (30000 bytes)";
        // Slices for twice the inactivity time-out: slow, but never timed out.
        QTest::newRow("size unknown, busy bar") << "/a.deb" << A{200, kPackage, "", 100, -1, false} << "" << deb << -1;
        QTest::newRow("redirect followed") << "/a.deb" << A{302, "moved", "Location: /pkg.deb\r\n"} << "" << deb << -1;
        QTest::newRow("TLS") << "/a.deb" << A{200, kPackage} << "good" << deb << -1;
        QTest::newRow("manifest redirect followed") << "/m.json" << A{301, "", "Location: /manifest.json\r\n"} << "" << "" << -1;
        QTest::newRow("empty body") << "/a.deb" << A{200, ""} << "" << "UpdateInformation: file download size zero" << -1;
        QTest::newRow("HTTP 404") << "/a.deb" << A{404, "gone"} << "" << "HTTP status 404" << -1;
        QTest::newRow("stall before any byte") << "/a.deb" << A{200, kPackage, "", 0, 0} << "" << "UpdateInformation: timeout" << -1;
        QTest::newRow("endless body") << "/a.deb" << A{200, QByteArray(65536, 'e'), "", 0, -1, false, true} << "" << "download larger than" << -1;
        QTest::newRow("announced past the cap") << "/a.deb" << A{200, QByteArray(kSmallCap + 1, 'b')} << "" << "announced size above" << -1;
        QTest::newRow("redirect page to plain HTTP") << "/a.deb" << elsewhere << "" << "redirect to a refused address" << -1;
        QTest::newRow("redirect loop") << "/a.deb" << A{302, "", "Location: /a.deb\r\n"} << "" << "file download error" << -1;
        QTest::newRow("install.sh") << "/install.sh" << A{200, "rm -rf ~"} << "" << "not an installer: install.sh" << -1;
        QTest::newRow("exe") << "/setup.exe" << A{} << "" << "download refused, exe file" << -1;
        QTest::newRow("parent folder") << "/a/.." << A{} << "" << "download refused, no file name" << -1;
        QTest::newRow("plain HTTP elsewhere") << "http://192.0.2.1/x.deb" << A{} << "" << "not HTTPS" << -1;
        QTest::newRow("expired") << "/a.deb" << A{200, kPackage} << "expired" << "SSL handshake failed" << -1;
        QTest::newRow("manifest, self-signed") << "/manifest.json" << A{200, kManifest} << "untrusted" << "SSL handshake failed" << -1;
        QTest::newRow("manifest, other host") << "/manifest.json" << A{200, kManifest} << "otherhost" << "SSL handshake failed" << -1;
        QTest::newRow("manifest, HTTP 500") << "/manifest.json" << A{500, "oops"} << "" << "HTTP status 500" << -1;
        QTest::newRow("manifest, redirect elsewhere") << "/m.json" << elsewhere << "" << "redirect to a refused address" << -1;
        const QByteArray big = manifestText({{"pad", QString(1024 * 1024, 'x')}}).toUtf8();
        QTest::newRow("manifest, oversized") << "/manifest.json" << A{200, big} << "" << "announced size above" << -1;
        QTest::newRow("manifest, oversized, size unknown") << "/manifest.json" << A{200, big, "", 0, -1, false} << "" << "Manifest larger than 1 MiB" << -1;
        const QString volumes = m_root.filePath("Volumes");
        QTest::newRow("mac zip holding the panel installer") << "/StrataMixer.zip"
            << A{200, zipOf({{"StrataMixer_Installer.dmg", "StrataMixer_Installer/StrataMixer_Installer.pkg\n"}})} << ""
            << "open /System/Library/CoreServices/installer.app " + volumes + "/StrataMixer_Installer/StrataMixer_Installer.pkg (0 bytes)" << -1;
        QTest::newRow("mac upper-case DMG with the firmware updater") << "/Firmware.DMG"
            << A{200, "strata96_firmware/strata96_firmware.app\n"} << "" << "open " + volumes + "/strata96_firmware/strata96_firmware.app (0 bytes)" << -1;
        QTest::newRow("mac image with nothing to install") << "/x.dmg" << A{200, "other/thing"} << "" << "replyFinishedMount: sleep 4" << -1;
        QTest::newRow("mac mount fails") << "/x.dmg" << A{200, "fail"} << "" << "mount exit code 1" << -1;
        QTest::newRow("not a zip") << "/x.zip" << A{200, "not a zip"} << "" << "not a zip archive" << int(UnzipFailedText);
        QTest::newRow("package inside a zip") << "/p.zip" << A{200, zipOf({{"dist/strata.AppImage", "ELF"}, {"notes.txt", "x"}})} << "" << "/dist/strata.AppImage (3 bytes)" << -1;
        QTest::newRow("zip without package") << "/x.zip" << A{200, zipOf({{"readme.txt", "hi"}})} << "" << "no installer in the archive" << int(NoInstallerText);
        QTest::newRow("zip bomb") << "/x.zip" << A{200, zipOf({{"big.deb", QByteArray(2 * kSmallCap, '\0')}})} << "" << "unpacks past the size limit" << int(UnsafeArchiveText);
        QTest::newRow("entry leading out") << "/x.zip" << A{200, zipOf({{"aa/evil.deb", "x"}}).replace("aa/evil.deb", "../evil.deb")} << "" << "unsafe archive entries" << int(UnsafeArchiveText);
        QTest::newRow("damaged entry") << "/x.zip" << A{200, zipOf({{"a.deb", "x"}}).replace(0, 4, "PK\x03\x09")} << "" << "unzip exit code" << int(UnzipFailedText);
        QTest::newRow("link leading out") << "/x.zip" << A{200, zipOf({{"s.deb", "->" + m_root.filePath("outside.deb").toUtf8()}})} << "" << "no installer in the archive" << int(NoInstallerText);
        QTest::newRow("user's Cancel before any byte") << "/a.deb" << A{200, kPackage, "", 0, 0} << "" << "cancel" << -1;
        QTest::newRow("panel closed during an endless body") << "/a.deb" << A{200, QByteArray(65536, 'e'), "", 0, -1, false, true} << "" << "close" << -1;
        QTest::newRow("disk image on Linux") << "/x.dmg" << A{200, "x"} << "" << "download refused, disk image" << -1;
    }
    void serverAnswers()
    {
        QFETCH(QString, address);
        QFETCH(A, answer);
        QFETCH(QString, certificate);
        QFETCH(QString, outcome);
        QFETCH(int, detail);
        if (!certificate.isEmpty() && !QSslSocket::supportsSsl())
            QSKIP("this Qt has no TLS support");
        HttpStub server(certificate.isEmpty() ? QString() : tls(certificate + ".pem"), tls("key.pem"));
        const QUrl url(address.startsWith('/') ? server.url(address) : address);
        server.set("/pkg.deb", {200, kPackage});
        server.set("/manifest.json", {200, kManifest});
        server.set(url.path(), answer);
        const bool mac = QByteArray(QTest::currentDataTag()).startsWith("mac");
        const bool fails = !outcome.endsWith("bytes)");
        DebugCapture debug;
        if (url.path().endsWith(".json")) {
            setManifestAddress(url.toString());
            restart();
            QTRY_VERIFY_WITH_TIMEOUT(debug.lines().contains("UpdateInformation: end of replyFinished"), kWaitMs);
            if (outcome.isEmpty())
                QTRY_VERIFY_WITH_TIMEOUT(m_update->softwareNotice().isVisible(), kWaitMs);
            QCoreApplication::processEvents();
            QCOMPARE(m_update->softwareNotice().isVisible(), outcome.isEmpty());
            QVERIFY2(!debug.lines().filter(outcome).isEmpty(), qPrintable(debug.lines().join('\n')));
            return;
        }
        restart(mac, outcome == "close" ? UpdateInformation::kMaxDownloadBytes : kSmallCap);
        acceptUpdateFrom(url.toString(), mac ? "mac_software_url_en" : "linux_software_url_en");
        // Usable as soon as the request is out, before any answer.
        QTRY_VERIFY_WITH_TIMEOUT(m_update->downloadWindowWidget() || m_errors->shown() || m_quits->load(), kWaitMs);
        QVERIFY(!windowChild<QPushButton>() || windowChild<QPushButton>()->isEnabled());
        if (answer.sliceMs || outcome == "close")   // size unknown: a busy bar
            QTRY_VERIFY_WITH_TIMEOUT(windowChild<QProgressBar>() && windowChild<QProgressBar>()->maximum() == 0, kWaitMs);
        QElapsedTimer stopping;
        stopping.start();
        if (outcome == "close") {
            m_update->closeAll();
            cleanup();
            QVERIFY(stopping.elapsed() < qint64(UpdateSoftware::kThreadExitWaitMs));
            return;
        }
        if (outcome == "cancel") {
            windowChild<QPushButton>()->click();
            QTRY_VERIFY_WITH_TIMEOUT(debug.lines().contains("UpdateInformation: file download error"), kWaitMs);
            QTest::qWait(200);   // an error box would follow the log line
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(m_errors->shown() + m_quits->load(), 1, kWaitMs);
        }
        QVERIFY(debug.lines().filter("ProgressBar -").isEmpty());
        // Links are never followed: nothing outside the download's folder changes.
        QCOMPARE(readAll(m_root.filePath("outside.deb")), QString("mine"));
        QCOMPARE(m_quits->load(), fails ? 0 : 1);
        QCOMPARE(m_errors->shown(), fails && outcome != "cancel" ? 1 : 0);
        if (!fails) {
            QTRY_VERIFY2_WITH_TIMEOUT(readAll(m_root.filePath("log")).contains(outcome), qPrintable(readAll(m_root.filePath("log"))), kWaitMs);
            return;
        }
        QCOMPARE(m_update->checkState(), FirmwareSettled);
        QVERIFY2(outcome == "cancel" || !debug.lines().filter(outcome).isEmpty(), qPrintable(debug.lines().join('\n')));
        QTRY_VERIFY_WITH_TIMEOUT(!m_update->downloadWindowWidget(), kWaitMs);
        for (const QString &folder : debug.lines().filter("UpdateInformation: tempDir "))
            QVERIFY(!QFileInfo::exists(folder.section(' ', 2)));
        QCOMPARE(m_update->downloadErrorBox().informativeText(),
                 detail < 0 ? QString() : updateMessage(UpdateEnglish, UpdateMessage(detail)));
    }

    // A second "Update now" while a download runs changes nothing of it.
    void oneDownloadAtATime_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("first finishes") << false;
        QTest::newRow("first cancelled") << true;
    }
    void oneDownloadAtATime()
    {
        QFETCH(bool, cancel);
        HttpStub server;
        server.set("/p.deb", {200, QByteArray(20000, 'x'), {}, 50, cancel ? 1000 : -1});
        // No manifest fetched before: the download starts the network itself.
        restart(false, kSmallCap, false, 60000);
        DebugCapture debug;
        m_update->saveInformation(manifestText(QJsonObject{{"mac_software_version_major", 3}, {"firmware_version_major", 9},
            {"linux_software_url_en", server.url("/p.deb")}, {"linux_firmware_url_en", server.url("/f.bin")}}));
        m_update->softwareNotice().ui.okButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(m_update->downloadWindowWidget(), kWaitMs);
        m_update->checkSoftwareUpdate();   // "- Update" while it runs
        QVERIFY(m_update->softwareNotice().isVisible() && !m_update->softwareNotice().ui.okButton->isEnabled());
        m_update->decideClickedFirmware();
        emit m_update->readiedDownloadFile(server.url("/f.dmg"));   // straight to the worker
        QVERIFY(m_update->checkState() == SoftwareOpen
                && debug.lines().contains("UpdateSoftware: a download is already running, request refused"));
        if (cancel) {
            QTRY_VERIFY_WITH_TIMEOUT(windowChild<QPushButton>()->isEnabled(), kWaitMs);
            windowChild<QPushButton>()->click();
            QVERIFY(m_update->checkState() == FirmwareSettled && m_update->softwareNotice().ui.okButton->isEnabled());
        }
        const QString end = cancel ? "UpdateInformation: file download abort" : "UpdateInformation: hand over ";
        QTRY_VERIFY_WITH_TIMEOUT(!debug.lines().filter(end).isEmpty(), kWaitMs);
        QVERIFY(cancel || debug.lines().filter(end).first().endsWith("/p.deb"));
        QCOMPARE(server.requests("/f.dmg") + server.requests("/f.bin") + m_errors->shown(), 0);
    }

    // Hand-overs from a threaded process while another thread reads the environment: each reaches the opener.
    void handOversInARow()
    {
        HttpStub server;
        server.set("/in-a-row.deb", {200, kPackage});
        std::atomic<bool> done{false};
        std::unique_ptr<QThread> reader(QThread::create([&done] { while (!done) qgetenv("HOME"); }));
        reader->start();
        const auto stop = qScopeGuard([&] { done = true; reader->wait(); });
        for (int i = 1; i <= 50; ++i) {
            emit m_update->readiedDownloadFile(server.url("/in-a-row.deb"));
            QTRY_COMPARE_WITH_TIMEOUT(m_quits->load(), i, kWaitMs);
        }
        QTRY_COMPARE_WITH_TIMEOUT(readAll(m_root.filePath("log")).count("/in-a-row.deb ("), 50, kWaitMs);
    }

    // On Linux a firmware image goes to the panel; without a Linux address the download page opens.
    void linuxFirmwareImageOrDownloadPage()
    {
        HttpStub server;
        server.set("/fw.zip", {200, zipOf({{"strata96_1.03.bin", "IMAGE"}, {"notes.txt", "x"}})});
        QSignalSpy images(m_update.get(), &UpdateSoftware::firmwareImageReady);
        m_update->saveInformation(manifestText({{"firmware_version_major", 1}, {"firmware_version_minor", 3},
                                                {"linux_firmware_url_en", server.url("/fw.zip")}}));
        m_update->checkFirmwareInformation("Strata 96", "1.02 0001");
        m_update->firmwareNotice().ui.okButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(images.count(), 1, kWaitMs);
        QCOMPARE(readAll(images.at(0).at(0).toString()), QString("IMAGE"));
        m_update->firmwareInstallFinished();
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(images.at(0).at(0).toString()), kWaitMs);
        QCOMPARE(m_quits->load() + m_errors->shown(), 0);

        restart();
        QSignalSpy downloads(m_update.get(), &UpdateSoftware::readiedDownloadFile);
        m_opened.clear();
        acceptUpdateFrom("https://x/StrataMixer.zip", "mac_software_url_en");
        QCOMPARE(downloads.count(), 0);
        QVERIFY(m_opened.size() == 1 && m_opened.first().path().contains("download"));
        QCOMPARE(m_update->checkState(), SoftwareSettled);
    }
};

QTEST_MAIN(UpdateServiceTest)
#include "test_update_service.moc"

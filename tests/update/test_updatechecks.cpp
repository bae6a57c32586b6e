// The update checks: the manifest read without a network and fetched at start or
// not at all, the information message shown safely, the notices in order and
// language, and what each button stores.
#include <QtTest>

#include <QDesktopServices>
#include <QPushButton>

#include <sys/stat.h>

#include "httpstub.h"
#include "ui/panelcommandline.h"
#include "update/macupdateplatform.h"
#include "update/messagemarkup.h"
#include "update/updatecheck.h"
#include "update/updatemanifest.h"
#include "update/updatemessages.h"
#include "update/updatesoftware.h"
#include "updatetestkit.h"

using namespace updatetest;
using Product = UpdateManifest::Product;
using Platform = UpdateManifest::Platform;

class UpdateChecksTest : public QObject
{
    Q_OBJECT

    QList<QUrl> m_opened;
    static std::unique_ptr<UpdateSoftware> controller(bool checkAtStart = false)
    {
        return std::make_unique<UpdateSoftware>(std::make_unique<MacUpdatePlatform>(), 60000, checkAtStart);
    }

public slots:
    void openedInBrowser(const QUrl &url) { m_opened.append(url); }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        for (const char *scheme : {"https", "http", "file"})
            QDesktopServices::setUrlHandler(scheme, this, "openedInBrowser");
    }
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English));
        setManifestAddress(QLatin1String(kNoManifest));
        clearStoredChoices();
    }

    // "installed" is the installed version for checkVersion, the silenced
    // one for isSilenced.
    void versionsComparedByPosition_data()
    {
        QTest::addColumn<bool>("silencing");
        QTest::addColumn<QString>("installed");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<bool>("result");
        QTest::newRow("2.00 vs 2.01") << false << "2.00" << "2.01" << true;
        QTest::newRow("2.00 vs 2.00") << false << "2.00" << "2.00" << false;
        QTest::newRow("2.00 vs 1.99") << false << "2.00" << "1.99" << false;
        QTest::newRow("major 12 reads as 1") << false << "2.00" << "12.00" << false;
        QTest::newRow("firmware text with build") << false << "1.05 0012" << "1.06" << true;
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

    // What each text of the manifest reads as: "." a version, "msg" the
    // message for a language, the rest an address.
    void manifestReadAs_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("read");
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
        const auto product = what.startsWith("firmware") ? Product::Firmware : Product::Software;
        if (what == ".")
            QTEST(m.netMajor(product) + '.' + m.netMinor(product), "read");
        else if (what.startsWith("msg "))
            QTEST(m.informationText(QLocale(what.mid(4)).language()), "read");
        else
            QTEST(m.downloadUrl(product, what.contains("ja"), what.contains("linux") ? Platform::Linux : Platform::Mac), "read");
    }

    // The command line, the setting and a manifest on 127.0.0.1: exit status
    // -1 starts the window, which fetches the manifest once if allowed.
    void checkAtStart_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("exitStatus");
        QTest::newRow("fetched") << "-platform|offscreen|--simulate|Strata 96" << 200 << -1;
        QTest::newRow("HTTP error") << "" << 500 << -1;
        QTest::newRow("setting off") << "" << 200 << -1;
        QTest::newRow("option off") << "--no-update-check" << 200 << -1;
        QTest::newRow("unknown option") << "--no-update" << 200 << 2;
        QTest::newRow("extra argument") << "Strata 96" << 200 << 2;
    }
    void checkAtStart()
    {
        QFETCH(QString, line); QFETCH(int, status);
        QList<QByteArray> bytes{"strata-panel"};
        std::vector<char *> argv;
        for (const QString &a : line.split('|', Qt::SkipEmptyParts))
            bytes.append(a.toLocal8Bit());
        std::transform(bytes.begin(), bytes.end(), std::back_inserter(argv), [](QByteArray &b) { return b.data(); });
        const panel::CommandLine read = panel::readCommandLine(int(argv.size()), argv.data());
        QTEST(read.exitStatus, "exitStatus");
        HttpStub server;
        server.set("/m.json", {status, manifestText({{"mac_software_version_major", 3}}).toUtf8()});
        setManifestAddress(server.url("/m.json"));
        DataManager::saveSetting("Update", "CheckAtStart", QTest::currentDataTag() == QLatin1String("setting off") ? "false" : "true");
        const bool check = read.exitStatus < 0 && UpdateCheck::atStart(read.updateCheck);
        DebugCapture debug;
        auto update = controller(check);
        QTRY_VERIFY_WITH_TIMEOUT(debug.has(check ? "UpdateInformation: end of replyFinished"
                                                 : "UpdateSoftware: update check turned off"), kWaitMs);
        QCOMPARE(server.requests("/m.json"), int(check));
        QTRY_COMPARE(update->softwareNotice().isVisible(), status == 200 && check);
    }

    // The firmware notice waits for the software question and for a known
    // Strata 96 firmware; "Update later" with the tick silences the version.
    void noticesComeInOrder()
    {
        QLocale::setDefault(QLocale(QLocale::French));
        auto update = controller();
        update->saveInformation(manifestText({{"mac_software_version_major", 2}, {"mac_software_version_minor", 1},
            {"firmware_version_major", 1}, {"firmware_version_minor", 3}, {"messages", QJsonObject{{"English", "News"}}}}));
        QVERIFY(update->informationNotice().isVisible() && update->softwareNotice().isVisible());
        update->checkFirmwareInformation("Strata 96", "1.02 0001");
        QVERIFY(!update->firmwareNotice().isVisible() && !update->querySoftUpdate());
        update->softwareNotice().ui.dontShowCheckBox->setChecked(true);
        update->softwareNotice().ui.noButton->click();
        for (const char *firmware : {"No Device", "v1.02", ""})
            update->checkFirmwareInformation("Strata 96", firmware);
        update->checkFirmwareInformation("Strata 10", "1.02 0001");
        QVERIFY(update->checkState() == SoftwareSettled && update->querySoftUpdate());
        update->checkFirmwareInformation("Strata 96", "1.02 0001");
        QVERIFY(update->checkState() == FirmwareOpen && !update->querySoftUpdate());
        const QString text = update->firmwareNotice().ui.textMessage->toPlainText();
        QVERIFY2(text.contains(updateMessage(UpdateFrench, CurrentVersionText) + "1.02")
                 && text.contains(updateMessage(UpdateFrench, LatestVersionText) + "1.03"), qPrintable(text));
        update->firmwareNotice().ui.noButton->click();
        QVERIFY(update->checkState() == FirmwareSettled && DataManager::getDoNotUpdateSoftDialog() == "2.01"
                && DataManager::getDoNotUpdateFirmDialog().isEmpty());
    }

    // The message loads nothing, opens only https links in the browser, and
    // keeps the panel's own markup; what is shown is what is silenced.
    void messageShownSafely_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
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
        auto update = controller();
        update->saveInformation(manifestText(QJsonObject{{"messages", QJsonObject{{"English", message.replace("FIFO", dir.filePath("fifo"))}}}}));
        InformationBox &box = update->informationNotice();
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

    // Every language's row has the English row's markup and placeholders,
    // which the message markup keeps as they are.
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
};

QTEST_MAIN(UpdateChecksTest)
#include "test_updatechecks.moc"

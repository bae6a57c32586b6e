// The update checks as the user meets them: the information message, then
// the software notice, then the firmware notice on a later tick; silenced
// versions; the language of every text; and what each button stores.
#include <QtTest>

#include <QCheckBox>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>

#include "update/macupdateplatform.h"
#include "update/updatesoftware.h"
#include "updatetestkit.h"

using namespace updatetest;

Q_DECLARE_METATYPE(QLocale::Language)
Q_DECLARE_METATYPE(UpdateCheckState)

namespace {

QJsonObject versions(int softMajor, int softMinor, int firmMajor = 0, int firmMinor = 0)
{
    return QJsonObject{{"mac_software_version_major", softMajor}, {"mac_software_version_minor", softMinor},
                       {"firmware_version_major", firmMajor}, {"firmware_version_minor", firmMinor},
                       {"mac_software_url_en", "https://127.0.0.1:1/en.zip"},
                       {"mac_software_url_ja", "https://127.0.0.1:1/ja.zip"},
                       {"mac_firmware_url_en", "https://127.0.0.1:1/fen.dmg"},
                       {"mac_firmware_url_ja", "https://127.0.0.1:1/fja.dmg"}};
}

} // namespace

class UpdateChecksTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<UpdateSoftware> controller()
    {
        return std::make_unique<UpdateSoftware>(std::make_unique<MacUpdatePlatform>());
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        setManifestAddress(QLatin1String(kNoManifest));
    }
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        clearStoredChoices();
    }

    void noticesComeInOrder()
    {
        DebugCapture debug;
        auto update = controller();
        QJsonObject manifest = versions(2, 1, 1, 3);
        manifest.insert("messages", QJsonObject{{"English", "<b>News</b>"}});
        update->saveInformation(manifestText(manifest));
        QVERIFY(update->informationNotice().isVisible());
        QVERIFY(update->softwareNotice().isVisible());
        QCOMPARE(update->checkState(), SoftwareOpen);
        QVERIFY(!update->querySoftUpdate());

        // The firmware waits for the software question.
        update->checkFirmwareInformation("Strata 96", "1.02 0001");
        QVERIFY(!update->firmwareNotice().isVisible());
        update->softwareNotice().ui.noButton->click();
        QCOMPARE(update->checkState(), SoftwareSettled);
        QVERIFY(update->querySoftUpdate());

        update->checkFirmwareInformation("Strata 96", "1.02 0001");
        QVERIFY(update->firmwareNotice().isVisible());
        QCOMPARE(update->checkState(), FirmwareOpen);
        QVERIFY(!update->querySoftUpdate());
        const QString text = update->firmwareNotice().ui.textMessage->toPlainText();
        QVERIFY2(text.contains("Current Version: 1.02") && text.contains("Latest Version: 1.03"), qPrintable(text));
        for (const char *line : {"UpdateSoftware: Firmware nowMajor 1", "UpdateSoftware: Firmware nowMinor 2",
                                 "UpdateSoftware: Firmware netMajor 1", "UpdateSoftware: Firmware netMinor 3",
                                 "UpdateSoftware: Firmware update start"})
            QVERIFY2(debug.has(line), line);

        update->firmwareNotice().ui.noButton->click();
        QCOMPARE(update->checkState(), FirmwareSettled);
        QVERIFY(update->querySoftUpdate());
    }

    void softwareNoticeAgainstSilencedVersion_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("silenced");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("line");
        QTest::newRow("2.01, none silenced") << 2 << 1 << "" << true << "UpdateSoftware: Software update start";
        QTest::newRow("2.00 is no update") << 2 << 0 << "" << false << "UpdateSoftware: Software update none";
        QTest::newRow("1.99 is no update") << 1 << 99 << "" << false << "UpdateSoftware: Software update none";
        QTest::newRow("2.01 silenced") << 2 << 1 << "2.01" << false
                                       << "UpdateSoftware: Software update Dialog: not displayed: ini ==2.01";
        QTest::newRow("2.02 over 2.01") << 2 << 2 << "2.01" << true << "UpdateSoftware: Software update start";
        QTest::newRow("3.00 over 2.01") << 3 << 0 << "2.01" << true << "UpdateSoftware: Software update start";
    }
    void softwareNoticeAgainstSilencedVersion()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(QString, silenced);
        QFETCH(bool, shown);
        QFETCH(QString, line);
        DataManager::setDoNotUpdateSoftDialog(silenced);
        DebugCapture debug;
        auto update = controller();
        update->saveInformation(manifestText(versions(major, minor)));
        QVERIFY2(debug.has(line), qPrintable(debug.lines().join('\n')));
        QCOMPARE(update->softwareNotice().isVisible(), shown);
        QCOMPARE(update->checkState(), shown ? SoftwareOpen : SoftwareSettled);
        QCOMPARE(update->querySoftUpdate(), !shown && major * 100 + minor > 200);
    }

    void firmwareCheckSkipsWithoutAKnownStrata96_data()
    {
        QTest::addColumn<bool>("withManifest");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<QString>("line");
        QTest::newRow("no manifest") << false << "Strata 96" << "1.00 0001" << "UpdateSoftware: checkFirm jObj none";
        QTest::newRow("other model") << true << "Strata 10" << "1.00 0001" << "";
        QTest::newRow("no firmware yet") << true << "Strata 96" << "No Device"
                                         << "UpdateSoftware: checkFirm firmVer is No Device:No Device";
        QTest::newRow("not a version") << true << "Strata 96" << "v1.00"
                                       << "UpdateSoftware: checkFirm NowFirmwareVersion not match:v1.00";
    }
    void firmwareCheckSkipsWithoutAKnownStrata96()
    {
        QFETCH(bool, withManifest);
        QFETCH(QString, name);
        QFETCH(QString, firmware);
        QFETCH(QString, line);
        auto update = controller();
        if (withManifest)
            update->saveInformation(manifestText(versions(2, 0, 1, 9)));
        DebugCapture debug;
        update->checkFirmwareInformation(name, firmware);
        // The manifest worker logs from its own thread meanwhile: only the
        // firmware check's lines count here.
        QCOMPARE(debug.lines().filter("UpdateSoftware: checkFirm"), line.isEmpty() ? QStringList() : QStringList{line});
        QCOMPARE(update->checkState(), withManifest ? SoftwareSettled : SoftwareOpen);
        QVERIFY(!update->firmwareNotice().isVisible());
    }

    void answersStoreOnlyALaterWithTheTick_data()
    {
        QTest::addColumn<bool>("firmware");
        QTest::addColumn<bool>("later");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<UpdateCheckState>("after");
        QTest::newRow("software later ticked") << false << true << true << "2.01" << SoftwareSettled;
        QTest::newRow("software later") << false << true << false << "" << SoftwareSettled;
        QTest::newRow("software now ticked") << false << false << true << "" << SoftwareOpen;
        QTest::newRow("firmware later ticked") << true << true << true << "1.03" << FirmwareSettled;
        QTest::newRow("firmware now ticked") << true << false << true << "" << FirmwareOpen;
    }
    void answersStoreOnlyALaterWithTheTick()
    {
        QFETCH(bool, firmware);
        QFETCH(bool, later);
        QFETCH(bool, ticked);
        QFETCH(QString, stored);
        QFETCH(UpdateCheckState, after);
        auto update = controller();
        ErrorBoxAnswerer answerer(update->downloadErrorBox());
        QSignalSpy downloads(update.get(), &UpdateSoftware::readiedDownloadFile);
        update->saveInformation(manifestText(versions(2, 1, 1, 3)));
        InformationBox *box = &update->softwareNotice();
        if (firmware) {
            update->softwareNotice().ui.noButton->click();
            update->checkFirmwareInformation("Strata 96", "1.00 0001");
            box = &update->firmwareNotice();
        }
        box->ui.dontShowCheckBox->setChecked(ticked);
        (later ? box->ui.noButton : box->ui.okButton)->click();
        QVERIFY(!box->isVisible());
        QCOMPARE(firmware ? DataManager::getDoNotUpdateFirmDialog() : DataManager::getDoNotUpdateSoftDialog(), stored);
        QCOMPARE(update->checkState(), after);
        QCOMPARE(downloads.count(), later ? 0 : 1);
        if (!later)
            QCOMPARE(downloads.at(0).at(0).toString(),
                     firmware ? "https://127.0.0.1:1/fen.dmg" : "https://127.0.0.1:1/en.zip");
    }

    void japaneseSystemDownloadsJapaneseAddress()
    {
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
        auto update = controller();
        ErrorBoxAnswerer answerer(update->downloadErrorBox());
        QSignalSpy downloads(update.get(), &UpdateSoftware::readiedDownloadFile);
        update->saveInformation(manifestText(versions(2, 1)));
        update->softwareNotice().ui.okButton->click();
        QCOMPARE(downloads.value(0).value(0).toString(), QStringLiteral("https://127.0.0.1:1/ja.zip"));
    }

    void textsFollowTheSystemLanguage_data()
    {
        QTest::addColumn<QLocale::Language>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("updateNow");
        QTest::addColumn<QString>("informationTitle");
        QTest::addColumn<QString>("current");
        QTest::newRow("French") << QLocale::French << "Informations de mise à jour KORVEN" << "Mettre à jour"
                                << "Dernières informations KORVEN" << "Version actuelle : 2.00";
        QTest::newRow("Japanese keeps English titles") << QLocale::Japanese << "KORVEN Update Information"
                                << "今すぐアップデートする" << "KORVEN Latest Information" << "現在のバージョン: 2.00";
        QTest::newRow("Portuguese reads English") << QLocale::Portuguese << "KORVEN Update Information"
                                << "Update now" << "KORVEN Latest Information" << "Current Version: 2.00";
        QTest::newRow("Chinese") << QLocale::Chinese << "Korven更新信息" << "现在更新" << "Korven最新信息"
                                 << "目前版本︰2.00";
    }
    void textsFollowTheSystemLanguage()
    {
        QFETCH(QLocale::Language, language);
        QFETCH(QString, title);
        QFETCH(QString, updateNow);
        QFETCH(QString, informationTitle);
        QFETCH(QString, current);
        QLocale::setDefault(QLocale(language));
        auto update = controller();
        update->saveInformation(manifestText(versions(2, 1)));
        QCOMPARE(update->softwareNotice().windowTitle(), title);
        QCOMPARE(update->firmwareNotice().ui.okButton->text(), updateNow);
        QCOMPARE(update->informationNotice().windowTitle(), informationTitle);
        QCOMPARE(update->downloadErrorBox().windowTitle(), title);
        QVERIFY(update->softwareNotice().ui.textMessage->toPlainText().contains(current));
    }

    void informationBoxLayout()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        auto update = controller();
        update->saveInformation(manifestText(QJsonObject{{"messages", QJsonObject{{"English", "<i>Line one</i>"}}}}));
        InformationBox &box = update->informationNotice();
        QVERIFY(box.isVisible());
        QCOMPARE(box.size(), QSize(570, 160));
        QVERIFY(box.ui.noButton->isHidden());
        QCOMPARE(box.ui.okButton->text(), QStringLiteral("OK"));
        QCOMPARE(box.windowModality(), Qt::ApplicationModal);
        QCOMPARE(box.ui.textMessage->geometry(), QRect(90, 15, 461, 105));
        QCOMPARE(box.ui.horizontalLayoutWidget->geometry(), QRect(10, 120, 551, 31));
        const QTextBlock first = box.ui.textMessage->document()->firstBlock();
        QCOMPARE(first.text().trimmed(), QStringLiteral("Line one"));
        QCOMPARE(first.blockFormat().lineHeight(), 18.0);
        QCOMPARE(first.blockFormat().lineHeightType(), int(QTextBlockFormat::FixedHeight));

        // OK with the tick silences exactly this text.
        box.ui.dontShowCheckBox->setChecked(true);
        box.ui.okButton->click();
        QCOMPARE(DataManager::getDoNotUpdateInfoDialog(), QStringLiteral("<i>Line one</i>"));
        auto again = controller();
        again->saveInformation(manifestText(QJsonObject{{"messages", QJsonObject{{"English", "<i>Line one</i>"}}}}));
        QVERIFY(!again->informationNotice().isVisible());
    }

    void closeAllClosesNoticesAndStopsDownload()
    {
        auto update = controller();
        QSignalSpy stops(update.get(), &UpdateSoftware::stopDownload);
        update->saveInformation(manifestText(QJsonObject{{"mac_software_version_major", 3},
                                                         {"messages", QJsonObject{{"English", "x"}}}}));
        QVERIFY(update->softwareNotice().isVisible() && update->informationNotice().isVisible());
        update->closeAll();
        QVERIFY(!update->softwareNotice().isVisible() && !update->informationNotice().isVisible());
        QCOMPARE(stops.count(), 1);
    }
};

QTEST_MAIN(UpdateChecksTest)
#include "test_updatechecks.moc"

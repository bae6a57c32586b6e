// Reading the update manifest without a network: versions compared by
// character position, silenced versions, the message and address chosen for
// a language and a system, and text that is no manifest at all.
#include <QtTest>

#include "update/updatemanifest.h"

using Product = UpdateManifest::Product;
using Platform = UpdateManifest::Platform;

static UpdateManifest manifestOf(const QByteArray &versionObject)
{
    return UpdateManifest::fromText(QString::fromUtf8("{\"Strata96_version1\":" + versionObject + "}"));
}

class UpdateManifestTest : public QObject
{
    Q_OBJECT

private slots:
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
        QFETCH(bool, silencing);
        QFETCH(QString, installed);
        QFETCH(QString, offered);
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
        QFETCH(QByteArray, json);
        QFETCH(QString, what);
        const UpdateManifest m = manifestOf(json);
        const Product product = what.startsWith("firmware") ? Product::Firmware : Product::Software;
        if (what == ".")
            QTEST(m.netMajor(product) + '.' + m.netMinor(product), "read");
        else if (what.startsWith("msg "))
            QTEST(m.informationText(QLocale(what.mid(4)).language()), "read");
        else
            QTEST(m.downloadUrl(product, what.contains("ja"), what.contains("linux") ? Platform::Linux : Platform::Mac), "read");
    }
};

QTEST_APPLESS_MAIN(UpdateManifestTest)
#include "test_updatemanifest.moc"

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
    void versionComparison_data()
    {
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("netMajor");
        QTest::addColumn<QString>("netMinor");
        QTest::addColumn<bool>("newer");
        QTest::newRow("2.00 vs 2.01") << "2.00" << "2" << "01" << true;
        QTest::newRow("2.00 vs 2.00") << "2.00" << "2" << "00" << false;
        QTest::newRow("2.00 vs 1.99") << "2.00" << "1" << "99" << false;
        QTest::newRow("2.00 vs 3.00") << "2.00" << "3" << "00" << true;
        QTest::newRow("2.00 vs 2.10") << "2.00" << "2" << "10" << true;
        QTest::newRow("major 12 reads as 1") << "2.00" << "12" << "00" << false;
        QTest::newRow("firmware text with build") << "1.05 0012" << "1" << "06" << true;
        QTest::newRow("firmware 1.05 vs 1.05") << "1.05 0012" << "1" << "05" << false;
        QTest::newRow("empty installed text") << "" << "0" << "01" << true;
        QTest::newRow("not a number") << "x.yz" << "0" << "00" << false;
    }
    void versionComparison()
    {
        QFETCH(QString, now);
        QFETCH(QString, netMajor);
        QFETCH(QString, netMinor);
        QFETCH(bool, newer);
        QCOMPARE(UpdateManifest::checkVersion(now, netMajor, netMinor), newer);
    }

    void silencedVersions_data()
    {
        QTest::addColumn<QString>("silenced");
        QTest::addColumn<QString>("netMajor");
        QTest::addColumn<QString>("netMinor");
        QTest::addColumn<bool>("suppressed");
        QTest::newRow("2.01 silenced, 2.01 offered") << "2.01" << "2" << "01" << true;
        QTest::newRow("2.01 silenced, 2.02 offered") << "2.01" << "2" << "02" << false;
        QTest::newRow("2.01 silenced, 3.00 offered") << "2.01" << "3" << "00" << false;
        QTest::newRow("2.01 silenced, 1.99 offered") << "2.01" << "1" << "99" << true;
        QTest::newRow("nothing silenced, 1.00 offered") << "" << "1" << "00" << false;
        QTest::newRow("nothing silenced, 0.00 offered") << "" << "0" << "00" << true;
    }
    void silencedVersions()
    {
        QFETCH(QString, silenced);
        QFETCH(QString, netMajor);
        QFETCH(QString, netMinor);
        QFETCH(bool, suppressed);
        QCOMPARE(UpdateManifest::isSilenced(silenced, netMajor, netMinor), suppressed);
    }

    void versionTextsFromNumbers_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("major");
        QTest::addColumn<QString>("minor");
        QTest::newRow("minor padded") << QByteArray(R"({"mac_software_version_major":2,"mac_software_version_minor":1})") << "2" << "01";
        QTest::newRow("two-digit minor") << QByteArray(R"({"mac_software_version_major":2,"mac_software_version_minor":15})") << "2" << "15";
        QTest::newRow("major 12") << QByteArray(R"({"mac_software_version_major":12,"mac_software_version_minor":0})") << "12" << "00";
        QTest::newRow("strings read as 0") << QByteArray(R"({"mac_software_version_major":"3","mac_software_version_minor":"1"})") << "0" << "00";
        QTest::newRow("fractions read as 0") << QByteArray(R"({"mac_software_version_major":2.5,"mac_software_version_minor":1})") << "0" << "01";
        QTest::newRow("missing") << QByteArray("{}") << "0" << "00";
    }
    void versionTextsFromNumbers()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, major);
        QFETCH(QString, minor);
        const UpdateManifest manifest = manifestOf(json);
        QCOMPARE(manifest.netMajor(Product::Software), major);
        QCOMPARE(manifest.netMinor(Product::Software), minor);
    }

    void textThatIsNoManifest_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not json") << QByteArray("<html>404</html>");
        QTest::newRow("array") << QByteArray("[1,2]");
        QTest::newRow("other member") << QByteArray(R"({"Strata10_version1":{"mac_software_version_major":9}})");
        QTest::newRow("member not an object") << QByteArray(R"({"Strata96_version1":7})");
        QTest::newRow("cut at NUL") << QByteArray("{\"Strata96_version1\":{\"a\":1}}", 5) + '\0' + "}";
    }
    void textThatIsNoManifest()
    {
        QFETCH(QByteArray, body);
        const UpdateManifest manifest = UpdateManifest::fromText(UpdateManifest::textOfBody(body));
        QVERIFY(manifest.isEmpty());
        QVERIFY(!UpdateManifest::checkVersion("2.00", manifest.netMajor(Product::Software),
                                              manifest.netMinor(Product::Software)));
    }

    void bodyEndsAtFirstNul()
    {
        QCOMPARE(UpdateManifest::textOfBody(QByteArray("ab\0cd", 5)), QStringLiteral("ab"));
        QCOMPARE(UpdateManifest::textOfBody(QByteArray("\xc3\xa9t\xc3\xa9")), QStringLiteral("été"));
    }

    void informationMessageFallsBackToEnglish_data()
    {
        QTest::addColumn<QLocale::Language>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("Japanese has its own") << QLocale::Japanese << "ja text";
        QTest::newRow("German reads English") << QLocale::German << "en text";
        QTest::newRow("English") << QLocale::English << "en text";
    }
    void informationMessageFallsBackToEnglish()
    {
        QFETCH(QLocale::Language, language);
        QFETCH(QString, message);
        const UpdateManifest manifest = manifestOf(R"({"messages":{"English":"en text","Japanese":"ja text","German":""}})");
        QCOMPARE(manifest.informationText(language), message);
    }

    void downloadAddressForLanguageAndSystem_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<int>("platform");
        QTest::addColumn<QString>("url");
        const QByteArray all = R"({"mac_software_url_en":"se","mac_software_url_ja":"sj","mac_firmware_url_en":"fe",
            "mac_firmware_url_ja":"fj","linux_software_url_en":"lse","linux_firmware_url_ja":"lfj"})";
        QTest::newRow("mac software en") << all << int(Product::Software) << false << int(Platform::Mac) << "se";
        QTest::newRow("mac software ja") << all << int(Product::Software) << true << int(Platform::Mac) << "sj";
        QTest::newRow("mac firmware en") << all << int(Product::Firmware) << false << int(Platform::Mac) << "fe";
        QTest::newRow("mac firmware ja") << all << int(Product::Firmware) << true << int(Platform::Mac) << "fj";
        QTest::newRow("linux software en") << all << int(Product::Software) << false << int(Platform::Linux) << "lse";
        QTest::newRow("linux software ja takes en") << all << int(Product::Software) << true << int(Platform::Linux) << "lse";
        QTest::newRow("linux firmware en takes ja") << all << int(Product::Firmware) << false << int(Platform::Linux) << "lfj";
        QTest::newRow("linux without linux keys") << QByteArray(R"({"mac_software_url_en":"se"})")
                                                  << int(Product::Software) << false << int(Platform::Linux) << "";
    }
    void downloadAddressForLanguageAndSystem()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, product);
        QFETCH(bool, japanese);
        QFETCH(int, platform);
        QFETCH(QString, url);
        QCOMPARE(manifestOf(json).downloadUrl(Product(product), japanese, Platform(platform)), url);
    }
};

QTEST_APPLESS_MAIN(UpdateManifestTest)
#include "test_updatemanifest.moc"

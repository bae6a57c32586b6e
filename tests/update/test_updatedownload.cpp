// The download and the manifest fetch against a server on 127.0.0.1, plain
// and over TLS with test certificates: what a good or misbehaving server
// leads to (one table), and the user stopping a download.
#include <QtTest>

#include <QMutex>
#include <QProgressBar>
#include <QPushButton>
#include <QSslConfiguration>

#include "httpstub.h"
#include "update/linuxupdateplatform.h"
#include "update/updatesoftware.h"
#include "updatetestkit.h"

using namespace updatetest;
Q_DECLARE_METATYPE(HttpStub::Answer)

namespace {

constexpr int kShortTimeoutMs = 1500;
constexpr qint64 kSmallCap = 1024 * 1024;
const QByteArray kPackage(30 * 1000, 'p');

QString tls(const QString &name)
{
    return QStringLiteral(STRATA_TEST_TLS_DIR "/") + name;
}

// Records the hand-over instead of starting an installer.
class RecordingPlatform : public LinuxUpdatePlatform
{
public:
    QMutex mutex;
    QStringList contents;
    std::atomic<int> quits{0};
    bool openInstaller(const QString &package) override
    {
        QFile file(package);
        QMutexLocker lock(&mutex);
        contents.append(file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString());
        return true;
    }
    void quitApplication() override { ++quits; }
};

} // namespace

class UpdateDownloadTest : public QObject
{
    Q_OBJECT

    RecordingPlatform *m_platform = nullptr;
    std::unique_ptr<UpdateSoftware> m_update;
    std::unique_ptr<ErrorBoxAnswerer> m_errors;

    void restart(qint64 cap = kSmallCap)
    {
        m_update.reset();
        auto platform = std::make_unique<RecordingPlatform>();
        m_platform = platform.get();
        m_update = std::make_unique<UpdateSoftware>(std::move(platform), kShortTimeoutMs, cap);
        m_errors = std::make_unique<ErrorBoxAnswerer>(m_update->downloadErrorBox());
    }
    // Shows the software notice for an address and answers "Update now".
    void acceptUpdateFrom(const QString &url)
    {
        m_update->saveInformation(manifestText(QJsonObject{{"mac_software_version_major", 2},
                                                           {"mac_software_version_minor", 1},
                                                           {"linux_software_url_en", url}}));
        QVERIFY(m_update->softwareNotice().isVisible());
        m_update->softwareNotice().ui.okButton->click();
    }
    template <class T> T *windowChild() const
    {
        QWidget *window = m_update->downloadWindowWidget();
        return window ? window->findChild<T *>() : nullptr;
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.addCaCertificates(tls("ca.pem"));
        QSslConfiguration::setDefaultConfiguration(config);
    }
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English));
        clearStoredChoices();
        setManifestAddress(QLatin1String(kNoManifest));
        restart();
    }
    void cleanup()
    {
        m_errors.reset();
        m_update.reset();
    }

    void serverAnswers_data()
    {
        using A = HttpStub::Answer;
        QTest::addColumn<bool>("manifest");
        QTest::addColumn<QString>("address");   // a path on the server, or a whole address
        QTest::addColumn<A>("answer");
        QTest::addColumn<QString>("certificate");
        QTest::addColumn<QString>("failure");   // a piece of the log line; empty: success
        const A toPackage{302, "moved", -1, 0, 0, true, -1, "Location: /pkg.deb\r\n"};
        const A toManifest{301, "moved", -1, 0, 0, true, -1, "Location: /manifest.json\r\n"};
        const A elsewhere{302, "moved", -1, 0, 0, true, -1, "Location: http://192.0.2.1/pkg.deb\r\n"};
        QTest::newRow("size announced") << false << "/a.deb" << A{200, kPackage} << "" << "";
        // Slices for twice the inactivity time-out: slow, but never timed out.
        QTest::newRow("size unknown, busy bar") << false << "/a.deb" << A{200, kPackage, 0, 1000, 100, false} << "" << "";
        QTest::newRow("redirect followed") << false << "/a.deb" << toPackage << "" << "";
        QTest::newRow("TLS") << false << "/a.deb" << A{200, kPackage} << "good" << "";
        QTest::newRow("manifest over TLS") << true << "/manifest.json" << A{} << "good" << "";
        QTest::newRow("manifest redirect followed") << true << "/m.json" << toManifest << "" << "";
        QTest::newRow("empty body") << false << "/a.deb" << A{200, ""} << "" << "UpdateInformation: file download size zero";
        QTest::newRow("HTTP 404") << false << "/a.deb" << A{404, "gone"} << "" << "HTTP status 404";
        QTest::newRow("stall before any byte") << false << "/a.deb" << A{200, kPackage, 0, 1000, 200, true, 0} << "" << "UpdateInformation: timeout";
        QTest::newRow("stall mid-body") << false << "/a.deb" << A{200, kPackage, 0, 1000, 200, true, 1000} << "" << "UpdateInformation: timeout";
        QTest::newRow("endless body") << false << "/a.deb" << A{200, QByteArray(65536, 'e'), -1, 0, 0, false, -1, "", true} << "" << "download larger than";
        QTest::newRow("announced past the cap") << false << "/a.deb" << A{200, QByteArray(kSmallCap + 1, 'b')} << "" << "announced size above";
        QTest::newRow("redirect page to plain HTTP") << false << "/a.deb" << elsewhere << "" << "redirect to a refused address";
        QTest::newRow("redirect loop") << false << "/a.deb" << A{302, "", -1, 0, 0, true, -1, "Location: /a.deb\r\n"} << "" << "UpdateInformation: file download error";
        QTest::newRow("redirect without target") << false << "/a.deb" << A{302, "moved"} << "" << "UpdateInformation: file download error";
        QTest::newRow("install.sh") << false << "/install.sh" << A{200, "rm -rf ~"} << "" << "not an installer: install.sh";
        QTest::newRow("no extension") << false << "/installer" << A{200, kPackage} << "" << "not an installer: installer";
        QTest::newRow("exe") << false << "/setup.exe" << A{} << "" << "download refused, exe file";
        QTest::newRow("no file name") << false << "/" << A{} << "" << "download refused, no file name";
        QTest::newRow("parent folder") << false << "/a/.." << A{} << "" << "download refused, no file name";
        QTest::newRow("plain HTTP elsewhere") << false << "http://192.0.2.1/x.deb" << A{} << "" << "not HTTPS";
        for (const char *cert : {"untrusted", "expired", "otherhost"}) {
            QTest::newRow(cert) << false << "/a.deb" << A{200, kPackage} << cert << "SSL handshake failed";
            QTest::newRow(qPrintable(QString("manifest, %1").arg(cert))) << true << "/manifest.json" << A{} << cert << "SSL handshake failed";
        }
        QTest::newRow("manifest, HTTP 500") << true << "/manifest.json" << A{500, "oops"} << "" << "HTTP status 500";
        QTest::newRow("manifest, redirect elsewhere") << true << "/m.json" << elsewhere << "" << "redirect to a refused address";
        const QByteArray big = manifestText({{"pad", QString(1024 * 1024, 'x')}}).toUtf8();
        QTest::newRow("manifest, oversized") << true << "/manifest.json" << A{200, big} << "" << "announced size above";
        QTest::newRow("manifest, oversized, size unknown") << true << "/manifest.json" << A{200, big, -1, 0, 0, false} << "" << "Manifest larger than 1 MiB";
    }
    void serverAnswers()
    {
        QFETCH(bool, manifest);
        QFETCH(QString, address);
        QFETCH(HttpStub::Answer, answer);
        QFETCH(QString, certificate);
        QFETCH(QString, failure);
        if (!certificate.isEmpty() && !QSslSocket::supportsSsl())
            QSKIP("this Qt has no TLS support");
        HttpStub server(certificate.isEmpty() ? QString() : tls(certificate + ".pem"), tls("key.pem"));
        QVERIFY(server.isListening());
        const QUrl url(address.startsWith('/') ? server.url(address) : address);
        server.set("/pkg.deb", {200, kPackage});
        server.set("/manifest.json", {200, manifestText({{"mac_software_version_major", 2},
                                                         {"mac_software_version_minor", 1}}).toUtf8()});
        if (url.path() != "/manifest.json" || !answer.body.isEmpty())
            server.set(url.path(), answer);
        DebugCapture debug;
        if (manifest) {
            setManifestAddress(url.toString());
            restart();
            QTRY_VERIFY_WITH_TIMEOUT(debug.has("UpdateInformation: end of replyFinished"), kWaitMs);
            if (failure.isEmpty())
                QTRY_VERIFY_WITH_TIMEOUT(m_update->softwareNotice().isVisible(), kWaitMs);
            QCoreApplication::processEvents();
            QCOMPARE(m_update->softwareNotice().isVisible(), failure.isEmpty());
        } else {
            acceptUpdateFrom(url.toString());
            if (answer.sliceMs && failure.isEmpty())
                QTRY_VERIFY_WITH_TIMEOUT(windowChild<QProgressBar>() && windowChild<QProgressBar>()->maximum() == 0, kWaitMs);
            QTRY_COMPARE_WITH_TIMEOUT(m_errors->shown() + m_platform->quits, 1, kWaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(!m_update->downloadWindowWidget(), kWaitMs);
            QCOMPARE(m_platform->contents, failure.isEmpty() ? QStringList{kPackage} : QStringList{});
            QVERIFY(debug.lines().filter("ProgressBar -").isEmpty());
            // Nothing of a failed download stays on disk.
            for (const QString &line : debug.lines().filter("UpdateInformation: tempDir "))
                QCOMPARE(QFileInfo::exists(line.section(' ', 2)), failure.isEmpty());
        }
        if (!failure.isEmpty())
            QVERIFY2(!debug.lines().filter(failure).isEmpty(), qPrintable(debug.lines().join('\n')));
    }

    void userStopsDownloadQuietly_data()
    {
        QTest::addColumn<bool>("closePanel");
        QTest::newRow("Cancel before any byte") << false;
        QTest::newRow("panel closed during an endless body") << true;
    }
    void userStopsDownloadQuietly()
    {
        QFETCH(bool, closePanel);
        restart(UpdateInformation::kMaxDownloadBytes);
        HttpStub server;
        server.set("/a.deb", closePanel ? HttpStub::Answer{200, QByteArray(65536, 'e'), -1, 0, 0, false, -1, "", true}
                                        : HttpStub::Answer{200, kPackage, 0, 1000, 0});
        DebugCapture debug;
        acceptUpdateFrom(server.url("/a.deb"));
        QTRY_VERIFY_WITH_TIMEOUT(windowChild<QPushButton>() && windowChild<QPushButton>()->isEnabled(), 500);
        if (closePanel) {
            QTRY_VERIFY_WITH_TIMEOUT(windowChild<QProgressBar>() && windowChild<QProgressBar>()->maximum() == 0, kWaitMs);
            QElapsedTimer closing;
            closing.start();
            m_update->closeAll();
            m_errors.reset();
            m_update.reset();
            QVERIFY(closing.elapsed() < 2000);
            return;
        }
        windowChild<QPushButton>()->click();
        QTRY_VERIFY_WITH_TIMEOUT(debug.has("UpdateInformation: file download error"), kWaitMs);
        QTest::qWait(200);   // an error box would follow the log line
        QVERIFY(!m_update->downloadWindowWidget());
        QCOMPARE(m_errors->shown(), 0);
    }
};

QTEST_MAIN(UpdateDownloadTest)
#include "test_updatedownload.moc"

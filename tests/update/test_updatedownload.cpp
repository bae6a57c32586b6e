// The download as the user follows it in its window, against a server on
// 127.0.0.1: progress, the inactivity time-out (shortened here), a slow but
// steady download, Cancel, closing the window, and every failure ending in
// the error box. Also the manifest size limit.
#include <QtTest>

#include <QMutex>
#include <QProgressBar>
#include <QPushButton>

#include "httpstub.h"
#include "update/linuxupdateplatform.h"
#include "update/updatesoftware.h"
#include "updatetestkit.h"

using namespace updatetest;

namespace {

constexpr int kShortTimeoutMs = 1500;

// Records the hand-over instead of starting an installer.
struct HandOvers {
    QMutex mutex;
    QStringList paths;
    std::atomic<int> quits{0};
    QStringList taken() { QMutexLocker lock(&mutex); return paths; }
};

class RecordingPlatform : public LinuxUpdatePlatform
{
public:
    explicit RecordingPlatform(std::shared_ptr<HandOvers> record) : m_record(std::move(record)) {}
    bool openInstaller(const QString &package) override
    {
        QMutexLocker lock(&m_record->mutex);
        m_record->paths.append(package);
        return true;
    }
    void quitApplication() override { ++m_record->quits; }

private:
    std::shared_ptr<HandOvers> m_record;
};

QByteArray bodyOf(int size)
{
    QByteArray body(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        body[i] = char('a' + i % 26);
    return body;
}

} // namespace

class UpdateDownloadTest : public QObject
{
    Q_OBJECT

    std::shared_ptr<HandOvers> m_handOvers;
    std::unique_ptr<HttpStub> m_server;
    std::unique_ptr<UpdateSoftware> m_update;
    std::unique_ptr<ErrorBoxAnswerer> m_errors;

    // Shows the software notice for an address and answers "Update now".
    void acceptUpdateFrom(const QString &url)
    {
        m_update->saveInformation(manifestText(QJsonObject{{"mac_software_version_major", 2},
                                                           {"mac_software_version_minor", 1},
                                                           {"linux_software_url_en", url}}));
        QVERIFY(m_update->softwareNotice().isVisible());
        m_update->softwareNotice().ui.okButton->click();
    }
    QPushButton *cancelButton() const
    {
        QWidget *window = m_update->downloadWindowWidget();
        return window ? window->findChild<QPushButton *>() : nullptr;
    }
    // Lets queued signals from the worker arrive after its last log line.
    void settle() { QTest::qWait(200); }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        setManifestAddress(QLatin1String(kNoManifest));
    }
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English));
        clearStoredChoices();
        m_handOvers = std::make_shared<HandOvers>();
        m_server = std::make_unique<HttpStub>();
        QVERIFY(m_server->isListening());
        m_update = std::make_unique<UpdateSoftware>(std::make_unique<RecordingPlatform>(m_handOvers), kShortTimeoutMs);
        m_errors = std::make_unique<ErrorBoxAnswerer>(m_update->downloadErrorBox());
    }
    void cleanup()
    {
        setManifestAddress(QLatin1String(kNoManifest));
        m_update.reset();
        m_errors.reset();
        m_server.reset();
    }

    void steadyDownloadIsStreamedToFileAndHandedOver_data()
    {
        QTest::addColumn<bool>("announceLength");
        QTest::newRow("size announced") << true;
        QTest::newRow("size not announced") << false;
    }
    void steadyDownloadIsStreamedToFileAndHandedOver()
    {
        QFETCH(bool, announceLength);
        DebugCapture debug;
        // Slices every 100 ms for twice the time-out: never timed out.
        const QByteArray body = bodyOf(30 * 1000);
        m_server->set("/strata-panel_2.01_amd64.deb", {200, body, 0, 1000, 100, announceLength});
        acceptUpdateFrom(m_server->url("/strata-panel_2.01_amd64.deb"));
        QTRY_VERIFY_WITH_TIMEOUT(cancelButton() && cancelButton()->isEnabled(), kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_handOvers->quits.load(), 1, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!m_update->downloadWindowWidget(), kWaitMs);
        QCOMPARE(m_errors->shown(), 0);
        QVERIFY(!debug.has("UpdateInformation: timeout"));

        const QStringList paths = m_handOvers->taken();
        QCOMPARE(paths.size(), 1);
        QVERIFY(paths[0].endsWith("/strata-panel_2.01_amd64.deb"));
        QFile file(paths[0]);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), body);

        if (announceLength) {
            QStringList percents = debug.lines().filter("UpdateInformation: ProgressBar ");
            QVERIFY(percents.size() >= 10);
            QCOMPARE(percents.last(), QStringLiteral("UpdateInformation: ProgressBar 100"));
        }
    }

    void stallEndsInErrorBox_data()
    {
        QTest::addColumn<int>("stallAfter");
        QTest::addColumn<bool>("cancelEnabled");
        QTest::newRow("before any byte") << 0 << false;
        QTest::newRow("mid-body") << 1000 << true;
    }
    void stallEndsInErrorBox()
    {
        QFETCH(int, stallAfter);
        QFETCH(bool, cancelEnabled);
        DebugCapture debug;
        // The network layer holds back progress reports within 100 ms of the
        // request, so the slice comes later than that.
        m_server->set("/stall.deb", {200, bodyOf(10000), 0, 1000, 200, true, stallAfter});
        acceptUpdateFrom(m_server->url("/stall.deb"));
        QTRY_VERIFY_WITH_TIMEOUT(m_update->downloadWindowWidget(), kWaitMs);
        if (cancelEnabled)
            QTRY_VERIFY2_WITH_TIMEOUT(cancelButton() && cancelButton()->isEnabled(),
                                      qPrintable(debug.lines().join('\n')), kWaitMs);
        else
            QVERIFY(!cancelButton()->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(m_errors->shown(), 1, kWaitMs);
        QVERIFY(debug.has("UpdateInformation: timeout"));
        QVERIFY(!m_update->downloadWindowWidget());
        QCOMPARE(m_update->checkState(), FirmwareSettled);
        QCOMPARE(m_handOvers->quits.load(), 0);
    }

    void userStopsDownloadQuietly_data()
    {
        QTest::addColumn<bool>("closeWindow");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("panel closed") << true;
    }
    void userStopsDownloadQuietly()
    {
        QFETCH(bool, closeWindow);
        DebugCapture debug;
        m_server->set("/stall.deb", {200, bodyOf(10000), 0, 1000, 200, true, 1000});
        acceptUpdateFrom(m_server->url("/stall.deb"));
        QTRY_VERIFY_WITH_TIMEOUT(cancelButton() && cancelButton()->isEnabled(), kWaitMs);
        if (closeWindow)
            m_update->closeAll();
        else
            cancelButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(debug.has("UpdateInformation: file download error"), kWaitMs);
        settle();
        QVERIFY(debug.has("UpdateInformation: file download abort"));
        QVERIFY(!m_update->downloadWindowWidget());
        QCOMPARE(m_errors->shown(), 0);
        QCOMPARE(m_handOvers->quits.load(), 0);
    }

    void failedDownloadEndsInErrorBox_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("line");
        QTest::newRow("empty body") << "/empty.deb" << "" << "UpdateInformation: file download size zero";
        QTest::newRow("HTTP 404") << "" << "/missing.deb" << "UpdateInformation: file download error";
        QTest::newRow("plain HTTP elsewhere") << "" << "http://192.0.2.1/x.deb" << "UpdateInformation: download refused, not HTTPS";
        QTest::newRow("exe") << "" << "/setup.exe" << "UpdateInformation: download refused, exe file";
        QTest::newRow("no file name") << "" << "/" << "UpdateInformation: download refused, no file name";
        QTest::newRow("parent folder") << "" << "/a/.." << "UpdateInformation: download refused, no file name";
    }
    void failedDownloadEndsInErrorBox()
    {
        QFETCH(QString, path);
        QFETCH(QString, url);
        QFETCH(QString, line);
        DebugCapture debug;
        if (!path.isEmpty())
            m_server->set(path, {200, QByteArray()});
        QString address = path.isEmpty() ? url : m_server->url(path);
        if (address.startsWith('/'))
            address = m_server->url(address);
        acceptUpdateFrom(address);
        QTRY_COMPARE_WITH_TIMEOUT(m_errors->shown(), 1, kWaitMs);
        QVERIFY2(debug.has(line), qPrintable(debug.lines().join('\n')));
        QVERIFY(!m_update->downloadWindowWidget());
        QCOMPARE(m_update->checkState(), FirmwareSettled);
        QCOMPARE(m_handOvers->quits.load(), 0);
    }

    void oversizedManifestIsNotRead_data()
    {
        QTest::addColumn<bool>("announceLength");
        QTest::newRow("size announced") << true;
        QTest::newRow("size not announced") << false;
    }
    void oversizedManifestIsNotRead()
    {
        QFETCH(bool, announceLength);
        const QString text = manifestText(QJsonObject{{"mac_software_version_major", 3},
                                                      {"pad", QString(1024 * 1024, 'x')}});
        m_server->set("/big.json", {200, text.toUtf8(), -1, 0, 0, announceLength});
        setManifestAddress(m_server->url("/big.json"));
        DebugCapture debug;
        UpdateSoftware update(std::make_unique<RecordingPlatform>(m_handOvers));
        QTRY_VERIFY_WITH_TIMEOUT(debug.has("UpdateInformation: end of replyFinished"), kWaitMs);
        QVERIFY(debug.has("UpdateInformation: jason dwonload error"));
        QVERIFY(debug.has("Manifest larger than 1 MiB"));
        settle();
        update.checkFirmwareInformation("Strata 96", "1.00 0001");
        QVERIFY(debug.has("UpdateSoftware: checkFirm jObj none"));
        QVERIFY(!update.softwareNotice().isVisible());
    }
};

QTEST_MAIN(UpdateDownloadTest)
#include "test_updatedownload.moc"

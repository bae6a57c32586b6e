// The panel's own firmware update on the simulated unit, and the window's update check.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

#include "../update/httpstub.h"
#include "../update/updatetestkit.h"
#include "panelwindow.h"
#include "service/datamanager.h"
#include "sim/simunit.h"
#include "test_table.h"
#include "ui/panelfirmwareupdate.h"
#include "update/informationbox.h"
#include "virtual_clock.h"

using namespace panelwindow;

namespace {

constexpr int kTimeoutMs = 20000;

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 13 + i / 256) & 0xFF);
    return bytes;
}

InformationBox *shownNotice(const char *about = "Settings Panel")
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<InformationBox *>(w);
        if (box && box->isVisible() && box->ui.textMessage->toPlainText().contains(about))
            return box;
    }
    return nullptr;
}

} // namespace

class PanelUpdateTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initPanelTest(); }
    void init()
    {
        QVERIFY(noUnit(kTimeoutMs));
        m_model = QStringLiteral("Strata 96");
        m_present = true;
        m_update = std::make_unique<PanelFirmwareUpdate>(
            nullptr, [this] { return m_model; }, [this] { return m_present; });
        m_results = std::make_unique<QSignalSpy>(m_update.get(), &PanelFirmwareUpdate::result);
        m_finished = std::make_unique<QSignalSpy>(m_update.get(), &PanelFirmwareUpdate::finished);
        m_asked = 0;
    }
    void cleanup()
    {
        QVERIFY(!m_update->running());
        m_update.reset();
        m_clock.reset();
        sim::Bus::instance().unplugAll();
    }

    // Nothing goes out before the user agreed; what goes out arrives exactly.
    void imageArrivesExactlyWhenAgreed_data()
    {
        QTest::addColumn<bool>("agreed");
        QTest::newRow("agreed") << true;
        QTest::newRow("declined") << false;
    }
    void imageArrivesExactlyWhenAgreed()
    {
        QFETCH(bool, agreed);
        auto unit = plugUnit();
        QSignalSpy started(m_update.get(), &PanelFirmwareUpdate::transferStarted);
        QSignalSpy ended(m_update.get(), &PanelFirmwareUpdate::transferEnded);
        QSignalSpy progress(m_update.get(), &PanelFirmwareUpdate::progress);
        QSignalSpy declined(m_update.get(), &PanelFirmwareUpdate::declined);
        const QByteArray image = pattern(3000);
        answerConfirmation(agreed ? QMessageBox::Ok : QMessageBox::Cancel);
        m_update->install(write("fw.bin", image));
        QCOMPARE(m_asked, 1);
        QCOMPARE(declined.count(), agreed ? 0 : 1);
        QCOMPARE(started.count(), agreed ? 1 : 0);
        QCOMPARE(m_update->running(), agreed);
        QVERIFY(QTest::qWaitFor([&] { return m_finished->count() == 1; }, kTimeoutMs));
        if (!agreed) {
            QCOMPARE(m_results->count(), 0);
            QCOMPARE(unit->firmwareLength(), 0u);
            return;
        }
        QCOMPARE(ended.count(), 1);
        QCOMPARE(m_results->count(), 1);
        QCOMPARE(m_results->at(0).at(0).toBool(), true);
        QCOMPARE(m_results->at(0).at(1).toString(),
                 "The firmware update has finished: the unit has verified the new firmware.");
        const std::vector<uint8_t> held = unit->firmwareImage();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(held.data()), int(held.size())), image);
        QVERIFY(progress.count() > 2);
        QCOMPARE(progress.first(), (QVariantList{qint64(0), qint64(3000)}));
        QCOMPARE(progress.last(), (QVariantList{qint64(3000), qint64(3000)}));
    }

    // Refusals come before the question and before any byte goes out.
    void badInputIsRefusedUnasked_data()
    {
        addColumns<QString, QString, bool, QString>("file", "model", "present", "text");
        QTest::newRow("missing") << "none.bin" << "Strata 96" << true << "firmware image %1 does not exist";
        QTest::newRow("empty") << "empty.bin" << "Strata 96" << true << "firmware image %1 is empty";
        QTest::newRow("folder") << "dir" << "Strata 96" << true << "%1 is a folder, not a firmware image";
        QTest::newRow("4 GiB") << "huge.bin" << "Strata 96" << true
                               << "firmware image %1 is too large: the unit takes less than 4 GiB";
        QTest::newRow("no unit") << "fw.bin" << "No Device" << false
                                 << "No unit is connected. Connect the Strata 96 and start the update again.";
        QTest::newRow("Strata 14") << "fw.bin" << "Strata 14" << true
                                   << "The connected unit is a Strata 14; only the Strata 96 takes this firmware.";
    }
    void badInputIsRefusedUnasked()
    {
        QFETCH(QString, file);
        QFETCH(QString, text);
        auto unit = plugUnit();
        QFETCH(QString, model);
        QFETCH(bool, present);
        m_model = model;
        m_present = present;
        const QString path = m_dir.filePath(file);
        if (file == QLatin1String("empty.bin") || file == QLatin1String("fw.bin"))
            write(file, file == QLatin1String("fw.bin") ? pattern(10) : QByteArray());
        if (file == QLatin1String("dir"))
            QVERIFY(QDir(m_dir.path()).mkpath(file));
        if (file == QLatin1String("huge.bin")) {
            QFile huge(path);
            if (!huge.open(QIODevice::WriteOnly) || !huge.resize(qint64(1) << 32))
                QSKIP("the temporary folder's file system cannot hold a sparse 4 GiB file");
        }
        answerConfirmation(QMessageBox::Ok);
        m_update->install(path);
        QCoreApplication::processEvents();
        QCOMPARE(m_asked, 0);
        QCOMPARE(m_results->count(), 1);
        QCOMPARE(m_results->at(0).at(0).toBool(), false);
        QCOMPARE(m_results->at(0).at(1).toString(), text.contains(QLatin1String("%1")) ? text.arg(path) : text);
        QCOMPARE(m_finished->count(), 1);
        QCOMPARE(unit->firmwareLength(), 0u);
        QVERIFY(unit->firmwareImage().empty());
    }

    void unitFaultsEndInTheirFailure_data()
    {
        addColumns<QString, QString>("fault", "text");
        const QString failed = QStringLiteral("The firmware update failed: the unit did not take or verify the image. "
                                              "If it was disconnected, connect it again and repeat the update.");
        QTest::newRow("cancel") << "cancel" << "The unit cancelled the firmware update.";
        QTest::newRow("wrong offset") << "offset" << failed;
        QTest::newRow("never verifies") << "verify" << failed;
        // Said present, but gone before the transfer reaches the worker.
        QTest::newRow("no unit") << "gone" << "No unit is connected. Connect the Strata 96 and start the update again.";
    }
    void unitFaultsEndInTheirFailure()
    {
        QFETCH(QString, fault);
        // The unit's waits run on the virtual clock: a thousand waits and a
        // minute of verification take no time.
        m_clock = std::make_unique<VirtualClock>();
        auto unit = fault == QLatin1String("gone") ? std::make_shared<sim::SimUnit>(sim::Model::Strata96) : plugUnit();
        unit->refuseFirmware(fault == QLatin1String("cancel"));
        unit->misreportFirmwareOffset(fault == QLatin1String("offset"));
        unit->neverFinishFirmware(fault == QLatin1String("verify"));
        answerConfirmation(QMessageBox::Ok);
        m_update->install(write("fw.bin", pattern(700)));
        QVERIFY(QTest::qWaitFor([&] { return m_finished->count() == 1; }, kTimeoutMs));
        QCOMPARE(m_results->count(), 1);
        QCOMPARE(m_results->at(0).at(0).toBool(), false);
        QTEST(m_results->at(0).at(1).toString(), "text");
    }

    // Closing the window would cut the transfer off: it says so and stays
    // until the transfer is over, here by the unit pulled out mid-transfer.
    void windowStaysOpenWhileTheUnitTakesFirmware()
    {
        auto unit = plugUnit();
        // The simulated unit takes bytes faster than a test can pull it; an
        // unfinished verification keeps the transfer going until it is gone.
        unit->neverFinishFirmware(true);
        MainWindow window;
        window.show();
        auto *update = window.findChild<PanelFirmwareUpdate *>();
        QSignalSpy progress(update, &PanelFirmwareUpdate::progress);
        QSignalSpy over(update, &PanelFirmwareUpdate::finished);
        QSignalSpy result(update, &PanelFirmwareUpdate::result);
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        installInWindow(window, 20000);
        QVERIFY(QTest::qWaitFor([&] { return progress.count() > 3; }, kTimeoutMs));
        QVERIFY(!window.close());
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        const auto notices = window.findChildren<QMessageBox *>(QStringLiteral("closeRefusedNotice"));
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices.first()->isVisible());
        QVERIFY(notices.first()->text().startsWith(QLatin1String("The firmware update is still running.")));
        sim::Bus::instance().unplug(unit);
        QVERIFY(QTest::qWaitFor([&] { return over.count() == 1; }, kTimeoutMs));
        QCOMPARE(result.at(0).at(0).toBool(), false);
        const QString failed = result.at(0).at(1).toString();
        QVERIFY2(failed.contains(QLatin1String("disconnected")), qPrintable(failed));
        // The download window keeps the result on show; the program goes on.
        QWidget *shown = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            for (QLabel *label : top->findChildren<QLabel *>())
                shown = label->text() == failed && top->findChild<QProgressBar *>() ? top : shown;
        }
        QVERIFY(shown && shown->isVisible());
        QCOMPARE(quitting.count(), 0);
        QVERIFY(window.close());
    }

    // Last: it leaves the update check on, with the manifest on a server now gone.
    void updateItemClearsSilencedVersionsAndChecksAgain()
    {
        auto unit = plugUnit();
        HttpStub server;
        QVERIFY(server.isListening());
        server.set("/m.json", {200, updatetest::manifestText(QJsonObject{{"mac_software_version_major", 2},
                                                                         {"mac_software_version_minor", 1},
                                                                         {"firmware_version_major", 9}}).toUtf8()});
        updatetest::setManifestAddress(server.url("/m.json"));
        DataManager::saveSetting("Update", "CheckAtStart", true);
        DataManager::setDoNotUpdateSoftDialog("2.01");
        DataManager::setDoNotUpdateFirmDialog("1.03");
        DataManager::setDoNotUpdateInfoDialog("kept");

        MainWindow window;
        auto *action = window.findChild<QAction *>("actionUpdate");
        QVERIFY(action && !action->isEnabled());
        // The silenced software notice stays away; the tick finds the
        // simulated Strata 96's firmware older than the manifest's.
        QTRY_VERIFY_WITH_TIMEOUT(shownNotice("firmware"), updatetest::kWaitMs);
        QVERIFY(!shownNotice());
        QVERIFY(shownNotice("firmware")->ui.textMessage->toPlainText().contains(
            "Current Version: " + window.findChild<QLabel *>("label_FWVer")->text().mid(1, 4)));
        shownNotice("firmware")->ui.noButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(action->isEnabled(), updatetest::kWaitMs);

        action->trigger();
        QVERIFY(!action->isEnabled());
        QCOMPARE(DataManager::getDoNotUpdateSoftDialog(), QString());
        QCOMPARE(DataManager::getDoNotUpdateFirmDialog(), QString());
        QCOMPARE(DataManager::getDoNotUpdateInfoDialog(), QStringLiteral("kept"));
        QVERIFY(shownNotice());

        window.close();
        QVERIFY(!shownNotice());
        QCOMPARE(server.requests("/m.json"), 1);
    }

private:
    // The window's own transfer of a `size`-byte image to the Strata 96 it shows, agreed to.
    void installInWindow(MainWindow &window, int size)
    {
        auto *update = window.findChild<PanelFirmwareUpdate *>();
        QVERIFY(update);
        window.slt_RecvDeviceName(QStringLiteral("Strata 96"));
        answerConfirmation(QMessageBox::Ok);
        update->install(write("fw.bin", pattern(size)));
    }
    std::shared_ptr<sim::SimUnit> plugUnit()
    {
        auto unit = sim::plugSimUnit(sim::Model::Strata96);
        if (!QTest::qWaitFor([] { return dm.queryExistDevice(); }, kTimeoutMs))
            qWarning("the service did not see the unit");
        return unit;
    }

    // Answers the next question box with `button`, checking its warning.
    void answerConfirmation(QMessageBox::StandardButton button)
    {
        QTimer::singleShot(0, this, [this, button] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++m_asked;
            QVERIFY(box->text().contains(QLatin1String("Do not unplug the unit")));
            box->button(button)->click();
        });
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

    QTemporaryDir m_dir;
    QString m_model;
    bool m_present = true;
    int m_asked = 0;
    std::unique_ptr<VirtualClock> m_clock;
    std::unique_ptr<PanelFirmwareUpdate> m_update;
    std::unique_ptr<QSignalSpy> m_results;
    std::unique_ptr<QSignalSpy> m_finished;
};

QTEST_MAIN(PanelUpdateTest)
#include "test_panelupdate.moc"

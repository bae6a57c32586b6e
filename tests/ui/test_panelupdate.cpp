// The panel's own firmware update on the simulated unit, and the window's update check.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QProgressBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

#include "../update/httpstub.h"
#include "../update/updatetestkit.h"
#include "panelwindow.h"
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
        m_asked = 0;
    }
    void cleanup() { sim::Bus::instance().unplugAll(); }

    // Refusals come before the question; nothing goes out unless agreed.
    void installEndsInItsText_data()
    {
        addColumns<QString, QString, QString>("fault", "model", "text");
        const QString noUnit = QStringLiteral("No unit is connected. Connect the Strata 96 and start the update again.");
        const QString failed = QStringLiteral("The firmware update failed: the unit did not take or verify the image. "
                                              "If it was disconnected, connect it again and repeat the update.");
        QTest::newRow("agreed") << "" << "Strata 96"
                                << "The firmware update has finished: the unit has verified the new firmware.";
        QTest::newRow("declined") << "declined" << "Strata 96" << "";
        QTest::newRow("missing image") << "missing" << "Strata 96" << "firmware image %1 does not exist";
        QTest::newRow("empty image") << "empty" << "Strata 96" << "firmware image %1 is empty";
        QTest::newRow("folder") << "folder" << "Strata 96" << "%1 is a folder, not a firmware image";
        QTest::newRow("no unit") << "absent" << "No Device" << noUnit;
        QTest::newRow("Strata 14") << "" << "Strata 14"
                                   << "The connected unit is a Strata 14; only the Strata 96 takes this firmware.";
        QTest::newRow("cancel") << "cancel" << "Strata 96" << "The unit cancelled the firmware update.";
        QTest::newRow("wrong offset") << "offset" << "Strata 96" << failed;
        QTest::newRow("never verifies") << "verify" << "Strata 96" << failed;
        // Said present, but gone before the transfer reaches the worker.
        QTest::newRow("unit gone") << "gone" << "Strata 96" << noUnit;
    }
    void installEndsInItsText()
    {
        QFETCH(QString, fault);
        QFETCH(QString, model);
        QFETCH(QString, text);
        // The unit's waits run on the virtual clock: a minute of verification takes no time.
        VirtualClock clock;
        auto unit = fault == QLatin1String("gone") ? std::make_shared<sim::SimUnit>(sim::Model::Strata96)
                                                   : plugged(sim::Model::Strata96, kTimeoutMs);
        unit->refuseFirmware(fault == QLatin1String("cancel"));
        unit->misreportFirmwareOffset(fault == QLatin1String("offset"));
        unit->neverFinishFirmware(fault == QLatin1String("verify"));
        PanelFirmwareUpdate update(nullptr, [&] { return model; }, [&] { return fault != QLatin1String("absent"); });
        QSignalSpy started(&update, &PanelFirmwareUpdate::transferStarted);
        QSignalSpy ended(&update, &PanelFirmwareUpdate::transferEnded);
        QSignalSpy progress(&update, &PanelFirmwareUpdate::progress);
        QSignalSpy declined(&update, &PanelFirmwareUpdate::declined);
        QSignalSpy results(&update, &PanelFirmwareUpdate::result);
        QSignalSpy finished(&update, &PanelFirmwareUpdate::finished);
        const QByteArray image = pattern(3000);
        QString path = fault == QLatin1String("folder") ? m_dir.path() : m_dir.filePath("none.bin");
        if (fault != QLatin1String("missing") && fault != QLatin1String("folder"))
            path = writeFile(m_dir.filePath("fw.bin"), fault == QLatin1String("empty") ? QByteArray() : image);
        answerConfirmation(fault == QLatin1String("declined") ? QMessageBox::Cancel : QMessageBox::Ok);
        update.install(path);
        const bool refused = QStringList{"missing", "empty", "folder", "absent"}.contains(fault)
                             || model != QLatin1String("Strata 96");
        const bool sent = !refused && fault != QLatin1String("declined");
        QCOMPARE(m_asked, refused ? 0 : 1);
        QCOMPARE(declined.count(), int(fault == QLatin1String("declined")));
        QCOMPARE(started.count(), int(sent));
        QCOMPARE(update.running(), sent);
        QVERIFY(QTest::qWaitFor([&] { return finished.count() == 1; }, kTimeoutMs));
        QCOMPARE(ended.count(), int(sent));
        if (!sent)
            QCOMPARE(unit->firmwareLength(), 0u);
        QCOMPARE(results.count(), int(!text.isEmpty()));
        if (text.isEmpty())
            return;
        QCOMPARE(results.at(0).at(1).toString(), text.contains(QLatin1String("%1")) ? text.arg(path) : text);
        const bool succeeded = sent && fault.isEmpty();
        QCOMPARE(results.at(0).at(0).toBool(), succeeded);
        if (!succeeded)
            return;
        const std::vector<uint8_t> held = unit->firmwareImage();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(held.data()), int(held.size())), image);
        QVERIFY(progress.count() > 2);
        QCOMPARE(progress.first(), (QVariantList{qint64(0), qint64(3000)}));
        QCOMPARE(progress.last(), (QVariantList{qint64(3000), qint64(3000)}));
    }

    // The window stays until the transfer is over, here by a pull-out.
    void windowStaysOpenWhileTheUnitTakesFirmware()
    {
        auto unit = plugged(sim::Model::Strata96, kTimeoutMs);
        // An unfinished verification keeps the fast simulated transfer going.
        unit->neverFinishFirmware(true);
        MainWindow window;
        window.show();
        auto *update = window.findChild<PanelFirmwareUpdate *>();
        QSignalSpy progress(update, &PanelFirmwareUpdate::progress);
        QSignalSpy over(update, &PanelFirmwareUpdate::finished);
        QSignalSpy result(update, &PanelFirmwareUpdate::result);
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        // Another update object, not running, takes no part in this transfer.
        PanelFirmwareUpdate idle(nullptr, [] { return QString(); }, [] { return true; });
        QSignalSpy idleSignals(&idle, &PanelFirmwareUpdate::finished);
        window.slt_RecvDeviceName(QStringLiteral("Strata 96"));
        answerConfirmation(QMessageBox::Ok);
        update->install(writeFile(m_dir.filePath("fw.bin"), pattern(20000)));
        QVERIFY(QTest::qWaitFor([&] { return progress.count() > 3; }, kTimeoutMs));
        QVERIFY(!window.close());
        QVERIFY(!window.close());
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
        QCOMPARE(idleSignals.count(), 0);
        QVERIFY(window.close());
    }

    // Last: it leaves the update check on, with the manifest on a server now gone.
    void updateItemClearsSilencedVersionsAndChecksAgain()
    {
        plugged(sim::Model::Strata96, kTimeoutMs);
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
        // The silenced software notice stays away; the firmware is older.
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

    QTemporaryDir m_dir;
    int m_asked = 0;
};

QTEST_MAIN(PanelUpdateTest)
#include "test_panelupdate.moc"

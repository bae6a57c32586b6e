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

    // Refusals come before the question, and nothing goes out before the
    // user agreed; what goes out arrives exactly; each end says its own text.
    void installEndsInItsText_data()
    {
        addColumns<QString, QString, QString>("fault", "model", "text");
        const QString noUnit = QStringLiteral("No unit is connected. Connect the Strata 96 and start the update again.");
        QTest::newRow("agreed") << "" << "Strata 96"
                                << "The firmware update has finished: the unit has verified the new firmware.";
        QTest::newRow("declined") << "declined" << "Strata 96" << "";
        QTest::newRow("missing image") << "missing" << "Strata 96" << "firmware image %1 does not exist";
        QTest::newRow("no unit") << "absent" << "No Device" << noUnit;
        QTest::newRow("Strata 14") << "" << "Strata 14"
                                   << "The connected unit is a Strata 14; only the Strata 96 takes this firmware.";
        QTest::newRow("cancel") << "cancel" << "Strata 96" << "The unit cancelled the firmware update.";
        QTest::newRow("never verifies") << "verify" << "Strata 96"
                                        << "The firmware update failed: the unit did not take or verify the image. "
                                           "If it was disconnected, connect it again and repeat the update.";
        // Said present, but gone before the transfer reaches the worker.
        QTest::newRow("unit gone") << "gone" << "Strata 96" << noUnit;
    }
    void installEndsInItsText()
    {
        QFETCH(QString, fault);
        QFETCH(QString, model);
        QFETCH(QString, text);
        // The unit's waits run on the virtual clock: a minute of verification takes no time.
        m_clock = std::make_unique<VirtualClock>();
        auto unit = fault == QLatin1String("gone") ? std::make_shared<sim::SimUnit>(sim::Model::Strata96) : plugUnit();
        unit->refuseFirmware(fault == QLatin1String("cancel"));
        unit->neverFinishFirmware(fault == QLatin1String("verify"));
        m_model = model;
        m_present = fault != QLatin1String("absent");
        QSignalSpy started(m_update.get(), &PanelFirmwareUpdate::transferStarted);
        QSignalSpy ended(m_update.get(), &PanelFirmwareUpdate::transferEnded);
        QSignalSpy progress(m_update.get(), &PanelFirmwareUpdate::progress);
        QSignalSpy declined(m_update.get(), &PanelFirmwareUpdate::declined);
        const QByteArray image = pattern(3000);
        const QString path = fault == QLatin1String("missing") ? m_dir.filePath("none.bin")
                                                               : writeFile(m_dir.filePath("fw.bin"), image);
        answerConfirmation(fault == QLatin1String("declined") ? QMessageBox::Cancel : QMessageBox::Ok);
        m_update->install(path);
        const bool refused = fault == QLatin1String("missing") || fault == QLatin1String("absent")
                             || model != QLatin1String("Strata 96");
        const bool sent = !refused && fault != QLatin1String("declined");
        QCOMPARE(m_asked, refused ? 0 : 1);
        QCOMPARE(declined.count(), int(fault == QLatin1String("declined")));
        QCOMPARE(started.count(), int(sent));
        QCOMPARE(m_update->running(), sent);
        QVERIFY(QTest::qWaitFor([&] { return m_finished->count() == 1; }, kTimeoutMs));
        QCOMPARE(ended.count(), int(sent));
        if (!sent)
            QCOMPARE(unit->firmwareLength(), 0u);
        QCOMPARE(m_results->count(), int(!text.isEmpty()));
        if (text.isEmpty())
            return;
        QCOMPARE(m_results->at(0).at(1).toString(), text.contains(QLatin1String("%1")) ? text.arg(path) : text);
        const bool succeeded = sent && fault.isEmpty();
        QCOMPARE(m_results->at(0).at(0).toBool(), succeeded);
        if (!succeeded)
            return;
        const std::vector<uint8_t> held = unit->firmwareImage();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(held.data()), int(held.size())), image);
        QVERIFY(progress.count() > 2);
        QCOMPARE(progress.first(), (QVariantList{qint64(0), qint64(3000)}));
        QCOMPARE(progress.last(), (QVariantList{qint64(3000), qint64(3000)}));
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
        window.slt_RecvDeviceName(QStringLiteral("Strata 96"));
        answerConfirmation(QMessageBox::Ok);
        update->install(writeFile(m_dir.filePath("fw.bin"), pattern(20000)));
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

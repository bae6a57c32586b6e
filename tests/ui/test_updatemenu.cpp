// The window's part in the update service: the manifest fetched at start, the
// tick's firmware check, "- Update" clearing the silenced versions and bringing
// the notice back; closing the window closes the notices.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QLabel>

#include "../update/httpstub.h"
#include "../update/updatetestkit.h"
#include "panelwindow.h"
#include "update/informationbox.h"

using namespace panelwindow;

static InformationBox *shownNotice(const char *about = "Settings Panel")
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<InformationBox *>(w);
        if (box && box->isVisible() && box->ui.textMessage->toPlainText().contains(about))
            return box;
    }
    return nullptr;
}

class UpdateMenuTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }

    void updateItemClearsSilencedVersionsAndChecksAgain()
    {
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
};

QTEST_MAIN(UpdateMenuTest)
#include "test_updatemenu.moc"

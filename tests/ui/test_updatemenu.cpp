// The window's part in the update service: the manifest fetched at start,
// "- Update" enabled by the tick once a newer version is known, clearing the
// two silenced versions and bringing the notice back; closing the window
// closes the notices.
#include <QtTest>

#include <QAction>
#include <QApplication>

#include "../update/httpstub.h"
#include "../update/updatetestkit.h"
#include "panelwindow.h"
#include "update/informationbox.h"

using namespace panelwindow;

static InformationBox *shownSoftwareNotice()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<InformationBox *>(w);
        if (box && box->isVisible() && box->ui.textMessage->toPlainText().contains("Settings Panel"))
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
                                                                         {"mac_software_version_minor", 1}}).toUtf8()});
        updatetest::setManifestAddress(server.url("/m.json"));
        DataManager::setDoNotUpdateSoftDialog("2.01");
        DataManager::setDoNotUpdateFirmDialog("1.03");
        DataManager::setDoNotUpdateInfoDialog("kept");

        MainWindow window;
        auto *action = window.findChild<QAction *>("actionUpdate");
        QVERIFY(action && !action->isEnabled());
        // The silenced notice stays away, but a newer version is known.
        QTRY_VERIFY_WITH_TIMEOUT(server.requests("/m.json") == 1 && (window.timerInterrupt_1000ms(), action->isEnabled()),
                                 updatetest::kWaitMs);
        QVERIFY(!shownSoftwareNotice());

        action->trigger();
        QVERIFY(!action->isEnabled());
        QCOMPARE(DataManager::getDoNotUpdateSoftDialog(), QString());
        QCOMPARE(DataManager::getDoNotUpdateFirmDialog(), QString());
        QCOMPARE(DataManager::getDoNotUpdateInfoDialog(), QStringLiteral("kept"));
        QVERIFY(shownSoftwareNotice());

        window.close();
        QVERIFY(!shownSoftwareNotice());
        QCOMPARE(server.requests("/m.json"), 1);
    }
};

QTEST_MAIN(UpdateMenuTest)
#include "test_updatemenu.moc"

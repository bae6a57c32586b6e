// strata-update-screenshots: renders the update service's windows (the
// information message, the software notice in English, French and Japanese,
// the download window mid-download and with a firmware result, and the
// download-error box) into PNG
// files, so they can be looked at without a display or a server.
//
//   strata-update-screenshots [OUTPUT_DIR]     default: <build>/screenshots/update
#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include "service/datamanager.h"
#include "ui/fontfallback.h"
#include "update/macupdateplatform.h"
#include "update/updatesoftware.h"

namespace {

const char kManifest[] = R"({"Strata96_version1": {
    "mac_software_version_major": 2, "mac_software_version_minor": 1,
    "firmware_version_major": 1, "firmware_version_minor": 3,
    "messages": {"English": "<b>Strata 96 firmware 1.03</b> adds a clip hold to the meters.<br>Read more on our website."}}})";

bool save(QWidget &widget, const QDir &dir, const QString &name)
{
    widget.show();
    QApplication::processEvents();
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "strata-update-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

std::unique_ptr<UpdateSoftware> controllerIn(QLocale::Language language)
{
    QLocale::setDefault(QLocale(language));
    auto update = std::make_unique<UpdateSoftware>(std::make_unique<MacUpdatePlatform>());
    update->saveInformation(QString::fromUtf8(kManifest));
    return update;
}

} // namespace

int main(int argc, char **argv)
{
    // Settings of its own, and a manifest address the worker refuses: no
    // user setting is touched and nothing goes to the network.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    // The fonts the panel itself falls back to.
    panel::installFontFallbacks();
    DataManager::saveSetting(QStringLiteral("Update"), QStringLiteral("JsonUrl"), QStringLiteral("file:///nowhere"));

    const QString dirPath = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                     : QDir::cleanPath(QCoreApplication::applicationDirPath()
                                                       + QStringLiteral("/../screenshots/update"));
    QDir dir(dirPath);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "strata-update-screenshots: cannot create %s\n", qPrintable(dirPath));
        return 1;
    }

    bool ok = true;
    {
        auto update = controllerIn(QLocale::English);
        ok &= save(update->informationNotice(), dir, QStringLiteral("information"));
        ok &= save(update->softwareNotice(), dir, QStringLiteral("software_en"));
        update->openDownloadFileInfo();
        update->showFirmwareProgress(42, 100);
        update->enableCanselButton(42);
        ok &= save(*update->downloadWindowWidget(), dir, QStringLiteral("download"));
        // The window a firmware transfer of the panel ends in, as the panel words its results.
        update->showFirmwareResult(true, QStringLiteral("The firmware update has finished: the unit has verified the new firmware."));
        ok &= save(*update->downloadWindowWidget(), dir, QStringLiteral("download_success"));
        update->firmwareInstallFinished();
        update->showFirmwareResult(false, QStringLiteral("The firmware update failed: the unit did not take or verify the image. "
                                                         "If it was disconnected, connect it again and repeat the update."));
        ok &= save(*update->downloadWindowWidget(), dir, QStringLiteral("download_failure"));
        update->firmwareInstallFinished();
        ok &= save(update->downloadErrorBox(), dir, QStringLiteral("error"));
        update->closeAll();
    }
    for (const auto &[language, name] : {std::pair{QLocale::French, "software_fr"},
                                         std::pair{QLocale::Japanese, "software_ja"}}) {
        auto update = controllerIn(language);
        ok &= save(update->softwareNotice(), dir, QString::fromLatin1(name));
        update->closeAll();
    }
    return ok ? 0 : 1;
}

// On Linux no updater application takes over a firmware update: the panel
// transfers the image the update service fetched itself, in the download
// window, while the meters rest.
#include "ui/mainwindow.h"

#include "service/datamanager.h"
#include "ui/panelfirmwareupdate.h"
#include "ui_mainwindow.h"
#include "update/updatesoftware.h"

void MainWindow::connectFirmwareUpdate()
{
#ifndef Q_OS_MACOS
    auto *update = new PanelFirmwareUpdate(
        this, [this] { return ui->label_Device->text(); }, [] { return dm.queryExistDevice(); }, this);
    connect(m_updateSoftware, &UpdateSoftware::firmwareImageReady, update, &PanelFirmwareUpdate::install);
    connect(update, &PanelFirmwareUpdate::progress, m_updateSoftware, &UpdateSoftware::showFirmwareProgress);
    connect(update, &PanelFirmwareUpdate::result, m_updateSoftware, &UpdateSoftware::showFirmwareResult);
    // After a result the download window's OK button lets the image go.
    connect(update, &PanelFirmwareUpdate::declined, m_updateSoftware, &UpdateSoftware::firmwareInstallFinished);
    // The worker is busy for the whole transfer; a meter read would find no
    // fresh reading and drop the unit.
    connect(update, &PanelFirmwareUpdate::transferStarted, this, [this] { m_metersPaused = true; });
    connect(update, &PanelFirmwareUpdate::transferEnded, this, [this] { m_metersPaused = false; });
#endif
}

#include "ui/panelfirmwareupdate.h"

#include <QMessageBox>

#include "service/datamanager.h"
#include "service/firmwareimage.h"
#include "service/qzudeviceunit.h"
#include "ui/panelconstants.h"

PanelFirmwareUpdate::PanelFirmwareUpdate(QWidget *dialogParent, std::function<QString()> currentModel,
                                         std::function<bool()> unitPresent, QObject *parent)
    : QObject(parent),
      m_dialogParent(dialogParent),
      m_currentModel(std::move(currentModel)),
      m_unitPresent(std::move(unitPresent))
{
    connect(&dm, &QZUDevice::sig_recv_fwupdate_progress, this, &PanelFirmwareUpdate::transferProgress);
    connect(&dm, &QZUDevice::sig_recv_fwupdate, this, &PanelFirmwareUpdate::transferResult);
}

QString PanelFirmwareUpdate::confirmationText()
{
    return tr("Update the firmware of the Strata 96 now?\n\n"
              "Do not unplug the unit or close the panel until the update has finished.");
}

QString PanelFirmwareUpdate::resultText(int outcome, const QString &detail)
{
    switch (outcome) {
    case QZUDeviceUnit::FirmwareOk:
        return tr("The firmware update has finished: the unit has verified the new firmware.");
    case QZUDeviceUnit::FirmwareCancelled:
        return tr("The unit cancelled the firmware update.");
    case QZUDeviceUnit::FirmwareDisconnected:
        return tr("The unit was disconnected during the firmware update. "
                  "Connect it again and repeat the update.");
    case QZUDeviceUnit::FirmwareBadImage:
        return detail;
    case QZUDeviceUnit::FirmwareNoUnit:
        return tr("No unit is connected. Connect the Strata 96 and start the update again.");
    default:
        return tr("The firmware update failed: the unit did not take or verify the image. "
                  "If it was disconnected, connect it again and repeat the update.");
    }
}

void PanelFirmwareUpdate::install(const QString &path)
{
    if (m_running)
        return;
    // Everything is settled before the unit hears of the update.
    FirmwareImage image;
    if (!image.open(path))
        return refuse(image.error());
    if (!m_unitPresent())
        return refuse(resultText(QZUDeviceUnit::FirmwareNoUnit));
    const QString model = m_currentModel();
    if (model != QLatin1String(panel::kMeterModelName))
        return refuse(tr("The connected unit is a %1; only the Strata 96 takes this firmware.").arg(model));

    const QMessageBox::StandardButton answer =
        QMessageBox::question(m_dialogParent, tr("Firmware Update"), confirmationText(),
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) {
        emit declined();
        emit finished();
        return;
    }
    m_running = true;
    emit transferStarted();
    emit progress(0, image.length());
    dm.start_fwupdate(path);
}

void PanelFirmwareUpdate::transferProgress(quint32 pos, quint32 length, bool verifying)
{
    Q_UNUSED(verifying);
    if (m_running)
        emit progress(pos, length);
}

void PanelFirmwareUpdate::transferResult(int outcome, QString detail)
{
    if (!m_running)
        return;
    m_running = false;
    emit transferEnded();
    emit result(outcome == QZUDeviceUnit::FirmwareOk, resultText(outcome, detail));
    emit finished();
}

void PanelFirmwareUpdate::refuse(const QString &text)
{
    emit result(false, text);
    emit finished();
}

// The information page: what the unit reports about itself, and which model
// it is.
#include "ui/mainwindow.h"

#include <QDebug>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "service/datamanager.h"
#include "service/unittext.h"
#include "ui/deviceinfotext.h"
#include "ui/modeltable.h"
#include "ui/panelconstants.h"
#include "ui_mainwindow.h"

namespace {

constexpr int kPageInfo = 0;
constexpr int kPageMeter = 1;

// The product photos are the largest pictures of the page, and only the
// connected model's is ever on show: a hidden photo lets its picture go and
// takes it back when its model is connected. Read past the pixmap cache,
// which would keep every photo once loaded.
void keepPhoto(QLabel *photo, const char *resource, bool shown)
{
    const bool held = !photo->pixmap(Qt::ReturnByValue).isNull();
    if (shown && !held)
        photo->setPixmap(QPixmap::fromImage(QImage(QLatin1String(resource))));
    else if (!shown && held)
        photo->clear();
}

} // namespace

void MainWindow::slt_RecvDeviceName(QString sText)
{
    // An empty name is how the device service reports a failed exchange.
    if (sText.isEmpty()) {
        ui->label_Device->setText(QString::fromLatin1(panel::kNoDevice));
        dm.deselect();
        return;
    }
    // The same name as the last one taken waits for the one-second tick,
    // which forgets it while a unit is present; after a failed exchange the
    // label thus comes back within a second.
    if (sText == m_lastDeviceName)
        return;
    if (!panel::findModel(sText)) {
        qDebug("[ERROR]Connected Device is [%s]", sText.toLocal8Bit().constData());
        return;
    }
    m_lastDeviceName = sText;
    ui->label_Device->setText(sText);
}

void MainWindow::slt_RecvFirmVersion(unsigned short version)
{
    if (version == m_firmVersion)
        return;
    m_firmVersion = version;
    updateFirmwareText();
}

void MainWindow::slt_RecvFirmBuld(unsigned short build)
{
    if (build == m_firmBuild)
        return;
    m_firmBuild = build;
    updateFirmwareText();
}

void MainWindow::slt_RecvSampleRate(unsigned int hz)
{
    ui->label_Samplerate->setText(panel::sampleRateText(hz));
}

void MainWindow::slt_RecvSerialNumber(QString serial)
{
    ui->label_SerialNumber->setText(panel::serialNumberText(serial));
}

void MainWindow::on_pushButton_Meter_clicked()
{
    ui->stackedWidget->setCurrentIndex(kPageMeter);
}

void MainWindow::on_pushButton_Information_clicked()
{
    ui->stackedWidget->setCurrentIndex(kPageInfo);
}

void MainWindow::on_horizontalSlider_BufferSize_sliderMoved(int position)
{
    // The buffer-size row stays hidden; the unit's buffer is not adjustable.
    Q_UNUSED(position);
}

void MainWindow::updateFirmwareText()
{
    // The version and the build arrive as two replies; the label keeps the
    // last complete text until both are known again.
    if (m_firmVersion != 0 && m_firmBuild != 0)
        m_firmwareText = unittext::firmwareText(m_firmVersion, m_firmBuild);
    ui->label_FWVer->setText(QStringLiteral("V") + m_firmwareText);
}

void MainWindow::hideModelWidgets()
{
    ui->pushButton_Meter->hide();
    ui->label_textSerialNumber->hide();
    ui->label_SerialNumber->hide();
    for (size_t i = 0; i < panel::kModels.size(); ++i) {
        m_modelLogos[i]->hide();
        m_modelPhotos[i]->hide();
        keepPhoto(m_modelPhotos[i], panel::kModels[i].photoResource, false);
    }
}

void MainWindow::showModelWidgets(const QString &deviceName)
{
    const panel::ModelInfo *shown = panel::findModel(deviceName);
    if (!shown)
        return;
    for (size_t i = 0; i < panel::kModels.size(); ++i) {
        const bool visible = &panel::kModels[i] == shown;
        m_modelLogos[i]->setVisible(visible);
        keepPhoto(m_modelPhotos[i], panel::kModels[i].photoResource, visible);
        m_modelPhotos[i]->setVisible(visible);
    }
    ui->pushButton_Meter->setVisible(shown->meterPage);
    ui->label_textSerialNumber->setVisible(shown->meterPage);
    ui->label_SerialNumber->setVisible(shown->meterPage);
}

// The meter page of MainWindow: meter source and peak-hold controls, the
// hold clears, the rec-function states and the meter half of the 100 ms tick.
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QPushButton>
#include <QStatusBar>
#include <QtDebug>

#include <algorithm>
#include <array>
#include <cstring>

#include "meter/metersource.h"
#include "service/settingsstore.h"
#include "meter/meterstyles.h"
#include "ui/mainwindowstyle.h"

namespace {

// Longer replies are not taken; the states shown stay as they were.
constexpr int kRecFuncReplyMax = 97;

struct PeakHoldSetting {
    int32_t holdTicks;
    int32_t holdMode;
};

// By peak-hold mode: "OFF", "1 SEC", "3 SEC" and infinite. "OFF" counts like
// "1 SEC" but with the markers hidden.
constexpr PeakHoldSetting kPeakHoldSettings[] = {{10, 0}, {10, 1}, {30, 2}, {-20, 3}};
constexpr uint8_t kPeakHoldOff = 0;
constexpr uint8_t kPeakHold1s = 1;
constexpr uint8_t kPeakHoldModes = 4;
constexpr uint8_t kMeterSources = 4;

} // namespace

void MainWindow::slt_RecvRecFunction(QByteArray rec_func)
{
    if (rec_func.isEmpty() || rec_func.size() > kRecFuncReplyMax)
        return;
    // A shorter reply leaves the states beyond it as they were.
    const int count = std::min(static_cast<int>(rec_func.size()), kRecFuncStates);
    std::memcpy(m_recFunction, rec_func.constData(), static_cast<size_t>(count));
}

void MainWindow::slt_RecvLevelMeter(zumsg_data_ch_t ch_type, uint8_t ch_no, uint32_t value)
{
    // Levels arrive through the polled snapshot of refreshLevelMeter.
    Q_UNUSED(ch_type);
    Q_UNUSED(ch_no);
    Q_UNUSED(value);
}

void MainWindow::on_pushButton_MTRSource_clicked()
{
    noteMeterSettingSaved(DataManager::setMeterSource(0));
    setUiMeterSel(0);
    changeChLabel(0);
}

void MainWindow::on_pushButton_Analog_clicked()
{
    noteMeterSettingSaved(DataManager::setMeterSource(1));
    setUiMeterSel(1);
    changeChLabel(1);
}

void MainWindow::on_pushButton_USB_clicked()
{
    noteMeterSettingSaved(DataManager::setMeterSource(2));
    setUiMeterSel(2);
    changeChLabel(2);
}

void MainWindow::on_pushButton_MTR_clicked()
{
    noteMeterSettingSaved(DataManager::setMeterSource(3));
    setUiMeterSel(3);
    changeChLabel(3);
}

void MainWindow::on_pushButton_PeakHoldOff_clicked()
{
    applyPeakHold(0);
}

void MainWindow::on_pushButton_PeakHold1s_clicked()
{
    applyPeakHold(1);
}

void MainWindow::on_pushButton_PeakHold3s_clicked()
{
    applyPeakHold(2);
}

void MainWindow::on_pushButton_PeakHoldInf_clicked()
{
    applyPeakHold(3);
}

void MainWindow::on_pushButton_HoldClear_clicked()
{
    m_drawLevelMeter.clearPeakHold(m_levelMeter);
}

void MainWindow::on_pushButton_peakText1_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 0); }
void MainWindow::on_pushButton_peakText2_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 1); }
void MainWindow::on_pushButton_peakText3_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 2); }
void MainWindow::on_pushButton_peakText4_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 3); }
void MainWindow::on_pushButton_peakText5_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 4); }
void MainWindow::on_pushButton_peakText6_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 5); }
void MainWindow::on_pushButton_peakText7_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 6); }
void MainWindow::on_pushButton_peakText8_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 7); }
void MainWindow::on_pushButton_peakText9_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 8); }
void MainWindow::on_pushButton_peakText10_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 9); }
void MainWindow::on_pushButton_peakText11_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 10); }
void MainWindow::on_pushButton_peakText12_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 11); }
void MainWindow::on_pushButton_peakText13_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 12); }
void MainWindow::on_pushButton_peakText14_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 13); }
void MainWindow::on_pushButton_peakText15_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 14); }
void MainWindow::on_pushButton_peakText16_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 15); }
void MainWindow::on_pushButton_peakText17_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 16); }
void MainWindow::on_pushButton_peakText18_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 17); }
void MainWindow::on_pushButton_peakText19_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 18); }
void MainWindow::on_pushButton_peakText20_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 19); }
void MainWindow::on_pushButton_peakText21_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 20); }
void MainWindow::on_pushButton_peakText22_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 21); }
void MainWindow::on_pushButton_peakTextL_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 22); }
void MainWindow::on_pushButton_peakTextR_clicked() { m_drawLevelMeter.clearChPeakHold(m_levelMeter, 23); }

void MainWindow::setUiMeterSel(uint8_t source)
{
    // An unknown stored source marks no button; the strips then show the
    // analogue inputs.
    if (source < kMeterSources) {
        const std::array<QPushButton *, kMeterSources> buttons{
            ui->pushButton_MTRSource, ui->pushButton_Analog, ui->pushButton_USB, ui->pushButton_MTR};
        for (uint8_t i = 0; i < kMeterSources; ++i)
            buttons[i]->setStyleSheet(QString::fromLatin1(
                i == source ? meter::kSourceSelectedStyle : meter::kSourceUnselectedStyle));
    }

    if (!m_resetMeterBuilt) {
        for (int k = 0; k < kStripCount; ++k) {
            m_resetMeter[k] = m_levelMeter[k];
            m_resetMeter[k].value = 0;
            m_resetMeter[k].holdCount = 0;
        }
        m_resetMeterBuilt = true;
    }
    // The channel bars restart from empty with the new source; held peaks and
    // main L/R are left as they are.
    m_drawLevelMeter.resetLevelMeter(m_resetMeter);
}

void MainWindow::changeChLabel(uint8_t source)
{
    const char *style = source == 0 ? panel::kRecFuncGreyStyle : panel::kRecFuncBlackStyle;
    for (int i = 0; i < meter::kChannelStrips; ++i)
        panel::restyle(m_recFuncLabels[static_cast<size_t>(i)], style);
}

void MainWindow::setUiPeakHold(uint8_t mode)
{
    if (mode < kPeakHoldModes) {
        const std::array<QPushButton *, kPeakHoldModes> buttons{
            ui->pushButton_PeakHoldOff, ui->pushButton_PeakHold1s, ui->pushButton_PeakHold3s,
            ui->pushButton_PeakHoldInf};
        for (uint8_t i = 0; i < kPeakHoldModes; ++i)
            buttons[i]->setStyleSheet(QString::fromLatin1(
                i == mode ? meter::kPeakHoldSelectedStyle : meter::kPeakHoldUnselectedStyle));
        if (mode == kPeakHold1s)
            ui->pushButton_PeakHoldOff->setStyleSheet(QString::fromLatin1(meter::kPeakHoldOffFlatStyle));
    }
    changePeakHoldVisible(mode != kPeakHoldOff);
}

void MainWindow::changePeakHoldVisible(bool show)
{
    for (levelMeter &strip : m_levelMeter)
        strip.peak->setVisible(show);
}

void MainWindow::applyPeakHold(uint8_t mode)
{
    if (mode >= kPeakHoldModes)
        return;
    noteMeterSettingSaved(DataManager::setPeakHold(mode));
    // Also shows the markers for every mode but "OFF".
    setUiPeakHold(mode);
    m_drawLevelMeter.holdTicks = kPeakHoldSettings[mode].holdTicks;
    m_drawLevelMeter.holdMode = kPeakHoldSettings[mode].holdMode;
    m_drawLevelMeter.clearPeakHold(m_levelMeter);
}

void MainWindow::noteMeterSettingSaved(bool saved)
{
    if (saved || m_unsavedSettingsShown)
        return;
    m_unsavedSettingsShown = true;
    const QString path = QDir::toNativeSeparators(SettingsStore::fileName());
    qDebug("Settings cannot be saved to %s", qUtf8Printable(path));
    statusBar()->showMessage(tr("Settings cannot be saved to %1").arg(path));
}

void MainWindow::refreshLevelMeter()
{
    levelMeter snapshot[meter::kSnapshotRecords] = {};
    const unsigned source = dm.cachedMeterSource().toUInt(nullptr, 10);
    // A reading not renewed since the last tick means the unit stopped
    // answering; the zeroed snapshot then lets the bars fall.
    if (!dm.getMeterdata(snapshot))
        dm.deselect();
    meter::copySourceLevels(snapshot, m_levelMeter, source);
    m_drawLevelMeter.notifyLevelMeterValue(m_levelMeter);
    dm.initializeParameterForDevice();
}

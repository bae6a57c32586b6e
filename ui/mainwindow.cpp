#include "ui/mainwindow.h"

#include <QCloseEvent>
#include <QDebug>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>

#include "service/datamanager.h"
#include "ui/keyboardaccess.h"
#include "ui/mainwindowstyle.h"
#include "ui/modeltable.h"
#include "ui/panelconstants.h"
#include "ui/scalerule.h"
#include "ui_mainwindow.h"
#include "update/updatecheck.h"
#include "update/updatesoftware.h"

namespace {

// Pages of stackedWidget, in the order the form adds them.
constexpr int kPageInfo = 0;
constexpr int kPageDead = 2;

uint32_t storedNumber(const QString &text)
{
    return text.toUInt(nullptr, 10);
}

} // namespace

MainWindow::MainWindow(QWidget *parent, bool updateCheckAllowed)
    : QMainWindow(parent),
      m_baseWidth(1110),
      m_baseHeight(650),
      ui(new Ui::MainWindow),
      m_drawLevelMeter(nullptr),
      m_firmwareText(QString::fromLatin1(panel::kNoDevice)),
      m_lastDeviceName(QString::fromLatin1(panel::kNoDevice))
{
    ui->setupUi(this);
    panel::reserveMenuBarHeight(*this);
    m_settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QString::fromLatin1(panel::kSettingsOrganisation),
                                             QString::fromLatin1(panel::kSettingsApplication));
    ui->stackedWidget->setCurrentIndex(kPageDead);
    ui->scrollArea->setFrameShape(QFrame::NoFrame);

    connect(&dm, &QZUDevice::sig_recv_productname, this, &MainWindow::slt_RecvDeviceName);
    connect(&dm, &QZUDevice::sig_recv_version, this, &MainWindow::slt_RecvFirmVersion);
    connect(&dm, &QZUDevice::sig_recv_build, this, &MainWindow::slt_RecvFirmBuld);
    connect(&dm, &QZUDevice::sig_recv_hz, this, &MainWindow::slt_RecvSampleRate);
    connect(&dm, &QZUDevice::sig_recv_serialnumber, this, &MainWindow::slt_RecvSerialNumber);
    connect(&dm, &QZUDevice::sig_recv_recfunc, this, &MainWindow::slt_RecvRecFunction);

    fillMeterStrips();
    collectModelWidgets();

    connect(&m_timer1000ms, SIGNAL(timeout()), this, SLOT(timerInterrupt_1000ms()));
    connect(&m_timer500ms, SIGNAL(timeout()), this, SLOT(timerInterrupt_500ms()));
    connect(&m_timer100ms, SIGNAL(timeout()), this, SLOT(timerInterrupt_100ms()));
    m_timer1000ms.start(1000);
    m_timer100ms.setTimerType(Qt::PreciseTimer);
    m_timer500ms.start(500);
    m_timer100ms.start(100);

    // The unit's buffer size is not adjustable from the panel.
    ui->horizontalSlider_BufferSize->hide();
    ui->label_BufferBg->hide();
    ui->label_BufferSize->hide();
    ui->label_textBuffersize->hide();

    dm.initializeParameterForDevice();

    // label_Device carries the current model for the rest of the window; the
    // main bus shows one rec-function label, captioned "MAIN".
    ui->label_Device->hide();
    ui->label_recfuncR->hide();

    dm.getRecFunction();
    ui->label_SWVer->setText(QStringLiteral("V") + QLatin1String(panel::kSoftwareVersionFull));
    // Starts the one manifest download of the run, unless the user or the
    // build turned it off.
    m_updateSoftware = new UpdateSoftware(nullptr, UpdateInformation::kInactivityTimeoutMs,
                                          UpdateCheck::atStart(updateCheckAllowed));
    connectFirmwareUpdate();

    applyStartupStyles();
    hideModelWidgets();
    applyStoredMeterSettings();
    panel::KeyboardAccess::apply(this);

    qDebug("MainWindow End");
}

MainWindow::~MainWindow()
{
    // Stops the update thread before anything it could still report to goes.
    delete m_updateSoftware;
    m_updateSoftware = nullptr;
    // The settings and the form go before the meter engine and the timers,
    // which the members' own order would destroy first.
    m_settings.reset();
    ui.reset();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Quitting now would cut the unit off in the middle of its new firmware.
    if (m_metersPaused) {
        event->ignore();
        showCloseRefusedNotice();
        return;
    }
    if (m_updateSoftware)
        m_updateSoftware->closeAll();
    event->accept();
}

void MainWindow::showCloseRefusedNotice()
{
    if (m_closeRefusedNotice)
        return;
    auto *notice = new QMessageBox(QMessageBox::Information, windowTitle(),
                                   tr("The firmware update is still running. The panel can be closed "
                                      "when it has finished."),
                                   QMessageBox::Ok, this);
    notice->setObjectName(QStringLiteral("closeRefusedNotice"));
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->setWindowModality(Qt::WindowModal);
    m_closeRefusedNotice = notice;
    notice->open();
}

void MainWindow::timerInterrupt_1000ms()
{
    // The update checks run with or without a unit.
    if (m_updateSoftware) {
        m_updateSoftware->checkFirmwareInformation(ui->label_Device->text(), m_firmwareText);
        // No second download while one runs.
        if (m_updateSoftware->downloadRunning())
            ui->actionUpdate->setEnabled(false);
        else if (m_updateSoftware->querySoftUpdate())
            ui->actionUpdate->setEnabled(true);
    }
    if (!dm.queryExistDevice()) {
        hideModelWidgets();
        return;
    }
    showModelWidgets(ui->label_Device->text());
    // Every product-name reply is applied again, so a unit of another model
    // replaces the name as soon as it answers.
    m_lastDeviceName = QString::fromLatin1(panel::kNoDevice);
    dm.getFirmVersion();
    dm.getSampleRate();
    dm.getSerialNumber();
    dm.getRecFunction();
}

void MainWindow::timerInterrupt_500ms()
{
    const bool channelsShowOtherSource = storedNumber(dm.cachedMeterSource()) != 0;
    for (int i = 0; i < 22; ++i) {
        if (channelsShowOtherSource)
            panel::restyle(m_recFuncLabels[i], panel::kRecFuncBlackStyle);
        else
            colourRecFunction(m_recFuncLabels[i], m_recFunction[i]);
    }
    colourRecFunction(ui->label_recfuncL, m_recFunction[22]);
    colourRecFunction(ui->label_recfuncR, m_recFunction[22]);
    m_blinkPhase = !m_blinkPhase;
}

void MainWindow::timerInterrupt_100ms()
{
    if (dm.queryExistDevice()) {
        if (!m_connected) {
            m_connected = true;
            ui->stackedWidget->setCurrentIndex(kPageInfo);
        }
        // The model last identified, not the name label: a failed exchange
        // blanks the label until the unit answers again, and meanwhile the
        // meters must go on showing what is (or is not) measured.
        if (m_lastDeviceName == QLatin1String(panel::kMeterModelName) && !m_metersPaused)
            refreshLevelMeter();
    } else if (m_connected) {
        m_connected = false;
        m_lastDeviceName = QString::fromLatin1(panel::kNoDevice);
        ui->stackedWidget->setCurrentIndex(kPageDead);
    }
}

void MainWindow::fillMeterStrips()
{
    QLabel *const meters[kStripCount] = {
        ui->label_meter1, ui->label_meter2, ui->label_meter3, ui->label_meter4, ui->label_meter5,
        ui->label_meter6, ui->label_meter7, ui->label_meter8, ui->label_meter9, ui->label_meter10,
        ui->label_meter11, ui->label_meter12, ui->label_meter13, ui->label_meter14, ui->label_meter15,
        ui->label_meter16, ui->label_meter17, ui->label_meter18, ui->label_meter19, ui->label_meter20,
        ui->label_meter21, ui->label_meter22, ui->label_meter_mainL, ui->label_meter_mainR};
    QLabel *const peaks[kStripCount] = {
        ui->label_peak1, ui->label_peak2, ui->label_peak3, ui->label_peak4, ui->label_peak5,
        ui->label_peak6, ui->label_peak7, ui->label_peak8, ui->label_peak9, ui->label_peak10,
        ui->label_peak11, ui->label_peak12, ui->label_peak13, ui->label_peak14, ui->label_peak15,
        ui->label_peak16, ui->label_peak17, ui->label_peak18, ui->label_peak19, ui->label_peak20,
        ui->label_peak21, ui->label_peak22, ui->label_peakL, ui->label_peakR};
    QPushButton *const peakTexts[kStripCount] = {
        ui->pushButton_peakText1, ui->pushButton_peakText2, ui->pushButton_peakText3,
        ui->pushButton_peakText4, ui->pushButton_peakText5, ui->pushButton_peakText6,
        ui->pushButton_peakText7, ui->pushButton_peakText8, ui->pushButton_peakText9,
        ui->pushButton_peakText10, ui->pushButton_peakText11, ui->pushButton_peakText12,
        ui->pushButton_peakText13, ui->pushButton_peakText14, ui->pushButton_peakText15,
        ui->pushButton_peakText16, ui->pushButton_peakText17, ui->pushButton_peakText18,
        ui->pushButton_peakText19, ui->pushButton_peakText20, ui->pushButton_peakText21,
        ui->pushButton_peakText22, ui->pushButton_peakTextL, ui->pushButton_peakTextR};
    QLabel *const peakInds[kStripCount] = {
        ui->label_PeakInd1, ui->label_PeakInd2, ui->label_PeakInd3, ui->label_PeakInd4,
        ui->label_PeakInd5, ui->label_PeakInd6, ui->label_PeakInd7, ui->label_PeakInd8,
        ui->label_PeakInd9, ui->label_PeakInd10, ui->label_PeakInd11, ui->label_PeakInd12,
        ui->label_PeakInd13, ui->label_PeakInd14, ui->label_PeakInd15, ui->label_PeakInd16,
        ui->label_PeakInd17, ui->label_PeakInd18, ui->label_PeakInd19, ui->label_PeakInd20,
        ui->label_PeakInd21, ui->label_PeakInd22, ui->label_PeakIndL, ui->label_PeakIndR};
    for (int k = 0; k < kStripCount; ++k) {
        m_levelMeter[k].meter = meters[k];
        m_levelMeter[k].peak = peaks[k];
        m_levelMeter[k].peakText = peakTexts[k];
        m_levelMeter[k].peakInd = peakInds[k];
        m_levelMeter[k].value = 0;
        m_levelMeter[k].holdCount = 0;
    }

    m_recFuncLabels = {
        ui->label_recfunc1, ui->label_recfunc2, ui->label_recfunc3, ui->label_recfunc4,
        ui->label_recfunc5, ui->label_recfunc6, ui->label_recfunc7, ui->label_recfunc8,
        ui->label_recfunc9, ui->label_recfunc10, ui->label_recfunc11, ui->label_recfunc12,
        ui->label_recfunc13, ui->label_recfunc14, ui->label_recfunc15, ui->label_recfunc16,
        ui->label_recfunc17, ui->label_recfunc18, ui->label_recfunc19, ui->label_recfunc20,
        ui->label_recfunc21, ui->label_recfunc22, ui->label_recfuncL, ui->label_recfuncR};
}

void MainWindow::collectModelWidgets()
{
    for (size_t i = 0; i < panel::kModels.size(); ++i) {
        m_modelLogos[i] = findChild<QLabel *>(QLatin1String(panel::kModels[i].logoLabel));
        m_modelPhotos[i] = findChild<QLabel *>(QLatin1String(panel::kModels[i].photoLabel));
    }
}

void MainWindow::applyStartupStyles()
{
    ui->horizontalSlider_BufferSize->setStyleSheet(QLatin1String(panel::kBufferSliderStyle));
    ui->pushButton_HoldClear->setStyleSheet(QLatin1String(panel::kHoldClearStyle));

    const QFont header = panel::headerFont();
    ui->pushButton_HoldClear->setFont(header);
    ui->pushButton_Information->setFont(header);
    ui->label_btnMeter->setFont(header);
    ui->pushButton_Meter->setFont(header);
    ui->label_btnInfo->setFont(header);

    const QFont recFunc = panel::recFuncFont();
    for (QLabel *label : m_recFuncLabels)
        label->setFont(recFunc);
}

void MainWindow::applyStoredMeterSettings()
{
    setUiMeterSel(static_cast<uint8_t>(storedNumber(dm.cachedMeterSource()) & 0xFF));

    // A mode the panel does not know leaves the engine's own hold settings.
    const uint32_t mode = storedNumber(dm.cachedPeakHold());
    if (mode <= 3)
        applyPeakHold(static_cast<uint8_t>(mode));
}

void MainWindow::colourRecFunction(QLabel *label, uint8_t state) const
{
    const bool lit = state == 1 || (state == 2 && m_blinkPhase);
    panel::restyle(label, lit ? panel::kRecFuncRedStyle : panel::kRecFuncGreyStyle);
}

void MainWindow::on_actionUpdate_triggered()
{
    ui->actionUpdate->setEnabled(false);
    if (m_updateSoftware && m_updateSoftware->downloadRunning())
        return;
    DataManager::setDoNotUpdateSoftDialog(QString());
    DataManager::setDoNotUpdateFirmDialog(QString());
    if (m_updateSoftware)
        m_updateSoftware->checkSoftwareUpdate();
}

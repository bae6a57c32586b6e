// The panel's one window: the form, the three polling timers, the device
// information page and the meter page. The meter page's members are defined
// in meter/meterpage.cpp; everything else in ui/.
#pragma once

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>

#include "meter/drawlevelmeter.h"
#include "service/datamanager.h"
#include "zutest/zumsg.h"

class QCloseEvent;
class QResizeEvent;
class QLabel;
class QMessageBox;
class QSettings;
class UpdateSoftware;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kStripCount = 24;      // channels 1 to 22, main L, main R
    static constexpr int kRecFuncStates = 32;   // bytes kept of a rec-function reply

    // updateCheckAllowed: false with the panel's --no-update-check; the
    // build option and the settings may turn the check off as well.
    explicit MainWindow(QWidget *parent = nullptr, bool updateCheckAllowed = true);
    ~MainWindow() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    // Scales every page to the new size (ui/windowscaling.cpp).
    void resizeEvent(QResizeEvent *event) override;

public slots:
    // Polling: the only places that ask the unit for anything.
    void timerInterrupt_1000ms();
    void timerInterrupt_500ms();
    void timerInterrupt_100ms();

    // Device values (information page).
    void slt_RecvDeviceName(QString sText);
    void slt_RecvFirmVersion(unsigned short version);
    void slt_RecvFirmBuld(unsigned short build);
    void slt_RecvSampleRate(unsigned int hz);
    void slt_RecvSerialNumber(QString serial);

    // Device values (meter page).
    void slt_RecvRecFunction(QByteArray rec_func);
    void slt_RecvLevelMeter(zumsg_data_ch_t ch_type, uint8_t ch_no, uint32_t value);

private slots:
    // Help menu: the manual update check.
    void on_actionUpdate_triggered();

    // Information page.
    void on_pushButton_Meter_clicked();
    void on_horizontalSlider_BufferSize_sliderMoved(int position);

    // Meter page.
    void on_pushButton_Information_clicked();
    void on_pushButton_MTRSource_clicked();
    void on_pushButton_Analog_clicked();
    void on_pushButton_USB_clicked();
    void on_pushButton_MTR_clicked();
    void on_pushButton_PeakHoldOff_clicked();
    void on_pushButton_PeakHold1s_clicked();
    void on_pushButton_PeakHold3s_clicked();
    void on_pushButton_PeakHoldInf_clicked();
    void on_pushButton_HoldClear_clicked();
    void on_pushButton_peakText1_clicked();
    void on_pushButton_peakText2_clicked();
    void on_pushButton_peakText3_clicked();
    void on_pushButton_peakText4_clicked();
    void on_pushButton_peakText5_clicked();
    void on_pushButton_peakText6_clicked();
    void on_pushButton_peakText7_clicked();
    void on_pushButton_peakText8_clicked();
    void on_pushButton_peakText9_clicked();
    void on_pushButton_peakText10_clicked();
    void on_pushButton_peakText11_clicked();
    void on_pushButton_peakText12_clicked();
    void on_pushButton_peakText13_clicked();
    void on_pushButton_peakText14_clicked();
    void on_pushButton_peakText15_clicked();
    void on_pushButton_peakText16_clicked();
    void on_pushButton_peakText17_clicked();
    void on_pushButton_peakText18_clicked();
    void on_pushButton_peakText19_clicked();
    void on_pushButton_peakText20_clicked();
    void on_pushButton_peakText21_clicked();
    void on_pushButton_peakText22_clicked();
    void on_pushButton_peakTextL_clicked();
    void on_pushButton_peakTextR_clicked();

    // Help menu (ui/helpmenu.cpp).
    void on_actionProduct_Information_triggered();
    void on_actionFAQ_triggered();
    void on_actionKORVEN_ID_triggered();
    void on_actionManual_triggered();
    void on_actionLicense_triggered();
    void on_actionKORVEN_StrataMixer_triggered();

    // Window menu (ui/windowscaling.cpp).
    void on_actionDefaultSize_triggered();
    void on_actionMaximum_triggered();
    void on_actionMinimum_triggered();

private:
    // Meter page (meter/meterpage.cpp).
    void setUiMeterSel(uint8_t source);
    void changeChLabel(uint8_t source);
    void setUiPeakHold(uint8_t mode);
    void changePeakHoldVisible(bool show);
    // What a click on a peak-hold button does; start-up applies the stored
    // mode through it as well.
    void applyPeakHold(uint8_t mode);
    // The meter half of the 100 ms tick.
    void refreshLevelMeter();
    // A meter choice that could not be saved is said once, in the log and
    // in the window's status line.
    void noteMeterSettingSaved(bool saved);

    // Information page and connection handling (ui/).
    void fillMeterStrips();
    void collectModelWidgets();
    void applyStartupStyles();
    void applyStoredMeterSettings();
    void hideModelWidgets();
    void showModelWidgets(const QString &deviceName);
    void updateFirmwareText();
    void colourRecFunction(QLabel *label, uint8_t state) const;
    // The panel's own firmware update on Linux (ui/firmwareupdatewiring.cpp).
    void connectFirmwareUpdate();
    void showCloseRefusedNotice();

    // Layout of the two pages at the window's scale (ui/infopagescaling.cpp,
    // ui/meterpagescaling.cpp).
    void resizeInfoWindow(float s, float sx, float sy);
    void resizeMeterWindow(float s, float sx, float sy);

    uint16_t m_baseWidth;
    uint16_t m_baseHeight;
    // The area below the menu bar the pages were last scaled to.
    QSize m_contentSize{1110, 650};
    std::unique_ptr<Ui::MainWindow> ui;
    std::unique_ptr<QSettings> m_settings;
    // Owned; created at the end of the constructor.
    UpdateSoftware *m_updateSoftware = nullptr;
    QTimer m_timer1000ms;
    QTimer m_timer500ms;
    QTimer m_timer100ms;
    DrawLevelMeter m_drawLevelMeter;
    levelMeter m_levelMeter[kStripCount] = {};
    std::array<QLabel *, kStripCount> m_recFuncLabels{};

    // State of the information page and the connection.
    QString m_firmwareText;
    QString m_lastDeviceName;
    uint16_t m_firmVersion = 0;
    uint16_t m_firmBuild = 0;
    bool m_connected = false;
    // While the worker transfers firmware no meter reading can come, and the
    // window does not close.
    bool m_metersPaused = false;
    QPointer<QMessageBox> m_closeRefusedNotice;
    // Logo and photo of each row of the model table, in its order.
    std::array<QLabel *, 4> m_modelLogos{};
    std::array<QLabel *, 4> m_modelPhotos{};

    // State of the meter page.
    bool m_blinkPhase = false;
    uint8_t m_recFunction[kRecFuncStates] = {};
    // Zero-level copy of the display array, built on the first source change
    // and only ever handed to resetLevelMeter.
    levelMeter m_resetMeter[kStripCount] = {};
    bool m_resetMeterBuilt = false;
    bool m_unsavedSettingsShown = false;
};

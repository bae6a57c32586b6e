// The facade through which the window and the update service reach the unit
// and the stored settings. It adds no state to the request engine but a cache
// of the settings file: it turns the window's vocabulary into requests and
// setting slots, sorts meter readings into the levelMeter snapshot, logs every
// setting it passes on, and keeps the program's small settings store (INI,
// user scope, written at once).
#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>

#include "levelmeter.h"
#include "qzudevice.h"
#include "settingsstore.h"

class DataManager : public QZUDevice
{
    Q_OBJECT

public:
    DataManager();
    ~DataManager() override;

    // Device facade: everything returns at once; answers come as signals.
    bool queryExistDevice();
    bool deselect();
    void initializeParameterForDevice();
    void getSampleRate();
    void getFirmVersion();
    void getSerialNumber();
    void getRecFunction();
    void getAutoPowerSave();
    void getDirectMonitor();
    void getAudioInput();
    void getInputVolume();
    void getAssignCh();
    bool getMeterdata(levelMeter *snapshot);
    QString getSoftwareVersion();

    // Settings of the unit, each logged before it is handed on.
    void setAutoPowerSave(bool on);
    void setDirectMonitor(uint8_t pair, uint8_t stereo);
    bool setAudioInput(uint8_t ch, bool on);
    bool setInputVolume(uint8_t value);
    bool setAssignCh(uint8_t index, uint8_t lineOut);
    bool setLoopback(bool on);
    bool setLoopbackVolume(uint8_t value);
    void setLoopbackOut(uint8_t stereo);
    void setLoopbackIn(uint8_t stereo);

    // The settings store. Each call opens and closes it, so every change is
    // on disk when the call returns; a write returns false when the value
    // could not be saved.
    static bool saveSetting(const QString &group, const QString &key, const QVariant &value);
    static QString loadSettingString(const QString &group, const QString &key);
    static bool setDoNotUpdateSoftDialog(const QString &version);
    static bool setDoNotUpdateFirmDialog(const QString &version);
    static bool setDoNotUpdateInfoDialog(const QString &text);
    static bool setMeterSource(uint8_t source);
    static bool setPeakHold(uint8_t type);
    static QString getDoNotUpdateSoftDialog();
    static QString getDoNotUpdateFirmDialog();
    static QString getDoNotUpdateInfoDialog();
    static QString getJsonUrl();
    static QString getMeterSource();
    static QString getPeakHold();

    // The two values the window reads on every refresh, from a cache that
    // reads the file at the first call and again only when it changes.
    QString cachedMeterSource();
    QString cachedPeakHold();

private:
    SettingsStore settingsCache;
};

// The program's one data manager, built before main and destroyed after it.
// It lives in its own translation unit: only programs that use it start it.
extern DataManager dm;

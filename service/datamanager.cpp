#include "datamanager.h"

#include "settingsstore.h"

#include <QtDebug>

#include <cstring>

namespace {

const char kSoftwareVersion[] = "2.00";

// Kinds without a name in the codec's table.
constexpr zumsg_data_ch_t kChLoopback = static_cast<zumsg_data_ch_t>(9);

// The unit's level scale ends here; a larger reading is not a level.
constexpr uint16_t kMaxLevel = 32768;

const char *onOff(bool on)
{
    return on ? "TRUE" : "FALSE";
}

const char *stereoMono(uint8_t stereo)
{
    return stereo ? "STEREO" : "MONO";
}

zumsg_data_ch_type_t channelType(uint8_t stereo)
{
    return stereo ? ZUMSG_DATA_CH_TYPE_STEREO : ZUMSG_DATA_CH_TYPE_MONO;
}

// Snapshot record of channel 1 of a kind, less one; -2 for kinds that have no
// records in the snapshot.
int snapshotBase(uint32_t ch_type)
{
    switch (ch_type) {
    case ZUMSG_DATA_CH_MASTER_OUT: return 89;
    case ZUMSG_DATA_CH_COMPUTER_OUT: return 45;
    case ZUMSG_DATA_CH_ANALOG_IN: return -1;
    case 6: return 67;
    case 7: return 21;
    case 8: return 95;
    default: return -2;
    }
}

struct AssignSource {
    zumsg_data_ch_t ch_type;
    uint8_t ch_no;
};

// Stereo source pairs a line output pair can take, by the window's index.
constexpr AssignSource kAssignSources[3] = {
    {ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1},
    {ZUMSG_DATA_CH_COMPUTER_OUT, 1},
    {ZUMSG_DATA_CH_COMPUTER_OUT, 3},
};

} // namespace

DataManager::DataManager() = default;

DataManager::~DataManager() = default;

bool DataManager::queryExistDevice()
{
    return is_selected();
}

bool DataManager::deselect()
{
    return QZUDevice::deselect();
}

void DataManager::initializeParameterForDevice()
{
    initializeParameter();
}

void DataManager::getSampleRate()
{
    request_hz();
}

void DataManager::getFirmVersion()
{
    request_version();
}

void DataManager::getSerialNumber()
{
    request_serialnumber();
}

void DataManager::getRecFunction()
{
    request_recfunc();
}

void DataManager::getAutoPowerSave()
{
    request_autopowersave();
}

void DataManager::getDirectMonitor()
{
    request_stereo();
}

void DataManager::getAudioInput()
{
    request_mute();
}

void DataManager::getInputVolume()
{
    request_fader();
}

void DataManager::getAssignCh()
{
    request_assign();
}

bool DataManager::getMeterdata(levelMeter *snapshot)
{
    zuctl_meter_info_t buffer[kMeterCount];
    std::memset(buffer, 0, sizeof buffer);
    uint8_t num = 0;
    if (!request_meter(buffer, kMeterCount, &num) || num > kMeterCount)
        return false;

    // Every entry is sorted in, whatever num says: a template entry writes 0.
    for (const zuctl_meter_info_t &entry : buffer) {
        const uint16_t level = entry.value > kMaxLevel ? 0 : entry.value;
        const int base = snapshotBase(entry.ch_type);
        if (base == -2)
            continue;
        const int record = base + entry.ch_no;
        if (record < 0 || record >= kMeterCount)
            continue;
        if (snapshot)
            snapshot[record].value = level;
    }
    return true;
}

QString DataManager::getSoftwareVersion()
{
    return QString::fromLatin1(kSoftwareVersion);
}

void DataManager::setAutoPowerSave(bool on)
{
    qDebug("Auto Power Save:%s", onOff(on));
    set_autopowersave(on);
}

void DataManager::setDirectMonitor(uint8_t pair, uint8_t stereo)
{
    qDebug("Direct Monitor %s:%s", pair == 1 ? "1-2" : "3_4", stereoMono(stereo));
    set_stereo(ZUMSG_DATA_CH_DIRECTMONITOR_OUT, pair, channelType(stereo));
}

bool DataManager::setAudioInput(uint8_t ch, bool on)
{
    qDebug("Audio Input%d:%s", ch, onOff(on));
    return set_mute(ZUMSG_DATA_CH_ANALOG_IN, ch, !on);
}

bool DataManager::setInputVolume(uint8_t value)
{
    qDebug("Input Volume:%d", value);
    return set_fader(ZUMSG_DATA_CH_DIRECTMONITOR_OUT, 1, value);
}

bool DataManager::setAssignCh(uint8_t index, uint8_t lineOut)
{
    qDebug("Assign LineOut:%s  Index:%d", lineOut == 0 ? "1-2" : "3-4", index);
    if (index > 2 || lineOut > 1)
        return false;
    const AssignSource &source = kAssignSources[index];
    set_assign_ch(source.ch_type, source.ch_no, ZUMSG_DATA_CH_LINE_OUT,
                  static_cast<uint8_t>(2 * lineOut + 1));
    return set_assign_ch(source.ch_type, static_cast<uint8_t>(source.ch_no + 1),
                         ZUMSG_DATA_CH_LINE_OUT, static_cast<uint8_t>(2 * lineOut + 2));
}

bool DataManager::setLoopback(bool on)
{
    qDebug("Loopback:%s", onOff(on));
    return set_fader(kChLoopback, 0, on ? 1 : 0);
}

bool DataManager::setLoopbackVolume(uint8_t value)
{
    qDebug("Loopback Volume:%d", value);
    return set_fader(kChLoopback, 1, value);
}

void DataManager::setLoopbackOut(uint8_t stereo)
{
    qDebug("Loopback Out :%s", stereoMono(stereo));
    set_stereo(ZUMSG_DATA_CH_COMPUTER_OUT, 1, channelType(stereo));
}

void DataManager::setLoopbackIn(uint8_t stereo)
{
    qDebug("Loopback In :%s", stereoMono(stereo));
    set_stereo(ZUMSG_DATA_CH_ANALOG_IN, 1, channelType(stereo));
}

bool DataManager::saveSetting(const QString &group, const QString &key, const QVariant &value)
{
    return SettingsStore::write(group, key, value);
}

QString DataManager::loadSettingString(const QString &group, const QString &key)
{
    return SettingsStore::read(group, key);
}

bool DataManager::setDoNotUpdateSoftDialog(const QString &version)
{
    return saveSetting(QStringLiteral("Update"), QStringLiteral("SoftDialog"), version);
}

bool DataManager::setDoNotUpdateFirmDialog(const QString &version)
{
    return saveSetting(QStringLiteral("Update"), QStringLiteral("FirmDialog"), version);
}

bool DataManager::setDoNotUpdateInfoDialog(const QString &text)
{
    return saveSetting(QStringLiteral("Update"), QStringLiteral("InfoDialog"), text);
}

bool DataManager::setMeterSource(uint8_t source)
{
    qDebug("MeterSource:%d", source);
    return saveSetting(QStringLiteral("Meter"), QStringLiteral("Source"), static_cast<int>(source));
}

bool DataManager::setPeakHold(uint8_t type)
{
    qDebug("PeakHoldType:%d", type);
    return saveSetting(QStringLiteral("PeakHold"), QStringLiteral("Type"), static_cast<int>(type));
}

QString DataManager::getDoNotUpdateSoftDialog()
{
    return loadSettingString(QStringLiteral("Update"), QStringLiteral("SoftDialog"));
}

QString DataManager::getDoNotUpdateFirmDialog()
{
    return loadSettingString(QStringLiteral("Update"), QStringLiteral("FirmDialog"));
}

QString DataManager::getDoNotUpdateInfoDialog()
{
    return loadSettingString(QStringLiteral("Update"), QStringLiteral("InfoDialog"));
}

QString DataManager::getJsonUrl()
{
    return loadSettingString(QStringLiteral("Update"), QStringLiteral("JsonUrl"));
}

QString DataManager::getMeterSource()
{
    return loadSettingString(QStringLiteral("Meter"), QStringLiteral("Source"));
}

QString DataManager::getPeakHold()
{
    return loadSettingString(QStringLiteral("PeakHold"), QStringLiteral("Type"));
}

QString DataManager::cachedMeterSource()
{
    return settingsCache.cached(QStringLiteral("Meter"), QStringLiteral("Source"));
}

QString DataManager::cachedPeakHold()
{
    return settingsCache.cached(QStringLiteral("PeakHold"), QStringLiteral("Type"));
}

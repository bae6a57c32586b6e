// get and set: one setting of the unit, read or changed.
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include "tools/channelparse.h"
#include "tools/directcommands.h"
#include "tools/directlink.h"
#include "tools/outputwrite.h"

namespace {

enum class Setting { AutoPowerSave, SampleRate, Fader, Mute, Stereo };

struct SettingRequest {
    Setting setting = Setting::AutoPowerSave;
    bool write = false;
    Channel channel{ZUMSG_DATA_CH_ANALOG_IN, 1};
    uint32_t value = 0; // on/off, Hz, fader level or channel type
};

bool settingFromName(const QString &name, Setting *setting)
{
    static const struct {
        const char *name;
        Setting setting;
    } names[] = {
        {"autopowersave", Setting::AutoPowerSave}, {"samplerate", Setting::SampleRate},
        {"fader", Setting::Fader},                 {"mute", Setting::Mute},
        {"stereo", Setting::Stereo},
    };
    for (const auto &n : names) {
        if (name.toLower() == QLatin1String(n.name)) {
            *setting = n.setting;
            return true;
        }
    }
    return false;
}

bool parseValue(Setting setting, const QString &text, uint32_t *value, QString *error)
{
    switch (setting) {
    case Setting::AutoPowerSave:
    case Setting::Mute: {
        bool on = false;
        if (!parseOnOff(text, &on, error))
            return false;
        *value = on;
        return true;
    }
    case Setting::SampleRate:
        return parseSampleRate(text, value, error);
    case Setting::Fader: {
        uint8_t level = 0;
        if (!parseFaderLevel(text, &level, error))
            return false;
        *value = level;
        return true;
    }
    case Setting::Stereo: {
        zumsg_data_ch_type_t type = ZUMSG_DATA_CH_TYPE_MONO;
        if (!parseStereo(text, &type, error))
            return false;
        *value = type;
        return true;
    }
    }
    return false;
}

// Checked before any unit is touched: a wrong word is a usage error whatever
// is connected.
QString parseRequest(const Invocation &inv, SettingRequest *req)
{
    req->write = inv.command == QLatin1String("set");
    const QString usage = QStringLiteral(" (see stratactl %1 --help)").arg(inv.command);
    if (inv.args.isEmpty())
        return QStringLiteral("missing setting%1").arg(usage);
    if (!settingFromName(inv.args.first(), &req->setting))
        return QStringLiteral("unknown setting '%1': settings are autopowersave, samplerate, fader, mute, stereo")
            .arg(inv.args.first());
    const bool perChannel = req->setting == Setting::Fader || req->setting == Setting::Mute
        || req->setting == Setting::Stereo;
    const int expected = 1 + (perChannel ? 1 : 0) + (req->write ? 1 : 0);
    if (inv.args.size() < expected)
        return QStringLiteral("missing %1%2")
            .arg(QLatin1String(perChannel && inv.args.size() == 1 ? "channel" : "value"), usage);
    if (inv.args.size() > expected)
        return QStringLiteral("unexpected argument '%1'%2").arg(inv.args.at(expected), usage);
    QString error;
    if (perChannel && !parseChannel(inv.args.at(1), &req->channel, &error))
        return error;
    if (req->write && !parseValue(req->setting, inv.args.last(), &req->value, &error))
        return error;
    return QString();
}

QString onOff(uint32_t on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString channelTypeText(uint32_t type)
{
    if (type == ZUMSG_DATA_CH_TYPE_STEREO)
        return QStringLiteral("stereo");
    if (type == ZUMSG_DATA_CH_TYPE_MONO)
        return QStringLiteral("mono");
    return QStringLiteral("type %1").arg(type);
}

// Reads the setting as text and as its JSON value; false when the unit did
// not answer.
bool readSetting(zuctl_t *ctl, const SettingRequest &req, QString *text, QJsonValue *json)
{
    const Channel &ch = req.channel;
    uint8_t byte = 0;
    uint32_t word = 0;
    switch (req.setting) {
    case Setting::AutoPowerSave:
        if (zuctl_get_autopowersave(ctl, &byte) != 0)
            return false;
        *text = onOff(byte);
        *json = byte != 0;
        return true;
    case Setting::SampleRate:
        if (zuctl_debug_get_hz(ctl, &word) != 0)
            return false;
        *text = QString::number(word);
        *json = double(word);
        return true;
    case Setting::Fader:
        if (zuctl_get_fader(ctl, ch.kind, ch.number, &byte) != 0)
            return false;
        *text = QString::number(byte);
        *json = int(byte);
        return true;
    case Setting::Mute:
        if (zuctl_get_mute(ctl, ch.kind, ch.number, &byte) != 0)
            return false;
        *text = onOff(byte);
        *json = byte != 0;
        return true;
    case Setting::Stereo:
        if (zuctl_get_stereo(ctl, ch.kind, ch.number, &word) != 0)
            return false;
        *text = channelTypeText(word);
        *json = *text;
        return true;
    }
    return false;
}

// {"setting":"fader","channel":"analog:5","value":200} on one line; the
// channel is null for the settings of the whole unit.
QByteArray settingJson(const Invocation &inv, const SettingRequest &req, const QJsonValue &value)
{
    QJsonObject object;
    object.insert(QStringLiteral("setting"), inv.args.first().toLower());
    const bool perChannel = req.setting == Setting::Fader || req.setting == Setting::Mute
        || req.setting == Setting::Stereo;
    object.insert(QStringLiteral("channel"),
                  perChannel ? QJsonValue(QStringLiteral("%1:%2").arg(channelKindName(req.channel.kind))
                                              .arg(req.channel.number))
                             : QJsonValue(QJsonValue::Null));
    object.insert(QStringLiteral("value"), value);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

bool writeSetting(zuctl_t *ctl, const SettingRequest &req)
{
    const Channel &ch = req.channel;
    switch (req.setting) {
    case Setting::AutoPowerSave:
        return zuctl_set_autopowersave(ctl, uint8_t(req.value)) == 0;
    case Setting::SampleRate:
        return zuctl_debug_set_hz(ctl, req.value) == 0;
    case Setting::Fader:
        return zuctl_set_fader(ctl, ch.kind, ch.number, uint8_t(req.value)) == 0;
    case Setting::Mute:
        return zuctl_set_mute(ctl, ch.kind, ch.number, uint8_t(req.value)) == 0;
    case Setting::Stereo:
        return zuctl_set_stereo(ctl, ch.kind, ch.number, zumsg_data_ch_type_t(req.value)) == 0;
    }
    return false;
}

} // namespace

namespace direct {

Outcome runSetting(const Invocation &inv, DirectLink &link, std::FILE *out)
{
    SettingRequest req;
    const QString wrong = parseRequest(inv, &req);
    if (!wrong.isEmpty())
        return Outcome::usage(wrong);
    zuctl_t ctl{nullptr};
    Outcome picked = selectUnit(link, inv.unit, &ctl);
    if (picked.status != kExitOk)
        return picked;

    if (req.write) {
        if (!writeSetting(&ctl, req))
            return Outcome::failed(failureLine(ctl, QStringLiteral("unit did not take the setting")));
        return Outcome::ok();
    }
    QString text;
    QJsonValue value;
    const WaitStart asked;
    if (!readSetting(&ctl, req, &text, &value))
        return Outcome::failed(failureLine(ctl, QStringLiteral("unit did not answer within %1 s").arg(asked.seconds())));
    if (!write(out, inv.json ? settingJson(inv, req, value) : text.toUtf8() + '\n'))
        return Outcome::failed(outputFailedLine());
    return Outcome::ok();
}

} // namespace direct

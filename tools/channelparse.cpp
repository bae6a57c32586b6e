#include "tools/channelparse.h"

namespace {

struct KindInfo {
    zumsg_data_ch_t kind;
    const char *name;
    const char *alias;
    int last; // channels are 1 to last
};

// Channel counts as the Strata 96 has them; the smaller models take the same
// addresses and ignore what they lack.
const KindInfo kKinds[] = {
    {ZUMSG_DATA_CH_LINE_OUT, "line", "lineout", 4},
    {ZUMSG_DATA_CH_MASTER_OUT, "master", "main", 6},
    {ZUMSG_DATA_CH_COMPUTER_OUT, "computer", "usb", 22},
    {ZUMSG_DATA_CH_ANALOG_IN, "analog", "input", 22},
    {ZUMSG_DATA_CH_DIRECTMONITOR_OUT, "direct", "directmonitor", 4},
};

const KindInfo *findKind(const QString &word)
{
    const QString w = word.toLower();
    bool isNumber = false;
    const uint number = w.toUInt(&isNumber);
    for (const KindInfo &k : kKinds) {
        if ((isNumber && number == k.kind) || w == QLatin1String(k.name) || w == QLatin1String(k.alias)
            || w == QString::fromLatin1(get_text_from_ch(k.kind)).toLower())
            return &k;
    }
    return nullptr;
}

bool parseWhole(const QString &text, uint32_t *value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    *value = text.toUInt();
    return true;
}

} // namespace

QString channelKindName(uint32_t kind)
{
    for (const KindInfo &k : kKinds) {
        if (k.kind == kind)
            return QLatin1String(k.name);
    }
    return QStringLiteral("kind%1").arg(kind);
}

bool channelKindNamed(uint32_t kind)
{
    for (const KindInfo &k : kKinds) {
        if (k.kind == kind)
            return true;
    }
    return false;
}

bool parseChannel(const QString &text, Channel *channel, QString *error)
{
    const int colon = text.indexOf(QLatin1Char(':'));
    const KindInfo *kind = &kKinds[3];
    QString numberText = text;
    if (colon >= 0) {
        kind = findKind(text.left(colon));
        if (!kind) {
            *error = QStringLiteral("invalid channel kind '%1': kinds are line, master, computer, analog, direct")
                         .arg(text.left(colon));
            return false;
        }
        numberText = text.mid(colon + 1);
    }
    uint32_t number = 0;
    if (!parseWhole(numberText, &number)) {
        *error = QStringLiteral("invalid channel '%1': channels are 1 to %2").arg(text).arg(kind->last);
        return false;
    }
    if (number < 1 || number > uint32_t(kind->last)) {
        *error = QStringLiteral("invalid channel %1: channels are 1 to %2").arg(number).arg(kind->last);
        return false;
    }
    channel->kind = kind->kind;
    channel->number = uint8_t(number);
    return true;
}

bool parseOnOff(const QString &text, bool *on, QString *error)
{
    const QString w = text.toLower();
    if (w == QLatin1String("on") || w == QLatin1String("1") || w == QLatin1String("true")) {
        *on = true;
        return true;
    }
    if (w == QLatin1String("off") || w == QLatin1String("0") || w == QLatin1String("false")) {
        *on = false;
        return true;
    }
    *error = QStringLiteral("invalid value '%1': use on or off").arg(text);
    return false;
}

bool parseStereo(const QString &text, zumsg_data_ch_type_t *type, QString *error)
{
    const QString w = text.toLower();
    if (w == QLatin1String("stereo")) {
        *type = ZUMSG_DATA_CH_TYPE_STEREO;
        return true;
    }
    if (w == QLatin1String("mono")) {
        *type = ZUMSG_DATA_CH_TYPE_MONO;
        return true;
    }
    *error = QStringLiteral("invalid value '%1': use stereo or mono").arg(text);
    return false;
}

bool parseFaderLevel(const QString &text, uint8_t *level, QString *error)
{
    uint32_t value = 0;
    if (!parseWhole(text, &value) || value > 255) {
        *error = QStringLiteral("invalid fader level %1: levels are 0 to 255").arg(text);
        return false;
    }
    *level = uint8_t(value);
    return true;
}

bool parseSampleRate(const QString &text, uint32_t *hz, QString *error)
{
    static const uint32_t rates[] = {44100, 48000, 88200, 96000, 176400, 192000};
    uint32_t value = 0;
    if (parseWhole(text, &value)) {
        for (uint32_t rate : rates) {
            if (rate == value) {
                *hz = value;
                return true;
            }
        }
    }
    *error = QStringLiteral("invalid sample rate %1: rates are 44100, 48000, 88200, 96000, 176400, 192000")
                 .arg(text);
    return false;
}

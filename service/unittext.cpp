#include "service/unittext.h"

namespace unittext {

QString firmwareText(uint16_t version, uint16_t build)
{
    return QStringLiteral("%1.%2 %3")
        .arg(version / 100)
        .arg(version % 100, 2, 10, QLatin1Char('0'))
        .arg(build, 4, 10, QLatin1Char('0'));
}

QString sampleRateText(uint32_t hz)
{
    switch (hz) {
    case 44100: return QStringLiteral("44.1 kHz");
    case 48000: return QStringLiteral("48 kHz");
    case 88200: return QStringLiteral("88.2 kHz");
    case 96000: return QStringLiteral("96 kHz");
    case 176400: return QStringLiteral("176.4 kHz");
    case 192000: return QStringLiteral("192 kHz");
    default: return QString();
    }
}

} // namespace unittext

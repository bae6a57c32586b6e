#include "ui/deviceinfotext.h"

#include "service/unittext.h"

namespace panel {

QString sampleRateText(uint32_t hz)
{
    const QString known = unittext::sampleRateText(hz);
    return known.isNull() ? QStringLiteral("-- kHz") : known;
}

QString serialNumberText(const QString &serial)
{
    return serial.isEmpty() ? QStringLiteral("-------") : serial;
}

} // namespace panel

// How the information page writes what the unit reports.
#pragma once

#include <QString>

#include <cstdint>

namespace panel {

// "48 kHz" and the like for the six rates the units run at; "-- kHz" else.
QString sampleRateText(uint32_t hz);

// The serial number as shown; the unit reports an empty one when it has none.
QString serialNumberText(const QString &serial);

} // namespace panel

// How the unit's identity values read, the same in the panel and in the
// command-line tool.
#pragma once

#include <QString>

#include <cstdint>

namespace unittext {

// "%1.%2 %3": version / 100, two-digit version % 100, build of at least four
// digits, never cut; version 102 build 23 reads "1.02 0023".
QString firmwareText(uint16_t version, uint16_t build);

// "48 kHz", "44.1 kHz" and the like for the six rates the units run at; a
// null string for any other rate, which each program words its own way.
QString sampleRateText(uint32_t hz);

} // namespace unittext

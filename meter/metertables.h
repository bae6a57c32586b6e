// The meter scale of the unit's level display: 340 dots from -52 dB to full
// scale, close to linear in dB but with the steps the unit's own meters use.
#pragma once

#include <cstdint>

namespace meter {

constexpr int kFullScaleDots = 340;
constexpr int kDotCount = kFullScaleDots + 1;   // heights 0 to 340
constexpr int kConversionRows = 65;
constexpr float kSilenceDb = -52.0f;

// One step of the dB-to-height conversion: every level at or above
// thresholdDb (and below the previous row's) stands dots high.
struct ConversionRow {
    float thresholdDb;
    uint16_t dots;
};

// Rows from full scale downwards; the first row at or below a level wins.
extern const ConversionRow kDbToDots[kConversionRows];

// dB shown for a bar height: entry 340 - d belongs to a height of d dots.
extern const float kDotsToDb[kDotCount];

} // namespace meter

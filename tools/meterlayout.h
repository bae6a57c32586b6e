// The 97 meters of a reading in the order the panel keeps them, and the level
// scale: linear 0 to 32767 (full scale), shown in dB relative to full scale.
#pragma once

#include <array>

#include <QString>

#include <stdint.h>

constexpr int kMeterRecords = 97;

using MeterLevels = std::array<uint16_t, kMeterRecords>;

// Record of a meter, or -1 when the kind and channel name no meter.
int meterRecord(uint32_t kind, uint32_t channel);
uint32_t meterRecordKind(int record);
uint8_t meterRecordChannel(int record);

// Records of what the watch line shows.
constexpr int kFirstInputRecord = 0; // analog inputs 1 to 22
constexpr int kInputStrips = 22;
constexpr int kMainLeftRecord = 94;  // main out channels 5 and 6
constexpr int kMainRightRecord = 95;

// A reading as the panel takes it: a value above 32768 is no level and counts
// as silence.
uint16_t usableLevel(uint32_t value);

// dB relative to full scale; silence gives minus infinity.
double levelDb(uint16_t level);

// The dB value with the given decimals, or "-inf" for silence.
QString levelDbText(uint16_t level, int decimals);

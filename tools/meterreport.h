// How a meter reading is shown: the full table, one JSON object, or the
// compact line of watch mode.
#pragma once

#include <QByteArray>

#include "tools/meterlayout.h"

// 97 lines: record, kind, channel, level and dB, under a heading line.
QByteArray meterTable(const MeterLevels &levels);

// {"meters":[{"index","kind","kind_name","channel","level","db"}, ...]} on one
// line; db has one decimal and is null for silence.
QByteArray meterJson(const MeterLevels &levels);

// Input strips 1 to 22 and main L/R in whole dB, on one line.
QByteArray meterWatchLine(const MeterLevels &levels);

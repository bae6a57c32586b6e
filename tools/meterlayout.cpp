#include "tools/meterlayout.h"

#include <cmath>
#include <limits>

namespace {

struct MeterGroup {
    uint32_t kind;
    int first;    // record of channel 1
    int channels;
};

const MeterGroup kGroups[] = {
    {4, 0, 22},  // analog inputs
    {7, 22, 24},
    {3, 46, 22}, // computer outputs
    {6, 68, 22},
    {2, 90, 6},  // main outputs
    {8, 96, 1},
};

constexpr double kFullScale = 32767.0;

const MeterGroup *groupOf(int record)
{
    for (const MeterGroup &g : kGroups) {
        if (record >= g.first && record < g.first + g.channels)
            return &g;
    }
    return nullptr;
}

} // namespace

int meterRecord(uint32_t kind, uint32_t channel)
{
    for (const MeterGroup &g : kGroups) {
        if (g.kind == kind && channel >= 1 && channel <= uint32_t(g.channels))
            return g.first + int(channel) - 1;
    }
    return -1;
}

uint32_t meterRecordKind(int record)
{
    const MeterGroup *g = groupOf(record);
    return g ? g->kind : 0;
}

uint8_t meterRecordChannel(int record)
{
    const MeterGroup *g = groupOf(record);
    return g ? uint8_t(record - g->first + 1) : 0;
}

uint16_t usableLevel(uint32_t value)
{
    return value > 32768 ? 0 : uint16_t(value);
}

double levelDb(uint16_t level)
{
    if (level == 0)
        return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(level / kFullScale);
}

QString levelDbText(uint16_t level, int decimals)
{
    if (level == 0)
        return QStringLiteral("-inf");
    double db = levelDb(level);
    // Full scale and the one step above it read 0, not -0 or +0.0003.
    if (std::fabs(db) < 0.5 * std::pow(10.0, -decimals))
        db = 0.0;
    return QString::number(db, 'f', decimals);
}

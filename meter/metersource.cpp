#include "meter/metersource.h"

namespace meter {

namespace {

constexpr int kKind6Base = 68;          // "MTR SOURCE"
constexpr int kAnalogInBase = 0;        // "MIC / LINE"
constexpr int kComputerOutBase = 46;    // "USB RETURN"
constexpr int kKind7Base = 22;          // "MTR RETURN"

} // namespace

int sourceBaseRecord(unsigned source)
{
    switch (source) {
    case 0: return kKind6Base;
    case 1: return kAnalogInBase;
    case 2: return kComputerOutBase;
    case 3: return kKind7Base;
    default: return kAnalogInBase;
    }
}

void copySourceLevels(const levelMeter *snapshot, levelMeter *display, unsigned source)
{
    const int base = sourceBaseRecord(source);
    for (int k = 0; k < kChannelStrips; ++k)
        display[k].value = snapshot[base + k].value;
    display[kChannelStrips].value = snapshot[kMainLRecord].value;
    display[kChannelStrips + 1].value = snapshot[kMainRRecord].value;
}

} // namespace meter

// Which meters of the unit the 24 strips of the meter page show: the 22
// channel strips follow the selected meter source, main L and R never do.
#pragma once

#include "service/levelmeter.h"

namespace meter {

constexpr int kSnapshotRecords = 97;
constexpr int kChannelStrips = 22;
constexpr int kMainLRecord = 94;   // master out channel 5
constexpr int kMainRRecord = 95;   // master out channel 6

// First snapshot record of channel strip 1 for a meter source; a source the
// page does not know shows the analogue inputs.
int sourceBaseRecord(unsigned source);

// Copy the levels of the 24 display records from a 97-record snapshot.
// Widget pointers and hold counts of the display stay as they are.
void copySourceLevels(const levelMeter *snapshot, levelMeter *display, unsigned source);

} // namespace meter

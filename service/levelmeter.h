// One meter strip: the widgets that show it and its current level. Used as the
// 97-record snapshot of a meter reading and as the meter page's 24 strips.
#pragma once

#include <cstdint>

class QLabel;
class QPushButton;

struct levelMeter {
    QLabel *meter;           // the lit bar
    QLabel *peak;            // the peak-hold marker
    QPushButton *peakText;   // the numeric peak readout; a click clears the hold
    QLabel *peakInd;         // the over indicator
    uint16_t value;          // linear level, 0 (silence) to 32767 (full scale)
    uint8_t holdCount;       // refresh ticks since the held peak was set
};

// The progress line of a firmware transfer on the terminal, and the line
// that replaces it where standard error is not a terminal.
#pragma once

#include <QString>

#include <cstdint>

// "Sending firmware  45%  12288/27000 bytes  6.0 KiB/s  2 s left"; rate and
// time left once a second has passed with bytes sent. While verifying:
// "Verifying firmware  27000 bytes sent, waiting for the unit".
QString firmwareProgressLine(uint32_t pos, uint32_t length, qint64 elapsedMs, bool verifying);

// "Sent 27000 bytes in 4.5 s"
QString firmwareSummaryLine(uint32_t pos, qint64 elapsedMs);

// Programme material for the meters: what a band and a playback track would
// show on the unit's meter points, as a pure function of the unit's clock.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sim {

constexpr uint16_t kFullScale = 32767;

// The meter points in the order the unit reports them (kind, channel count):
// inputs, processed inputs (with two effect returns), playback, post-fader
// inputs, master outputs, loopback.
struct MeterGroup {
    uint8_t kind;
    uint8_t channels;
};
constexpr std::array<MeterGroup, 6> kMeterGroups{{{4, 22}, {7, 24}, {3, 22}, {6, 22}, {2, 6}, {8, 1}}};
constexpr int kInputs = 22;

struct ProgrammeLevel {
    uint8_t kind;
    uint8_t channel;
    uint16_t level;
};

// All meter points at time `micros`; inputs marked in `inputMuted` (index 0 for
// input 1) drop out of the post-fader meters and the mix.
std::vector<ProgrammeLevel> programmeLevels(uint64_t micros,
                                            const std::array<bool, kInputs> &inputMuted);

} // namespace sim

// Levels that move like programme material on a mixer's strips: each strip
// has a slowly wandering loudness, short transients that decay over a few
// ticks, tick-to-tick jitter, and some strips fall silent for a while. The
// same table feeds the meter engine and the reference labels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class Programme
{
public:
    Programme(int strips, int ticks);

    uint16_t level(int tick, int strip) const { return m_levels[static_cast<size_t>(tick * m_strips + strip)]; }
    int ticks() const { return m_ticks; }

private:
    int m_strips;
    int m_ticks;
    std::vector<uint16_t> m_levels;
};

#include "programme.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr double kFullScale = 32767.0;

struct StripState {
    double loudnessDb;   // where the strip sits on average
    double transientDb;  // what is left of the last hit
    int silentTicks;     // a muted or unused channel
};

} // namespace

Programme::Programme(int strips, int ticks)
    : m_strips(strips), m_ticks(ticks), m_levels(static_cast<size_t>(strips * ticks))
{
    // Fixed start so that every run sees the same material.
    std::mt19937 random(96u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> jitter(0.0, 1.5);

    std::vector<StripState> state(static_cast<size_t>(strips));
    for (StripState &s : state)
        s = {-24.0 + 12.0 * unit(random), 0.0, 0};

    for (int t = 0; t < ticks; ++t) {
        for (int k = 0; k < strips; ++k) {
            StripState &s = state[static_cast<size_t>(k)];
            s.loudnessDb = std::clamp(s.loudnessDb + 0.8 * (unit(random) - 0.5), -36.0, -8.0);
            s.transientDb = std::max(0.0, s.transientDb - 3.0);
            if (unit(random) < 0.12)
                s.transientDb = 6.0 + 12.0 * unit(random);
            if (s.silentTicks > 0)
                --s.silentTicks;
            else if (unit(random) < 0.004)
                s.silentTicks = 20 + static_cast<int>(80 * unit(random));

            double db = s.loudnessDb + s.transientDb + jitter(random);
            db = std::min(db, 0.3);
            const double linear = s.silentTicks > 0 ? 0.0 : kFullScale * std::pow(10.0, db / 20.0);
            m_levels[static_cast<size_t>(t * strips + k)] =
                static_cast<uint16_t>(std::clamp(std::lround(linear), 0L, 32768L));
        }
    }
}

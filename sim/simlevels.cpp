#include "sim/simlevels.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

// One source of sound: a note or hit every `periodMs`, with an attack and an
// exponential decay, a loudness that varies from hit to hit, and a phrase gate
// for parts that pause (a singer between lines).
struct Voice {
    double peak;        // loudest hit, linear 0..32767
    double spread;      // hits vary by this fraction below the peak
    uint32_t periodMs;  // time between hits
    uint32_t offsetMs;  // where in the bar the hits fall
    double attackMs;
    double decayMs;
    double floor;       // sustained part between hits, fraction of the hit
    uint32_t phraseMs;  // 0: always playing
    uint32_t playMs;    // playing part of each phrase
    bool clips;         // every sixteenth hit goes over
};

// Index = input channel - 1. A four-piece band with playback; the unused
// inputs are silent. The kick is hit hard enough to clip now and then.
const Voice kBand[kInputs] = {
    {30500, 0.08, 500, 0, 2, 110, 0.02, 0, 0, true},         // 1 kick
    {21000, 0.20, 1000, 500, 1, 160, 0.03, 0, 0, false},     // 2 snare
    {8000, 0.30, 250, 0, 3, 220, 0.35, 0, 0, false},         // 3 overhead L
    {7600, 0.30, 250, 125, 3, 220, 0.35, 0, 0, false},       // 4 overhead R
    {31500, 0.10, 250, 0, 8, 420, 0.55, 0, 0, false},        // 5 bass
    {20000, 0.45, 180, 40, 25, 160, 0.50, 6000, 4000, false},// 6 vocal
    {7000, 0.25, 2000, 0, 40, 1400, 0.40, 0, 0, false},      // 7 keys L
    {6800, 0.25, 2000, 10, 40, 1400, 0.40, 0, 0, false},     // 8 keys R
    {12500, 0.30, 500, 250, 6, 300, 0.25, 8000, 6000, false},// 9 guitar
    {11800, 0.30, 500, 260, 6, 300, 0.25, 8000, 6000, false},// 10 guitar double
    {0, 0, 1, 0, 1, 1, 0, 0, 0, false},                       // 11 unused
    {0, 0, 1, 0, 1, 1, 0, 0, 0, false},                       // 12 unused
    {9000, 0.20, 4000, 0, 600, 2500, 0.60, 16000, 12000, false}, // 13 pad L
    {8800, 0.20, 4000, 30, 600, 2500, 0.60, 16000, 12000, false},// 14 pad R
    {0, 0, 1, 0, 1, 1, 0, 0, 0, false},                       // 15 unused
    {0, 0, 1, 0, 1, 1, 0, 0, 0, false},                       // 16 unused
    {2200, 0.40, 500, 0, 10, 600, 0.50, 0, 0, false},        // 17 room L
    {2100, 0.40, 500, 20, 10, 600, 0.50, 0, 0, false},       // 18 room R
    {0, 0, 1, 0, 1, 1, 0, 0, 0, false},                       // 19 unused
    {0, 0, 1, 0, 1, 1, 0, 0, 0, false},                       // 20 unused
    {0, 0, 1, 0, 1, 1, 0, 0, 0, false},                       // 21 unused
    {0, 0, 1, 0, 1, 1, 0, 0, 0, false},                       // 22 unused
};

// Playback from the computer: a mastered stereo track and a click.
const Voice kTrackL = {31000, 0.12, 125, 0, 4, 260, 0.70, 0, 0, false};
const Voice kTrackR = {30500, 0.12, 125, 60, 4, 260, 0.70, 0, 0, false};
const Voice kClick = {9000, 0.00, 500, 0, 1, 25, 0.00, 0, 0, false};

constexpr double kClipMs = 30;

// Stereo placement of the inputs in the mix, 0 left .. 1 right.
const double kPan[kInputs] = {0.5, 0.5, 0.1, 0.9, 0.5, 0.5, 0.2, 0.8, 0.3, 0.7, 0.5,
                              0.5, 0.15, 0.85, 0.5, 0.5, 0.0, 1.0, 0.5, 0.5, 0.5, 0.5};

uint64_t mix64(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A repeatable number in [0, 1) for a voice and a moment.
double chance(uint64_t voice, uint64_t moment)
{
    return static_cast<double>(mix64(voice * 0x100000001B3ull ^ mix64(moment)) >> 11) / 9007199254740992.0;
}

double clampLevel(double level)
{
    return std::min(std::max(level, 0.0), static_cast<double>(kFullScale));
}

double voiceLevel(const Voice &voice, uint64_t id, uint64_t ms)
{
    if (voice.peak <= 0)
        return 0;
    if (voice.phraseMs && (ms + voice.offsetMs) % voice.phraseMs >= voice.playMs)
        return voice.peak * voice.floor * 0.05; // bleed while the part rests
    const uint64_t shifted = ms + voice.periodMs - voice.offsetMs % voice.periodMs;
    const uint64_t hit = shifted / voice.periodMs;
    const double phase = static_cast<double>(shifted % voice.periodMs);

    if (voice.clips && hit % 16 == 7 && phase < kClipMs)
        return kFullScale;

    const double loudness = voice.peak * (1.0 - voice.spread * chance(id, hit));
    double envelope;
    if (phase < voice.attackMs)
        envelope = phase / voice.attackMs;
    else
        envelope = std::exp(-(phase - voice.attackMs) / voice.decayMs);
    envelope = voice.floor + (1.0 - voice.floor) * envelope;
    // The meter's ballistics never sit perfectly still.
    const double flicker = 0.92 + 0.08 * chance(id + 1000, ms / 20);
    return clampLevel(loudness * envelope * flicker);
}

uint16_t toLevel(double level)
{
    return static_cast<uint16_t>(std::lround(clampLevel(level)));
}

} // namespace

std::vector<ProgrammeLevel> programmeLevels(uint64_t micros,
                                            const std::array<bool, kInputs> &inputMuted)
{
    const uint64_t ms = micros / 1000;
    double input[kInputs];
    for (int i = 0; i < kInputs; ++i)
        input[i] = voiceLevel(kBand[i], static_cast<uint64_t>(i + 1), ms);
    const double trackL = voiceLevel(kTrackL, 101, ms);
    const double trackR = voiceLevel(kTrackR, 102, ms);
    const double click = voiceLevel(kClick, 103, ms);

    // The mix sums powers; the master fader sits where the loudest parts
    // peak a little below full scale.
    double powerL = 0.5 * trackL * trackL;
    double powerR = 0.5 * trackR * trackR;
    double effect = 0;
    for (int i = 0; i < kInputs; ++i) {
        if (inputMuted[static_cast<size_t>(i)])
            continue;
        powerL += (1.0 - kPan[i]) * input[i] * input[i];
        powerR += kPan[i] * input[i] * input[i];
        effect += input[i];
    }
    const double mainL = 0.7 * std::sqrt(powerL);
    const double mainR = 0.7 * std::sqrt(powerR);
    const double reverb = 0.12 * effect;

    std::vector<ProgrammeLevel> levels;
    levels.reserve(97);
    for (const MeterGroup &group : kMeterGroups) {
        for (uint8_t ch = 1; ch <= group.channels; ++ch) {
            const int i = ch - 1;
            double level = 0;
            switch (group.kind) {
            case 4: // inputs
                level = input[i];
                break;
            case 7: // after the channel's dynamics, then the effect returns
                level = i < kInputs ? 0.85 * input[i] : reverb * (ch == 23 ? 1.0 : 0.94);
                break;
            case 3: // playback from the computer
                level = ch == 1 ? trackL : ch == 2 ? trackR : ch <= 4 ? click : 0;
                break;
            case 6: // after the channel fader and mute
                level = inputMuted[static_cast<size_t>(i)] ? 0 : 0.7 * input[i];
                break;
            case 2: // main L/R, monitor pair, phones pair
                level = (ch % 2 ? mainL : mainR) * (ch <= 2 ? 1.0 : ch <= 4 ? 0.5 : 0.8);
                break;
            default: // loopback to the computer
                level = 0.4 * (mainL + mainR) / 2;
                break;
            }
            levels.push_back({group.kind, ch, toLevel(level)});
        }
    }
    return levels;
}

} // namespace sim

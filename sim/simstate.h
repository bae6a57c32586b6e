// The simulated unit's inner state and the firmware logic that works on it:
// parsing requests, queueing answers, handing out replies. The unit's lock
// guards all of it; nothing here locks.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "sim/simfirmware.h"
#include "sim/simidentity.h"
#include "sim/simreply.h"
#include "sim/simunit.h"

namespace sim {

struct ChannelSetting {
    uint8_t fader = 0;
    bool muted = false;
    uint8_t stereo = 1; // mono
};

struct SimUnit::State {
    Model model;
    Identity identity;

    uint32_t hz;
    bool autoPowerSave = false;
    std::map<std::pair<uint8_t, uint8_t>, ChannelSetting> channels;
    std::vector<Assignment> assignments;
    FirmwareReceiver firmware;

    std::function<uint64_t()> clock;
    bool fixedMeters = false;
    std::vector<MeterPoint> fixed;
    int metersPerReply = 6;
    int dropAfter = -1;
    int extraMeters = 0;

    std::deque<Message> replies;

    int stalls = 0;
    int timeouts = 0;
    int errors = 0;
    int busyReads = 0;
    bool silent = false;
    ReplyStyle style;

    std::vector<std::vector<uint8_t>> received;
    int transfers = 0;

    explicit State(Model m);
    static uint64_t steadyMicros();

    // Counts the transfer and returns its injected outcome, Ok if none.
    Xfer fault();
    ChannelSetting setting(uint8_t kind, uint8_t channel) const;
    std::vector<MeterPoint> meters() const;

    void handleRequest(const uint8_t *data, size_t length);
    Message nextReply();

private:
    void answerChannel(std::vector<ReplyGroup> *answer, uint8_t kind, uint8_t channel, uint8_t cmd);
    void answerMeters(std::vector<ReplyGroup> *answer);
    void answerAssignments(std::vector<ReplyGroup> *answer);
    void storeAssignment(const Assignment &assignment);
    void eraseConfig();
};

} // namespace sim

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

    // Faults from a fault list (simfaultplan.cpp).
    struct Planned {
        FaultRule rule;
        bool done = false;
        uint64_t nextUs = 0; // every: when it fires next
    };
    std::vector<Planned> plan;
    uint64_t planStartUs = 0;
    int planTransfers = 0;
    std::map<FaultKind, uint64_t> spellUntil; // faults that last until a time
    int sendErrors = 0;
    int silentReads = 0;
    int splitAnswers = 0;
    int debugAnswers = 0;
    int extraOnce = 0;
    double randomChance = 0;
    uint64_t randomState = 0x2545F4914F6CDD1Dull;
    bool detached = false;     // pulled out: transfers answer NoDevice
    bool unplugPending = false; // the bus has not been told yet
    bool offBus = false;       // the bus has been told; it must be told of the return
    uint64_t detachedUntilUs = 0;

    std::vector<std::vector<uint8_t>> received;
    int transfers = 0;

    explicit State(Model m);
    static uint64_t steadyMicros();

    // Counts the transfer and returns its injected outcome, Ok if none.
    Xfer fault(bool request);
    void installPlan(const std::vector<FaultRule> &rules);
    BusAction pollPlan();
    bool takeSilentRead();
    ReplyStyle answerStyle();
    ChannelSetting setting(uint8_t kind, uint8_t channel) const;
    std::vector<MeterPoint> meters() const;

    void handleRequest(const uint8_t *data, size_t length);
    Message nextReply();

private:
    bool timed() const;
    bool inSpell(FaultKind kind, uint64_t now) const;
    void runPlan(uint64_t now);
    void applyFault(const FaultRule &rule, uint64_t now);
    void randomFault(uint64_t now);
    void answerChannel(std::vector<ReplyGroup> *answer, uint8_t kind, uint8_t channel, uint8_t cmd);
    void answerMeters(std::vector<ReplyGroup> *answer);
    void answerAssignments(std::vector<ReplyGroup> *answer);
    void storeAssignment(const Assignment &assignment);
    void eraseConfig();
};

} // namespace sim

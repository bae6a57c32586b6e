// The unit's injected faults: the counted ones set from code, and the fault
// list with its timed, counted and random faults.
#include <algorithm>

#include "sim/simstate.h"

namespace sim {

namespace {

// Counts down an injected fault; true while it still applies.
bool take(int *counter)
{
    if (*counter <= 0)
        return false;
    --*counter;
    return true;
}

// splitmix64: small, and the same numbers on every platform and library,
// which the standard distributions do not promise.
uint64_t nextRandom(uint64_t *state)
{
    uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double randomFraction(uint64_t *state)
{
    return static_cast<double>(nextRandom(state) >> 11) * (1.0 / 9007199254740992.0);
}

} // namespace

Xfer SimUnit::State::fault(bool request)
{
    const uint64_t now = timed() ? clock() : 0;
    if (timed())
        runPlan(now);
    ++transfers;
    // Nobody took the unit off the bus: it was a short glitch, over when the spell is.
    if (detached && !offBus && now >= detachedUntilUs) {
        detached = false;
        unplugPending = false;
    }
    if (detached)
        return Xfer::NoDevice;
    if (randomChance > 0 && randomFraction(&randomState) < randomChance)
        randomFault(now);
    if (inSpell(FaultKind::Stall, now) || take(&stalls))
        return Xfer::Stall;
    if (inSpell(FaultKind::Timeout, now) || take(&timeouts))
        return Xfer::Timeout;
    if (inSpell(FaultKind::IoError, now) || take(&errors))
        return Xfer::Error;
    if (request && (inSpell(FaultKind::SendError, now) || take(&sendErrors)))
        return Xfer::Error;
    return Xfer::Ok;
}

void SimUnit::State::installPlan(const std::vector<FaultRule> &rules)
{
    plan.clear();
    randomChance = 0;
    planStartUs = clock();
    planTransfers = transfers;
    for (const FaultRule &rule : rules) {
        Planned p;
        p.rule = rule;
        p.nextUs = planStartUs + rule.at;
        plan.push_back(p);
    }
    runPlan(planStartUs);
}

SimUnit::BusAction SimUnit::State::pollPlan()
{
    if (!timed())
        return BusAction::None;
    const uint64_t now = clock();
    runPlan(now);
    if (detached && unplugPending) {
        unplugPending = false;
        offBus = true;
        return BusAction::Unplug;
    }
    if (detached && now >= detachedUntilUs) {
        // A unit plugged back in has started afresh: whatever it had queued is gone.
        detached = false;
        replies.clear();
        busyReads = 0;
        if (offBus) {
            offBus = false;
            return BusAction::Replug;
        }
    }
    return BusAction::None;
}

bool SimUnit::State::takeSilentRead()
{
    return (!spellUntil.empty() && inSpell(FaultKind::Silence, clock())) || take(&silentReads);
}

ReplyStyle SimUnit::State::answerStyle()
{
    ReplyStyle s = style;
    const uint64_t now = spellUntil.empty() ? 0 : clock();
    s.split = s.split || inSpell(FaultKind::Split, now) || take(&splitAnswers);
    s.debugText = s.debugText || inSpell(FaultKind::DebugText, now) || take(&debugAnswers);
    return s;
}

bool SimUnit::State::timed() const
{
    return !spellUntil.empty() || detached
        || std::any_of(plan.begin(), plan.end(), [](const Planned &p) { return !p.done; });
}

bool SimUnit::State::inSpell(FaultKind kind, uint64_t now) const
{
    const auto it = spellUntil.find(kind);
    return it != spellUntil.end() && now < it->second;
}

void SimUnit::State::runPlan(uint64_t now)
{
    for (auto it = spellUntil.begin(); it != spellUntil.end();)
        it = now >= it->second ? spellUntil.erase(it) : std::next(it);
    const uint64_t done = static_cast<uint64_t>(transfers - planTransfers);
    for (Planned &p : plan) {
        if (p.done)
            continue;
        switch (p.rule.when) {
        case FaultWhen::Now:
            p.done = true;
            break;
        case FaultWhen::AfterTransfers:
            p.done = done >= p.rule.at;
            break;
        case FaultWhen::AtTime:
            p.done = now >= planStartUs + p.rule.at;
            break;
        case FaultWhen::Every:
            if (now < p.nextUs)
                continue;
            // A long gap between transfers fires once, not once per period missed.
            while (p.nextUs <= now)
                p.nextUs += p.rule.at;
            applyFault(p.rule, now);
            continue;
        }
        if (p.done)
            applyFault(p.rule, now);
    }
}

void SimUnit::State::applyFault(const FaultRule &rule, uint64_t now)
{
    if (rule.kind == FaultKind::Random) {
        randomChance = rule.probability;
        return;
    }
    if (rule.kind == FaultKind::Unplug) {
        if (!detached)
            unplugPending = true;
        detached = true;
        detachedUntilUs = std::max(detachedUntilUs, now + rule.durationUs);
        return;
    }
    if (rule.durationUs) {
        uint64_t &until = spellUntil[rule.kind];
        until = std::max(until, now + rule.durationUs);
        return;
    }
    switch (rule.kind) {
    case FaultKind::Stall: stalls += rule.count; break;
    case FaultKind::Timeout: timeouts += rule.count; break;
    case FaultKind::IoError: errors += rule.count; break;
    case FaultKind::SendError: sendErrors += rule.count; break;
    case FaultKind::Busy: busyReads += rule.count; break;
    case FaultKind::Silence: silentReads += rule.count; break;
    case FaultKind::Split: splitAnswers += rule.count; break;
    case FaultKind::DebugText: debugAnswers += rule.count; break;
    case FaultKind::DropMeters: dropAfter = rule.count; break;
    case FaultKind::ExtraMeters: extraOnce = std::min(rule.count, 64); break;
    case FaultKind::Malformed:
        for (int i = std::min(rule.count, 64); i > 0; --i)
            replies.push_front(malformedMessage(1 + i % 3));
        break;
    // The firmware faults last for the rest of the run; their count says nothing.
    case FaultKind::FirmwareCancel: firmware.refuse(true); break;
    case FaultKind::FirmwareOffset: firmware.misreportOffset(true); break;
    case FaultKind::FirmwareNoVerify: firmware.neverFinish(true); break;
    case FaultKind::Unplug:
    case FaultKind::Random:
        break;
    }
}

// One fault of the kinds a transfer can meet, each short, so that a unit
// under random faults still answers most of the time.
void SimUnit::State::randomFault(uint64_t now)
{
    static const FaultKind kinds[] = {
        FaultKind::Stall, FaultKind::Timeout, FaultKind::IoError, FaultKind::SendError,
        FaultKind::Busy, FaultKind::Silence, FaultKind::Split, FaultKind::DebugText,
        FaultKind::Malformed, FaultKind::DropMeters, FaultKind::ExtraMeters,
    };
    FaultRule rule;
    rule.kind = kinds[nextRandom(&randomState) % (sizeof kinds / sizeof kinds[0])];
    rule.count = 1 + static_cast<int>(nextRandom(&randomState) % 3);
    if (rule.kind == FaultKind::DropMeters)
        rule.count = static_cast<int>(nextRandom(&randomState) % kMeterCount);
    applyFault(rule, now);
}

} // namespace sim

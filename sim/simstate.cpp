#include "sim/simstate.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "sim/simlevels.h"
#include "sim/simwire.h"

namespace sim {

namespace {

constexpr uint32_t kDefaultHz = 48000;
constexpr uint8_t kMono = 1;
constexpr uint8_t kStereo = 4;
constexpr uint8_t kAnalogIn = 4;

bool acceptedRate(uint32_t hz)
{
    switch (hz) {
    case 44100: case 48000: case 88200: case 96000: case 176400: case 192000:
        return true;
    default:
        return false;
    }
}

std::vector<Assignment> defaultAssignments()
{
    // Line outputs 1/2 carry the main mix, 3/4 the direct monitor pair.
    return {{2, 1, 1, 1}, {2, 2, 1, 2}, {5, 1, 1, 3}, {5, 2, 1, 4}};
}

} // namespace

SimUnit::State::State(Model m)
    : model(m), identity(defaultIdentity(m)), hz(kDefaultHz), assignments(defaultAssignments()),
      clock(steadyMicros)
{
}

uint64_t SimUnit::State::steadyMicros()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

ChannelSetting SimUnit::State::setting(uint8_t kind, uint8_t channel) const
{
    const auto it = channels.find({kind, channel});
    return it == channels.end() ? ChannelSetting() : it->second;
}

std::vector<MeterPoint> SimUnit::State::meters() const
{
    if (fixedMeters)
        return fixed;
    std::array<bool, kInputs> muted{};
    for (int i = 0; i < kInputs; ++i)
        muted[static_cast<size_t>(i)] = setting(kAnalogIn, static_cast<uint8_t>(i + 1)).muted;
    const std::vector<ProgrammeLevel> levels = programmeLevels(clock(), muted);
    std::vector<MeterPoint> points;
    points.reserve(levels.size() + static_cast<size_t>(std::max(extraMeters, 0)));
    for (const ProgrammeLevel &p : levels)
        points.push_back({p.kind, p.channel, p.level});
    // Extra points beyond the template continue the loopback group.
    for (int i = 0; i < extraMeters; ++i)
        points.push_back({8, static_cast<uint8_t>(2 + i), static_cast<uint16_t>(1000 + 100 * i)});
    return points;
}

void SimUnit::State::handleRequest(const uint8_t *data, size_t length)
{
    std::vector<ReplyGroup> answer;
    auto add = [&answer](std::vector<uint8_t> item) {
        ReplyGroup group;
        group.items.push_back(std::move(item));
        answer.push_back(std::move(group));
    };

    // The current channel and the assignment latches live for one message.
    uint8_t kind = 0, channel = 0;
    Assignment latched{0, 0, 0, 0};

    wire::Reader reader(data, length);
    wire::Item item;
    while (reader.next(&item)) {
        switch (item.cmd) {
        case wire::GetInfo:
            add(wire::encodeU16(wire::Version, identity.version));
            add(wire::encodeU16(wire::Build, identity.build));
            add(wire::encodeText(wire::ProductName, identity.productName));
            add(wire::encodeText(wire::BuildDate, identity.buildDate));
            add(wire::encodeText(wire::BuildTime, identity.buildTime));
            add(wire::encodeArray(wire::ProductSig, identity.productSig));
            break;
        case wire::Hz:
            add(wire::encodeU32(wire::Hz, hz));
            break;
        case wire::SetHz:
            if (item.numeric() && acceptedRate(item.value))
                hz = item.value;
            break;
        case wire::GetAutoPowerSave:
            add(wire::encodeU8(wire::AutoPowerSave, autoPowerSave ? 1 : 0));
            break;
        case wire::AutoPowerSave:
            if (item.numeric())
                autoPowerSave = item.value != 0;
            break;
        case wire::GetSerial:
            add(wire::encodeText(wire::Serial, identity.serial));
            break;
        case wire::SetSerial:
            if (item.type == wire::Array)
                identity.serial.assign(item.bytes.begin(), item.bytes.end());
            break;
        case wire::RecFunc:
            add(wire::encodeArray(wire::RecFunc, identity.recFunc));
            break;
        case wire::Ch:
            kind = static_cast<uint8_t>(item.value);
            break;
        case wire::ChNum:
            channel = static_cast<uint8_t>(item.value);
            break;
        case wire::Fader:
        case wire::Mute:
        case wire::Stereo:
            answerChannel(&answer, kind, channel, item.cmd);
            break;
        case wire::SetFader:
            if (item.numeric())
                channels[{kind, channel}].fader = static_cast<uint8_t>(item.value);
            break;
        case wire::SetMute:
            if (item.numeric())
                channels[{kind, channel}].muted = item.value != 0;
            break;
        case wire::SetStereo:
            if (item.numeric() && (item.value == kMono || item.value == kStereo))
                channels[{kind, channel}].stereo = static_cast<uint8_t>(item.value);
            break;
        case wire::AssignIn:
            latched.inKind = kind;
            latched.inChannel = channel;
            break;
        case wire::AssignOut:
            latched.outKind = kind;
            latched.outChannel = channel;
            break;
        case wire::AssignCommit:
            if (!latched.inKind && !latched.inChannel && !latched.outKind && !latched.outChannel)
                answerAssignments(&answer);
            else
                storeAssignment(latched);
            break;
        case wire::GetMeter:
            answerMeters(&answer);
            break;
        case wire::ConfigErase:
            eraseConfig();
            break;
        case wire::FwBegin:
            if (item.numeric())
                firmware.begin(item.value);
            break;
        case wire::FwStatus: {
            uint32_t room = 0, offset = 0;
            firmware.status(&room, &offset);
            add(wire::encodeU32(wire::FwRoom, room));
            add(wire::encodeU32(wire::FwOffset, offset));
            break;
        }
        case wire::FwData:
        case wire::FwDataEnd:
            if (item.type == wire::Array)
                firmware.data(item.bytes);
            break;
        case wire::FwGetChecksum:
            add(wire::encodeU32(wire::FwChecksum, firmware.checksum()));
            break;
        default: // indicator test, key commands and unknown codes: nothing to answer
            break;
        }
    }

    for (Message &message : packAnswer(answer, answer.empty() ? style : answerStyle()))
        replies.push_back(std::move(message));
}

void SimUnit::State::answerChannel(std::vector<ReplyGroup> *answer, uint8_t kind,
                                   uint8_t channel, uint8_t cmd)
{
    const ChannelSetting s = setting(kind, channel);
    const uint8_t value = cmd == wire::Fader ? s.fader : cmd == wire::Mute ? (s.muted ? 1 : 0) : s.stereo;
    ReplyGroup group;
    group.items.push_back(wire::encodeU8(wire::Ch, kind));
    group.items.push_back(wire::encodeU8(wire::ChNum, channel));
    group.items.push_back(wire::encodeU8(cmd, value));
    answer->push_back(std::move(group));
}

void SimUnit::State::answerMeters(std::vector<ReplyGroup> *answer)
{
    std::vector<MeterPoint> points = meters();
    if (dropAfter >= 0) {
        points.resize(std::min(points.size(), static_cast<size_t>(dropAfter)));
        dropAfter = -1;
    }
    // One read's extra values follow the steady ones, further up the loopback group.
    for (int i = 0; i < extraOnce; ++i)
        points.push_back({8, static_cast<uint8_t>(2 + extraMeters + i), static_cast<uint16_t>(2000 + 100 * i)});
    extraOnce = 0;
    const size_t perReply = static_cast<size_t>(std::max(metersPerReply, 1));
    answer->reserve(answer->size() + points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        ReplyGroup group;
        group.items.reserve(3);
        group.items.push_back(wire::encodeU8(wire::Ch, points[i].kind));
        group.items.push_back(wire::encodeU8(wire::ChNum, points[i].channel));
        group.items.push_back(wire::encodeU16(wire::Meter, points[i].level));
        group.startsMessage = i % perReply == 0;
        answer->push_back(std::move(group));
    }
}

void SimUnit::State::answerAssignments(std::vector<ReplyGroup> *answer)
{
    for (const Assignment &a : assignments) {
        ReplyGroup group;
        group.items.push_back(wire::encodeU8(wire::Ch, a.inKind));
        group.items.push_back(wire::encodeU8(wire::ChNum, a.inChannel));
        group.items.push_back(wire::encodeNone(wire::AssignIn));
        group.items.push_back(wire::encodeU8(wire::Ch, a.outKind));
        group.items.push_back(wire::encodeU8(wire::ChNum, a.outChannel));
        group.items.push_back(wire::encodeNone(wire::AssignOut));
        group.items.push_back(wire::encodeNone(wire::AssignCommit));
        answer->push_back(std::move(group));
    }
}

void SimUnit::State::storeAssignment(const Assignment &assignment)
{
    // A destination is fed by one source: a new route replaces the old one.
    for (Assignment &a : assignments) {
        if (a.outKind == assignment.outKind && a.outChannel == assignment.outChannel) {
            a = assignment;
            return;
        }
    }
    assignments.push_back(assignment);
}

void SimUnit::State::eraseConfig()
{
    hz = kDefaultHz;
    autoPowerSave = false;
    channels.clear();
    assignments = defaultAssignments();
}

Message SimUnit::State::nextReply()
{
    if (busyReads > 0 || (!spellUntil.empty() && inSpell(FaultKind::Busy, clock()))) {
        busyReads = std::max(busyReads - 1, 0);
        return statusMessage(false);
    }
    if (replies.empty())
        return statusMessage(true);
    Message message = std::move(replies.front());
    replies.pop_front();
    return message;
}

} // namespace sim

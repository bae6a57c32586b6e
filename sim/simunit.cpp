#include "sim/simunit.h"

#include <algorithm>

#include "sim/simreply.h"
#include "sim/simstate.h"
#include "sim/simwire.h"

namespace sim {

namespace {

constexpr uint8_t kRequestOut = 29;
constexpr uint8_t kReplyIn = 30;

} // namespace

SimUnit::SimUnit(Model model)
    : state_(new State(model))
{
}

SimUnit::~SimUnit() = default;

uint16_t SimUnit::productId() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return modelProductId(state_->model);
}

std::string SimUnit::name() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return modelName(state_->model);
}

bool SimUnit::openDenied() const
{
    return openDenied_.load();
}

void SimUnit::denyOpen(bool on)
{
    openDenied_.store(on);
}

Xfer SimUnit::controlOut(uint8_t request, uint16_t, uint16_t, const uint8_t *data, uint16_t length)
{
    std::lock_guard<std::mutex> guard(lock_);
    const Xfer fault = state_->fault(true);
    if (fault != Xfer::Ok)
        return fault;
    if (request != kRequestOut || length > wire::kMessageSize || (length && !data))
        return Xfer::Stall;
    state_->received.emplace_back(data, data + length);
    state_->handleRequest(data, length);
    return Xfer::Ok;
}

Xfer SimUnit::controlIn(uint8_t request, uint16_t, uint16_t, uint8_t *data, uint16_t length)
{
    std::lock_guard<std::mutex> guard(lock_);
    const Xfer fault = state_->fault(false);
    if (fault != Xfer::Ok)
        return fault;
    if (request != kReplyIn || (length && !data))
        return Xfer::Stall;
    const size_t room = std::min<size_t>(length, wire::kMessageSize);
    if (state_->silent || state_->takeSilentRead()) {
        std::fill(data, data + room, 0);
        return Xfer::Ok;
    }
    // A short read gets the start of the message; the rest is lost, as on the wire.
    const Message message = state_->nextReply();
    std::copy(message.begin(), message.begin() + static_cast<std::ptrdiff_t>(std::min(room, message.size())), data);
    return Xfer::Ok;
}

Model SimUnit::model() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->model;
}

void SimUnit::setProductName(const std::string &name)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->identity.productName = name;
}

void SimUnit::setVersion(uint16_t version)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->identity.version = version;
}

void SimUnit::setBuild(uint16_t build)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->identity.build = build;
}

void SimUnit::setBuildDate(const std::string &date)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->identity.buildDate = date;
}

void SimUnit::setBuildTime(const std::string &time)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->identity.buildTime = time;
}

void SimUnit::setSerial(const std::string &serial)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->identity.serial = serial;
}

void SimUnit::setRecFunc(const std::vector<uint8_t> &bytes)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->identity.recFunc = bytes;
}

void SimUnit::setClock(std::function<uint64_t()> microsNow)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->clock = microsNow ? std::move(microsNow) : State::steadyMicros;
}

void SimUnit::setFixedMeters(const std::vector<MeterPoint> &points)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->fixedMeters = true;
    state_->fixed = points;
}

void SimUnit::clearFixedMeters()
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->fixedMeters = false;
    state_->fixed.clear();
}

void SimUnit::setMetersPerReply(int count)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->metersPerReply = std::max(count, 1);
}

std::vector<MeterPoint> SimUnit::meterSnapshot() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->meters();
}

uint32_t SimUnit::sampleRate() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->hz;
}

bool SimUnit::autoPowerSave() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->autoPowerSave;
}

uint8_t SimUnit::fader(uint8_t kind, uint8_t channel) const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->setting(kind, channel).fader;
}

bool SimUnit::muted(uint8_t kind, uint8_t channel) const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->setting(kind, channel).muted;
}

uint8_t SimUnit::stereo(uint8_t kind, uint8_t channel) const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->setting(kind, channel).stereo;
}

std::vector<Assignment> SimUnit::assignments() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->assignments;
}

void SimUnit::stallNext(int transfers)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->stalls = std::max(transfers, 0);
}

void SimUnit::timeOutNext(int transfers)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->timeouts = std::max(transfers, 0);
}

void SimUnit::failNext(int transfers)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->errors = std::max(transfers, 0);
}

void SimUnit::busyFor(int replies)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->busyReads = std::max(replies, 0);
}

void SimUnit::silence(bool on)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->silent = on;
}

void SimUnit::splitReplies(bool on)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->style.split = on;
}

void SimUnit::interleaveDebugText(bool on)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->style.debugText = on;
}

void SimUnit::malformNextReply(int kind)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->replies.push_front(malformedMessage(kind));
}

void SimUnit::dropMetersAfter(int values)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->dropAfter = std::max(values, 0);
}

void SimUnit::setExtraMeters(int count)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->extraMeters = std::min(std::max(count, 0), 254);
}

void SimUnit::failNextSend(int requests)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->sendErrors = std::max(requests, 0);
}

void SimUnit::setFaultPlan(const std::vector<FaultRule> &rules)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->installPlan(rules);
}

SimUnit::BusAction SimUnit::pollFaults()
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->pollPlan();
}

void SimUnit::setFirmwareBlockSize(uint32_t bytes)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->firmware.setBlockSize(bytes);
}

void SimUnit::refuseFirmware(bool on)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->firmware.refuse(on);
}

void SimUnit::queueDebugText(const std::string &text)
{
    std::lock_guard<std::mutex> guard(lock_);
    ReplyGroup group;
    group.items.push_back(wire::encodeText(wire::DebugText, text));
    std::vector<Message> messages = packAnswer({group}, ReplyStyle());
    state_->replies.insert(state_->replies.begin(), messages.begin(), messages.end());
}

void SimUnit::misreportFirmwareOffset(bool on)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->firmware.misreportOffset(on);
}

void SimUnit::neverFinishFirmware(bool on)
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->firmware.neverFinish(on);
}

uint32_t SimUnit::firmwareLength() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->firmware.length();
}

std::vector<uint8_t> SimUnit::firmwareImage() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->firmware.image();
}

std::vector<std::vector<uint8_t>> SimUnit::receivedMessages() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->received;
}

void SimUnit::clearReceived()
{
    std::lock_guard<std::mutex> guard(lock_);
    state_->received.clear();
}

int SimUnit::pendingReplies() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<int>(state_->replies.size());
}

int SimUnit::transferCount() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return state_->transfers;
}

std::shared_ptr<SimUnit> plugSimUnit(Model model)
{
    auto unit = std::make_shared<SimUnit>(model);
    Bus::instance().plug(unit);
    return unit;
}

} // namespace sim

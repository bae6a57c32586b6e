#include "sim/simreply.h"

#include "sim/simwire.h"

namespace sim {

namespace {

const char kDebugLine[] = "dsp: ok";

// Collects items into messages of at most 64 bytes, each closed by the end
// item while room for it remains.
class Packer {
public:
    explicit Packer(std::vector<Message> *out) : out_(out) {}

    bool fits(size_t bytes) const { return current_.size() + bytes + 2 <= wire::kMessageSize; }
    bool empty() const { return current_.empty(); }

    void put(const std::vector<uint8_t> &item)
    {
        if (!current_.empty() && !fits(item.size()))
            flush();
        if (current_.empty())
            current_.reserve(wire::kMessageSize);
        current_.insert(current_.end(), item.begin(), item.end());
    }

    void flush()
    {
        if (current_.empty())
            return;
        // A message with fewer than two bytes left is full; readers stop at
        // its end as they would at the end item.
        if (current_.size() + 2 <= wire::kMessageSize) {
            current_.push_back(0);
            current_.push_back(0);
        }
        out_->push_back(std::move(current_));
        current_.clear();
    }

private:
    std::vector<Message> *out_;
    Message current_;
};

size_t groupBytes(const std::vector<std::vector<uint8_t>> &items)
{
    size_t total = 0;
    for (const auto &item : items)
        total += item.size();
    return total;
}

} // namespace

std::vector<Message> packAnswer(const std::vector<ReplyGroup> &groups, const ReplyStyle &style)
{
    std::vector<Message> out;
    if (groups.empty())
        return out;
    Packer packer(&out);
    // The items are put where they stand: an answer is packed for every
    // meter read, ten times a second while the meters run.
    const std::vector<uint8_t> debugItem =
        style.debugText ? wire::encodeText(wire::DebugText, kDebugLine) : std::vector<uint8_t>();
    for (const ReplyGroup &group : groups) {
        if (style.split) {
            if (style.debugText) {
                packer.flush();
                packer.put(debugItem);
            }
            for (const auto &item : group.items) {
                packer.flush();
                packer.put(item);
            }
            continue;
        }
        if (group.startsMessage || !packer.fits(debugItem.size() + groupBytes(group.items)))
            packer.flush();
        if (style.debugText)
            packer.put(debugItem);
        for (const auto &item : group.items)
            packer.put(item);
    }
    packer.put(wire::encodeU8(wire::Ready, 1));
    packer.flush();
    return out;
}

Message statusMessage(bool ready)
{
    Message message = wire::encodeU8(wire::Ready, ready ? 1 : 0);
    message.push_back(0);
    message.push_back(0);
    return message;
}

Message malformedMessage(int kind)
{
    Message message;
    switch (kind) {
    case 1: {
        // A readable item first, then one of type 9; a reader that skipped the
        // bad item would go on to find READY 1 behind it.
        message = wire::encodeU8(wire::Ch, 4);
        const uint8_t bad[] = {wire::Version, 9, 0x02, 0x01};
        message.insert(message.end(), bad, bad + sizeof bad);
        const Message ready = statusMessage(true);
        message.insert(message.end(), ready.begin(), ready.end());
        break;
    }
    case 2: {
        // The length byte promises 200 bytes; the message ends long before.
        message = wire::encodeU8(wire::Ch, 4);
        const uint8_t bad[] = {wire::DebugText, wire::Array, 200, 'd', 's', 'p'};
        message.insert(message.end(), bad, bad + sizeof bad);
        message.resize(wire::kMessageSize, 0x20);
        break;
    }
    default: {
        // Line noise: the same bytes every time, so a failing test repeats.
        uint32_t x = 0x2545F491u;
        message.resize(wire::kMessageSize);
        for (uint8_t &byte : message) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            byte = static_cast<uint8_t>(x >> 24);
        }
        break;
    }
    }
    return message;
}

} // namespace sim

// How the unit's firmware lays its answers out in reply messages: groups of
// items that belong together (a channel and its value, one assignment) are
// kept in one message where they fit, every message carries the end item
// unless it is full, and the last message of an answer says READY 1.
#pragma once

#include <cstdint>
#include <vector>

namespace sim {

// Items that a reader should find in the same message, e.g. CH, CH_NUM and
// the value that belongs to them.
struct ReplyGroup {
    std::vector<std::vector<uint8_t>> items;
    bool startsMessage = false; // begin a fresh message, as the meter blocks do
};

struct ReplyStyle {
    bool split = false;     // every item in a message of its own
    bool debugText = false; // a line of debug text before each group
};

using Message = std::vector<uint8_t>;

// Packs one answer; an empty answer gives no messages.
std::vector<Message> packAnswer(const std::vector<ReplyGroup> &groups, const ReplyStyle &style);

// The message a reply read gets when no answer is waiting.
Message statusMessage(bool ready);

// Deliberately broken replies for readers' fault tests: 1 an item of an
// invalid type, 2 an array whose length points past the message, 3 garbage.
Message malformedMessage(int kind);

} // namespace sim

#include "sim/simfirmware.h"

#include <algorithm>

namespace sim {

void FirmwareReceiver::begin(uint32_t length)
{
    image_.clear();
    length_ = length;
    room_ = 0;
    active_ = true;
}

void FirmwareReceiver::status(uint32_t *room, uint32_t *offset)
{
    const uint32_t held = static_cast<uint32_t>(image_.size());
    if (!active_ || refusing_) {
        *room = 0;
        *offset = 0;
        return;
    }
    // A new block opens only once the previous one has been filled.
    if (room_ == 0 && held < length_)
        room_ = std::min(block_, length_ - held);
    *room = room_;
    *offset = held;
    if (misreporting_)
        *offset = held + 1;
    if (unfinished_ && held == length_)
        *room = 1;
}

void FirmwareReceiver::data(const std::vector<uint8_t> &bytes)
{
    if (!active_)
        return;
    const size_t taken = std::min<size_t>(bytes.size(), room_);
    image_.insert(image_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(taken));
    room_ -= static_cast<uint32_t>(taken);
}

uint32_t FirmwareReceiver::checksum() const
{
    uint32_t sum = 0;
    for (uint8_t byte : image_)
        sum += byte;
    return sum;
}

void FirmwareReceiver::reset()
{
    image_.clear();
    length_ = 0;
    room_ = 0;
    active_ = false;
}

} // namespace sim

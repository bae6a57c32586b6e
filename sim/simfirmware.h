// The unit's side of a firmware transfer: it takes the image in blocks of its
// own size, says how much it will take next and how much it holds, and sums
// what it got.
#pragma once

#include <cstdint>
#include <vector>

namespace sim {

class FirmwareReceiver {
public:
    static constexpr uint32_t kDefaultBlock = 256;

    void begin(uint32_t length);
    // Room for the next bytes and the bytes held so far. Before any transfer,
    // and while refusing, both are 0, which the host takes as a cancel.
    void status(uint32_t *room, uint32_t *offset);
    // Bytes beyond the room of the current block are dropped, as the unit's
    // block buffer would; the host sees it in the offset.
    void data(const std::vector<uint8_t> &bytes);
    uint32_t checksum() const;

    void setBlockSize(uint32_t bytes) { block_ = bytes ? bytes : 1; }
    void refuse(bool on) { refusing_ = on; }
    // Report one byte more than held, so the host never finds its position.
    void misreportOffset(bool on) { misreporting_ = on; }
    // Once the whole image is held, keep offering room, so the verification
    // never sees the finished state.
    void neverFinish(bool on) { unfinished_ = on; }
    void reset();

    uint32_t length() const { return length_; }
    const std::vector<uint8_t> &image() const { return image_; }

private:
    std::vector<uint8_t> image_;
    uint32_t length_ = 0;
    uint32_t room_ = 0;
    uint32_t block_ = kDefaultBlock;
    bool active_ = false;
    bool refusing_ = false;
    bool misreporting_ = false;
    bool unfinished_ = false;
};

} // namespace sim

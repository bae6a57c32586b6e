#include "sim/simwire.h"

namespace sim {
namespace wire {

namespace {

std::vector<uint8_t> header(uint8_t cmd, uint8_t type)
{
    return {cmd, type};
}

void appendLittleEndian(std::vector<uint8_t> *out, uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t readLittleEndian(const uint8_t *p, int width)
{
    uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value |= static_cast<uint32_t>(p[i]) << (8 * i);
    return value;
}

} // namespace

std::vector<uint8_t> encodeNone(uint8_t cmd)
{
    return header(cmd, None);
}

std::vector<uint8_t> encodeU8(uint8_t cmd, uint8_t value)
{
    std::vector<uint8_t> out = header(cmd, U8);
    out.push_back(value);
    return out;
}

std::vector<uint8_t> encodeU16(uint8_t cmd, uint16_t value)
{
    std::vector<uint8_t> out = header(cmd, U16);
    appendLittleEndian(&out, value, 2);
    return out;
}

std::vector<uint8_t> encodeU32(uint8_t cmd, uint32_t value)
{
    std::vector<uint8_t> out = header(cmd, U32);
    appendLittleEndian(&out, value, 4);
    return out;
}

std::vector<uint8_t> encodeArray(uint8_t cmd, const std::vector<uint8_t> &bytes)
{
    const size_t n = bytes.size() < kMaxArray ? bytes.size() : kMaxArray;
    std::vector<uint8_t> out = header(cmd, Array);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

std::vector<uint8_t> encodeText(uint8_t cmd, const std::string &text)
{
    return encodeArray(cmd, std::vector<uint8_t>(text.begin(), text.end()));
}

Reader::Reader(const uint8_t *data, size_t size)
    : data_(data), size_(size)
{
}

bool Reader::next(Item *item)
{
    if (stopped_ || size_ - pos_ < 2) {
        stopped_ = true;
        return false;
    }
    const uint8_t *p = data_ + pos_;
    const size_t room = size_ - pos_;
    size_t length = 0;
    Item read;
    read.cmd = p[0];
    read.type = p[1];
    switch (read.type) {
    case None:
        length = 2;
        break;
    case U8:
        length = 3;
        break;
    case U16:
        length = 4;
        break;
    case U32:
        length = 6;
        break;
    case Array:
        length = room < 3 ? room + 1 : 3 + p[2];
        break;
    default: // the end item and unknown types both end the message
        stopped_ = true;
        return false;
    }
    if (length > room) {
        stopped_ = true;
        return false;
    }
    if (read.type == Array)
        read.bytes.assign(p + 3, p + length);
    else if (length > 2)
        read.value = readLittleEndian(p + 2, static_cast<int>(length - 2));
    pos_ += length;
    if (item)
        *item = std::move(read);
    return true;
}

} // namespace wire
} // namespace sim

// The codec reader on any bytes a unit might send, and the builder on the
// items read: reading never leaves the message, building never leaves the
// buffer, and a rebuilt message reads back as the items put in.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_quiet.h"
#include "zutest/zumsg.h"

namespace {

struct Item {
    uint32_t cmd, type;
    uint64_t value; // arrays: unused
    uint8_t size;
};

void check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLibraryLines();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The message is the input itself, in a buffer of exactly its size, so
    // that the address sanitizer sees any read past its end.
    const uint8_t length = static_cast<uint8_t>(size > 255 ? 255 : size);
    std::vector<uint8_t> in(data, data + length);
    zumsg_t reader;
    if (zumsg_init(&reader, in.data(), length) != 0)
        return 0;
    std::vector<uint8_t> out(length);
    zumsg_t writer;
    zumsg_init(&writer, out.data(), length);

    std::vector<Item> items;
    for (int guard = 0; guard < 256; ++guard) {
        Item item{};
        const uint8_t before = reader.pos;
        if (zumsg_get(&reader, &item.cmd, &item.type, &item.value, &item.size) != 0)
            break;
        check(reader.pos > before && reader.pos <= length); // forward, and inside the message
        uint32_t put = 1;
        // An empty array reads fine but cannot be built: size 0 asks the
        // builder for the rest of the message.
        if (item.type == ZUMSG_TYPE_U8_ARRAY && item.size == 0)
            break;
        if (item.type == ZUMSG_TYPE_U8_ARRAY) {
            const auto *bytes = reinterpret_cast<const uint8_t *>(static_cast<uintptr_t>(item.value));
            check(bytes >= in.data() && bytes + item.size <= in.data() + length);
            uint8_t *room = nullptr;
            uint8_t roomSize = 0;
            put = zumsg_put_alloc(&writer, item.cmd, item.type, item.size, &room, &roomSize);
            if (put == 0) {
                check(room && roomSize >= item.size && room + item.size <= out.data() + length);
                std::memcpy(room, bytes, item.size);
            }
        } else {
            put = zumsg_put(&writer, item.cmd, item.type, item.value, item.size);
        }
        check(writer.pos <= length);
        if (put != 0)
            break;
        items.push_back(item);
    }
    zumsg_remain_u8_array_put_size(&writer);

    zumsg_rewind(&writer);
    for (const Item &expected : items) {
        Item got{};
        check(zumsg_get(&writer, &got.cmd, &got.type, &got.value, &got.size) == 0);
        check(got.cmd == expected.cmd && got.type == expected.type && got.size == expected.size);
        check(got.type == ZUMSG_TYPE_U8_ARRAY || got.value == expected.value);
    }
    (void)get_text_from_ch(static_cast<zumsg_data_ch_t>(length));
    return 0;
}

// Every command of the device library against a unit whose every transfer
// outcome and reply comes from the fuzzer: commands must stay inside the
// caller's buffers and end, whatever the unit says.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_quiet.h"
#include "sim/simbus.h"
#include "zutest/usbdevs.h"
#include "zutest/zuctl.h"

namespace {

// Each transfer takes one byte for its outcome; a read that succeeds takes
// the next 64 bytes as the unit's reply. A unit with nothing left to say has
// gone, so that every command ends.
class ScriptUnit : public sim::Device {
public:
    void load(const uint8_t *data, size_t size)
    {
        data_ = data;
        size_ = size;
        pos_ = 0;
    }
    uint16_t productId() const override { return usbdevs_product_id(0); }
    std::string name() const override { return "Strata 96"; }
    sim::Xfer controlOut(uint8_t, uint16_t, uint16_t, const uint8_t *, uint16_t) override { return outcome(); }
    sim::Xfer controlIn(uint8_t, uint16_t, uint16_t, uint8_t *data, uint16_t length) override
    {
        const sim::Xfer result = outcome();
        if (result != sim::Xfer::Ok)
            return result;
        const size_t n = std::min<size_t>({length, 64, size_ - pos_});
        if (data && n)
            std::memcpy(data, data_ + pos_, n);
        pos_ += n;
        return result;
    }

private:
    sim::Xfer outcome()
    {
        if (pos_ >= size_)
            return sim::Xfer::NoDevice;
        switch (data_[pos_++] & 7) {
        case 5: return sim::Xfer::Stall;
        case 6: return sim::Xfer::Timeout;
        case 7: return sim::Xfer::Error;
        default: return sim::Xfer::Ok;
        }
    }

    const uint8_t *data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
};

int noSleep(uint32_t) { return 0; }

struct Rig {
    std::shared_ptr<ScriptUnit> unit = std::make_shared<ScriptUnit>();
    zuctl_group_t group{};
    zuctl_t ctl{};

    Rig()
    {
        usbdevs_select_backend(USBDEVS_BACKEND_SIM);
        zuctl_set_usleep(noSleep);
        zuctl_group_init(&group);
        sim::Bus::instance().plug(unit);
        zuctl_group_get_init(&group);
        zuctl_group_get_zu(&group, &ctl);
    }
};

Rig *rig;

// A caller's buffer of exactly the size it claims, so that the address
// sanitizer sees a write past it.
struct Buffer {
    explicit Buffer(uint8_t cap) : bytes(cap ? cap : 1), cap(cap) {}
    std::vector<uint8_t> bytes;
    uint8_t cap;
    uint8_t len = 0;
};

void runCommand(zuctl_t *ctl, uint8_t which, const uint8_t *p)
{
    const auto kind = static_cast<zumsg_data_ch_t>(p[0] % 10);
    const uint8_t ch = p[1], value = p[2];
    uint8_t u8 = 0;
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    Buffer buf(value);
    switch (which % 31) {
    case 0: zuctl_wait_ready(ctl); break;
    case 1: {
        uint8_t bytes[64];
        zumsg_t msg;
        zumsg_init(&msg, bytes, sizeof bytes);
        zuctl_recv(ctl, &msg);
        break;
    }
    case 2: zuctl_set_autopowersave(ctl, value); break;
    case 3: zuctl_set_fader(ctl, kind, ch, value); break;
    case 4: zuctl_set_mute(ctl, kind, ch, value); break;
    case 5: zuctl_set_stereo(ctl, kind, ch, static_cast<zumsg_data_ch_type_t>(value)); break;
    case 6: zuctl_set_assign_ch(ctl, kind, ch, static_cast<zumsg_data_ch_t>(value % 10), p[3]); break;
    case 7: {
        const char serial[] = "S96A00417S96A00417S96A00417S96A00417S96A00417S96A00417S96A00417";
        zuctl_set_serial(ctl, serial + (value % sizeof serial));
        break;
    }
    case 8: zuctl_get_version(ctl, &u16); break;
    case 9: zuctl_get_build(ctl, &u16); break;
    case 10: zuctl_get_productname(ctl, buf.bytes.data(), buf.cap, &buf.len); break;
    case 11: zuctl_get_builddate(ctl, buf.bytes.data(), buf.cap, &buf.len); break;
    case 12: zuctl_get_buildtime(ctl, buf.bytes.data(), buf.cap, &buf.len); break;
    case 13: zuctl_get_productsig(ctl, buf.bytes.data(), buf.cap, &buf.len); break;
    case 14: zuctl_get_serial(ctl, buf.bytes.data(), buf.cap, &buf.len); break;
    case 15: zuctl_get_recfunc(ctl, buf.bytes.data(), buf.cap, &buf.len); break;
    case 16: zuctl_get_autopowersave(ctl, &u8); break;
    case 17: zuctl_get_fader(ctl, kind, ch, &u8); break;
    case 18: zuctl_get_mute(ctl, kind, ch, &u8); break;
    case 19: zuctl_get_stereo(ctl, kind, ch, &u32); break;
    case 20:
    case 21: {
        const uint8_t count = value % 98;
        std::vector<zuctl_meter_info_t> info(count ? count : 1);
        uint8_t num = 0;
        if (which % 31 == 20)
            zuctl_get_meter(ctl, info.data(), count, &num);
        else if (zuctl_send_meter_request(ctl) == 0)
            zuctl_read_meter(ctl, info.data(), count, &num);
        break;
    }
    case 22: {
        std::vector<char> text(value ? value : 1);
        size_t len = 0;
        zuctl_get_assign_ch(ctl, text.data(), value, &len);
        break;
    }
    case 23: zuctl_debug_led_allon(ctl, value & 1); break;
    case 24: zuctl_debug_set_hz(ctl, uint32_t(value) * 1000); break;
    case 25: zuctl_debug_set_key(ctl, value & 1, ch); break;
    case 26: zuctl_config_erase(ctl); break;
    case 27: zuctl_debug_get_hz(ctl, &u32); break;
    case 28: zuctl_get_fw_checksum(ctl, value, &u32); break;
    case 29: zuctl_debugprint(ctl, buf.bytes.data(), buf.cap, &buf.len); break;
    case 30: {
        const std::vector<uint8_t> image(size_t(value) * 5, 0x5A);
        uint32_t progress = 0;
        zuctl_fwupdate(ctl, image.data(), uint32_t(image.size()), &progress);
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLibraryLines();
    rig = new Rig;
    return 0;
}

// Input: the command, four parameter bytes, then the unit's script.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    rig->unit->load(data + 5, size - 5);
    zuctl_t ctl = rig->ctl;
    runCommand(&ctl, data[0], data + 1);
    return 0;
}

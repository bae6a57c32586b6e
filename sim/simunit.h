// The simulated unit: a model of the mixer's firmware behind the two vendor
// requests (29 carries a request message to the unit, 30 reads its pending
// reply message). It keeps its own state (identity, settings, meters, ready
// and busy) and offers fault injection and inspection to tests.
//
// How the unit answers:
// - A request message (29) is parsed item by item; each query queues its
//   answer. Replies (30) hand out the queued reply messages in order, each at
//   most 64 bytes and closed by the end item unless full; the last message of
//   an answer carries ZUMSG_CMD_READY 1. Items that belong together (a
//   channel and its value, one assignment) stay in one message. With nothing
//   queued, a reply is the status message READY 1 (READY 0 during a busy
//   spell).
// - GET_INFO: VERSION (u16), BUILD (u16), PRODUCTNAME, BUILDDATE, BUILDTIME,
//   PRODUCTSIG (arrays). HZ: HZ (u32); SET_HZ stores the rate.
//   GET_AUTOPOWERSAVE: AUTOPOWERSAVE (u8); AUTOPOWERSAVE u8 stores it.
//   GET_SERIAL: SERIAL (array; empty for models without one).
//   RECFUNC: RECFUNC (array of 23 bytes, some lit, some blinking).
//   CH, CH_NUM, then FADER / MUTE / STEREO: the answer names the channel
//   (CH, CH_NUM) before the value; SET_FADER / SET_MUTE / SET_STEREO store.
//   Assignment group (7 items): stores it; all zero asks for the list, which
//   comes back as groups of CH, CH_NUM, ASSIGN_IN, CH, CH_NUM, ASSIGN_OUT,
//   ASSIGN_COMMIT.
//   GET_METER: 97 meters as CH, CH_NUM, METER (u16) in the order of the meter
//   template (kind 4 ch 1-22, kind 7 ch 1-24, kind 3 ch 1-22, kind 6 ch 1-22,
//   kind 2 ch 1-6, kind 8 ch 1), six per reply message: sixteen of six and a
//   last one of one. Levels are linear, 0 to 32767 (full scale).
//   FW_BEGIN, FW_STATUS (answered by FW_ROOM and FW_OFFSET), FW_DATA,
//   FW_DATA_END, FW_GET_CHECKSUM (answered by FW_CHECKSUM, the byte sum of the
//   image): the firmware transfer, in blocks of 256 bytes by default.
//   CONFIG_ERASE returns the settings to their defaults.
// - Settings-only requests queue nothing; the next reply is the status.
// - A reply read asks for up to 64 bytes; the unit writes its message (end
//   item included) and leaves the rest of the caller's buffer alone. A
//   shorter read gets the start of the message; the rest is lost.
// - Other vendor requests, and requests of more than 64 bytes, stall.
//
// Defaults: sample rate 48000, auto power save off, faders 0, not muted,
// mono, line outputs 1-4 fed by the main L/R and the direct monitor pair.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/faultlist.h"
#include "sim/simbus.h"

namespace sim {

enum class Model { Strata96, Strata10, Strata14, Strata20 };

const char *modelName(Model model);                       // "Strata 96", ...
bool modelFromName(const std::string &name, Model *model); // exact names, also "96", "10", ...
uint16_t modelProductId(Model model);                      // from the generated configuration

// One meter as the unit reports it (kind, channel, level), in reply order.
struct MeterPoint {
    uint8_t kind;
    uint8_t channel;
    uint16_t level;
};

// One assignment as the unit keeps it: source (in) routed to destination (out).
struct Assignment {
    uint8_t inKind, inChannel, outKind, outChannel;
};

class SimUnit : public Device {
public:
    static constexpr int kMeterCount = 97;

    explicit SimUnit(Model model);
    ~SimUnit() override;

    // Device
    uint16_t productId() const override;
    std::string name() const override;
    Xfer controlOut(uint8_t request, uint16_t value, uint16_t index,
                    const uint8_t *data, uint16_t length) override;
    Xfer controlIn(uint8_t request, uint16_t value, uint16_t index,
                   uint8_t *data, uint16_t length) override;
    bool openDenied() const override;

    // Identity the unit reports (defaults per model).
    Model model() const;
    void setProductName(const std::string &name);   // e.g. an unknown or odd name
    void setVersion(uint16_t version);
    void setBuild(uint16_t build);
    void setBuildDate(const std::string &date);
    void setBuildTime(const std::string &time);
    void setSerial(const std::string &serial);      // empty: the unit has none
    void setRecFunc(const std::vector<uint8_t> &bytes);

    // Time: microseconds on the unit's clock (default: the steady clock).
    // Meter levels are a pure function of this time (and of the input mutes),
    // so a virtual clock gives repeatable levels. The clock is called with the
    // unit's lock held: it must not call back into the unit.
    void setClock(std::function<uint64_t()> microsNow);

    // Meters: normally moving programme material. A fixed set replaces it.
    void setFixedMeters(const std::vector<MeterPoint> &points);
    void clearFixedMeters();
    void setMetersPerReply(int count);               // default 6: sixteen replies of six, one of one
    std::vector<MeterPoint> meterSnapshot() const;   // what a meter read would report now

    // Settings as the unit holds them.
    uint32_t sampleRate() const;
    bool autoPowerSave() const;
    uint8_t fader(uint8_t kind, uint8_t channel) const;
    bool muted(uint8_t kind, uint8_t channel) const;
    uint8_t stereo(uint8_t kind, uint8_t channel) const;
    std::vector<Assignment> assignments() const;

    // Fault injection. A faulted transfer (stall, time-out, error) has no
    // effect: the request is not taken, the reply stays queued. Stalls come
    // first, then time-outs, then errors.
    void stallNext(int transfers);                // the next n transfers stall
    void timeOutNext(int transfers);              // the next n transfers time out
    void failNext(int transfers);                 // the next n transfers fail with another error
    void busyFor(int replies);                    // the next n reply reads say READY 0 and nothing else
    void silence(bool on);                        // replies are all zero (no items, no ready); answers wait
    void splitReplies(bool on);                   // every answer item in a reply message of its own
    void interleaveDebugText(bool on);            // a debug-text item ("dsp: ok") before each answer
    void malformNextReply(int kind);              // 1 invalid item type, 2 array length past the end, 3 garbage bytes;
                                                  // the broken reply comes before the queued answers
    void queueDebugText(const std::string &text); // one reply of its own carrying the text, before what is queued
    void dropMetersAfter(int values);             // stop sending meter values after n of them (one read)
    void setExtraMeters(int count);               // send more than 97 meter values per read (kind 8 ch 2...)
    void failNextSend(int requests);              // the next n requests (29) fail with an I/O error; reads pass

    // A fault list (sim/faultlist.h) replaces the one before; its times count
    // from now on the unit's clock, its transfers from the next one. Random
    // faults come from a fixed generator, so a list replays the same faults
    // for the same sequence of transfers.
    void setFaultPlan(const std::vector<FaultRule> &rules);
    // An unplug fault makes the unit answer NoDevice at once, as a pulled
    // cable does; the bus is only told through pollFaults, by whoever owns
    // the unit's place on the bus (FaultDriver). pollFaults also runs timed
    // faults while no transfer comes.
    enum class BusAction { None, Unplug, Replug };
    BusAction pollFaults();
    // Opening the unit fails for lack of permission, as a device node that no
    // udev rule opens to the user does; set it before plugging the unit in.
    void denyOpen(bool on);

    // Firmware transfer as the unit sees it.
    void setFirmwareBlockSize(uint32_t bytes);    // room offered per block (default 256)
    void refuseFirmware(bool on);                 // report room 0 and offset 0: the host cancels
    void misreportFirmwareOffset(bool on);        // report one byte more than held: the host waits, then fails
    void neverFinishFirmware(bool on);            // keep offering room once the image is held: verification fails
    uint32_t firmwareLength() const;              // length announced by FW_BEGIN
    std::vector<uint8_t> firmwareImage() const;   // bytes taken so far

    // Inspection.
    std::vector<std::vector<uint8_t>> receivedMessages() const; // request bytes, in order
    void clearReceived();
    int pendingReplies() const;                   // reply messages queued
    int transferCount() const;                    // control transfers of both directions, faulted ones too

private:
    struct State;
    mutable std::mutex lock_;
    std::unique_ptr<State> state_;
    std::atomic<bool> openDenied_{false};
};

// Convenience for programs and tests: plug a new unit of the model into the
// bus and return it.
std::shared_ptr<SimUnit> plugSimUnit(Model model);

} // namespace sim

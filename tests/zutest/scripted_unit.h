// A unit that answers from a script, for byte-exact tests of the transport
// and the commands. Reached exactly as production code reaches a unit: on the
// simulated bus, through the registry and the device group.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "sim/simbus.h"
#include "zutest/zuctl.h"

// Items on the wire, written independently of the codec under test.
namespace wire {
QByteArray none(uint8_t cmd);
QByteArray u8(uint8_t cmd, uint8_t value);
QByteArray u16(uint8_t cmd, uint16_t value);
QByteArray u32(uint8_t cmd, uint32_t value);
QByteArray array(uint8_t cmd, const QByteArray &bytes);
QByteArray end();
QByteArray ready(uint8_t value); // READY u8
} // namespace wire

class ScriptedUnit : public sim::Device {
public:
    struct Transfer {
        bool out;
        uint8_t request;
        uint16_t length;
        QByteArray data; // what was sent (out)
    };

    uint16_t productId() const override;
    std::string name() const override;
    sim::Xfer controlOut(uint8_t request, uint16_t value, uint16_t index, const uint8_t *data,
                         uint16_t length) override;
    sim::Xfer controlIn(uint8_t request, uint16_t value, uint16_t index, uint8_t *data,
                        uint16_t length) override;

    // Outcomes of the next out transfers; Ok once the script is used up.
    void queueOut(sim::Xfer result);
    // The next reply reads, in order: a failure, or the bytes the unit returns.
    void queueReply(const QByteArray &bytes);
    void queueInFailure(sim::Xfer result);
    // What every read returns once the replies are used up (default: nothing).
    void setIdleReply(const QByteArray &bytes);
    // Called before each read is answered, with the read's number from 0.
    void setBeforeRead(std::function<void(int)> hook);

    std::vector<Transfer> transfers() const;
    QList<QByteArray> sentMessages() const;
    int reads() const;

private:
    struct In {
        sim::Xfer result;
        QByteArray bytes;
    };
    mutable std::mutex lock_;
    std::deque<sim::Xfer> outs_;
    std::deque<In> ins_;
    QByteArray idle_;
    std::function<void(int)> beforeRead_;
    std::vector<Transfer> transfers_;
    int reads_ = 0;
};

// The device group of one test process on the simulated bus.
class UnitHarness {
public:
    UnitHarness();  // selects the simulated backend and starts the group
    ~UnitHarness(); // pulls every unit and stops the group

    // Plugs a scripted unit in and stores the first present unit in `ctl`.
    std::shared_ptr<ScriptedUnit> attach(zuctl_t *ctl);
    void plug(const std::shared_ptr<sim::Device> &device);
    void unplug(const std::shared_ptr<sim::Device> &device);
    zuctl_group_t *group() { return &group_; }

private:
    zuctl_group_t group_{};
};

// The zuctl diagnostic "../../zutest/zuctl.c:N:ERROR" for each number, one a line.
QString zuctlLines(std::initializer_list<int> lines);
// The registry's lines for a stall (251 out, 289 in) or a time-out (255, 293).
QString stallLine(bool out);
QString timeoutLine(bool out);

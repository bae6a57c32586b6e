// A unit that answers from a script on the simulated bus, and the library's
// diagnostic lines.
#pragma once

#include <QObject>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "sim/simbus.h"
#include "stdout_capture.h"
#include "test_classes.h"
#include "test_table.h"
#include "virtual_clock.h"
#include "wire.h"
#include "zutest/zuctl.h"

using wire::hex;

// Thread-safe: the registry's tests drive it from a worker while replugging.
class ScriptedUnit : public sim::Device {
public:
    struct Transfer {
        bool out;
        uint8_t request;
        uint16_t length;
        QByteArray data; // what was sent (out)
    };

    explicit ScriptedUnit(std::string name = "Scripted unit", uint16_t productId = usbdevs_product_id(0))
        : name_(std::move(name)), productId_(productId) {}
    uint16_t productId() const override { return productId_; }
    std::string name() const override { return name_; }
    sim::Xfer controlOut(uint8_t request, uint16_t, uint16_t, const uint8_t *data, uint16_t length) override;
    sim::Xfer controlIn(uint8_t request, uint16_t, uint16_t, uint8_t *data, uint16_t length) override;

    // The outcomes of the next sends and the next reads; then Ok, and reads
    // answer the idle reply. The hook runs before each read with its number.
    void queueOut(sim::Xfer result) { Guard g(lock_); outs_.push_back(result); }
    void queueReply(const QByteArray &b, sim::Xfer r = sim::Xfer::Ok) { Guard g(lock_); ins_.push_back({r, b}); }
    void setIdleReply(const QByteArray &bytes) { Guard g(lock_); idle_ = bytes; }
    void setBeforeRead(std::function<void(int)> hook) { Guard g(lock_); beforeRead_ = std::move(hook); }

    std::vector<Transfer> transfers() const { Guard g(lock_); return transfers_; }
    QList<QByteArray> sentMessages() const;
    int reads() const { Guard g(lock_); return reads_; }

private:
    using Guard = std::lock_guard<std::mutex>;
    const std::string name_;
    const uint16_t productId_;
    mutable std::mutex lock_;
    std::deque<sim::Xfer> outs_;
    std::deque<std::pair<sim::Xfer, QByteArray>> ins_;
    QByteArray idle_;
    std::function<void(int)> beforeRead_;
    std::vector<Transfer> transfers_;
    int reads_ = 0;
};

// One scripted unit reached through the device group, as the device worker
// reaches it, on a virtual clock.
class UnitFixture : public QObject {
    Q_OBJECT
public:
    UnitFixture();
    ~UnitFixture() override { usbdevs_exit(&group_.reg); }

protected slots:
    void init();
    void cleanup();

protected:
    zuctl_group_t group_{};
    std::unique_ptr<VirtualClock> clock_;
    std::shared_ptr<ScriptedUnit> unit_;
    zuctl_t ctl_{};
};

// "../../zutest/zuctl.c:N:ERROR" for each number, and the registry's
// "../../zutest/usbdevs.c:N:what".
QString zuctlLines(std::initializer_list<int> lines);
inline QString usbLine(int line, const QString &what)
{
    return QStringLiteral("../../zutest/usbdevs.c:%1:%2\n").arg(line).arg(what);
}
inline QString stallLine(bool out) { return usbLine(out ? 251 : 289, "kIOUSBPipeStalled"); }
inline QString addedLines(const QString &name) { return usbLine(132, "Device added") + name + "\n"; }
inline QString removedLines(const QString &name) { return usbLine(27, "removed") + name + "\n"; }
inline QString finished(StdoutCapture &capture) { return QString::fromStdString(capture.finish()); }

// A command for a table cell, run on the control `c`.
using Command = std::function<uint32_t(zuctl_t *)>;
Q_DECLARE_METATYPE(Command)
#define COMMAND(call) Command([](zuctl_t *c) -> uint32_t { return call; })

#include "scripted_unit.h"

#include <cstring>

namespace wire {

QByteArray none(uint8_t cmd)
{
    return QByteArray() + char(cmd) + char(1);
}

QByteArray u8(uint8_t cmd, uint8_t value)
{
    return QByteArray() + char(cmd) + char(2) + char(value);
}

QByteArray u16(uint8_t cmd, uint16_t value)
{
    return QByteArray() + char(cmd) + char(3) + char(value & 0xFF) + char(value >> 8);
}

QByteArray u32(uint8_t cmd, uint32_t value)
{
    QByteArray item = QByteArray() + char(cmd) + char(4);
    for (int i = 0; i < 4; ++i)
        item += char((value >> (8 * i)) & 0xFF);
    return item;
}

QByteArray array(uint8_t cmd, const QByteArray &bytes)
{
    return QByteArray() + char(cmd) + char(5) + char(bytes.size()) + bytes;
}

QByteArray end()
{
    return QByteArray(2, '\0');
}

QByteArray ready(uint8_t value)
{
    return u8(ZUMSG_CMD_READY, value);
}

} // namespace wire

uint16_t ScriptedUnit::productId() const
{
    return usbdevs_product_id(0);
}

std::string ScriptedUnit::name() const
{
    return "Scripted unit";
}

sim::Xfer ScriptedUnit::controlOut(uint8_t request, uint16_t, uint16_t, const uint8_t *data,
                                   uint16_t length)
{
    std::lock_guard<std::mutex> guard(lock_);
    transfers_.push_back({true, request, length,
                          QByteArray(reinterpret_cast<const char *>(data), data ? length : 0)});
    if (outs_.empty())
        return sim::Xfer::Ok;
    const sim::Xfer result = outs_.front();
    outs_.pop_front();
    return result;
}

sim::Xfer ScriptedUnit::controlIn(uint8_t request, uint16_t, uint16_t, uint8_t *data,
                                  uint16_t length)
{
    std::function<void(int)> hook;
    int read = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        hook = beforeRead_;
        read = reads_++;
    }
    if (hook)
        hook(read);

    std::lock_guard<std::mutex> guard(lock_);
    transfers_.push_back({false, request, length, QByteArray()});
    In in{sim::Xfer::Ok, idle_};
    if (!ins_.empty()) {
        in = ins_.front();
        ins_.pop_front();
    }
    if (in.result == sim::Xfer::Ok && data)
        memcpy(data, in.bytes.constData(), std::min<size_t>(size_t(in.bytes.size()), length));
    return in.result;
}

void ScriptedUnit::queueOut(sim::Xfer result)
{
    std::lock_guard<std::mutex> guard(lock_);
    outs_.push_back(result);
}

void ScriptedUnit::queueReply(const QByteArray &bytes)
{
    std::lock_guard<std::mutex> guard(lock_);
    ins_.push_back({sim::Xfer::Ok, bytes});
}

void ScriptedUnit::queueInFailure(sim::Xfer result)
{
    std::lock_guard<std::mutex> guard(lock_);
    ins_.push_back({result, QByteArray()});
}

void ScriptedUnit::setIdleReply(const QByteArray &bytes)
{
    std::lock_guard<std::mutex> guard(lock_);
    idle_ = bytes;
}

void ScriptedUnit::setBeforeRead(std::function<void(int)> hook)
{
    std::lock_guard<std::mutex> guard(lock_);
    beforeRead_ = std::move(hook);
}

std::vector<ScriptedUnit::Transfer> ScriptedUnit::transfers() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return transfers_;
}

QList<QByteArray> ScriptedUnit::sentMessages() const
{
    QList<QByteArray> sent;
    for (const Transfer &t : transfers()) {
        if (t.out)
            sent << t.data;
    }
    return sent;
}

int ScriptedUnit::reads() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return reads_;
}

UnitHarness::UnitHarness()
{
    usbdevs_select_backend(USBDEVS_BACKEND_SIM);
    zuctl_group_init(&group_);
}

UnitHarness::~UnitHarness()
{
    sim::Bus::instance().unplugAll();
    usbdevs_refresh();
    usbdevs_exit(&group_.reg);
}

std::shared_ptr<ScriptedUnit> UnitHarness::attach(zuctl_t *ctl)
{
    auto unit = std::make_shared<ScriptedUnit>();
    plug(unit);
    zuctl_group_get_init(&group_);
    ctl->dev = nullptr;
    zuctl_group_get_zu(&group_, ctl);
    return unit;
}

void UnitHarness::plug(const std::shared_ptr<sim::Device> &device)
{
    sim::Bus::instance().plug(device);
    usbdevs_refresh();
}

void UnitHarness::unplug(const std::shared_ptr<sim::Device> &device)
{
    sim::Bus::instance().unplug(device);
    usbdevs_refresh();
}

QString zuctlLines(std::initializer_list<int> lines)
{
    QString text;
    for (int line : lines)
        text += QStringLiteral("../../zutest/zuctl.c:%1:ERROR\n").arg(line);
    return text;
}

QString stallLine(bool out)
{
    return QStringLiteral("../../zutest/usbdevs.c:%1:kIOUSBPipeStalled\n").arg(out ? 251 : 289);
}

QString timeoutLine(bool out)
{
    return QStringLiteral("../../zutest/usbdevs.c:%1:kIOUSBTransactionTimeout\n").arg(out ? 255 : 293);
}

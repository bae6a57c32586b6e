#include "scripted_unit.h"

#include <QtTest>

#include <algorithm>
#include <cstring>

sim::Xfer ScriptedUnit::controlOut(uint8_t request, uint16_t, uint16_t, const uint8_t *data, uint16_t length)
{
    Guard g(lock_);
    transfers_.push_back({true, request, length, QByteArray(reinterpret_cast<const char *>(data), length)});
    if (outs_.empty())
        return sim::Xfer::Ok;
    const sim::Xfer result = outs_.front();
    outs_.pop_front();
    return result;
}

sim::Xfer ScriptedUnit::controlIn(uint8_t request, uint16_t, uint16_t, uint8_t *data, uint16_t length)
{
    std::function<void(int)> hook;
    {
        Guard g(lock_);
        hook = beforeRead_;
    }
    if (hook) // outside the lock: it may unplug this unit
        hook(reads());

    Guard g(lock_);
    ++reads_;
    transfers_.push_back({false, request, length, QByteArray()});
    std::pair<sim::Xfer, QByteArray> in{sim::Xfer::Ok, idle_};
    if (!ins_.empty()) {
        in = ins_.front();
        ins_.pop_front();
    }
    if (in.first == sim::Xfer::Ok && data)
        memcpy(data, in.second.constData(), std::min<size_t>(size_t(in.second.size()), length));
    return in.first;
}

QList<QByteArray> ScriptedUnit::sentMessages() const
{
    QList<QByteArray> sent;
    for (const Transfer &t : transfers())
        if (t.out)
            sent << t.data;
    return sent;
}

UnitFixture::UnitFixture()
{
    usbdevs_select_backend(USBDEVS_BACKEND_SIM);
    zuctl_group_init(&group_);
}

void UnitFixture::init()
{
    clock_.reset(new VirtualClock);
    unit_ = std::make_shared<ScriptedUnit>();
    sim::Bus::instance().plug(unit_);
    zuctl_group_get_init(&group_);
    QCOMPARE(zuctl_group_get_zu(&group_, &ctl_), 0u);
}

void UnitFixture::cleanup()
{
    sim::Bus::instance().unplugAll();
    usbdevs_refresh();
    clock_.reset();
}

QString zuctlLines(std::initializer_list<int> lines)
{
    QString text;
    for (int line : lines)
        text += QStringLiteral("../../zutest/zuctl.c:%1:ERROR\n").arg(line);
    return text;
}

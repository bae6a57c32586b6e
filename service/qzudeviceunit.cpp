#include "qzudeviceunit.h"

#include <QThread>

#include <cstring>

#include "registrywaker.h"

namespace {
constexpr int kMessageSize = 64;
constexpr int kMeterCount = 97;
}

QZUDeviceUnit::QZUDeviceUnit()
    : wait_ms(10)
    , waker(new RegistryWaker)
{
    std::memset(&group, 0, sizeof group);
    std::memset(&dev, 0, sizeof dev);
    zuctl_group_init(&group);
    // The registry delivers plug and unplug only on this (the constructing)
    // thread; the waker keeps that thread's event loop informed.
    usbdevs_set_wakeup(&group.reg, &RegistryWaker::wake, waker);
    scan();
}

QZUDeviceUnit::~QZUDeviceUnit()
{
    // Stops the registry's bus threads, so the hook cannot fire any more and
    // the waker can go.
    usbdevs_set_wakeup(&group.reg, nullptr, nullptr);
    usbdevs_exit(&group.reg);
    if (waker->thread() == QThread::currentThread())
        delete waker;
    else
        waker->deleteLater();
}

void QZUDeviceUnit::wait(unsigned long ms)
{
    // The library's sleep, so that a test's virtual clock also paces the worker.
    msleep(static_cast<uint32_t>(ms ? ms : wait_ms));
}

bool QZUDeviceUnit::check_is_selected()
{
    return ensure_selected();
}

bool QZUDeviceUnit::get_meter(zuctl_meter_info_t *info, uint8_t count, uint8_t *num)
{
    if (!ensure_selected())
        return false;
    return zuctl_get_meter(&dev, info, count, num) == 0;
}

void QZUDeviceUnit::finish()
{
    emit finished();
}

void QZUDeviceUnit::deselect()
{
    dev.dev = nullptr;
    emit ret_deselect(true);
}

void QZUDeviceUnit::is_selected()
{
    emit ret_is_selected(ensure_selected());
}

void QZUDeviceUnit::select_default()
{
    scan();
}

void QZUDeviceUnit::zu_send(QByteArray zumsg_data)
{
    uint8_t buf[kMessageSize] = {};
    const int n = qMin(zumsg_data.size(), kMessageSize);
    std::memcpy(buf, zumsg_data.constData(), static_cast<size_t>(n));

    zumsg_t msg;
    bool result = false;
    if (zumsg_init(&msg, buf, static_cast<uint8_t>(n)) != 0) {
        emit zu_send_result(false);
        return;
    }
    msg.pos = static_cast<uint8_t>(n);

    if (ensure_selected())
        result = zuctl_send(&dev, &msg) == 0;
    emit zu_send_result(result);
    wait(wait_ms);
    // Every request is followed by exactly one reply read, also a failed one.
    zu_recv();
}

void QZUDeviceUnit::zu_recv()
{
    uint8_t buf[kMessageSize] = {};
    zumsg_t msg;
    zumsg_init(&msg, buf, kMessageSize);

    const bool result = ensure_selected() && zuctl_recv(&dev, &msg) == 0;
    emit zu_recv_result(result, QByteArray(reinterpret_cast<const char *>(buf), kMessageSize));
    wait(wait_ms);
}

void QZUDeviceUnit::zu_get_meter()
{
    zuctl_meter_info_t info[kMeterCount];
    std::memset(info, 0, sizeof info);
    uint8_t num = 0;

    const bool result = ensure_selected() && zuctl_get_meter(&dev, info, kMeterCount, &num) == 0;
    emit ret_get_meter(result, QByteArray(reinterpret_cast<const char *>(info), sizeof info), num);
    wait(wait_ms);
}

void QZUDeviceUnit::scan()
{
    dev.dev = nullptr;
    emit ret_deselect(true);

    bool found = false;
    if (zuctl_group_get_init(&group) == 0)
        found = zuctl_group_get_zu(&group, &dev) == 0;
    if (!found)
        dev.dev = nullptr;
    emit ret_select_default(found);
}

bool QZUDeviceUnit::ensure_selected()
{
    if (dev.dev)
        return true;
    scan();
    return dev.dev != nullptr;
}

#include "registrywaker.h"

#include "zutest/usbdevs.h"

RegistryWaker::RegistryWaker(QObject *parent)
    : QObject(parent)
{
}

void RegistryWaker::wake(void *context)
{
    auto *waker = static_cast<RegistryWaker *>(context);
    if (!waker)
        return;
    QMetaObject::invokeMethod(waker, "deliver", Qt::QueuedConnection);
}

void RegistryWaker::deliver()
{
    usbdevs_refresh();
}

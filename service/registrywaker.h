// Brings the registry's plug and unplug notifications to the thread that
// started the registry. The registry calls the hook from one of its bus
// threads; the hook only posts a call of usbdevs_refresh() to this object,
// whose thread then delivers the pending arrivals and removals.
#pragma once

#include <QObject>

class RegistryWaker : public QObject
{
    Q_OBJECT

public:
    explicit RegistryWaker(QObject *parent = nullptr);

    // A usbdevs_wakeup_fn; context is the waker. Any thread, also before the
    // application object exists: the posted call waits in the thread's queue
    // until its event loop runs.
    static void wake(void *context);

private slots:
    void deliver();
};

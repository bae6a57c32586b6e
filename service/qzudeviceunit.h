// The device worker: the only object that exchanges USB transfers with the
// unit. It lives on a thread of its own; each slot performs one blocking
// exchange and answers with a signal, so the window never waits for the unit.
#pragma once

#include <QByteArray>
#include <QObject>

#include "zutest/zuctl.h"

class RegistryWaker;

class QZUDeviceUnit : public QObject
{
    Q_OBJECT

public:
    QZUDeviceUnit();
    ~QZUDeviceUnit() override;

    void wait(unsigned long ms);
    bool check_is_selected();
    bool get_meter(zuctl_meter_info_t *info, uint8_t count, uint8_t *num);
    void finish();

signals:
    void zu_send_result(bool result);
    void zu_recv_result(bool result, QByteArray zumsg_data);
    void ret_deselect(bool ret);
    void ret_is_selected(bool ret);
    void ret_select_default(bool ret);
    void ret_get_meter(bool ret, QByteArray meter, int num);
    void finished();

public slots:
    void deselect();
    void is_selected();
    void select_default();
    void zu_send(QByteArray zumsg_data);
    void zu_recv();
    void zu_get_meter();

private:
    void scan();
    bool ensure_selected();

    zuctl_group_t group;
    zuctl_t dev;
    unsigned long wait_ms;
    RegistryWaker *waker;
};

// The device worker: the only object that exchanges USB transfers with the
// unit. It lives on a thread of its own; each slot performs one blocking
// exchange and answers with a signal, so the window never waits for the unit.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "zutest/zuctl.h"

class RegistryWaker;

class QZUDeviceUnit : public QObject
{
    Q_OBJECT

public:
    // How a firmware transfer ended; the library's own results come first.
    enum FirmwareResult { FirmwareOk = 0, FirmwareFailed = 1, FirmwareCancelled = 2, FirmwareDisconnected = 3,
                          FirmwareBadImage = 4, FirmwareNoUnit = 5 };

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
    // Firmware transfer (qzudeviceunit_firmware.cpp): where it stands while it
    // blocks, then how it ended (FirmwareResult) with the reason in words.
    void ret_fwupdate_progress(quint32 pos, quint32 length, bool verifying);
    void ret_fwupdate(int result, QString detail);

public slots:
    void deselect();
    void is_selected();
    void select_default();
    void zu_send(QByteArray zumsg_data);
    void zu_recv();
    void zu_get_meter();
    void zu_fwupdate(QString path);

private:
    void scan();
    bool ensure_selected();

    zuctl_group_t group;
    zuctl_t dev;
    unsigned long wait_ms;
    RegistryWaker *waker;
};

// The firmware transfer on the worker: the one long exchange. It blocks the
// worker for its whole length, so every other request waits in the queue.
#include "service/qzudeviceunit.h"

#include "service/firmwareimage.h"

namespace {

void tellProgress(void *ctx, uint32_t pos, uint32_t length, int verifying)
{
    emit static_cast<QZUDeviceUnit *>(ctx)->ret_fwupdate_progress(pos, length, verifying != 0);
}

} // namespace

void QZUDeviceUnit::zu_fwupdate(QString path)
{
    // The file is checked again here: it may have changed since the window
    // asked the user.
    FirmwareImage image;
    if (!image.open(path)) {
        emit ret_fwupdate(FirmwareBadImage, image.error());
        return;
    }
    if (!ensure_selected()) {
        emit ret_fwupdate(FirmwareNoUnit, QString());
        return;
    }
    const uint32_t result = zuctl_fwupdate_notify(&dev, image.data(), image.length(), nullptr, &tellProgress, this);
    if (result == FirmwareOk || result == FirmwareCancelled) {
        emit ret_fwupdate(int(result), QString());
        return;
    }
    // Removals reach the slot table on the main thread's event loop, so a
    // unit pulled a moment ago may still look present: then it reads failed.
    emit ret_fwupdate(usbdevs_dev_exist(dev.dev) != 0 ? FirmwareDisconnected : FirmwareFailed, QString());
}

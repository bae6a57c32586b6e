#include "tools/directlink.h"

#include <cstring>

DirectLink::DirectLink()
{
    std::memset(&group_, 0, sizeof group_);
}

DirectLink::~DirectLink()
{
    // A process runs one command, but the tests run many in one process.
    if (started_)
        usbdevs_exit(&group_.reg);
}

bool DirectLink::units(QList<zuctl_t> *found)
{
    found->clear();
    // Started on first use, so that a wrong command line never touches USB.
    if (!tried_) {
        tried_ = true;
        started_ = zuctl_group_init(&group_) == 0;
    }
    if (!started_)
        return false;
    zuctl_group_get_init(&group_);
    zuctl_t ctl{nullptr};
    while (zuctl_group_get_zu(&group_, &ctl) == 0)
        found->append(ctl);
    return true;
}

bool DirectLink::accessDenied()
{
    uint32_t denied = 0;
    return started_ && usbdevs_access_denied(&group_.reg, &denied) == 0 && denied > 0;
}

int DirectLink::slotOf(const zuctl_t &ctl) const
{
    return int(ctl.dev - group_.reg.devs);
}

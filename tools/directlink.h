// The device library's registry as the tool uses it: started when first
// asked, queried for the units present in slot order, released at the end.
#pragma once

#include <QList>

#include "zutest/zuctl.h"

class DirectLink {
public:
    DirectLink();
    ~DirectLink();
    DirectLink(const DirectLink &) = delete;
    DirectLink &operator=(const DirectLink &) = delete;

    // Handles of the units present, in slot order. False when the registry
    // could not be started.
    bool units(QList<zuctl_t> *found);

    // Whether a unit is present that the user may not open (no udev rule).
    bool accessDenied();

    // Registry slot of a unit handle.
    int slotOf(const zuctl_t &ctl) const;

private:
    zuctl_group_t group_;
    bool tried_ = false;
    bool started_ = false;
};

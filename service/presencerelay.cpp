#include "service/presencerelay.h"

void PresenceRelay::deselected(bool ret)
{
    if (!deselectOwed_)
        return;
    deselectOwed_ = false;
    emit ret_deselect(ret);
}

void PresenceRelay::selectionAnswered(bool ret)
{
    if (ret == selected_)
        return;
    selected_ = ret;
    emit ret_is_selected(ret);
}

void PresenceRelay::deselectAsked()
{
    deselectOwed_ = true;
}

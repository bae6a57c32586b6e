// Who the panel is to the desktop: names, version, the menu entry it was
// started from and the icon of its windows.
#pragma once

#include "strata_config.h"

class QIcon;

namespace panel {

// The menu entry (and icon theme name) the desktop files are installed under.
inline constexpr char kDesktopFileName[] = STRATA_APP_ID;

// The icon set installed for the desktop, as the window's icon: the drawing
// and the bitmaps rendered from it.
QIcon applicationIcon();

// Sets the application's name, version, organisation, desktop file name and
// window icon. Call once, right after the application object is made.
void applyApplicationIdentity();

} // namespace panel

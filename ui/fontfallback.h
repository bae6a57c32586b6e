// The form and the style sheets name the families the panel was designed
// with: "Yu Gothic UI", and "メイリオ" for the window. Where they are not
// installed the toolkit falls back to the system's default sans family, which
// on most Linux desktops is too wide for the design widths of the captions
// and readouts; a narrow family keeps them inside their widgets.
#pragma once

namespace panel {

// Call once the application object exists, before the window is built.
void installFontFallbacks();

} // namespace panel

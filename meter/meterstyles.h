// Look of the meter page: the style sheets the meter engine and the page's
// buttons set from code, in one place so a colour is changed only here. The
// rec-function labels share their looks with the window's blink timer and
// take them from ui/mainwindowstyle.h.
#pragma once

namespace meter {

// Peak-hold marker, by the zone of the held height.
constexpr char kMarkerSilentStyle[] =
    "background-image: url(:/Resource/trans.png); background-color: #000000";
constexpr char kMarkerGreenStyle[] =
    "background-image: url(:/Resource/trans.png); background-color: #15FF02";
constexpr char kMarkerYellowStyle[] =
    "background-image: url(:/Resource/trans.png); background-color: #FEFE00";
constexpr char kMarkerRedStyle[] =
    "background-image: url(:/Resource/trans.png); background-color: #FF3100";

// Meter-source buttons.
constexpr char kSourceSelectedStyle[] =
    "background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #58C0FF, "
    "stop:0.04 #08A2FF,stop:0.97 #08A2FF,stop:1.00 #0069AA,);"
    "background-image: url(:/Resource/trans.png);color: rgb(0, 0, 0);border-radius: 3px";
constexpr char kSourceUnselectedStyle[] =
    "background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #D8D8D8, "
    "stop:0.04 #B4B4B4,stop:0.97 #B1B1B1,stop:1.00 #7B7979,);"
    "background-image: url(:/Resource/trans.png);color: rgb(0, 0, 0);border-radius: 3px";

// Peak-hold buttons: the source styles, closed with a semicolon.
constexpr char kPeakHoldSelectedStyle[] =
    "background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #58C0FF, "
    "stop:0.04 #08A2FF,stop:0.97 #08A2FF,stop:1.00 #0069AA,);"
    "background-image: url(:/Resource/trans.png);color: rgb(0, 0, 0);border-radius: 3px;";
constexpr char kPeakHoldUnselectedStyle[] =
    "background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #D8D8D8, "
    "stop:0.04 #B4B4B4,stop:0.97 #B1B1B1,stop:1.00 #7B7979,);"
    "background-image: url(:/Resource/trans.png);color: rgb(0, 0, 0);border-radius: 3px;";
// "OFF" while "1 SEC" is selected: flat, as the form draws it.
constexpr char kPeakHoldOffFlatStyle[] =
    "background-color: #B4B4B4;background-image: url(:/Resource/trans.png);"
    "color: rgb(0, 0, 0);border-radius: 3px;border-style: outset;border-width:1px;"
    "border-color:#D8D8D8   #B4B4B4   #B1B1B1   #7B7979";

} // namespace meter

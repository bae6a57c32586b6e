// Looks the window sets from code; the form carries the rest.
#pragma once

#include <QFont>
#include <QLatin1String>
#include <QWidget>

namespace panel {

// Rec-function indicators: lit, off, and off while the channel strips show
// another signal point than the one the rec function follows.
inline constexpr char kRecFuncRedStyle[] =
    "QLabel{background-color: #CB2700; border-radius:1px;  border-color:#000000; border-width:1px; color:#FFFFFF;}";
inline constexpr char kRecFuncGreyStyle[] =
    "QLabel{background-color: #CECECE; border-radius:1px;  border-color:#000000; border-width:1px; color:#0D0D0D;}";
inline constexpr char kRecFuncBlackStyle[] =
    "QLabel{background-color: #000000; border-radius:1px;  border-color:#000000; border-width:1px; color:#FFFFFF;}";

// Setting a style sheet re-polishes and repaints the widget even when the
// text is the one it already has; the blink tick restyles 24 labels twice a
// second, mostly to what they show already.
inline void restyle(QWidget *widget, const char *style)
{
    const QLatin1String text(style);
    if (widget->styleSheet() != text)
        widget->setStyleSheet(text);
}

inline constexpr char kBufferSliderStyle[] =
    "QSlider{ background-image: url(:/Resource/trans.png); }QSlider{ background-color: rgba(0,0,0,0) }"
    "QSlider::groove:horizontal{ background-image: url(:/Resource/trans.png); position: absolute; top:7px; "
    "bottom:7px; height: 1px; }QSlider::handle:horizontal{ background: #22A1FF; border: 1px solid #2A2A2A; "
    "height: 14px; width: 14px; margin: -7px 0px; border-radius: 7px;}";

inline constexpr char kHoldClearStyle[] =
    "QPushButton{background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #D8D8D8, "
    "stop:0.04 #B4B4B4,stop:0.97 #B1B1B1,stop:1.00 #7B7979,);background-image: url(:/Resource/trans.png);  "
    "color: rgb(0, 0, 0); border-radius: 3px;}QPushButton:pressed{background-color: qlineargradient(spread:pad, "
    "x1:0, y1:0, x2:0, y2:1, stop:0 #F7F7F7, stop:0.04 #DBDBDB,stop:0.97 #EBEBEB,stop:1.00 #A5A5A5,);"
    "background-image: url(:/Resource/trans.png);  color: rgb(0, 0, 0); border-radius: 3px; border-style: outset; "
    "border-width:1px; border-color:#F7F7F7 #DBDBDB #EBEBEB #A5A5A5}";

inline constexpr char kPanelFontFamily[] = "Yu Gothic UI";
// Weight values as the toolkit's font constructor takes them.
inline constexpr int kHeaderFontPoints = 13;
inline constexpr int kRecFuncFontPoints = 10;
inline constexpr int kBoldWeight = 700;

inline QFont headerFont() { return QFont(kPanelFontFamily, kHeaderFontPoints, kBoldWeight, false); }
inline QFont recFuncFont() { return QFont(kPanelFontFamily, kRecFuncFontPoints, kBoldWeight, false); }

} // namespace panel

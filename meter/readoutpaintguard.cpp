#include "meter/readoutpaintguard.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QPaintEvent>

namespace {

constexpr char kTransparentBackground[] = "background-color: rgba(255, 255, 255, 0);";

} // namespace

bool ReadoutPaintGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Paint)
        return false;
    auto *readout = qobject_cast<QAbstractButton *>(watched);
    // Pressed or focused, the style may draw more than the text; and only
    // the form's look, a transparent background without a border, is known
    // to leave the rest of the readout alone.
    if (!readout || readout->isDown() || readout->hasFocus()
        || !readout->styleSheet().contains(QLatin1String(kTransparentBackground)))
        return false;
    // The rows of the text's line, centred as the button centres it, and a
    // row more on each side for glyphs that reach beyond it. Only the
    // height matters: the shared row runs across the whole readout.
    const int line = readout->fontMetrics().height();
    const QRect drawn(0, (readout->height() - line) / 2 - 1, readout->width(), line + 2);
    return !static_cast<QPaintEvent *>(event)->region().intersects(drawn);
}

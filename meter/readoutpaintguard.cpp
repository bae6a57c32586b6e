#include "meter/readoutpaintguard.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QStyle>

bool ReadoutPaintGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Paint)
        return false;
    auto *readout = qobject_cast<QAbstractButton *>(watched);
    // Pressed or focused, the style may draw more than the text.
    if (!readout || readout->isDown() || readout->hasFocus())
        return false;
    // The text's whole line box, centred as the button centres it, and a
    // pixel more on each side for glyphs that reach beyond it.
    const QSize line = readout->fontMetrics().size(Qt::TextShowMnemonic, readout->text());
    const QRect drawn = QStyle::alignedRect(readout->layoutDirection(), Qt::AlignCenter, line, readout->rect())
                            .adjusted(-1, -1, 1, 1);
    return !static_cast<QPaintEvent *>(event)->region().intersects(drawn);
}

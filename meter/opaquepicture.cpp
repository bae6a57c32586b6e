#include "meter/opaquepicture.h"

#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

void OpaquePicture::take(QLabel *label)
{
    if (label->testAttribute(Qt::WA_OpaquePaintEvent))
        return;
    // A child of the label, so that it goes with it.
    label->installEventFilter(new OpaquePicture(label));
    label->setAttribute(Qt::WA_OpaquePaintEvent);
}

bool OpaquePicture::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Paint)
        return false;
    auto *label = static_cast<QLabel *>(watched);
    QPainter painter(label);
    // The style sheet's background colour is what its style put in the
    // palette; the picture may leave parts of it showing.
    painter.fillRect(label->rect(), label->palette().brush(label->backgroundRole()));
    // A label that stretches its picture keeps its own scaled copy, and a
    // disabled one greys it: the label's own paint draws those.
    if (label->hasScaledContents() || !label->isEnabled())
        return false;
    const QPixmap picture = label->pixmap(Qt::ReturnByValue);
    if (picture.isNull())
        return true;
    const int margin = label->margin();
    const QRect contents = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    const qreal ratio = picture.devicePixelRatio();
    const QRect placed = QStyle::alignedRect(
        label->layoutDirection(), QStyle::visualAlignment(label->layoutDirection(), label->alignment()),
        picture.size() / ratio, contents);
    const QRect shown = placed.intersected(contents);
    painter.drawPixmap(shown.x(), shown.y(), picture, shown.x() - placed.x(), shown.y() - placed.y(),
                       qRound(shown.width() * ratio), qRound(shown.height() * ratio));
    return true;
}

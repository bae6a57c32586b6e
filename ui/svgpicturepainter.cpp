#include "ui/svgpicturepainter.h"

#include <QtMath>

SvgPicturePainter::SvgPicturePainter(qreal devicePixelRatio)
    : m_ratio(devicePixelRatio > 0 ? devicePixelRatio : 1.0)
{
}

QPixmap SvgPicturePainter::render(const QString &file, const QSize &size)
{
    if (size.isEmpty())
        return QPixmap();
    QPixmap picture(qCeil(size.width() * m_ratio), qCeil(size.height() * m_ratio));
    picture.setDevicePixelRatio(m_ratio);
    picture.fill(Qt::transparent);
    m_renderer.load(file);
    m_painter.begin(&picture);
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_renderer.render(&m_painter, QRectF(0, 0, size.width(), size.height()));
    m_painter.end();
    return picture;
}

void SvgPicturePainter::show(QLabel *label, const QPixmap &picture)
{
    const QSize logical = (QSizeF(picture.size()) / picture.devicePixelRatio()).toSize();
    label->setScaledContents(false);
    if (picture.isNull() || logical == label->contentsRect().size()) {
        label->setPixmap(picture);
        return;
    }
    // Scaled once here, the same way the label would scale it on its first
    // paint; the label then keeps only the copy it shows.
    const qreal ratio = picture.devicePixelRatio();
    QPixmap shown = QPixmap::fromImage(picture.toImage().scaled(label->contentsRect().size() * ratio,
                                                                Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    shown.setDevicePixelRatio(ratio);
    label->setPixmap(shown);
}

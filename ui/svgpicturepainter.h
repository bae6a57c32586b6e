// Renders the vector pictures of one layout pass: one renderer and one
// painter, reused for every picture, each picture at the target size times
// the screen's pixel ratio so that it stays sharp on dense screens.
#pragma once

#include <QPainter>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QSvgRenderer>

class SvgPicturePainter
{
public:
    explicit SvgPicturePainter(qreal devicePixelRatio);

    // A transparent picture of `size` logical pixels with the file drawn
    // over all of it; a null picture for an empty size.
    QPixmap render(const QString &file, const QSize &size);

private:
    qreal m_ratio;
    QSvgRenderer m_renderer;
    QPainter m_painter;
};

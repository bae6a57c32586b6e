// Renders the vector pictures of one layout pass: one renderer and one
// painter, reused for every picture, each picture at the target size times
// the screen's pixel ratio so that it stays sharp on dense screens.
#pragma once

#include <QLabel>
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

    // Gives the label its picture, stretched to the label's size. A label
    // that scales its contents keeps a scaled copy beside the picture, at
    // its own size, even when the picture has that size already: the
    // picture is stretched here instead, as the label would, and shown
    // unscaled, which puts the same pixels on the screen without the copy.
    static void show(QLabel *label, const QPixmap &picture);

private:
    qreal m_ratio;
    QSvgRenderer m_renderer;
    QPainter m_painter;
};

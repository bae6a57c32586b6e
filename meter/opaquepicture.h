// Paints a picture label of the meter page (the page background, a bar) in
// one pass, background and picture, and marks it opaque, so that a repaint
// inside it no longer paints everything beneath it first. Every bar change
// repaints a column of the page: left to the toolkit, each of the window's
// nested containers, the page background and the bar would fill that column
// with the window's black in turn, each through a style sheet lookup, before
// the pictures go on top.
//
// Only for labels that show a picture and no text, without a frame, whose style sheet gives them an opaque background colour and no
// border (on the meter page: the black every widget takes from the window).
// The pixels are those the toolkit paints: that colour, then the picture
// placed by the label's alignment.
#pragma once

#include <QObject>

class QLabel;

class OpaquePicture : public QObject
{
public:
    // Idempotent: a label taken over already stays as it is.
    static void take(QLabel *label);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

// Spares the peak readouts the repaints their strip's bar causes. At most
// window sizes the rounded bottom of a bar and the top of the readout below
// it share a row of pixels, so every change of a bar's height also repaints
// its readout, text layout and all, for a row in which the readout draws
// nothing: its background is transparent and its text sits in the middle.
// A paint event that reaches no pixel of the readout's text line is dropped;
// what is beneath has been painted already and stays as it is.
#pragma once

#include <QObject>

class ReadoutPaintGuard : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

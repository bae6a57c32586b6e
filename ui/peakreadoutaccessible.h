// What a screen reader is told about a peak readout: which strip it belongs
// to and the level it shows ("Channel 5 peak, -4.5 dB"), as a button that
// clears that strip's hold. The name is made when the reader asks, so the
// meter refresh, which rewrites the readouts ten times a second, pays nothing
// for it; the button's own text change already tells the reader to ask.
#pragma once

#include <QAccessibleWidget>
#include <QCoreApplication>

class QAbstractButton;

class PeakReadoutAccessible : public QAccessibleWidget
{
    Q_DECLARE_TR_FUNCTIONS(PeakReadoutAccessible)

public:
    // Readouts carry their strip (0 to 21 the channels, 22 main L, 23 main R)
    // in this property; the factory serves only buttons that have it.
    static constexpr char kStripProperty[] = "peakReadoutStrip";

    PeakReadoutAccessible(QWidget *readout, int strip);

    static QAccessibleInterface *factory(const QString &className, QObject *object);
    static QString name(int strip, const QString &readoutText);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    QAbstractButton *button() const;

    int m_strip;
};

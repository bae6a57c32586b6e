#include "ui/peakreadoutaccessible.h"

#include <QAbstractButton>

namespace {

constexpr int kChannelStrips = 22;
constexpr int kMainL = 22;

} // namespace

PeakReadoutAccessible::PeakReadoutAccessible(QWidget *readout, int strip)
    : QAccessibleWidget(readout, QAccessible::Button), m_strip(strip)
{
}

QAccessibleInterface *PeakReadoutAccessible::factory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QPushButton") || !object || !object->isWidgetType())
        return nullptr;
    const QVariant strip = object->property(kStripProperty);
    if (!strip.isValid())
        return nullptr;
    return new PeakReadoutAccessible(static_cast<QWidget *>(object), strip.toInt());
}

QString PeakReadoutAccessible::name(int strip, const QString &readoutText)
{
    // The engine writes " -inf" below the meter's range.
    const QString value = readoutText.trimmed();
    const QString level = value == QLatin1String("-inf") ? tr("no signal") : tr("%1 dB").arg(value);
    if (strip < kChannelStrips)
        return tr("Channel %1 peak, %2").arg(strip + 1).arg(level);
    return strip == kMainL ? tr("Main L peak, %1").arg(level) : tr("Main R peak, %1").arg(level);
}

QString PeakReadoutAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return name(m_strip, button()->text());
    if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
        return tr("Press to clear the held peak");
    return QAccessibleWidget::text(t);
}

QStringList PeakReadoutAccessible::actionNames() const
{
    return QStringList(pressAction()) + QAccessibleWidget::actionNames();
}

void PeakReadoutAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() && widget()->isEnabled())
        button()->click();
    else
        QAccessibleWidget::doAction(actionName);
}

QAbstractButton *PeakReadoutAccessible::button() const
{
    return static_cast<QAbstractButton *>(widget());
}

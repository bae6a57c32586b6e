#include "ui/choicebuttonaccessible.h"

#include <QAbstractButton>

ChoiceButtonAccessible::ChoiceButtonAccessible(QWidget *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

QAccessibleInterface *ChoiceButtonAccessible::factory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QPushButton") || !object || !object->isWidgetType()
        || !object->property(kChosenStyleProperty).isValid())
        return nullptr;
    return new ChoiceButtonAccessible(static_cast<QWidget *>(object));
}

QAccessible::State ChoiceButtonAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = widget()->styleSheet() == widget()->property(kChosenStyleProperty).toString();
    return s;
}

QStringList ChoiceButtonAccessible::actionNames() const
{
    return QStringList(pressAction()) + QAccessibleWidget::actionNames();
}

void ChoiceButtonAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() && widget()->isEnabled())
        static_cast<QAbstractButton *>(widget())->click();
    else
        QAccessibleWidget::doAction(actionName);
}

// What a screen reader is told about a meter-source or peak-hold button: a
// toggle that is pressed while it is the group's choice. The page marks the
// choice only by a style sheet, so the state is read from that when the
// reader asks, and the page's code stays as it is.
#pragma once

#include <QAccessibleWidget>

class ChoiceButtonAccessible : public QAccessibleWidget
{
public:
    // Choice buttons carry in this property the style sheet the page gives
    // the chosen button of their group; the factory serves only those.
    static constexpr char kChosenStyleProperty[] = "choiceButtonChosenStyle";

    explicit ChoiceButtonAccessible(QWidget *button);

    static QAccessibleInterface *factory(const QString &className, QObject *object);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
};

// The ring drawn around the button that has the keyboard focus. The buttons'
// own style sheets are fixed looks, so the mark is a separate widget laid
// over the focused button instead of a :focus rule in them; a mouse user, who
// never moves the focus with the keyboard, never sees it.
#pragma once

#include <QHash>
#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QMenu;
class QMenuBar;

class FocusMark : public QWidget
{
    Q_OBJECT

public:
    // How the ring sits: around the whole button, or around its text only
    // (the peak readouts are wider than their spacing and draw no box).
    enum class Shape { AroundButton, AroundText };

    explicit FocusMark(QWidget *parent);

    void track(QAbstractButton *button, Shape shape);
    // Escape in one of the bar's menus leaves the bar holding the focus: it
    // goes back to the page instead, and the ring with it.
    void followMenus(QMenuBar *bar);
    // The button the ring is around, or null while it is hidden.
    QAbstractButton *markedButton() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void markButton(QAbstractButton *button);
    void returnFocusFromMenu(QMenu *menu);
    void unmark();
    void place();

    QHash<const QObject *, Shape> m_shapes;
    QPointer<QAbstractButton> m_marked;
    // Set by Tab and the other focus keys, cleared by a mouse press: a page
    // switch then moves the ring along only when the keyboard made it.
    bool m_keyboardMode = false;
};

#include "ui/focusmark.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>

namespace {

// The light blue of the selected buttons' gradient, so the ring reads as the
// panel's own accent on the dark pages.
const QColor kMarkColour(0x58, 0xC0, 0xFF);
constexpr qreal kPenWidth = 2.0;
// A gap of one dot keeps the ring apart from a selected (blue) button.
constexpr int kOutset = 3;
constexpr int kTextPadding = 3;
constexpr qreal kCornerRadius = 4.0;
constexpr char kWidestReadout[] = "-88.8";

bool isFocusKey(int key)
{
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Space
           || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

FocusMark::FocusMark(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("focusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusMark::track(QAbstractButton *button, Shape shape)
{
    m_shapes.insert(button, shape);
    button->installEventFilter(this);
}

void FocusMark::followMenus(QMenuBar *bar)
{
    for (QAction *action : bar->actions()) {
        if (QMenu *menu = action->menu())
            menu->installEventFilter(this);
    }
}

QAbstractButton *FocusMark::markedButton() const
{
    return isVisible() ? m_marked.data() : nullptr;
}

bool FocusMark::eventFilter(QObject *watched, QEvent *event)
{
    if (auto *menu = qobject_cast<QMenu *>(watched)) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            returnFocusFromMenu(menu);
        return false;
    }
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (!button)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
            || reason == Qt::ShortcutFocusReason)
            m_keyboardMode = true;
        if (m_keyboardMode && reason != Qt::MouseFocusReason)
            markButton(button);
        break;
    }
    case QEvent::FocusOut:
        if (button == m_marked)
            unmark();
        break;
    case QEvent::KeyPress:
        // Tab on the only focusable button of a page keeps the focus where it
        // is, so no focus event would show the ring.
        if (isFocusKey(static_cast<QKeyEvent *>(event)->key())) {
            m_keyboardMode = true;
            if (button->hasFocus() && button != markedButton())
                markButton(button);
        }
        break;
    case QEvent::MouseButtonPress:
        m_keyboardMode = false;
        unmark();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (button == m_marked)
            place();
        break;
    case QEvent::Hide:
        if (button == m_marked)
            hide();
        break;
    default:
        break;
    }
    return false;
}

void FocusMark::returnFocusFromMenu(QMenu *menu)
{
    // The menu handles the key after this: it closes and puts the bar into
    // its keyboard mode, which takes the focus from the page's button.
    QWidget *window = menu->parentWidget() ? menu->parentWidget()->window() : nullptr;
    QPointer<QWidget> back = window ? window->focusWidget() : nullptr;
    if (!back || qobject_cast<QMenuBar *>(back))
        return;
    QMetaObject::invokeMethod(this, [back] {
        if (back)
            back->setFocus(Qt::MenuBarFocusReason);
    }, Qt::QueuedConnection);
}

void FocusMark::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kMarkColour, kPenWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = kPenWidth / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), kCornerRadius,
                            kCornerRadius);
}

void FocusMark::markButton(QAbstractButton *button)
{
    m_marked = button;
    if (parentWidget() != button->parentWidget())
        setParent(button->parentWidget());
    place();
    raise();
    show();
}

void FocusMark::unmark()
{
    m_marked = nullptr;
    hide();
}

void FocusMark::place()
{
    if (!m_marked)
        return;
    QRect ring = m_marked->geometry().adjusted(-kOutset, -kOutset, kOutset, kOutset);
    if (m_shapes.value(m_marked) == Shape::AroundText) {
        // The readout's text follows the level while the ring stays: it is
        // sized for the widest reading, past the button's edges if need be,
        // so that it never crosses the text.
        const QFontMetrics metrics = m_marked->fontMetrics();
        const int textWidth = qMax(metrics.horizontalAdvance(m_marked->text().trimmed()),
                                   metrics.horizontalAdvance(QLatin1String(kWidestReadout)));
        const int width = textWidth + 2 * kTextPadding;
        ring = QRect(0, 0, width, m_marked->height());
        ring.moveCenter(m_marked->geometry().center());
    }
    setGeometry(ring);
    update();
}

#include "ui/keyboardaccess.h"

#include <QAccessible>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>

#include "meter/meterstyles.h"
#include "ui/choicebuttonaccessible.h"
#include "ui/focusmark.h"
#include "ui/peakreadoutaccessible.h"

namespace panel {

namespace {

struct NamedButton {
    const char *objectName;
    const char *accessibleName;
    // The style sheet that marks the button as its group's choice, if it
    // belongs to one.
    const char *chosenStyle = nullptr;
};

// Reading order of each page: the page button at the top, then the
// peak-hold group on the left, the meter-select group on the right, the
// readouts along the bottom from channel 1 to main R.
const NamedButton kInfoPageButtons[] = {
    {"pushButton_Meter", QT_TRANSLATE_NOOP("KeyboardAccess", "Meters page")},
};
const NamedButton kMeterPageButtons[] = {
    {"pushButton_Information", QT_TRANSLATE_NOOP("KeyboardAccess", "Information page")},
    {"pushButton_PeakHoldOff", QT_TRANSLATE_NOOP("KeyboardAccess", "Peak hold off"),
     meter::kPeakHoldSelectedStyle},
    {"pushButton_PeakHold1s", QT_TRANSLATE_NOOP("KeyboardAccess", "Peak hold 1 second"),
     meter::kPeakHoldSelectedStyle},
    {"pushButton_PeakHold3s", QT_TRANSLATE_NOOP("KeyboardAccess", "Peak hold 3 seconds"),
     meter::kPeakHoldSelectedStyle},
    {"pushButton_PeakHoldInf", QT_TRANSLATE_NOOP("KeyboardAccess", "Peak hold infinite"),
     meter::kPeakHoldSelectedStyle},
    {"pushButton_HoldClear", QT_TRANSLATE_NOOP("KeyboardAccess", "Clear all held peaks")},
    {"pushButton_MTRSource", QT_TRANSLATE_NOOP("KeyboardAccess", "Meter source: MTR SOURCE"),
     meter::kSourceSelectedStyle},
    {"pushButton_Analog", QT_TRANSLATE_NOOP("KeyboardAccess", "Meter source: MIC / LINE"),
     meter::kSourceSelectedStyle},
    {"pushButton_USB", QT_TRANSLATE_NOOP("KeyboardAccess", "Meter source: USB RETURN"),
     meter::kSourceSelectedStyle},
    {"pushButton_MTR", QT_TRANSLATE_NOOP("KeyboardAccess", "Meter source: MTR RETURN"),
     meter::kSourceSelectedStyle},
};

constexpr int kReadouts = 24;

QString readoutName(int strip)
{
    if (strip < 22)
        return QStringLiteral("pushButton_peakText%1").arg(strip + 1);
    return QLatin1String(strip == 22 ? "pushButton_peakTextL" : "pushButton_peakTextR");
}

// Setting the form's texts already made and cached the toolkit's plain
// button interface; drop it so the next query reaches our factories.
void forgetPlainInterface(QWidget *button)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
    if (iface && !dynamic_cast<PeakReadoutAccessible *>(iface)
        && !dynamic_cast<ChoiceButtonAccessible *>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

} // namespace

void KeyboardAccess::apply(QMainWindow *window)
{
    // Installing twice is harmless.
    QAccessible::installFactory(&PeakReadoutAccessible::factory);
    QAccessible::installFactory(&ChoiceButtonAccessible::factory);

    auto *mark = new FocusMark(window);
    if (auto *bar = qobject_cast<QMenuBar *>(window->menuWidget()))
        mark->followMenus(bar);
    QWidget *previous = nullptr;
    const auto chain = [&](QPushButton *button, FocusMark::Shape shape) {
        // Tab only: a click must not leave a focused button behind.
        button->setFocusPolicy(Qt::TabFocus);
        mark->track(button, shape);
        if (previous)
            QWidget::setTabOrder(previous, button);
        previous = button;
    };
    const auto named = [&](const NamedButton &entry) {
        auto *button = window->findChild<QPushButton *>(QLatin1String(entry.objectName));
        if (!button)
            return;
        button->setAccessibleName(tr(entry.accessibleName));
        if (entry.chosenStyle) {
            button->setProperty(ChoiceButtonAccessible::kChosenStyleProperty,
                                QString::fromLatin1(entry.chosenStyle));
            forgetPlainInterface(button);
        }
        chain(button, FocusMark::Shape::AroundButton);
    };

    for (const NamedButton &entry : kInfoPageButtons)
        named(entry);
    for (const NamedButton &entry : kMeterPageButtons)
        named(entry);
    for (int strip = 0; strip < kReadouts; ++strip) {
        if (auto *readout = window->findChild<QPushButton *>(readoutName(strip))) {
            readout->setProperty(PeakReadoutAccessible::kStripProperty, strip);
            forgetPlainInterface(readout);
            chain(readout, FocusMark::Shape::AroundText);
        }
    }

    // The content always fits the window's minimum size; as a Tab stop the
    // scroll area would only be an invisible step between the pages' buttons.
    if (auto *scrollArea = window->findChild<QScrollArea *>(QStringLiteral("scrollArea")))
        scrollArea->setFocusPolicy(Qt::NoFocus);

    // Ctrl+Q (Command+Q on macOS) closes the window, with the same checks as
    // its close button; the menus stay as they are. Named outright: not every
    // platform theme binds QKeySequence::Quit.
    auto *quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), window);
    QObject::connect(quit, &QShortcut::activated, window, &QWidget::close);
}

} // namespace panel

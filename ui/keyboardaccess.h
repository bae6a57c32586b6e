// Keyboard and screen-reader access to the window's buttons. The form keeps
// most buttons out of the Tab chain and gives none a name a screen reader
// could announce; this puts every button of the information and meter pages
// in reading order, lets Tab reach it (the mouse still never moves the
// focus), names it, and lays the focus mark over the focused one. Ctrl+Q
// closes the window.
#pragma once

#include <QCoreApplication>

class QMainWindow;

namespace panel {

class KeyboardAccess
{
    Q_DECLARE_TR_FUNCTIONS(KeyboardAccess)

public:
    // Once, on the window built from the form, before it is shown.
    static void apply(QMainWindow *window);
};

} // namespace panel

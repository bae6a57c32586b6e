// Reaching into the panel's window the way a user sees it: widgets by their
// object names, the page on show.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QString>
#include <QTest>

#include "ui/mainwindow.h"

// The pictures the form loads; the resource library is static, so every
// program that shows the window registers them itself.
inline void initPanelResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace panelwindow {

enum Page { Info = 0, Meter = 1, Dead = 2 };

template <class T = QWidget>
T *widget(const MainWindow &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("the window has no widget %s", name);
    return found;
}

inline QString text(const MainWindow &window, const char *labelName)
{
    return widget<QLabel>(window, labelName)->text();
}

inline int page(const MainWindow &window)
{
    return widget<QStackedWidget>(window, "stackedWidget")->currentIndex();
}

// Shown as far as the window decides it; the window itself may be hidden.
inline bool shown(const MainWindow &window, const char *name)
{
    return !widget(window, name)->isHidden();
}

} // namespace panelwindow

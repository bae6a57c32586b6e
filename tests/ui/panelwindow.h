// Reaching into the panel's window the way a user sees it.
#pragma once

#include <QFile>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>

#include "debugcapture.h"
#include "service/datamanager.h"
#include "sim/simbus.h"
#include "sim/simunit.h"
#include "ui/mainwindow.h"

// A manifest address refused at once (not HTTPS): no host is ever looked up.
inline void initPanelTest()
{
    Q_INIT_RESOURCE(resources);
    DataManager::saveSetting(QStringLiteral("Update"), QStringLiteral("JsonUrl"), QStringLiteral("file:///nowhere"));
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

// A scan before the registry heard of a removal selects the unit again.
inline bool noUnit(int timeoutMs = 5000)
{
    sim::Bus::instance().unplugAll();
    return QTest::qWaitFor([] { dm.deselect(); return !dm.queryExistDevice(); }, timeoutMs);
}

// Plugs a simulated unit; warns where the service does not see it in time.
inline std::shared_ptr<sim::SimUnit> plugged(sim::Model model, int timeoutMs = 5000)
{
    auto unit = sim::plugSimUnit(model);
    if (!QTest::qWaitFor([] { return dm.queryExistDevice(); }, timeoutMs))
        qWarning("the service did not see the unit");
    return unit;
}

inline QString text(const MainWindow &w, const char *label) { return widget<QLabel>(w, label)->text(); }
inline int page(const MainWindow &w) { return widget<QStackedWidget>(w, "stackedWidget")->currentIndex(); }
inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace panelwindow

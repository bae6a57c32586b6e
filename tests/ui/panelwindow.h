// Reaching into the panel's window the way a user sees it.
#pragma once

#include <QFile>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>

#include "service/datamanager.h"
#include "sim/simbus.h"
#include "ui/mainwindow.h"

// A manifest address the update check refuses at once (not HTTPS): a window
// under test never looks up a host.
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

// A scan that runs before the registry has heard of a removal selects the
// unit again, hence the deselect on every look.
inline bool noUnit(int timeoutMs = 5000)
{
    sim::Bus::instance().unplugAll();
    return QTest::qWaitFor([] { dm.deselect(); return !dm.queryExistDevice(); }, timeoutMs);
}

inline QString text(const MainWindow &w, const char *label) { return widget<QLabel>(w, label)->text(); }
inline int page(const MainWindow &w) { return widget<QStackedWidget>(w, "stackedWidget")->currentIndex(); }
// Shown as far as the window decides it; the window itself may be hidden.
inline bool shown(const MainWindow &w, const char *name) { return !widget(w, name)->isHidden(); }

inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Collects the debug lines written while it lives; the handler is process-wide.
class DebugCapture
{
public:
    DebugCapture() : m_previous(qInstallMessageHandler(&collect)) { lines().clear(); }
    ~DebugCapture() { qInstallMessageHandler(m_previous); }
    static QStringList &lines() { static QStringList collected; return collected; }

private:
    static void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtDebugMsg)
            lines().append(message);
    }
    QtMessageHandler m_previous;
};

} // namespace panelwindow

#include "update/updateplatform.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>
#include <QStandardPaths>

#include <spawn.h>

#include <vector>

#include "update/linuxupdateplatform.h"
#include "update/macupdateplatform.h"

extern char **environ;

UpdatePlatform::~UpdatePlatform() = default;

bool UpdatePlatform::spawnDetached(const QString &program, const QStringList &arguments)
{
    // Everything the child needs is made here, in the parent. A child forked
    // from a threaded process may run no library code before exec (another
    // thread can hold a lock it would wait on for ever), and posix_spawn runs
    // none.
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return false;
    QList<QByteArray> encoded{QFile::encodeName(path)};
    for (const QString &argument : arguments)
        encoded.append(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &item : encoded)
        argv.push_back(item.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    return posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) == 0;
}

void UpdatePlatform::quitApplication()
{
    // Called on the update thread; the application object lives on the main one.
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, "quit", Qt::QueuedConnection);
}

std::unique_ptr<UpdatePlatform> UpdatePlatform::createDefault()
{
#ifdef Q_OS_MACOS
    return std::make_unique<MacUpdatePlatform>();
#else
    return std::make_unique<LinuxUpdatePlatform>();
#endif
}

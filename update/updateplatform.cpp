#include "update/updateplatform.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "update/linuxupdateplatform.h"
#include "update/macupdateplatform.h"

UpdatePlatform::~UpdatePlatform() = default;

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

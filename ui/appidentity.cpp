#include "ui/appidentity.h"

#include <QApplication>
#include <QIcon>

#include "ui/panelconstants.h"

namespace panel {

QIcon applicationIcon()
{
    QIcon icon(QStringLiteral(":/Resource/icon/icon.svg"));
    for (int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/Resource/icon/icon_%1.png").arg(size), QSize(size, size));
    return icon;
}

void applyApplicationIdentity()
{
    // The same names as the settings store, which names them itself, so the
    // settings file stays where earlier versions put it whatever is set here.
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(kSettingsApplication));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kSoftwareVersionFull));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    QApplication::setWindowIcon(applicationIcon());
}

} // namespace panel

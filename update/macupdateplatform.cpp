#include "update/macupdateplatform.h"

#include <QProcess>

namespace {

constexpr char kInstallerApplication[] = "/System/Library/CoreServices/installer.app";

} // namespace

MacUpdatePlatform::MacUpdatePlatform(const QString &volumesRoot) : m_volumesRoot(volumesRoot) {}

void MacUpdatePlatform::unmountVolumes()
{
    QProcess::execute(QStringLiteral("hdiutil"),
                      {QStringLiteral("unmount"), m_volumesRoot + QStringLiteral("/dmg")});
    QProcess::execute(QStringLiteral("hdiutil"),
                      {QStringLiteral("unmount"), m_volumesRoot + QStringLiteral("/StrataMixer_Installer")});
}

UpdatePlatform::Command MacUpdatePlatform::unzipCommand(const QString &archive) const
{
    return {QStringLiteral("unzip"), {archive}};
}

UpdatePlatform::Command MacUpdatePlatform::mountCommand(const QString &image) const
{
    return {QStringLiteral("hdiutil"), {QStringLiteral("mount"), image}};
}

QStringList MacUpdatePlatform::installerFilters(bool) const
{
    return {QStringLiteral("*.dmg")};
}

bool MacUpdatePlatform::openFirmwareUpdater(const QString &application)
{
    return QProcess::startDetached(QStringLiteral("open"), {application});
}

bool MacUpdatePlatform::openInstaller(const QString &package)
{
    return QProcess::startDetached(QStringLiteral("open"),
                                   {QLatin1String(kInstallerApplication), package});
}

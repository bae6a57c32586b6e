#include "update/macupdateplatform.h"

#include <QProcess>

namespace {

constexpr char kInstallerApplication[] = "/System/Library/CoreServices/installer.app";
constexpr int kUnmountWaitMs = 5000;

// A disk-image tool that hangs must not hold the update thread (and with it
// the panel's way out) for ever.
void runBriefly(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("hdiutil"), arguments);
    if (!tool.waitForFinished(kUnmountWaitMs)) {
        tool.kill();
        tool.waitForFinished(kUnmountWaitMs);
    }
}

} // namespace

MacUpdatePlatform::MacUpdatePlatform(const QString &volumesRoot) : m_volumesRoot(volumesRoot) {}

void MacUpdatePlatform::unmountVolumes()
{
    runBriefly({QStringLiteral("unmount"), m_volumesRoot + QStringLiteral("/dmg")});
    runBriefly({QStringLiteral("unmount"), m_volumesRoot + QStringLiteral("/StrataMixer_Installer")});
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
    return spawnDetached(QStringLiteral("open"), {application});
}

bool MacUpdatePlatform::openInstaller(const QString &package)
{
    return spawnDetached(QStringLiteral("open"),
                                   {QLatin1String(kInstallerApplication), package});
}

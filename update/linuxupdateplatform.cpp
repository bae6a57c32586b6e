#include "update/linuxupdateplatform.h"

UpdatePlatform::Command LinuxUpdatePlatform::unzipCommand(const QString &archive) const
{
    // -o: a second download into the same folder never stops at a question.
    return {QStringLiteral("unzip"), {QStringLiteral("-o"), QStringLiteral("-q"), archive}};
}

QStringList LinuxUpdatePlatform::installerFilters(bool firmware) const
{
    if (firmware)
        return {QStringLiteral("*.bin"), QStringLiteral("*.img"), QStringLiteral("*.fw")};
    return {QStringLiteral("*.deb"), QStringLiteral("*.rpm"), QStringLiteral("*.AppImage")};
}

bool LinuxUpdatePlatform::openFirmwareUpdater(const QString &application)
{
    return spawnDetached(QStringLiteral("xdg-open"), {application});
}

bool LinuxUpdatePlatform::openInstaller(const QString &package)
{
    return spawnDetached(QStringLiteral("xdg-open"), {package});
}

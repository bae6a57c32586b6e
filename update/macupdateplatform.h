// macOS: disk images mounted with hdiutil under /Volumes, handed to the
// firmware updater or the system installer with "open".
#pragma once

#include "update/updateplatform.h"

class MacUpdatePlatform : public UpdatePlatform
{
public:
    explicit MacUpdatePlatform(const QString &volumesRoot = QStringLiteral("/Volumes"));

    bool readsLinuxAddresses() const override { return false; }
    bool mountsDiskImages() const override { return true; }
    void unmountVolumes() override;
    Command unzipCommand(const QString &archive) const override;
    Command mountCommand(const QString &image) const override;
    QString volumesRoot() const override { return m_volumesRoot; }
    QStringList installerFilters(bool firmware) const override;
    bool openFirmwareUpdater(const QString &application) override;
    bool openInstaller(const QString &package) override;

private:
    QString m_volumesRoot;
};

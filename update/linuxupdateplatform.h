// Linux: no disk images; the downloaded package (or the one inside a zip
// archive) goes to the desktop's opener, which starts the matching installer.
#pragma once

#include "update/updateplatform.h"

class LinuxUpdatePlatform : public UpdatePlatform
{
public:
    bool readsLinuxAddresses() const override { return true; }
    bool mountsDiskImages() const override { return false; }
    void unmountVolumes() override {}
    Command unzipCommand(const QString &archive) const override;
    Command mountCommand(const QString &) const override { return {}; }
    QString volumesRoot() const override { return QString(); }
    QStringList installerFilters(bool firmware) const override;
    bool openFirmwareUpdater(const QString &application) override;
    bool openInstaller(const QString &package) override;
};

// The steps of installing an update that belong to the operating system:
// unpacking, disk images, where the installer turns up and who opens it.
// One implementation per system; tests run either one against stand-in
// programs on PATH.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class UpdatePlatform
{
public:
    struct Command {
        QString program;
        QStringList arguments;
    };

    virtual ~UpdatePlatform();

    // Whether the manifest's Linux addresses are the ones to download.
    virtual bool readsLinuxAddresses() const = 0;
    // Whether updates come as disk images that must be mounted.
    virtual bool mountsDiskImages() const = 0;

    // Volumes left over from an earlier installation; results do not matter.
    virtual void unmountVolumes() = 0;
    virtual Command unzipCommand(const QString &archive) const = 0;
    virtual Command mountCommand(const QString &image) const = 0;

    // Where a mounted image's volumes appear.
    virtual QString volumesRoot() const = 0;
    // File patterns of what an unpacked archive must contain: a disk image,
    // or on systems without them the installable package or firmware image.
    virtual QStringList installerFilters(bool firmware) const = 0;

    // Hand-over; true when the program could be started.
    virtual bool openFirmwareUpdater(const QString &application) = 0;
    virtual bool openInstaller(const QString &package) = 0;

    // Ends the panel once an installer has taken over.
    virtual void quitApplication();

    // The implementation for the system the panel was built for.
    static std::unique_ptr<UpdatePlatform> createDefault();

protected:
    // Starts a program found on PATH and does not wait for it; true when it
    // could be started. Safe from any thread of a threaded process.
    static bool spawnDetached(const QString &program, const QStringList &arguments);
};

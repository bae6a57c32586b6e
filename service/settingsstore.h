// The program's settings file (INI, user scope, "KORVEN"/"StrataMixer"). It is
// the user's file as much as ours: a value is written only when it changes,
// lines the store would drop on a rewrite are first set aside next to it in
// "StrataMixer.ini.bad" (once: that copy is never replaced), a write replaces
// the file atomically (a crash leaves the old one) and goes through a symlink
// to its target, a target that is not a regular file (a device, a FIFO) is
// neither read nor written, and a write that did not reach the disk says so.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <cstdint>

class SettingsStore
{
public:
    // The file's path as the toolkit derives it.
    static QString fileName();

    // Sets group/key to value unless it holds that already. False when the
    // value could not be saved.
    static bool write(const QString &group, const QString &key, const QVariant &value);

    // The text under group/key, empty when absent or unreadable.
    static QString read(const QString &group, const QString &key);

    // As read, from what this object last read of the file; the file is read
    // again only when it has changed (another inode, size or time stamp). The
    // path is taken at the first call.
    QString cached(const QString &group, const QString &key);

private:
    struct Stamp {
        bool exists = false;
        uint64_t device = 0, inode = 0, size = 0;
        int64_t seconds = 0, nanoseconds = 0;
        bool operator==(const Stamp &o) const;
    };
    static Stamp stampOf(const QByteArray &encodedPath);

    QString path_;
    // path_ as the system takes it, encoded once for the stat of every read.
    QByteArray encodedPath_;
    bool loaded_ = false;
    Stamp stamp_;
    QHash<QString, QString> values_;
};

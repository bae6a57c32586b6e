#include "settingsstore.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QtDebug>

#include <cerrno>
#include <sys/stat.h>

namespace {

const char kOrganisation[] = "KORVEN";
const char kApplication[] = "StrataMixer";
const char kCodec[] = "UTF-8";
const char kSetAsideSuffix[] = ".bad";

// Where writes go: through a symlink to its target, so the link stays.
QString targetOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

// Only a regular file, or nothing yet, is ours to read and replace: a rename
// over a device node or a FIFO would destroy it (as root even /dev/null), and
// reading a FIFO blocks until someone writes to it.
bool isOurs(const QString &target)
{
    struct stat st;
    if (::stat(QFile::encodeName(target).constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode);
}

// True when every line is one the toolkit reads and writes back: blank, a
// group header or key=value in UTF-8. Anything else (comments, junk) would be
// lost on the next rewrite.
bool keepsEveryLine(const QByteArray &bytes)
{
    static const QRegularExpression kept(QStringLiteral("^\\s*(\\[[^\\]]*\\]|[^;#=\\s][^=]*=.*)?\\s*$"));
    const QString text = QString::fromUtf8(bytes);
    if (text.contains(QChar::ReplacementCharacter) || bytes.contains('\0'))
        return false;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (!kept.match(line).hasMatch())
            return false;
    }
    return true;
}

void setAsideIfUnkept(const QString &path, const QString &target)
{
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (keepsEveryLine(bytes))
        return;
    // The first copy is the user's original; a later rewrite only holds what
    // an earlier one made of it, so an existing copy (or anything else of
    // that name) is never replaced.
    const QString aside = path + QLatin1String(kSetAsideSuffix);
    QFile copy(aside);
    if (copy.open(QIODevice::WriteOnly | QIODevice::NewOnly) && copy.write(bytes) == bytes.size() && copy.flush())
        qDebug("Settings: %s holds lines that cannot be kept; set aside as %s", qUtf8Printable(path),
               qUtf8Printable(aside));
}

} // namespace

bool SettingsStore::Stamp::operator==(const Stamp &o) const
{
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size
        && seconds == o.seconds && nanoseconds == o.nanoseconds;
}

QString SettingsStore::fileName()
{
    // The toolkit reads a store as it opens it, which blocks on a FIFO: the
    // probe opens a name beside ours that nothing writes, and takes its folder.
    const QSettings probe(QSettings::IniFormat, QSettings::UserScope, QString::fromLatin1(kOrganisation),
                          QString::fromLatin1(kApplication) + QLatin1String(".path-probe"));
    return QFileInfo(probe.fileName()).path() + QLatin1Char('/') + QLatin1String(kApplication)
        + QLatin1String(".ini");
}

bool SettingsStore::write(const QString &group, const QString &key, const QVariant &value)
{
    const QString path = fileName();
    const QString target = targetOf(path);
    if (!isOurs(target))
        return false;
    const QString name = group + QLatin1Char('/') + key;
    {
        QSettings current(target, QSettings::IniFormat);
        current.setIniCodec(kCodec);
        if (current.value(name, QString()).toString() == value.toString())
            return true;
    }
    setAsideIfUnkept(path, target);
    // The toolkit writes a new file and renames it over the old one.
    QSettings settings(target, QSettings::IniFormat);
    settings.setIniCodec(kCodec);
    settings.setAtomicSyncRequired(true);
    settings.setValue(name, value);
    settings.sync();
    return settings.status() != QSettings::AccessError;
}

QString SettingsStore::read(const QString &group, const QString &key)
{
    if (!isOurs(targetOf(fileName())))
        return QString();
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QString::fromLatin1(kOrganisation),
                       QString::fromLatin1(kApplication));
    settings.setIniCodec(kCodec);
    settings.beginGroup(group);
    const QString value = settings.value(key, QString()).toString();
    settings.endGroup();
    return value;
}

QString SettingsStore::cached(const QString &group, const QString &key)
{
    if (path_.isEmpty()) {
        path_ = fileName();
        encodedPath_ = QFile::encodeName(path_);
    }
    // Asked for on every meter refresh: one stat, which follows a link to
    // what it names, so a new link target, a file replaced by a write and a
    // file edited in place all change the stamp.
    const Stamp now = stampOf(encodedPath_);
    if (!loaded_ || !(now == stamp_)) {
        loaded_ = true;
        stamp_ = now;
        values_.clear();
        const QString target = targetOf(path_);
        if (isOurs(target)) {
            QSettings settings(target, QSettings::IniFormat);
            settings.setIniCodec(kCodec);
            for (const QString &name : settings.allKeys())
                values_.insert(name, settings.value(name).toString());
        }
    }
    return values_.value(group + QLatin1Char('/') + key);
}

SettingsStore::Stamp SettingsStore::stampOf(const QByteArray &encodedPath)
{
    Stamp stamp;
    struct stat st;
    if (::stat(encodedPath.constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = uint64_t(st.st_dev);
    stamp.inode = uint64_t(st.st_ino);
    stamp.size = uint64_t(st.st_size);
#ifdef Q_OS_MACOS
    stamp.seconds = int64_t(st.st_mtimespec.tv_sec);
    stamp.nanoseconds = int64_t(st.st_mtimespec.tv_nsec);
#else
    stamp.seconds = int64_t(st.st_mtim.tv_sec);
    stamp.nanoseconds = int64_t(st.st_mtim.tv_nsec);
#endif
    return stamp;
}

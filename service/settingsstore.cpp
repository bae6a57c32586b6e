#include "settingsstore.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QtDebug>

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
    const QString aside = path + QLatin1String(kSetAsideSuffix);
    QFile::remove(aside);
    QFile copy(aside);
    if (copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size() && copy.flush())
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
    const QSettings probe(QSettings::IniFormat, QSettings::UserScope, QString::fromLatin1(kOrganisation),
                          QString::fromLatin1(kApplication));
    return probe.fileName();
}

bool SettingsStore::write(const QString &group, const QString &key, const QVariant &value)
{
    const QString path = fileName();
    const QString target = targetOf(path);
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
    if (path_.isEmpty())
        path_ = fileName();
    const QString target = targetOf(path_);
    const Stamp now = stampOf(target);
    if (!loaded_ || !(now == stamp_)) {
        loaded_ = true;
        stamp_ = now;
        values_.clear();
        QSettings settings(target, QSettings::IniFormat);
        settings.setIniCodec(kCodec);
        for (const QString &name : settings.allKeys())
            values_.insert(name, settings.value(name).toString());
    }
    return values_.value(group + QLatin1Char('/') + key);
}

SettingsStore::Stamp SettingsStore::stampOf(const QString &path)
{
    Stamp stamp;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
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

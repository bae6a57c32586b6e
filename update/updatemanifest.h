// What the maker's update manifest says, read without any network: the
// newest versions, the download addresses and the information message, and
// whether a version announced there is newer than one installed or silenced.
// Pure functions of the manifest text, so arbitrary bytes may be fed in.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QLocale>
#include <QString>

class UpdateManifest
{
public:
    enum class Product { Software, Firmware };
    // Which set of download addresses the running system can install.
    enum class Platform { Mac, Linux };

    // Larger manifests are not read at all.
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    UpdateManifest() = default;
    explicit UpdateManifest(const QJsonObject &versionObject);

    // The body as served: UTF-8 up to the first NUL byte.
    static QString textOfBody(const QByteArray &body);
    // The "Strata96_version1" object of a manifest text; empty when the text
    // is no JSON object or lacks it.
    static UpdateManifest fromText(const QString &text);

    bool isEmpty() const { return m_object.isEmpty(); }
    const QJsonObject &object() const { return m_object; }

    // The announced version as the two texts checkVersion reads: the major
    // number, and the minor number padded to two digits.
    QString netMajor(Product product) const;
    QString netMinor(Product product) const;
    // An integer member; a missing key, a string or a fraction reads as 0.
    int number(const char *key) const;

    // The message for a language (by its English name), else the English one.
    QString informationText(QLocale::Language language) const;

    // The download address for the user's language; on Linux only the
    // manifest's Linux addresses count, and empty means there is none.
    QString downloadUrl(Product product, bool japanese, Platform platform) const;

    // True when the manifest version is newer than `now` (M.mm read by
    // character position: major from character 0, minor from characters 2-3).
    static bool checkVersion(const QString &now, const QString &netMajor, const QString &netMinor);
    // True when the user silenced this version or a newer one.
    static bool isSilenced(const QString &silenced, const QString &netMajor, const QString &netMinor);

private:
    QString text(const char *key) const;

    QJsonObject m_object;
};

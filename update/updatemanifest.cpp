#include "update/updatemanifest.h"

#include <QJsonDocument>
#include <QJsonValue>

namespace {

// Text that is not a decimal number reads as 0.
int decimal(const QString &text)
{
    return text.toInt(nullptr, 10);
}

const char *majorKey(UpdateManifest::Product product)
{
    return product == UpdateManifest::Product::Software ? "mac_software_version_major"
                                                        : "firmware_version_major";
}

const char *minorKey(UpdateManifest::Product product)
{
    return product == UpdateManifest::Product::Software ? "mac_software_version_minor"
                                                        : "firmware_version_minor";
}

} // namespace

UpdateManifest::UpdateManifest(const QJsonObject &versionObject) : m_object(versionObject) {}

QString UpdateManifest::textOfBody(const QByteArray &body)
{
    const int nul = body.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? body : body.left(nul));
}

UpdateManifest UpdateManifest::fromText(const QString &text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    return UpdateManifest(document.object().value(QLatin1String("Strata96_version1")).toObject());
}

QString UpdateManifest::netMajor(Product product) const
{
    return QString::number(number(majorKey(product)));
}

QString UpdateManifest::netMinor(Product product) const
{
    QString minor = QString::number(number(minorKey(product)));
    if (minor.size() == 1)
        minor.prepend(QLatin1Char('0'));
    return minor;
}

int UpdateManifest::number(const char *key) const
{
    return m_object.value(QLatin1String(key)).toInt(0);
}

QString UpdateManifest::informationText(QLocale::Language language) const
{
    const QJsonObject messages = m_object.value(QLatin1String("messages")).toObject();
    QString message = messages.value(QLocale::languageToString(language)).toString();
    if (message.isEmpty())
        message = messages.value(QLocale::languageToString(QLocale::English)).toString();
    return message;
}

QString UpdateManifest::downloadUrl(Product product, bool japanese, Platform platform) const
{
    const bool software = product == Product::Software;
    if (platform == Platform::Mac) {
        if (software)
            return text(japanese ? "mac_software_url_ja" : "mac_software_url_en");
        return text(japanese ? "mac_firmware_url_ja" : "mac_firmware_url_en");
    }
    // A Linux user of either language would rather have the other edition
    // than none.
    const char *ja = software ? "linux_software_url_ja" : "linux_firmware_url_ja";
    const char *en = software ? "linux_software_url_en" : "linux_firmware_url_en";
    const QString wanted = text(japanese ? ja : en);
    return wanted.isEmpty() ? text(japanese ? en : ja) : wanted;
}

bool UpdateManifest::checkVersion(const QString &now, const QString &netMajor, const QString &netMinor)
{
    const int a = decimal(now.mid(0, 1));
    const int b = decimal(netMajor.mid(0, 1));
    if (a != b)
        return a < b;
    return decimal(now.mid(2, 2)) < decimal(netMinor.mid(0, 2));
}

bool UpdateManifest::isSilenced(const QString &silenced, const QString &netMajor, const QString &netMinor)
{
    const int major = decimal(netMajor.mid(0, 1));
    const int minor = decimal(netMinor.mid(0, 2));
    const int sMajor = decimal(silenced.mid(0, 1));
    const int sMinor = decimal(silenced.mid(2, 2));
    return major < sMajor || (major == sMajor && minor <= sMinor);
}

QString UpdateManifest::text(const char *key) const
{
    return m_object.value(QLatin1String(key)).toString();
}

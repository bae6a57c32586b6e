// The update manifest's evaluation on any body a download server might send:
// the body's text, the version object, the announced versions, the download
// addresses, the information message and the version comparisons, which the
// panel feeds with strings taken from the manifest and from the settings.
#include <QCoreApplication>
#include <QLocale>

#include "update/updatemanifest.h"

namespace {

void discard(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler(discard);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > size_t(UpdateManifest::kMaxBytes))
        return 0;
    const QByteArray body(reinterpret_cast<const char *>(data), int(size));
    const QString text = UpdateManifest::textOfBody(body);
    const UpdateManifest manifest = UpdateManifest::fromText(text);

    // The installed and the silenced versions come from the settings store,
    // which a user can edit: the start of the text stands in for both.
    const QString now = text.left(5);
    const QString silenced = text.mid(5, 5);
    for (const auto product : {UpdateManifest::Product::Software, UpdateManifest::Product::Firmware}) {
        const QString major = manifest.netMajor(product);
        const QString minor = manifest.netMinor(product);
        UpdateManifest::checkVersion(QStringLiteral("2.00"), major, minor);
        UpdateManifest::checkVersion(now, major, minor);
        UpdateManifest::isSilenced(silenced, major, minor);
        UpdateManifest::checkVersion(now, silenced, text.mid(10, 3));
        for (const auto platform : {UpdateManifest::Platform::Mac, UpdateManifest::Platform::Linux}) {
            manifest.downloadUrl(product, false, platform);
            manifest.downloadUrl(product, true, platform);
        }
    }
    for (const auto language : {QLocale::English, QLocale::Japanese, QLocale::German, QLocale::French,
                                QLocale::Spanish, QLocale::Chinese, QLocale::Korean, QLocale::Italian})
        manifest.informationText(language);
    return 0;
}

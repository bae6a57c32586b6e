#include "ui/translationloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace panel {

namespace {

const char kCatalogue[] = "strata-panel";
// Relative to the program's own folder, so a relocated install still finds
// its translations.
const char kShareFromBin[] = "../share/strata-panel/translations";

bool loadInto(QCoreApplication *app, const QLocale &locale, const QString &catalogue, const QStringList &dirs)
{
    for (const QString &dir : dirs) {
        auto *translator = new QTranslator(app);
        if (translator->load(locale, catalogue, QStringLiteral("_"), dir)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
        delete translator;
    }
    return false;
}

} // namespace

QStringList translationDirectories()
{
    QStringList dirs{QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(kShareFromBin))};
#ifdef STRATA_TRANSLATIONS_INSTALL_DIR
    dirs.append(QStringLiteral(STRATA_TRANSLATIONS_INSTALL_DIR));
#endif
#ifdef STRATA_TRANSLATIONS_BUILD_DIR
    dirs.append(QStringLiteral(STRATA_TRANSLATIONS_BUILD_DIR));
#endif
    dirs.removeDuplicates();
    return dirs;
}

bool installTranslations(const QLocale &locale)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return false;
    // A locale the panel has no translation for keeps the toolkit's buttons
    // in English too, so a window never mixes two languages.
    if (!loadInto(app, locale, QLatin1String(kCatalogue), translationDirectories()))
        return false;
    loadInto(app, locale, QStringLiteral("qtbase"),
             QStringList(QLibraryInfo::location(QLibraryInfo::TranslationsPath)));
    return true;
}

} // namespace panel

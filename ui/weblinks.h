// The maker's web pages for a model, in the user's language edition. Pure
// functions: the window reads the model and the locale at the click and
// hands the address to the desktop's opener.
#pragma once

#include <QLocale>
#include <QString>
#include <QUrl>

namespace panel {

enum class WebPage { ProductTop, Support, Documents, AccountLogin };

struct WebHosts {
    QString product;               // one product site for both editions
    QString accountJapanese;
    QString accountInternational;

    // The hosts the build was configured with.
    static WebHosts configured();
};

// "strata_96", "strata_10", "strata_14"; any other text, "No Device" among
// them, falls back to the Strata 20 pages.
QString webModelWord(const QString &model);

// Only a Japanese default locale gets the Japanese edition.
bool japaneseEdition(const QLocale &locale);

QUrl webPageUrl(WebPage page, const QString &model, bool japanese, const WebHosts &hosts);

} // namespace panel

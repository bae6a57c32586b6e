#include "ui/weblinks.h"

#include "strata_config.h"

namespace panel {

WebHosts WebHosts::configured()
{
    return WebHosts{QStringLiteral(STRATA_WEB_HOST), QStringLiteral(STRATA_ACCOUNT_HOST_JA),
                    QStringLiteral(STRATA_ACCOUNT_HOST)};
}

QString webModelWord(const QString &model)
{
    if (model == QLatin1String("Strata 96"))
        return QStringLiteral("strata_96");
    if (model == QLatin1String("Strata 10"))
        return QStringLiteral("strata_10");
    if (model == QLatin1String("Strata 14"))
        return QStringLiteral("strata_14");
    return QStringLiteral("strata_20");
}

bool japaneseEdition(const QLocale &locale)
{
    return locale.language() == QLocale::Japanese;
}

QUrl webPageUrl(WebPage page, const QString &model, bool japanese, const WebHosts &hosts)
{
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    if (page == WebPage::AccountLogin) {
        url.setHost(japanese ? hosts.accountJapanese : hosts.accountInternational);
        url.setPath(japanese ? QStringLiteral("/ja/customer/account/login")
                             : QStringLiteral("/en/customer/account/login"));
        return url;
    }
    // The documents live on the international pages only.
    const bool jp = japanese && page != WebPage::Documents;
    const char *tail = page == WebPage::ProductTop ? "/top" : page == WebPage::Support ? "/support" : "/docs";
    url.setHost(hosts.product);
    url.setPath((jp ? QStringLiteral("/jp/product/") : QStringLiteral("/int/product/")) + webModelWord(model)
                + QLatin1String(tail));
    return url;
}

} // namespace panel

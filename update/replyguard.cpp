#include "update/replyguard.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace replyguard {

namespace {

constexpr char kRefusal[] = "strataRefusal";

int statusOf(const QNetworkReply *reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

} // namespace

bool isAllowedAddress(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (url.scheme() == QLatin1String("https"))
        return true;
    if (url.scheme() != QLatin1String("http"))
        return false;
    return url.host() == QLatin1String("localhost") || QHostAddress(url.host()).isLoopback();
}

QNetworkReply *get(QNetworkAccessManager *network, const QUrl &url, qint64 maxBytes, qint64 readBufferBytes)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    QNetworkReply *reply = network->get(request);
    reply->setReadBufferSize(readBufferBytes);
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl &target) {
        if (isAllowedAddress(target))
            emit reply->redirectAllowed();
        else
            refuse(reply, QStringLiteral("redirect to a refused address ") + target.toString());
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, maxBytes] {
        const int status = statusOf(reply);
        if (status < 200 || (status >= 300 && status < 400))
            return;   // not the final answer yet; a redirect is decided above
        if (!statusOk(reply))
            refuse(reply, QStringLiteral("HTTP status %1").arg(status));
        else if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > maxBytes)
            refuse(reply, QStringLiteral("announced size above %1 bytes").arg(maxBytes));
    });
    return reply;
}

void refuse(QNetworkReply *reply, const QString &reason)
{
    if (refusal(reply).isEmpty())
        reply->setProperty(kRefusal, reason);
    if (reply->isRunning())
        reply->abort();
}

QString refusal(const QNetworkReply *reply)
{
    return reply->property(kRefusal).toString();
}

bool statusOk(const QNetworkReply *reply)
{
    const int status = statusOf(reply);
    return status >= 200 && status < 300;
}

bool succeeded(const QNetworkReply *reply)
{
    return reply->error() == QNetworkReply::NoError && refusal(reply).isEmpty() && statusOk(reply);
}

QString failure(const QNetworkReply *reply)
{
    if (!refusal(reply).isEmpty())
        return refusal(reply);
    if (reply->error() != QNetworkReply::NoError)
        return reply->errorString();
    return QStringLiteral("HTTP status %1").arg(statusOf(reply));
}

} // namespace replyguard

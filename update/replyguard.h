// What every update request gets before its body counts: redirects followed
// only to addresses the pipeline allows and only a few hops, a bounded read
// buffer so a fast server cannot fill the memory, an announced size under the
// cap, and a final status of 2xx.
#pragma once

#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace replyguard {

constexpr int kMaxRedirects = 5;

// HTTPS, or plain HTTP to this machine only.
bool isAllowedAddress(const QUrl &url);

// A GET for url whose reply stops itself (with a reason) on a redirect to a
// refused address, a status other than 2xx or 3xx, or an announced size
// above maxBytes.
QNetworkReply *get(QNetworkAccessManager *network, const QUrl &url, qint64 maxBytes, qint64 readBufferBytes);

// Stops the reply, keeping the reason for refusal().
void refuse(QNetworkReply *reply, const QString &reason);
// Why the reply was stopped by the pipeline; empty when it was not.
QString refusal(const QNetworkReply *reply);
// Whether the answer is one to read: final status 2xx.
bool statusOk(const QNetworkReply *reply);
// Whether the reply ended as a complete, accepted answer.
bool succeeded(const QNetworkReply *reply);
// One line saying why it did not.
QString failure(const QNetworkReply *reply);

} // namespace replyguard

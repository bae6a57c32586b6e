// An HTTP/1.1 server on 127.0.0.1, plain or TLS: per path a canned answer, whole, sliced, stalled or endless.
#pragma once

#include <QFile>
#include <QHash>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

class HttpStub : public QTcpServer
{
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        QByteArray headers = QByteArray();   // extra header lines, each ending in \r\n
        int sliceMs = 0;        // sent in slices of 1000 bytes this far apart; 0: at once
        int stallAfter = -1;    // only this much is sent, the connection left open
        bool announceLength = true; // else the connection's end ends the body
        bool endless = false;   // the body repeats for ever, as fast as it is taken
    };

    // certificate: a PEM file for the TEST key in tlsKey; none: plain HTTP.
    explicit HttpStub(const QString &certificate = QString(), const QString &tlsKey = QString())
    {
        QFile cert(certificate), key(tlsKey);
        if (cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly)) {
            m_certificate = QSslCertificate(cert.readAll());
            m_key = QSslKey(key.readAll(), QSsl::Rsa);
        }
        listen(QHostAddress::LocalHost, 0);
    }
    QString url(const QString &path) const { return QString("%1://127.0.0.1:%2%3").arg(m_key.isNull() ? "http" : "https").arg(serverPort()).arg(path); }
    void set(const QString &path, const Answer &answer) { m_answers.insert(path, answer); }
    int requests(const QString &path) const { return m_requests.value(path); }

protected:
    void incomingConnection(qintptr handle) override
    {
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(handle);
        connect(socket, &QSslSocket::readyRead, socket, [this, socket] { serve(socket); });
        connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
        if (!m_key.isNull()) {
            socket->setLocalCertificate(m_certificate);
            socket->setPrivateKey(m_key);
            socket->startServerEncryption();
        }
    }

private:
    void serve(QSslSocket *socket)
    {
        QByteArray &request = m_pending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        const Answer answer = m_answers.value(path, Answer{404, "not here"});
        ++m_requests[path];
        m_pending.remove(socket);
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " Canned\r\n" + answer.headers;
        if (answer.announceLength && !answer.endless)
            head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        socket->write(head + "Connection: close\r\n\r\n");
        if (answer.endless) {   // refilled whenever the client has taken what was sent
            connect(socket, &QSslSocket::bytesWritten, socket, [socket, answer] {
                if (socket->bytesToWrite() < answer.body.size())
                    socket->write(answer.body);
            });
        }
        if (answer.stallAfter >= 0)
            return void(socket->write(answer.body.left(answer.stallAfter)));
        if (answer.sliceMs <= 0) {
            socket->write(answer.body);
            return answer.endless ? void() : socket->disconnectFromHost();
        }
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [socket, timer, answer, sent = 0]() mutable {
            socket->write(answer.body.mid(sent, 1000));
            if ((sent += 1000) >= answer.body.size()) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(answer.sliceMs);
    }

    QSslCertificate m_certificate;
    QSslKey m_key;
    QHash<QString, Answer> m_answers;
    QHash<QString, int> m_requests;
    QHash<QSslSocket *, QByteArray> m_pending;
};

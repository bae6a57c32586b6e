// A small HTTP/1.1 server on 127.0.0.1 for the update tests, plain or over
// TLS with a test certificate: each path has a canned answer, sent whole, in
// timed slices, stopped part-way, or without end.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

#include <memory>

class HttpStub : public QTcpServer
{
public:
    struct Answer {
        int status = 200;
        QByteArray body;
        // Bytes sent at once; the rest goes in slices of sliceBytes every
        // sliceMs, or never when sliceMs is 0 (a stalled server).
        int firstBytes = -1;
        int sliceBytes = 0;
        int sliceMs = 0;
        // Without it the size is not announced (and the connection ends the body).
        bool announceLength = true;
        // The slices stop (the connection staying open) once this much is sent.
        int stallAfter = -1;
        QByteArray headers = QByteArray();   // extra header lines, each ending in \r\n
        bool endless = false;    // the body repeats for ever, as fast as it is taken
    };

    // certificate: a PEM file for the key tlsKey (a TEST key); empty: plain HTTP.
    explicit HttpStub(const QString &certificate = QString(), const QString &tlsKey = QString())
    {
        if (!certificate.isEmpty()) {
            QFile cert(certificate), key(tlsKey);
            if (cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly)) {
                m_certificate = QSslCertificate(cert.readAll());
                m_key = QSslKey(key.readAll(), QSsl::Rsa);
            }
        }
        listen(QHostAddress::LocalHost, 0);
    }

    QString url(const QString &path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3")
            .arg(m_key.isNull() ? "http" : "https").arg(serverPort()).arg(path);
    }
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
        m_pending.remove(socket);
        ++m_requests[path];
        const Answer answer = m_answers.value(path, Answer{404, "not here"});
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " Canned\r\n" + answer.headers;
        if (answer.announceLength && !answer.endless)
            head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        socket->write(head + "Connection: close\r\n\r\n");
        const int first = answer.firstBytes < 0 ? answer.body.size() : answer.firstBytes;
        socket->write(answer.body.left(first));
        if (answer.endless) {
            // Refilled whenever the client has taken what was sent.
            connect(socket, &QSslSocket::bytesWritten, socket, [socket, answer] {
                if (socket->bytesToWrite() < answer.body.size())
                    socket->write(answer.body);
            });
            return;
        }
        if (first >= answer.body.size())
            return socket->disconnectFromHost();
        if (answer.sliceMs <= 0)
            return;   // stalls with the connection open
        auto *timer = new QTimer(socket);
        auto sent = std::make_shared<int>(first);
        connect(timer, &QTimer::timeout, socket, [socket, timer, sent, answer] {
            if (answer.stallAfter >= 0 && *sent >= answer.stallAfter)
                return timer->stop();
            socket->write(answer.body.mid(*sent, answer.sliceBytes));
            *sent += answer.sliceBytes;
            if (*sent >= answer.body.size()) {
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

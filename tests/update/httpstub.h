// A small HTTP/1.1 server on 127.0.0.1 for the update tests, plain or over
// TLS with a test certificate: each path has a canned answer, sent whole, in
// timed slices, stopped part-way, or without end.
#pragma once

#include <QFile>
#include <QHash>
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
        QByteArray headers = QByteArray();   // extra header lines, each ending in \r\n
        // Sent in slices of sliceBytes every sliceMs, stopping (the connection
        // left open) once stallAfter bytes are out; sliceMs 0: all at once.
        int sliceBytes = 0;
        int sliceMs = 0;
        int stallAfter = -1;
        // Without it the size is not announced (and the connection ends the body).
        bool announceLength = true;
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
    QString url(const QString &path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3").arg(m_key.isNull() ? "http" : "https").arg(serverPort()).arg(path);
    }
    void set(const QString &path, const Answer &answer) { m_answers.insert(path, answer); }

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
        const Answer answer = m_answers.value(QString::fromLatin1(request.split(' ').value(1)), Answer{404, "not here"});
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
        if (answer.sliceMs <= 0) {
            socket->write(answer.body);
            if (!answer.endless)
                socket->disconnectFromHost();
            return;
        }
        auto *timer = new QTimer(socket);
        auto sent = std::make_shared<int>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, sent, answer] {
            if (answer.stallAfter >= 0 && *sent >= answer.stallAfter)
                return timer->stop();
            socket->write(answer.body.mid(*sent, answer.sliceBytes));
            if ((*sent += answer.sliceBytes) >= answer.body.size()) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(answer.sliceMs);
    }

    QSslCertificate m_certificate;
    QSslKey m_key;
    QHash<QString, Answer> m_answers;
    QHash<QSslSocket *, QByteArray> m_pending;
};

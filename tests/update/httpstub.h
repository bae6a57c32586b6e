// A small HTTP/1.1 server on 127.0.0.1 for the update tests: each path has a
// canned answer, sent whole, in timed slices, or stopped part-way.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

class HttpStub
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
    };

    HttpStub()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        });
    }

    bool isListening() const { return m_server.isListening(); }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    void set(const QString &path, const Answer &answer) { m_answers.insert(path, answer); }
    int requests(const QString &path) const { return m_requests.value(path); }

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray &request = m_pending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        m_pending.remove(socket);
        ++m_requests[path];
        const Answer answer = m_answers.value(path, Answer{404, "not here"});
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " Canned\r\n";
        if (answer.announceLength)
            head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        head += "Connection: close\r\n\r\n";
        socket->write(head);
        const int first = answer.firstBytes < 0 ? answer.body.size() : answer.firstBytes;
        socket->write(answer.body.left(first));
        socket->flush();
        if (first >= answer.body.size()) {
            socket->disconnectFromHost();
            return;
        }
        if (answer.sliceMs <= 0)
            return;   // stalls with the connection open
        auto *timer = new QTimer(socket);
        auto sent = std::make_shared<int>(first);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, sent, answer] {
            if (answer.stallAfter >= 0 && *sent >= answer.stallAfter) {
                timer->stop();
                return;
            }
            socket->write(answer.body.mid(*sent, answer.sliceBytes));
            socket->flush();
            *sent += answer.sliceBytes;
            if (*sent >= answer.body.size()) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(answer.sliceMs);
    }

    QTcpServer m_server;
    QHash<QString, Answer> m_answers;
    QHash<QString, int> m_requests;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

#pragma once
// Requests written by hand to a service on loopback, and what their answers
// say: nothing on the way tidies the head or the body.
#include <QByteArray>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpSocket>

// One request, with a body when given, on a connection of its own; the whole
// answer, or what came within `ms`. `head` is the request line and its
// headers, each ended by CR LF; Host and Connection: close are added.
inline QByteArray askRaw(quint16 port, const QByteArray& head, const QByteArray& body = {},
                         int ms = 10000) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000)) {
        return {};
    }
    socket.write(head + "Host: localhost\r\nConnection: close\r\n\r\n" + body);
    QByteArray answer;
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired() &&
           socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        answer += socket.readAll();
    }
    return answer + socket.readAll();
}

// The status code of an answer; 0 when it has no status line.
inline int statusOf(const QByteArray& answer) {
    const auto statusLine = answer.left(answer.indexOf('\r')).split(' ');
    return statusLine.size() >= 2 ? statusLine[1].toInt() : 0;
}

inline QByteArray bodyOf(const QByteArray& answer) {
    return answer.mid(answer.indexOf("\r\n\r\n") + 4);
}

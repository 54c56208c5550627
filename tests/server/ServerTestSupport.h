#pragma once
// Shared by the service tests: requests written by hand to the built
// skyglance-catalogue, which CatalogueServiceLauncher starts.
#include "CatalogueServiceLauncher.h"
#include "RawRequest.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <functional>

namespace {

// A request written by hand, so that nothing tidies the path on the way.
inline bool sendRaw(QTcpSocket& socket, quint16 port, const QByteArray& target) {
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000)) {
        return false;
    }
    socket.write("GET " + target + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");
    return true;
}

// Reads until `marker` has come (true) or the connection ends or `ms` pass.
inline bool readUntil(QTcpSocket& socket, QByteArray& answer, const QByteArray& marker,
                      int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!answer.contains(marker) && !deadline.hasExpired()) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            answer += socket.readAll();
            break;
        }
        answer += socket.readAll();
    }
    return answer.contains(marker);
}

inline QByteArray rawAnswer(quint16 port, const QByteArray& target) {
    QTcpSocket socket;
    QByteArray answer;
    if (sendRaw(socket, port, target)) {
        while (socket.state() == QAbstractSocket::ConnectedState &&
               socket.waitForReadyRead(10000)) {
            answer += socket.readAll();
        }
        answer += socket.readAll();
    }
    return answer;
}

inline int rawStatus(quint16 port, const QByteArray& target) {
    const QByteArray answer = rawAnswer(port, target);
    return answer.isEmpty() ? -1 : statusOf(answer);
}

// Tries until `attempt` succeeds (once: it may take what it asks for).
inline bool eventually(const std::function<bool()>& attempt, int ms = 15000) {
    QDeadlineTimer deadline(ms);
    while (!attempt()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(200);
    }
    return true;
}

} // namespace

#pragma once
// Shared by the service tests: the built skyglance-catalogue started on a
// free loopback port, and requests written by hand.
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

inline int statusOf(const QByteArray& answer) {
    const auto statusLine = answer.left(answer.indexOf('\r')).split(' ');
    return statusLine.size() >= 2 ? statusLine[1].toInt() : 0;
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

inline QByteArray bodyOf(const QByteArray& answer) {
    return answer.mid(answer.indexOf("\r\n\r\n") + 4);
}

inline int rawStatus(quint16 port, const QByteArray& target) {
    const QByteArray answer = rawAnswer(port, target);
    return answer.isEmpty() ? -1 : statusOf(answer);
}

class ServerProcess {
public:
    ~ServerProcess() { stop(); }

    // Whether standard error (the fault log, for one) says `text` within `ms`.
    bool errorsContain(const QByteArray& text, int ms = 5000) {
        QDeadlineTimer deadline(ms);
        while (!(errors_ += process_.readAllStandardError()).contains(text)) {
            if (deadline.hasExpired()) {
                return false;
            }
            QTest::qWait(50);
        }
        return true;
    }

    // `launcher`: a command that runs the service (its program and options
    // follow), e.g. to start it with other limits.
    bool start(const QStringList& extra = {}, const QStringList& launcher = {}) {
        const QStringList command = launcher +
                                    QStringList{SKYGLANCE_CATALOGUE_EXE, "--port", "0", "--db",
                                                dir_.filePath("catalogue.sqlite")} +
                                    extra;
        process_.setProgram(command.front());
        process_.setArguments(command.mid(1));
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start();
        if (!process_.waitForStarted(10000)) {
            return false;
        }
        QByteArray out;
        while (!out.contains("site: ") || !out.contains("service: ") || !out.endsWith('\n')) {
            if (!process_.waitForReadyRead(30000)) {
                return false;
            }
            out += process_.readAllStandardOutput();
        }
        for (const QByteArray& line : out.split('\n')) {
            if (line.startsWith("service: ")) {
                service = QString::fromUtf8(line.mid(9));
            } else if (line.startsWith("site: ")) {
                site = QString::fromUtf8(line.mid(6));
            }
        }
        port = static_cast<quint16>(QUrl(site).port());
        return port != 0;
    }

    // Ends the server as a service manager would; true when it stopped cleanly.
    bool stop() {
        if (process_.state() == QProcess::NotRunning) {
            return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
        }
        process_.terminate();
        if (!process_.waitForFinished(15000)) {
            process_.kill();
            process_.waitForFinished(5000);
            return false;
        }
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }

    QString tempPath(const QString& name) const { return dir_.filePath(name); }
    qint64 pid() const { return process_.processId(); }

    QString service;
    QString site;
    quint16 port = 0;

private:
    QTemporaryDir dir_;
    QProcess process_;
    QByteArray errors_;
};

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

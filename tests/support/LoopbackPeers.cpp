#include "LoopbackPeers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QStandardPaths>
#include <QThread>
#include <unistd.h>

namespace nettest {
namespace {

constexpr qint64 kStreamChunk = 64 * 1024;
// The endless peer stops on its own after this much, so a broken size cap
// fails the test instead of filling the machine.
constexpr qint64 kStreamSafetyStop = qint64{512} * 1024 * 1024;

void letEventsRunFor(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

QString testDataFile(const char* name) {
    return QStringLiteral(SKYGLANCE_TESTDATA "/") + QLatin1String(name);
}

QSslConfiguration loopbackServerConfiguration() {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    const QList<QSslCertificate> certificates =
        QSslCertificate::fromPath(testDataFile("loopback-cert.pem"));
    QFile keyFile(testDataFile("loopback-key.pem"));
    if (certificates.isEmpty() || !keyFile.open(QIODevice::ReadOnly)) {
        return configuration;
    }
    configuration.setLocalCertificate(certificates.front());
    configuration.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Rsa));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

} // namespace

bool trustLoopbackCertificate() {
    const QList<QSslCertificate> certificates =
        QSslCertificate::fromPath(testDataFile("loopback-cert.pem"));
    if (certificates.isEmpty()) {
        return false;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.addCaCertificates(certificates);
    QSslConfiguration::setDefaultConfiguration(configuration);
    return true;
}

HttpPeer::HttpPeer(Mode mode, QByteArray response, Transport transport)
    : mode_(mode), response_(std::move(response)), transport_(transport) {
    if (transport_ == Transport::Tls) {
        auto tls = std::make_unique<QSslServer>();
        tls->setSslConfiguration(loopbackServerConfiguration());
        server_ = std::move(tls);
    } else {
        server_ = std::make_unique<QTcpServer>();
    }
    server_->listen(QHostAddress::LocalHost, 0);
    // Announced only when a TLS handshake is complete, at once for plain TCP.
    connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this,
            &HttpPeer::onNewConnection);
}

QByteArray HttpPeer::response(int status, const QByteArray& body, const QByteArray& contentType,
                              const QByteArray& extraHeaders) {
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + " Status\r\n";
    text += "Content-Type: " + contentType + "\r\n";
    text += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    text += extraHeaders;
    text += "Connection: close\r\n\r\n";
    return text + body;
}

QString HttpPeer::url(const QString& path) const {
    const QString scheme = transport_ == Transport::Tls ? "https" : "http";
    return QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(port()).arg(path);
}

void HttpPeer::onNewConnection() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HttpPeer::onReadyRead(QTcpSocket* socket) {
    QByteArray seen = socket->property("seen").toByteArray() + socket->readAll();
    socket->setProperty("seen", seen);
    if (!seen.contains("\r\n\r\n") || socket->property("answered").toBool()) {
        return;
    }
    socket->setProperty("answered", true);
    ++requests_;
    switch (mode_) {
    case Mode::Answer:
        socket->write(response_);
        socket->disconnectFromHost();
        break;
    case Mode::Silent:
        break;
    case Mode::Endless:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nConnection: close\r\n\r\n");
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { streamMore(socket); });
        streamMore(socket);
        break;
    }
}

void HttpPeer::streamMore(QTcpSocket* socket) {
    if (socket->state() != QAbstractSocket::ConnectedState ||
        socket->bytesToWrite() > kStreamChunk) {
        return;
    }
    if (streamed_ >= kStreamSafetyStop) {
        socket->disconnectFromHost();
        return;
    }
    static const QByteArray chunk(kStreamChunk, 'x');
    socket->write(chunk);
    streamed_ += chunk.size();
}

quint16 deadPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

bool waitUntilListening(quint16 port, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (socket.waitForConnected(200)) {
            socket.disconnectFromHost();
            return true;
        }
        letEventsRunFor(50);
    }
    return false;
}

TinyProxy::TinyProxy(const QString& user, const QString& password)
    : user_(user), password_(password) {}

TinyProxy::~TinyProxy() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
}

bool TinyProxy::start(QString* why) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("tinyproxy"));
    if (program.isEmpty()) {
        *why = QStringLiteral("tinyproxy is not installed (scripts/install-deps.sh installs it)");
        return false;
    }
    port_ = deadPort();
    QByteArray config;
    config += "Port " + QByteArray::number(port_) + "\n";
    config += "Listen 127.0.0.1\n";
    config += "Timeout 30\n";
    config += "MaxClients 20\n";
    config += "LogLevel Info\n";
    config += "Allow 127.0.0.1\n";
    config += "BasicAuth " + user_.toUtf8() + " " + password_.toUtf8() + "\n";
    if (::geteuid() == 0) {
        // Run as root it would otherwise try to drop to a user that may not exist.
        config += "User root\nGroup root\n";
    }
    const QString configFile = dir_.filePath(QStringLiteral("tinyproxy.conf"));
    QFile file(configFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size()) {
        *why = QStringLiteral("cannot write the tinyproxy configuration");
        return false;
    }
    file.close();

    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(program, {QStringLiteral("-d"), QStringLiteral("-c"), configFile});
    if (!process_.waitForStarted(5000)) {
        *why = QStringLiteral("tinyproxy did not start: ") + process_.errorString();
        return false;
    }
    if (!waitUntilListening(port_, 10000)) {
        *why = QStringLiteral("tinyproxy does not listen: ") + log();
        return false;
    }
    return true;
}

QString TinyProxy::log() {
    return QString::fromLocal8Bit(process_.readAll());
}

} // namespace nettest

#pragma once

// Real network peers for the tests: a small HTTP peer on loopback whose
// behaviour a test picks (answer, stay silent, stream forever) and the real
// tinyproxy.

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace nettest {

// An HTTP peer in the test's own thread: it serves while the code under test
// lets events run.
class HttpPeer : public QObject {
public:
    enum class Mode {
        Answer,  // sends the canned response, then closes
        Silent,  // accepts, reads and never answers
        Endless, // a 200 without a length, then data until the client leaves
    };

    enum class Transport { Plain, Tls };

    // With Transport::Tls the peer speaks HTTPS with the loopback certificate
    // of the test data (see trustLoopbackCertificate).
    explicit HttpPeer(Mode mode, QByteArray response = {}, Transport transport = Transport::Plain);

    static QByteArray response(int status, const QByteArray& body,
                               const QByteArray& contentType = "text/html",
                               const QByteArray& extraHeaders = {});

    quint16 port() const { return server_->serverPort(); }
    QString url(const QString& path = QStringLiteral("/")) const;
    int requestsSeen() const { return requests_; }
    qint64 bytesStreamed() const { return streamed_; }

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void streamMore(QTcpSocket* socket);

    Mode mode_;
    QByteArray response_;
    Transport transport_;
    std::unique_ptr<QTcpServer> server_;
    int requests_ = 0;
    qint64 streamed_ = 0;
};

// Makes this process trust the loopback certificate of the test data, as a
// certificate authority would be trusted. False when the files are missing.
bool trustLoopbackCertificate();

// A loopback port on which nothing listens (taken and released at once).
quint16 deadPort();

// tinyproxy in the foreground, asking for a user name and password.
class TinyProxy {
public:
    TinyProxy(const QString& user, const QString& password);
    ~TinyProxy();

    bool start(QString* why);
    quint16 port() const { return port_; }
    QString log();

private:
    QString user_;
    QString password_;
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
};

// Waits, letting events run, until connecting to port succeeds.
bool waitUntilListening(quint16 port, int timeoutMs);

} // namespace nettest

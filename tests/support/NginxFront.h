#pragma once
// The real nginx in front of a service, on a loopback port of its own (the
// same through restarts) with a folder of its own for its files.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class NginxFront {
public:
    NginxFront();
    ~NginxFront() { stop(); }
    NginxFront(const NginxFront&) = delete;
    NginxFront& operator=(const NginxFront&) = delete;

    // (Re)starts nginx with `servers`, the server blocks of its http block,
    // and waits until it listens.
    bool start(const QString& servers);
    void stop();

    quint16 port() const { return port_; }
    QString folder() const { return dir_.path(); }
    QString site() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

private:
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_;
};

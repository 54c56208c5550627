#pragma once

#include <QNetworkProxy>
#include <QString>

namespace platform {

// What the connection settings hold about a proxy. The address may carry the
// port as "host:port"; the separate port value serves only when it does not.
struct ProxySetting {
    bool enabled = false;
    QString address;
    QString port;
    QString userName;
    QString password;
};

// The port used when neither the address nor the port value names one.
inline constexpr quint16 kDefaultProxyPort = 80;

struct ProxyEndpoint {
    QString host;
    quint16 port = kDefaultProxyPort;
};

// Splits the address into host and port: "host:port" wins over the port
// value; "[v6]:port" and a bare IPv6 address are understood; a port that is
// not a number from 1 to 65535 is ignored.
ProxyEndpoint proxyEndpoint(const QString& address, const QString& port);

// The proxy for Qt Network: no proxy when the setting is off or has no host.
QNetworkProxy makeNetworkProxy(const ProxySetting& setting);

} // namespace platform

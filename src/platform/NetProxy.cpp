#include "NetProxy.h"

#include <optional>

namespace platform {
namespace {

std::optional<quint16> parsePort(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 1 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<quint16>(value);
}

// A user may paste "http://proxy:3128/" where a host name is expected.
QString withoutSchemeAndPath(QString address) {
    const qsizetype schemeEnd = address.indexOf(QStringLiteral("://"));
    if (schemeEnd >= 0) {
        address = address.mid(schemeEnd + 3);
    }
    const qsizetype slash = address.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        address.truncate(slash);
    }
    return address;
}

} // namespace

ProxyEndpoint proxyEndpoint(const QString& address, const QString& port) {
    const QString text = withoutSchemeAndPath(address.trimmed());
    ProxyEndpoint endpoint;
    endpoint.port = parsePort(port).value_or(kDefaultProxyPort);

    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0) {
            endpoint.host = text.mid(1);
            return endpoint;
        }
        endpoint.host = text.mid(1, close - 1);
        if (text.mid(close + 1).startsWith(QLatin1Char(':'))) {
            endpoint.port = parsePort(text.mid(close + 2)).value_or(endpoint.port);
        }
        return endpoint;
    }

    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    const bool bareIpv6 = colon >= 0 && text.indexOf(QLatin1Char(':')) != colon;
    if (colon < 0 || bareIpv6) {
        endpoint.host = text;
        return endpoint;
    }
    endpoint.host = text.left(colon);
    endpoint.port = parsePort(text.mid(colon + 1)).value_or(endpoint.port);
    return endpoint;
}

QNetworkProxy makeNetworkProxy(const ProxySetting& setting) {
    if (!setting.enabled) {
        return QNetworkProxy(QNetworkProxy::NoProxy);
    }
    const ProxyEndpoint endpoint = proxyEndpoint(setting.address, setting.port);
    if (endpoint.host.isEmpty()) {
        return QNetworkProxy(QNetworkProxy::NoProxy);
    }
    return QNetworkProxy(QNetworkProxy::HttpProxy, endpoint.host, endpoint.port, setting.userName,
                         setting.password);
}

} // namespace platform

#include "ConnectionMonitor.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <utility>

namespace {

bool isLinkLocal(const QHostAddress& address) {
    return address.isLinkLocal() || address.isNull();
}

bool hasRoutableAddress(const QNetworkInterface& interface) {
    const QList<QNetworkAddressEntry> entries = interface.addressEntries();
    for (const QNetworkAddressEntry& entry : entries) {
        if (!isLinkLocal(entry.ip())) {
            return true;
        }
    }
    return false;
}

} // namespace

bool anyInterfaceConnected(const QList<InterfaceFacts>& interfaces) {
    for (const InterfaceFacts& facts : interfaces) {
        if (facts.up && facts.running && !facts.loopback && facts.hasRoutableAddress) {
            return true;
        }
    }
    return false;
}

QList<InterfaceFacts> currentInterfaceFacts() {
    QList<InterfaceFacts> result;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        InterfaceFacts facts;
        facts.up = flags.testFlag(QNetworkInterface::IsUp);
        facts.running = flags.testFlag(QNetworkInterface::IsRunning);
        facts.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        // Only worth the address query when the rest already says yes.
        facts.hasRoutableAddress =
            facts.up && facts.running && !facts.loopback && hasRoutableAddress(interface);
        result.append(facts);
    }
    return result;
}

bool connActive() {
    return anyInterfaceConnected(currentInterfaceFacts());
}

ConnectionIcon iconForConnection(bool connected) {
    return connected ? ConnectionIcon::Connected : ConnectionIcon::Disconnected;
}

ConnectionMonitor::ConnectionMonitor(QObject* parent) : ConnectionMonitor(::connActive, parent) {}

ConnectionMonitor::ConnectionMonitor(std::function<bool()> probe, QObject* parent)
    : QObject(parent), probe_(std::move(probe)) {}

bool ConnectionMonitor::connActive() const {
    return probe_ && probe_();
}

ConnectionIcon ConnectionMonitor::ShowConnectionState() {
    lastIcon_ = iconForConnection(connActive());
    emit iconToShow(lastIcon_);
    return lastIcon_;
}

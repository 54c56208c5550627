#pragma once

#include <QList>
#include <QObject>
#include <functional>

// What the connection probe looks at on one network interface.
struct InterfaceFacts {
    bool up = false;
    bool running = false;
    bool loopback = false;
    bool hasRoutableAddress = false; // an address that is not link-local
};

// True when some interface is up, running, not the loopback and has an
// address beyond link-local: the system's idea of a connection, not a test of
// any particular server.
bool anyInterfaceConnected(const QList<InterfaceFacts>& interfaces);

// The facts of this machine's interfaces, read from the system.
QList<InterfaceFacts> currentInterfaceFacts();

// The cheap probe, asked twice a second. A failing query counts as no
// connection.
bool connActive();

// Which of the two pictures the status bar's connection icon shows.
enum class ConnectionIcon {
    Connected,    // the picture of ImageConnesso
    Disconnected, // the picture of ImageDisconnesso
};

ConnectionIcon iconForConnection(bool connected);

// Decides the connection icon at every tick of the supervisor clock. The
// main window connects iconToShow: it gives connectStatus the picture of the
// icon and brings connectStatus in front of the other controls.
class ConnectionMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kCheckIntervalMs = 500;

    explicit ConnectionMonitor(QObject* parent = nullptr);
    // A different probe, for a machine whose state cannot be changed at will.
    ConnectionMonitor(std::function<bool()> probe, QObject* parent);

    bool connActive() const;

    // Asks the probe and announces the icon, every time (the icon is also
    // brought to the front every time). Returns the icon announced.
    ConnectionIcon ShowConnectionState();

    // The icon announced last; Disconnected before the first announcement.
    ConnectionIcon lastIcon() const { return lastIcon_; }

signals:
    void iconToShow(ConnectionIcon icon);

private:
    std::function<bool()> probe_;
    ConnectionIcon lastIcon_ = ConnectionIcon::Disconnected;
};

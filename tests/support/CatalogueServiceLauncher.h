#pragma once
// The real catalogue service, the built skyglance-catalogue, on a loopback
// port with its database in a temporary folder of its own.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class CatalogueServiceLauncher {
public:
    CatalogueServiceLauncher() = default;
    ~CatalogueServiceLauncher() { kill(); }
    CatalogueServiceLauncher(const CatalogueServiceLauncher&) = delete;
    CatalogueServiceLauncher& operator=(const CatalogueServiceLauncher&) = delete;

    // The built executable.
    static QString program();

    // Starts the service (ending the one this started before) with the extra
    // options on `onPort` (0: a free port), and waits until it has printed
    // its addresses; false when it did not, with why() saying what it said.
    // `launcher`: a command that runs the service (its program and options
    // follow), e.g. to start it with other limits.
    bool start(const QStringList& extra = {}, quint16 onPort = 0, const QStringList& launcher = {});
    // Ends it as a service manager would; true when it stopped cleanly.
    bool stop();
    // Ends it at once, as a crash or a pulled cable would.
    void kill();

    // Whether standard error (the fault log, for one) says `text` within `ms`.
    bool errorsContain(const QByteArray& text, int ms = 5000);
    QString why() const { return why_; }
    QString tempPath(const QString& name) const { return dir_.filePath(name); }
    qint64 pid() const { return process_.processId(); }
    // The targets asked, in order, as the access log at `log` names them.
    static QStringList askedTargets(const QString& log);

    // What the running service printed: the catalogue's address, the site
    // root and its port.
    QString service;
    QString site;
    quint16 port = 0;

private:
    bool readAddresses();

    QTemporaryDir dir_;
    QProcess process_;
    QByteArray errors_;
    QString why_;
};

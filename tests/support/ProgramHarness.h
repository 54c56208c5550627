#pragma once
// The real program, the built skyglance, run as a service manager or a
// person starts it: an environment of the test's choosing, its standard
// output and error collected, and killed at the end if still running.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

class ProgramHarness {
public:
    // This test's own environment, to be changed before start().
    ProgramHarness();
    ~ProgramHarness();
    ProgramHarness(const ProgramHarness&) = delete;
    ProgramHarness& operator=(const ProgramHarness&) = delete;

    // The built executable, and its folder (where its placeholder lies).
    static QString program();
    static QString folder();

    // HOME, with the Windows-style HOMEDRIVE and HOMEPATH unset.
    void setHome(const QString& home);
    void setEnv(const QString& name, const QString& value);
    void unsetEnv(const QString& name);

    void start(const QStringList& arguments = {});
    // Whether it ended within `ms`.
    bool waitForEnd(int ms = 30000);
    // Whether it ended within `ms`, by itself and with status 0.
    bool endsCleanly(int ms = 30000);
    // Everything it wrote so far.
    QByteArray out();
    QByteArray err();
    QProcess& process() { return process_; }

private:
    QProcessEnvironment environment_;
    QProcess process_;
    QByteArray out_;
    QByteArray err_;
};

#pragma once
// Small files and homes of their own, as the tests write and read them.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The whole file; empty when it cannot be read.
QByteArray readFile(const QString& path);

// Writes the file anew; a failure fails the running test.
void writeFile(const QString& path, const QByteArray& bytes);

// The lines, each ended by CR LF, as the program's settings files hold them.
QByteArray crlf(const QStringList& lines);

// A home folder of this process's own (HOME, with the Windows-style
// HOMEDRIVE and HOMEPATH unset), deleted with this object. HOME is not set
// back: every test that needs a home makes one.
class TemporaryHome {
public:
    TemporaryHome();

    QString path() const { return dir_.path(); }
    // A file of the program's work folder, Skyglance7_Work.
    QString work(const QString& name = {}) const;

private:
    QTemporaryDir dir_;
};

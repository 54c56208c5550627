#include "FileHelpers.h"

#include <QFile>
#include <QTest>

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray crlf(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

TemporaryHome::TemporaryHome() {
    qunsetenv("HOMEDRIVE");
    qunsetenv("HOMEPATH");
    qputenv("HOME", dir_.path().toLocal8Bit());
}

QString TemporaryHome::work(const QString& name) const {
    return dir_.path() + QStringLiteral("/Skyglance7_Work/") + name;
}

#pragma once
// A home folder as the program leaves it after its first start, for the tests
// that run the whole show.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QtTest>

inline QByteArray crlf(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// English, a direct connection, the default town and the given selection
// (row and picture ID pairs).
inline void seedHome(const QString& home, const QStringList& selectionPairs) {
    const QString work = home + "/Skyglance7_Work/";
    QDir().mkpath(work);
    writeFile(work + "Skyglance7_Config.dat", crlf({"15", "8", "Full_Screen", "", ""}));
    writeFile(work + "Skyglance7_Picture_List.dat", crlf(selectionPairs + QStringList{"", ""}));
    writeFile(work + "Skyglance7_Language.dat", " 1");
    writeFile(work + "Skyglance7_Proxy.dat", crlf({"", "", "", "", "0"}));
    writeFile(work + "Skyglance7_Proxy.bak", crlf({"", "", "", "", "0"}));
    writeFile(work + "Skyglance7_MyTown.dat",
              crlf({"Courmayeur", "New+York", "ny", "us", "Naples", "Italy", "OPTION1", "OPTION2",
                    "OPTION3", "OPTION4", "OPTION5", "OPTION6", "OPTION7", "OPTION8", "F", " ", " ",
                    " "}));
}

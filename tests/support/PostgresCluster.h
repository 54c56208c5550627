#pragma once
// A PostgreSQL cluster of the test's own, started by scripts/start-postgres.sh
// on a free loopback port and removed at the end.
#include <QString>
#include <QStringList>
#include <string>

class PostgresCluster {
public:
    PostgresCluster() = default;
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // 0: started; 2: PostgreSQL is not installed; else it failed (`output`).
    int start();
    bool pause();
    bool resume();

    std::string url; // postgresql://...
    QString folder;
    QString output; // what the script said last

private:
    int run(const QStringList& arguments);
};

// Starts `pg`, skipping the test where PostgreSQL's server is not installed.
#define START_POSTGRES(pg)                                                                         \
    do {                                                                                           \
        const int code = (pg).start();                                                             \
        if (code == 2) {                                                                           \
            QSKIP("PostgreSQL's server binaries are not installed");                               \
        }                                                                                          \
        QVERIFY2(code == 0, qPrintable((pg).output));                                              \
    } while (false)

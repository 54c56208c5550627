#include "PostgresCluster.h"

#include <QProcess>
#include <QStringList>

PostgresCluster::~PostgresCluster() {
    if (!folder.isEmpty()) {
        run({"stop", folder});
    }
}

int PostgresCluster::start() {
    const int code = run({});
    const QStringList lines = output.split('\n', Qt::SkipEmptyParts);
    if (code == 0 && lines.size() == 2) {
        url = lines[0].toStdString();
        folder = lines[1];
    }
    return code;
}

bool PostgresCluster::pause() {
    return run({"pause", folder}) == 0;
}

bool PostgresCluster::resume() {
    return run({"resume", folder}) == 0;
}

int PostgresCluster::run(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(SKYGLANCE_SOURCE_DIR "/scripts/start-postgres.sh"), arguments);
    process.waitForFinished(60000);
    output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

#include "CatalogueServiceLauncher.h"

#include "FileHelpers.h"

#include <QDeadlineTimer>
#include <QTest>
#include <QUrl>
#include <csignal>
#include <sys/prctl.h>

QString CatalogueServiceLauncher::program() {
    return QStringLiteral(SKYGLANCE_CATALOGUE_SERVICE);
}

bool CatalogueServiceLauncher::start(const QStringList& extra, quint16 onPort,
                                     const QStringList& launcher) {
    kill();
    service.clear();
    site.clear();
    port = 0;
    const QStringList command = launcher +
                                QStringList{program(), "--port", QString::number(onPort), "--db",
                                            dir_.filePath("catalogue.sqlite")} +
                                extra;
    process_.setProgram(command.front());
    process_.setArguments(command.mid(1));
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    // A test that crashes takes its service with it.
    process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_.start();
    if (!process_.waitForStarted(10000)) {
        why_ = QStringLiteral("the catalogue service did not start: ") + process_.errorString();
        return false;
    }
    return readAddresses();
}

bool CatalogueServiceLauncher::readAddresses() {
    QByteArray out;
    QDeadlineTimer deadline(30000);
    while (service.isEmpty() || site.isEmpty()) {
        if (deadline.hasExpired() ||
            (!process_.waitForReadyRead(200) && process_.state() == QProcess::NotRunning)) {
            why_ = QStringLiteral("the catalogue service printed no addresses: ") +
                   QString::fromLocal8Bit(out + process_.readAllStandardError());
            return false;
        }
        out += process_.readAllStandardOutput();
        // Whole lines only: the rest is still on its way.
        for (const QByteArray& line : out.left(out.lastIndexOf('\n')).split('\n')) {
            if (line.startsWith("service: ")) {
                service = QString::fromUtf8(line.mid(9)).trimmed();
            } else if (line.startsWith("site: ")) {
                site = QString::fromUtf8(line.mid(6)).trimmed();
            }
        }
    }
    port = static_cast<quint16>(QUrl(site).port());
    return port != 0;
}

bool CatalogueServiceLauncher::stop() {
    if (process_.state() == QProcess::NotRunning) {
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    process_.terminate();
    if (!process_.waitForFinished(15000)) {
        kill();
        return false;
    }
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

void CatalogueServiceLauncher::kill() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool CatalogueServiceLauncher::errorsContain(const QByteArray& text, int ms) {
    QDeadlineTimer deadline(ms);
    while (!(errors_ += process_.readAllStandardError()).contains(text)) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(50);
    }
    return true;
}

QStringList CatalogueServiceLauncher::askedTargets(const QString& log) {
    QStringList targets;
    for (const QByteArray& line : readFile(log).split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() >= 4) {
            targets << QString::fromUtf8(fields.at(3));
        }
    }
    return targets;
}

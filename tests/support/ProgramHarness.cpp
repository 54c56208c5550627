#include "ProgramHarness.h"

#include <QFileInfo>

ProgramHarness::ProgramHarness() : environment_(QProcessEnvironment::systemEnvironment()) {}

ProgramHarness::~ProgramHarness() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString ProgramHarness::program() {
    return QStringLiteral(SKYGLANCE_PROGRAM);
}

QString ProgramHarness::folder() {
    return QFileInfo(program()).path();
}

void ProgramHarness::setHome(const QString& home) {
    environment_.insert(QStringLiteral("HOME"), home);
    environment_.remove(QStringLiteral("HOMEDRIVE"));
    environment_.remove(QStringLiteral("HOMEPATH"));
}

void ProgramHarness::setEnv(const QString& name, const QString& value) {
    environment_.insert(name, value);
}

void ProgramHarness::unsetEnv(const QString& name) {
    environment_.remove(name);
}

void ProgramHarness::start(const QStringList& arguments) {
    process_.setProcessEnvironment(environment_);
    process_.start(program(), arguments);
}

bool ProgramHarness::waitForEnd(int ms) {
    return process_.waitForFinished(ms);
}

bool ProgramHarness::endsCleanly(int ms) {
    return waitForEnd(ms) && process_.exitStatus() == QProcess::NormalExit &&
           process_.exitCode() == 0;
}

QByteArray ProgramHarness::out() {
    out_ += process_.readAllStandardOutput();
    return out_;
}

QByteArray ProgramHarness::err() {
    err_ += process_.readAllStandardError();
    return err_;
}

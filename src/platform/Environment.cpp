#include "Environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <unistd.h>

extern char** environ;

namespace platform {

QStringList processEnvironmentEntries() {
    QStringList entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        entries.append(QString::fromLocal8Bit(*entry));
    }
    return entries;
}

std::optional<QString> findEnvironmentValue(const QStringList& entries, const QString& name,
                                            const std::function<QString(const QString&)>& byName) {
    const QString prefix = name + QLatin1Char('=');
    for (const QString& entry : entries) {
        if (entry.isEmpty()) {
            break;
        }
        if (entry.startsWith(prefix, Qt::CaseSensitive)) {
            if (byName(name).isEmpty()) {
                return std::nullopt;
            }
            return entry.mid(prefix.size());
        }
    }
    return std::nullopt;
}

std::optional<QString> environmentValue(const QString& name) {
    return findEnvironmentValue(processEnvironmentEntries(), name, [](const QString& n) {
        return qEnvironmentVariable(n.toLocal8Bit().constData());
    });
}

HomeDirectory findHomeDirectory() {
    const auto drive = environmentValue(QStringLiteral("HOMEDRIVE"));
    const auto path = environmentValue(QStringLiteral("HOMEPATH"));
    if (drive && path) {
        return {QDir::toNativeSeparators(*drive), QDir::toNativeSeparators(*path)};
    }
    QString home = environmentValue(QStringLiteral("HOME")).value_or(QDir::homePath());
    // "/home/u/" and "/home/u" name the same folder; keep the root as it is.
    while (home.size() > 1 && home.endsWith(QLatin1Char('/'))) {
        home.chop(1);
    }
    return {QString(), QDir::toNativeSeparators(home)};
}

QString programFolder() {
    QString folder = QCoreApplication::instance() != nullptr
                         ? QCoreApplication::applicationDirPath()
                         : QDir::currentPath();
    return QDir::toNativeSeparators(QDir::cleanPath(folder));
}

QString programDataFile(const QString& programFolder, const QString& name) {
    const QDir folder(programFolder);
    const QString beside = folder.filePath(name);
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    const QString shared = folder.filePath(QStringLiteral("../share/skyglance/") + name);
    if (QFileInfo::exists(shared)) {
        return QDir::cleanPath(shared);
    }
    return beside;
}

} // namespace platform

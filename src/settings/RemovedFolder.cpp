#include "settings/RemovedFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

namespace {

const QString kPrefix = QStringLiteral("Removed-");

bool existsAsFileOrLink(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() || (info.exists() && !info.isDir());
}

// Two deletions in the same second get "-2", "-3", ... after the time.
QString createDatedFolder(const QDir& work) {
    const QString stamp =
        kPrefix + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int suffix = 1; suffix < 1000; ++suffix) {
        const QString name =
            suffix == 1 ? stamp : stamp + QLatin1Char('-') + QString::number(suffix);
        if (QFileInfo(work.filePath(name)).exists() || QFileInfo(work.filePath(name)).isSymLink()) {
            continue;
        }
        if (work.mkdir(name)) {
            return work.filePath(name);
        }
        return {};
    }
    return {};
}

// The time part, then the same-second suffix as a number.
std::pair<QString, int> orderOf(const QString& name) {
    const qsizetype timeLength = kPrefix.size() + 15; // yyyyMMdd-HHmmss
    const QString time = name.left(timeLength);
    const int suffix = name.size() > timeLength ? name.mid(timeLength + 1).toInt() : 1;
    return {time, suffix};
}

// Removes the folder's own entries, never what a link in it points to, and a
// folder found inside is left alone (and with it the folder itself).
void removeFolderShallow(const QString& folder) {
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !entry.isDir()) {
            QFile::remove(entry.filePath());
        }
    }
    QDir(QFileInfo(folder).path()).rmdir(QFileInfo(folder).fileName());
}

void pruneRemovedFolders(const QString& workFolder) {
    const QStringList folders = removedFolders(workFolder);
    for (qsizetype i = 0; i + kRemovedFoldersKept < folders.size(); ++i) {
        removeFolderShallow(QDir(workFolder).filePath(folders.at(i)));
    }
}

} // namespace

QStringList removedFolders(const QString& workFolder) {
    QStringList folders;
    const QFileInfoList entries =
        QDir(workFolder)
            .entryInfoList({kPrefix + QLatin1Char('*')},
                           QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        // A link named like one is not ours to empty.
        if (!entry.isSymLink()) {
            folders << entry.fileName();
        }
    }
    std::sort(folders.begin(), folders.end(),
              [](const QString& a, const QString& b) { return orderOf(a) < orderOf(b); });
    return folders;
}

bool moveToRemovedFolder(const QString& workFolder, const QStringList& paths) {
    QStringList present;
    for (const QString& path : paths) {
        if (existsAsFileOrLink(path)) {
            present << path;
        }
    }
    if (present.isEmpty()) {
        return true;
    }
    const QString folder = createDatedFolder(QDir(workFolder));
    if (folder.isEmpty()) {
        return false;
    }
    bool allMoved = true;
    for (const QString& path : present) {
        // A rename in the same folder tree: read-only files move as they are.
        const QString target = QDir(folder).filePath(QFileInfo(path).fileName());
        allMoved = ::rename(QFile::encodeName(path).constData(),
                            QFile::encodeName(target).constData()) == 0 &&
                   allMoved;
    }
    pruneRemovedFolders(workFolder);
    return allMoved;
}

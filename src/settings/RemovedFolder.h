#pragma once

#include <QString>
#include <QStringList>

// Settings files the program would delete are moved instead into a dated
// folder beside them, "Removed-YYYYMMDD-HHMMSS", so a deletion that came from
// a passing fault never loses the only copy. Only the newest few such folders
// are kept.
inline constexpr int kRemovedFoldersKept = 5;

// Moves the files among paths that exist (a file or a link, never a folder)
// into a new Removed folder of workFolder, then prunes the older Removed
// folders. A file that cannot be moved stays where it is. True when every
// existing file was moved.
bool moveToRemovedFolder(const QString& workFolder, const QStringList& paths);

// The Removed folders of workFolder, oldest first.
QStringList removedFolders(const QString& workFolder);

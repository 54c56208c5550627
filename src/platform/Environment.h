#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace platform {

// The process environment as an ordered list of "NAME=value" entries.
QStringList processEnvironmentEntries();

// Walks the entries in order until one starts with exactly name + "=" (case
// sensitive) or an empty entry ends the walk. The value counts only when such
// an entry was found and the variable read by name is not empty.
std::optional<QString> findEnvironmentValue(const QStringList& entries, const QString& name,
                                            const std::function<QString(const QString&)>& byName);

// findEnvironmentValue over this process's environment.
std::optional<QString> environmentValue(const QString& name);

// The home directory split as the work folders need it: drive and path are
// HOMEDRIVE and HOMEPATH where both are set, else an empty drive and HOME.
struct HomeDirectory {
    QString drive;
    QString path;
};
HomeDirectory findHomeDirectory();

// The folder of the program file, without a trailing separator.
QString programFolder();

// Where the program's own file `name` lies: beside the program in
// `programFolder` (a build tree), else in ../share/skyglance/ from there (an
// installation). When neither holds it, the path beside the program, so that
// messages name the place it was first looked for.
QString programDataFile(const QString& programFolder, const QString& name);

} // namespace platform

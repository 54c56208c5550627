#pragma once

#include <QString>

struct RunState;

// The four work folders under the home directory.

struct WorkFolderNames {
    QString work;
    QString slide;
    QString php;
    QString collections;
};

// The folder names for a home directory split into drive and path. No
// separator goes between drive and path: drive "C:" and path "\Users\u1"
// give "C:\Users\u1\Skyglance7_Work".
WorkFolderNames formWorkFolderNames(const QString& homeDrive, const QString& homePath,
                                    QChar separator);

// Finds the home directory, sets the folder variables of the run state,
// creates the missing folders and makes the collections folder current.
// Returns false (with the folder that failed in *failedFolder) when a folder
// cannot be created.
bool SetWorkFolders(RunState& state, QString* failedFolder = nullptr);

// WORK_PATH_FILE_LIST and imgFileBase from the work folder.
void SetDerivedNames(RunState& state);

// The work folder of this user's home, as SetWorkFolders forms it.
QString WorkFolderOfThisHome();

// Keeps a work folder to one program at a time: a second one on the same
// home (a user unit and an autostart entry both enabled) would overwrite the
// first one's settings and pictures. An flock on a file in the folder, which
// the system lets go when the process ends however it ends, so a lock left
// by a dead process never blocks.
class WorkFolderLock {
public:
    enum class Outcome {
        Held,      // this process has the folder
        InUse,     // another process holds it
        Unlockable // no folder or no lock file here: nothing to guard
    };

    WorkFolderLock() = default;
    ~WorkFolderLock();
    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;

    // Creates the folder when missing (its last part only), then locks it.
    Outcome acquire(const QString& workFolder);
    // The process named in the lock file when InUse; 0 when it names none.
    long long holder() const { return holder_; }

private:
    int fd_ = -1;
    long long holder_ = 0;
};

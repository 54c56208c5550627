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

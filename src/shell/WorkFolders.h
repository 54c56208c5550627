#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

struct RunState;

// The four work folders under the home directory, and the command line.

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

// The splitting rule: fields separated by "-", n of them, the result having
// one entry more (index n) for the text behind the n-th "-". Each "-" beyond
// the (n-1)-th calls tooManyFields once.
template <std::size_t N>
void SplitFields(const QString& text, std::array<QString, N + 1>& result,
                 const std::function<void()>& tooManyFields);

// The message shown when a line has too many fields.
QString tooManyParametersMessage();

// Splits the command line into cmdParams (10 fields) and the catalogue
// record into copyrightFields (5 fields), showing the message above through
// the callback.
void Splitta10(RunState& state, const QString& commandLine,
               const std::function<void(const QString&)>& showMessage);
void Splitta5(RunState& state, const QString& toSplit,
              const std::function<void(const QString&)>& showMessage);

// Applies DEBUG_CODE, LOCALHOST and NOSILENT from cmdParams 0 to 9 (whole
// entries, exact case). Returns true when LOCALHOST was given; the entry
// LOCALHOST in cmdParams(1) also moves the version check (read it there).
bool ApplyCommandLineOptions(RunState& state);

// The command line as the program sees it: the arguments after the program
// name joined with blanks.
QString commandLineText(const QStringList& arguments);

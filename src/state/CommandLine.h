#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

struct RunState;

// The command line and the field splitting it shares with the catalogue
// records.

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

// Applies DEBUG_CODE, NOSILENT and QUIET from cmdParams 0 to 9 (whole
// entries, exact case), and SKYGLANCE_QUIET=1 from the environment. Where LOCALHOST moves the
// services is decided by the vendor services from cmdParams alone.
void ApplyCommandLineOptions(RunState& state);

// The command line as the program sees it: the arguments after the program
// name joined with blanks.
QString commandLineText(const QStringList& arguments);

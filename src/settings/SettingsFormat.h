#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// The plain-text formats of the settings and selection files, and the files
// on disk: CR LF line ends, two empty lines at the end, written whole.

inline constexpr char kSettingsFileName[] = "Skyglance7_Config.dat";
inline constexpr char kSelectionFileName[] = "Skyglance7_Picture_List.dat";
inline constexpr char kProxyFileName[] = "Skyglance7_Proxy.dat";
inline constexpr char kLanguageFileName[] = "Skyglance7_Language.dat";

// Settings files are a few lines; anything larger is not one of ours.
inline constexpr qint64 kMaxSettingsFileBytes = 1 << 20;

struct SettingsValues {
    QString downloadInterval; // minutes, as typed
    QString slideInterval;    // seconds, as typed
    QString displayMode;      // "Full_Screen" or "Normal"
    QString ownPicturePath;   // empty when there is none
};

struct SelectionEntry {
    int row = 0;
    int16_t pictureId = 0;
};

QString displayModeWord(const QString& txtDisplayText);

QByteArray formatSettingsFile(const SettingsValues& values);
QByteArray formatSelectionFile(const QList<SelectionEntry>& entries);
QList<SelectionEntry> firstRunSelection();

// Text lines of a file's bytes: UTF-8 (so own-picture paths in any script
// survive), falling back to Latin-1 for bytes that are not UTF-8. Lines are
// trimmed of leading and trailing blanks.
QStringList splitIntoLines(const QByteArray& bytes);

// The rows listed in a selection file, up to its first empty line. A pair
// whose row line is not a whole number is skipped.
QList<int> selectionRows(const QStringList& lines);

// The same pairs with their picture IDs (0 for an ID line that is not a
// 16-bit whole number).
QList<SelectionEntry> selectionEntries(const QStringList& lines);

// The number test of the interval boxes: any text read as a number in the
// given locale (or in the C locale, as typed on a keyboard of another layout).
std::optional<double> readNumber(const QString& text, const QLocale& locale = QLocale());

// Reads a whole file with the size bound; nullopt when missing or unreadable.
std::optional<QByteArray> readSmallFile(const QString& path);

// Why a file that is there cannot be read whole. Missing files are None:
// they are the first start's, not a fault.
enum class Unreadable { None, Folder, NotPermitted, TooLarge, ReadError };
Unreadable whyUnreadable(const QString& path);

// Writes the file through a temporary file in the same folder renamed over
// the old one, so a failure never leaves a half-written file behind.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

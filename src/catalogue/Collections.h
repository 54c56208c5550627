#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QListWidget;
class QWidget;
class SelectionTable;
class SettingsFile;
struct RunState;
namespace platform {
class Dialogs;
}

// ---- Pure rules of collection files.

// A collection file larger than this is not one of ours and is refused.
inline constexpr qint64 kMaxCollectionFileBytes = 4 * 1024 * 1024;

inline constexpr auto kCollectionFilePrefix = "Skyglance_Collection_";

// The entry code of a selection-table entry (" - " and the comment) as saving
// takes it: the word behind the first blank at character 6 or later (counted
// from 1), without its dashes. Empty when there is no such blank.
QString EntryCodeForSave(const QString& entryText);

// The same as loading takes it: the word behind the first blank at character 5
// or later, unchanged.
QString EntryCodeForLoad(const QString& entryText);

// True when code names the entry by either rule, so a code saved without its
// dashes (or taken after a one-letter first word) is found again. An empty
// code names nothing.
bool CollectionCodeMatchesEntry(const QString& code, const QString& entryText);

// mmddyyyy_hhmmss: 3 March 2021, 09:05:07 gives "03032021_090507".
QString CollectionTimeStamp(const QDateTime& when);

// "Skyglance_Collection_" + stamp + extension (".xml" or ".dat").
QString CollectionFileName(const QString& stamp, const QString& extension);

// The whole collection file for the ticked entry texts, in table order: CR LF
// line ends, tab indentation, UTF-8.
QByteArray FormatCollectionFile(const QDateTime& when, const QStringList& tickedEntryTexts);

// The codes of a collection file in the order they tick: the CodePic children
// of the PicItem elements (document order, any depth), up to the first PicItem
// without a child element; each code with the blanks at both ends removed.
// nullopt when the bytes are not a well-formed document, carry a DTD (never
// resolved), or exceed kMaxCollectionFileBytes. Bytes that are not UTF-8 and
// declare no encoding are read as Latin-1, as older files were written.
std::optional<QStringList> ReadCollectionCodes(const QByteArray& bytes);

// ReadCollectionCodes on a file, bounded before reading; nullopt when the
// file is missing, unreadable or too large.
std::optional<QStringList> ReadCollectionFile(const QString& path);

// The messages, by language (1 English, 2 Italian, 3 French, 4 Spanish; a
// missing version is English).
struct CollectionTexts {
    static QString saved(int lingua);
    // The save could not write its files (the file name follows).
    static QString saveFailed(int lingua);
    static QString reloaded(int lingua);
    static QString invalidSelection(int lingua);
    static QString loadFailed(int lingua);
    static QString reloadValidFile(int lingua);
    static QString openTitle();
    // The open dialog's filter in the toolkit's form: "All Files (*.xml)".
    static QString openFilter();
};

// Runs the save progress bar once: BarSaveAllBG 2000 twips wide and shown,
// BarSaveAllFG at its top left growing from 1 in steps of 25 up to the
// background's width, then both hidden.
void RunSaveBar(QWidget* BarSaveAllBG, QWidget* BarSaveAllFG);

// Saving the ticks of the selection table as a collection file, and loading a
// collection file back into the ticks.
class Collections : public QObject {
    Q_OBJECT
public:
    Collections(RunState& state, platform::Dialogs& dialogs, SettingsFile& settings,
                SelectionTable& selection, QListWidget* Tabella_Mappe_Selezionate,
                QObject* parent = nullptr);

    // The clock of the time stamp; tests may replace it.
    std::function<QDateTime()> now;

    // The tab that holds the save progress bar.
    static constexpr int kStartQuitTab = 3;

    // Event handlers of the picture-selection tab. Saving says success only
    // once both files are written, with the name written; without the whole
    // catalogue neither saving nor loading runs (the message says why).
    void SSTCfg_BackUpcnf_Click();
    void SSTCfg_Loadcnf_Click();
    void SSTCfg_Loadconf_Click();

    // Asks for a collection file and adds its pictures to the ticks.
    void LoadCollection();

    // The platform's open-file dialog in the collections folder; empty (or
    // beginning with a blank) means no file was chosen.
    QString AskOpenFile(const QString& title, const QString& filter, const QString& initialName);

    // Where the last save wrote the collection file (empty before any).
    QString lastSavedFile() const { return lastSavedFile_; }

signals:
    // The settings and the selection file were just saved (the panel runs
    // its save progress bar).
    void selectionSaved();
    // A collection file is being read (true) or no longer (false); the
    // panel shows Wait_Ico in front of its elements meanwhile.
    void readingCollection(bool reading);
    // The table is refilled after a collection was chosen; tabIndex is the
    // panel tab that shows the save progress bar.
    void refillStarted(int tabIndex);
    // The load icon was clicked (the system beeps).
    void loadClicked();

private:
    QStringList tickedEntryTexts() const;
    QStringList entryTexts() const;
    void tickEntriesNamed(const QStringList& entryTextsBefore, const QStringList& codes);
    void saveAndRefill();
    bool refusedWithoutCatalogue();
    bool writeCollection(const QDateTime& when, const QString& xmlPath, const QString& datPath);

    RunState& state_;
    platform::Dialogs& dialogs_;
    SettingsFile& settings_;
    SelectionTable& selection_;
    QListWidget* table_;
    QString lastSavedFile_;
};

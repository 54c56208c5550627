#pragma once

#include "settings/SettingsFormat.h"
#include "settings/ShowSettings.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;
class QWidget;
struct RunState;
namespace platform {
class Dialogs;
}

// The controls of the main window that hold the settings while the program
// runs; the files are copies of them.
struct SettingsControls {
    QLineEdit* SSTCfg_timeDwLoad = nullptr;
    QLineEdit* SSTCfg_timeRefresh = nullptr;
    QLineEdit* txtDisplay = nullptr;
    QLineEdit* txtDisplay2 = nullptr;
    QLabel* SSTCfg_LblinserisciImg = nullptr;
    QListWidget* Tabella_Mappe_Selezionate = nullptr;
    QTimer* imgClock = nullptr;
    QWidget* SSTCfg_salvaConfig = nullptr;
    QWidget* SSTCfg_salvaConfig2 = nullptr;
    QWidget* SSTCfg_cmdConferma = nullptr;
    QWidget* SSTCfg_ExitProgram = nullptr;
    // Caption labels of the interval boxes (clicking one focuses its box).
    QWidget* SSTCfg_Aggiorna = nullptr;
    QWidget* SSTCfg_Aggiorna2 = nullptr;
    QWidget* SSTCfg_Download = nullptr;
    QWidget* SSTCfg_Download2 = nullptr;
};

// The texts of the settings messages, by language (1 English, 2 Italian,
// 3 French, 4 Spanish; any other number gives English).
struct SettingsTexts {
    static QString warningTitle(int lingua);
    static QString invalidDownloadTime(int lingua);
    static QString downloadTimerTooSmall(int lingua);
    static QString slideTimerNotValid(int lingua);
    static QString slideTimerTooSmall(int lingua);
    static QString writeError(int lingua);
    static QString cleanupTitle(int lingua);
    static QString cleanupSentence(int lingua);
    static QString cleanupWarningWord(int lingua);
    static QString cleanedMessage(int lingua);
    static QString notExecutedMessage(int lingua);
    // Names a settings file that is there but cannot be read, and why.
    static QString unreadableFile(int lingua, const QString& path, Unreadable why);
};

// The settings file and the selection file, read into and written from the
// controls; the interval checks, the start-up check and the cleanup. The
// show's settings follow their boxes as they change: a typed value counts
// at once, before it is saved.
class SettingsFile : public QObject {
    Q_OBJECT
public:
    SettingsFile(RunState& state, platform::Dialogs& dialogs, SettingsControls controls,
                 QObject* parent = nullptr);

    // Pause that lets events run, used by saveAll; tests replace it with
    // none, to save without waiting.
    std::function<void(int ms)> pause;

    // A settings file that is there but cannot be read is named in a message
    // and left alone, and so are the other files: the values on screen stand
    // in for it (true unless checkOnly).
    bool ReadSettings(bool checkOnly);
    // False when a file could not be written (the message was shown).
    bool WriteSettings();
    void saveAll();
    void RestoreTicks();
    // While held, saving leaves the selection file as it is: the table does
    // not hold the catalogue its ticks would be read from.
    void holdSelectionFile(bool held) { selectionHeld_ = held; }
    // Moves the files into a dated Removed folder beside them (never the
    // only copy gone).
    void DeleteSettingsFiles();
    void PrepareSettings();
    bool AskCleanup();

    // Event handlers of the panel.
    void SSTCfg_salvaConfig_Click();
    void SSTCfg_salvaConfig2_Click();
    void Cleanup_Click();
    void Cleanup2_Click();

    // Focus colours and change tracking of the interval boxes.
    void installIntervalBoxHandlers();
    // As when the interval boxes lose the focus: all painted idle again.
    void leaveIntervalBoxes() { paintIntervalBoxes(nullptr); }

    QString settingsFilePath() const;
    QString selectionFilePath() const;
    QString proxyFilePath() const;
    QString languageFilePath() const;

    bool inFirstRunState() const { return firstRunState_; }

    // The settings as the boxes hold them now.
    const ShowSettings& showSettings() const { return show_; }

    // Whether the settings have changed since they were last saved: a box
    // typed in, a tick, an own picture, the display mode switched.
    bool unsaved() const { return unsaved_; }
    void markUnsaved();
    void markSaved();

    // Whether the show is in full screen: as the file or the defaults set it,
    // as the last still picture went on the screen, or after the show fell
    // back to it.
    bool fullScreen() const { return fullScreen_; }
    void noteDisplayModeApplied(bool fullScreen);
    // The show has no slides and the panel opens: the display mode box says
    // full screen.
    void fallBackToFullScreen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // A box of the show's settings changed, typed or set from the file.
    void changed(const ShowSettings& settings);
    // The display-mode box took a value from the file or the defaults: the
    // window shows the mode in the user's language.
    void displayModeChanged();
    // The save icon has saved (the window shows the save bar).
    void savedByClick();
    // The settings were cleaned up: the program must end so that the next
    // start begins afresh.
    void quitRequested();
    // Marked as changed since the last save, or as saved (unsaved is false).
    void unsavedChanged(bool unsaved);
    // The selection being saved starts a new slide map; then each ticked
    // row joins it as the next entry (its catalogue index + 1).
    void slideMapRestarted();
    void slideMapEntryTicked(int16_t catalogueIndexPlusOne);

private:
    void readFailed();
    void moveAside(const QStringList& paths);
    // True (the message shown once) when the file is there but unreadable.
    bool unreadable(const QString& path);
    void validateIntervals();
    QList<SelectionEntry> tickedEntries();
    void warn(const QString& text);
    void paintIntervalBoxes(QLineEdit* focused);
    ShowSettings settingsInBoxes() const;
    void takeSettingsFromBoxes();

    RunState& state_;
    platform::Dialogs& dialogs_;
    SettingsControls controls_;
    bool firstRunState_ = false;
    bool selectionHeld_ = false;
    bool settingsUnreadable_ = false;
    QString toldUnreadable_;
    ShowSettings show_;
    bool unsaved_ = false;
    bool fullScreen_ = false;
};

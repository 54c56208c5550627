#pragma once

#include "state/Slide.h"

#include <QObject>
#include <QSet>
#include <QString>

class DownloadCycles;
class PictureBox;
class Presenter;
class Supervisor;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;
class SettingsFile;
struct RunState;
namespace platform {
class Dialogs;
}

// The notice on the countdown line for a slide whose picture failed.
inline constexpr auto kImageMissingText = "IMAGE MISSING - PLEASE OPEN A TICKET ON OUR WEBSITE";

// The download limit: the download interval in minutes times 30, wide enough
// for any interval the settings accept.
long long DownloadLimit(const QString& minutesText);

// The slide interval that a timing code gives, in milliseconds before
// scaling; -1 keeps the interval of the slide before ("99").
long long TimingCodeIntervalMs(const QString& code, long long slideMs);

// Whether the animation sign shows for a timing code.
bool TimingCodeShowsAnimation(const QString& code);

// The message when the loop files in the work folder cannot be replaced.
QString WorkFolderUnwritableText(int lingua, const QString& folder);
// What the status line adds for a picture the memory budget scaled down or
// refused (a PictureNote); empty for a whole picture.
QString PictureNoteText(int lingua, int note);

// The controls a slide tick touches.
struct SchedulerControls {
    QWidget* window = nullptr;
    QTimer* imgClock = nullptr;
    QTimer* utilityTmr = nullptr;
    QLabel* lCountDown = nullptr;
    QWidget* btSetup = nullptr;
    QWidget* btWait = nullptr;
    QWidget* btHelp = nullptr;
    QWidget* BtAnimation = nullptr;
    QWidget* whoWeAre = nullptr;
    QLabel* lblMsgUser = nullptr;
    PictureBox* fotoBrowser = nullptr;
    // The display-mode box, set when the user switches the mode.
    QLineEdit* txtDisplay = nullptr;
};

// The slide show: one slide per tick of imgClock.
class Scheduler : public QObject {
    Q_OBJECT

public:
    Scheduler(RunState& state, platform::Dialogs& dialogs, SettingsFile& settings,
              DownloadCycles& cycles, Presenter& presenter, Supervisor& supervisor,
              SchedulerControls controls);

    void imgClock_Timer();
    void dyMode_Click();
    void dyMode2_Click() { dyMode_Click(); }
    // Puts slide s of the cycle on the screen and gives it as shown: a loop
    // that cannot play leaves the slide not loaded.
    Slide showSlide(int s);
    // False when a placeholder could not be written over an old loop (the
    // message shown): the show goes on and the next cycle tries again. The
    // loop files still on show (a quiet refresh's) are left as they are.
    bool ResetAniGifFiles(const QSet<QString>& onShow = {});

signals:
    // The status lines in the state changed.
    void statusTextChanged();
    // The display mode box (txtDisplay) changed.
    void displayModeChanged();
    // A slide of the cycle is about to go on the screen.
    void liveSlideDue();
    // After every slide shown.
    void slideShown(const Slide& slide);

private:
    bool runFirstPass();
    void runDownloadCycleWhenDue();
    void runQuietRefresh();
    void refreshSlides();
    void showHeldSlide();
    QSet<QString> loopFilesOnShow() const;
    bool resetLoopSet(int first, const QSet<QString>& onShow);
    void stopForNoSlides();
    void showSlideText(const Slide& slide);
    void applyTimingCode(const QString& code);
    void markKeptPicture(const Slide& slide);
    void markPictureNote(const Slide& slide);
    void showServiceMessage(int s);
    void showWaitSign();
    void setImgClockInterval(long long ms);
    bool copyPlaceholder(const QString& file) const;

    RunState& state_;
    platform::Dialogs& dialogs_;
    SettingsFile& settings_;
    DownloadCycles& cycles_;
    Presenter& presenter_;
    Supervisor& supervisor_;
    SchedulerControls c_;
    bool toldUnwritable_ = false;
    int heldPointer_ = 0;
};

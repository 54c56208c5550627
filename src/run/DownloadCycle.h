#pragma once

#include "download/SlideSink.h"
#include "state/SlideList.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <utility>

class CatalogueService;
class FetchPrimitives;
class QLabel;
class QListWidget;
class QTimer;
class QWidget;
class SettingsFile;
class SourceCodes;
class Supervisor;
struct RunState;
namespace platform {
class Dialogs;
}

// The own pictures a cycle adds from the slide folder, at most.
inline constexpr int kMaxSlideFolderPictures = 9;

// The message when the start command finds nothing ticked.
QString NoPictureText(int lingua);
// The countdown line when the catalogue service cannot be reached.
QString FailedReplyText(int lingua);

// The slide interval of the settings in milliseconds, wide enough for any
// interval the settings accept and never beyond what a timer can hold.
int SlideIntervalMs(const QString& secondsText);

// The pictures of the slide folder that join the show: names ending in "jpg"
// or "JPG", in the order listed, the first kMaxSlideFolderPictures of them.
QStringList SlideFolderPictures(const QStringList& namesInListedOrder);

// The controls a cycle touches.
struct CycleControls {
    QListWidget* Tabella_Mappe_Selezionate = nullptr;
    QTimer* imgClock = nullptr;
    QTimer* utilityTmr = nullptr;
    QLabel* lCountDown = nullptr;
    QWidget* btSetup = nullptr;
    QWidget* btWait = nullptr;
    QWidget* btHelp = nullptr;
    QWidget* whoWeAre = nullptr;
    QWidget* MessaggioAggiornate = nullptr;
    QWidget* Miniatura = nullptr;
    QWidget* DownloadPreview = nullptr;
    QWidget* lVersion = nullptr;
    QWidget* SSTCfg_ExitProgram = nullptr;
    QWidget* SSTCfg_ExitProgram_BW = nullptr;
    // The panel and its neighbours, hidden when the show starts.
    QList<QWidget*> panelViews;
};

// Turns the ticks into slides: the catalogue pass, the download cycle, the
// panel's start command and the opening of the panel for a new selection.
// It keeps the slides of the cycle: the download parts hand it the slides
// they make, the slide tick reads the slide it shows from it.
class DownloadCycles : public QObject, public SlideSink {
    Q_OBJECT

public:
    // errorPicture is what a slide whose picture failed shows.
    DownloadCycles(RunState& state, platform::Dialogs& dialogs, SettingsFile& settings,
                   CatalogueService& catalogue, FetchPrimitives& fetch, SourceCodes& sources,
                   Supervisor& supervisor, QImage errorPicture, CycleControls controls);

    bool DownloadCycle(int16_t cycleType);
    void RunCataloguePass(bool fromPanel);
    void OpenPanelForSelection();
    void SSTCfg_cmdConferma_Click();

    // The outcome of the last pass: false when no usable selection file.
    bool cataloguePassOK = true;
    // The last pass or start command could not reach the service. The slides
    // stay; the pass is tried again (see retryPassPending).
    bool passFailedInTransport() const { return passFailedInTransport_; }
    // A pass that failed in transport while slides were showing waits for
    // the next download interval, which runs it again here.
    bool retryPassPending() const { return retryPassPending_; }
    void retryCataloguePass();
    // A cycle that fetches every slide again, kept pictures or not.
    void reloadEverySlide();

    // What the show is busy with; the supervisor and the slide tick start
    // nothing inside it. Loading: a pass, a cycle or the start command is
    // fetching pictures. A slide tick: the scheduler tells its start and end
    // here, because opening the panel waits for it as well.
    bool loading() const { return loading_; }
    void beginLoading();
    void endLoading();
    bool slideTickRunning() const { return slideTickRunning_; }
    void beginSlideTick();
    void endSlideTick();
    // The catalogue pass has run (the next slide tick runs none); the panel
    // has asked for the whole catalogue; the cycle running fetches every
    // slide again.
    bool catalogueLoaded() const { return catalogueLoaded_; }
    bool catalogueRequested() const { return catalogueRequested_; }
    bool reloadingAll() const { return reloadAll_; }
    // As at the start of the program: nothing loaded, nothing running.
    void resetRunFlags();

    // Quiet refresh: a refresh fetches and captures off screen while the
    // slides on show keep playing from a held copy; the new slides take
    // their place when the refresh ends. Off unless asked for.
    bool quietRefresh() const;
    // Holds the first `countOnShow` slides, with their status texts, for the
    // slide tick to play while the refresh runs; loops of the refresh are
    // written to the other set of loop files.
    void beginQuietRefresh(int countOnShow);
    void endQuietRefresh();
    bool quietRefreshRunning() const { return quietRefreshRunning_; }
    const QList<Slide>& heldSlides() const { return held_; }
    // When the last quiet refresh ended and the addresses whose pictures it
    // could not fetch.
    QDateTime lastQuietRefresh() const { return lastQuietRefresh_; }
    QStringList quietRefreshFailures() const { return quietFailures_; }
    // How many slides on show have their picture and how many failed: the
    // held ones during a quiet refresh.
    std::pair<int, int> fetchedAndFailedOnShow() const;
    // The waiting line after a failed catalogue request: the usual text,
    // then the address that failed and how.
    QString failedReplyLine() const;

    // False after the panel's pass could not get the whole catalogue: the
    // start command then goes on with the saved selection.
    bool wholeCatalogue() const { return wholeCatalogue_; }

    // True while a cycle runs; a second one never starts inside it.
    bool running() const { return running_; }

    // How many cycles have ended, and when the last one started and how long
    // it took.
    int completedCycles() const { return completedCycles_; }
    QDateTime lastCycleStarted() const { return lastCycleStarted_; }
    qint64 lastCycleDurationMs() const { return lastCycleDurationMs_; }
    // Slide s of the last cycle as a value, with the status texts the slide
    // tick shows for it (from its catalogue row).
    Slide slide(int s) const;

    // The slides as kept, and what may change them from outside a cycle: a
    // slide that failed while shown, a kept picture of an earlier cycle.
    const SlideList& slides() const override { return slides_; }
    void putSlide(const Slide& slide) override;
    void loopFileWritten() override;

    // The slide map: a restart (with the status lines saying when), then one
    // append per ticked entry.
    void restartSlideMap();
    void appendToSlideMap(int16_t catalogueIndexPlusOne);
    // Before a cycle that fetches every slide again: the kinds and loop files
    // of the old pictures go, and the loop copies are numbered from 1.
    void forgetLoops();
    // At start-up: no slide fetched or failed, no loop copy written.
    void clearSlidesForStart();

signals:
    // The status lines in the state changed.
    void statusTextChanged();
    // The slide map changed (the diagnostics table view follows it).
    void slideMapChanged();
    // The panel's pass got the whole catalogue: the selection table is filled.
    void wholeCatalogueArrived();
    // In place of the fill when the service did not give the whole catalogue.
    void catalogueUnavailable();
    // The panel's start command begins: the preview closes and the version
    // is checked.
    void startConfirmed();
    // The panel steps of opening the panel for a new selection.
    void panelForSelectionDue();
    // A cycle has fetched every slide again: slides whose fetch failed may
    // take the picture an earlier cycle kept of them.
    void everySlideFetched();
    // Why the show waits for the service (nothing to show, the service out
    // of reach); empty when it waits no more.
    void waitReasonNoted(const QString& reason);
    // A quiet refresh begins (true) or ends: page captures and the download
    // preview keep off the screen meanwhile.
    void quietRefreshRunningChanged(bool running);

private:
    bool askOrFail(int request);
    bool askWholeCatalogue();
    void startWithSavedSelection();
    void quitAfterRefusal();
    void tellRefusal() const;
    void tellTransportFailure();
    void noteTransportFailure();
    QStringList newWorkListFromTicks() const;
    void fetchWorkList(bool changed);
    void showUpdatedNotice();
    void addOwnPictures();
    void addOwnPicture(const QString& path);
    void showWaitSign();
    void enableBarButtons();
    void addStatusTexts(Slide& slide) const;
    bool housekeepingShows() const { return !quietRefreshRunning_; }

    RunState& state_;
    platform::Dialogs& dialogs_;
    SettingsFile& settings_;
    CatalogueService& catalogue_;
    FetchPrimitives& fetch_;
    SourceCodes& sources_;
    Supervisor& supervisor_;
    QImage errorPicture_;
    CycleControls c_;
    SlideList slides_;
    bool running_ = false;
    int completedCycles_ = 0;
    QDateTime lastCycleStarted_;
    qint64 lastCycleDurationMs_ = 0;
    QElapsedTimer cycleClock_;
    bool passFailedInTransport_ = false;
    bool retryPassPending_ = false;
    bool wholeCatalogue_ = true;
    QString toldFailure_;
    bool loading_ = false;
    bool slideTickRunning_ = false;
    bool catalogueLoaded_ = false;
    bool catalogueRequested_ = false;
    bool reloadAll_ = false;
    bool quietRefreshRunning_ = false;
    QList<Slide> held_;
    QDateTime lastQuietRefresh_;
    QStringList quietFailures_;
};

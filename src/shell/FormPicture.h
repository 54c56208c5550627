#pragma once

#include "platform/Dialogs.h"
#include "platform/Twips.h"
#include "run/Supervisor.h"
#include "state/RunState.h"
#include "state/Slide.h"
#include "ui/Diagnostics.h"

#include <QDateTime>
#include <QEvent>
#include <QPointer>
#include <QSize>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <future>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QFrame;
class SettingsFile;
class ucAniGIF;
class StatusBar;
class Presenter;
struct StoredSlide;
class PictureBox;
class FetchPrimitives;
class PictureLoading;
class ConnectionMonitor;
class VendorServices;
class CatalogueService;
class PageCapture;
class PictureSeries;
class SourceCodes;
class HomeTown;
class DownloadCycles;
class SelectionTable;
class SnapshotWriter;
class Diagnostics;
class BarTuning;
class ConfigurationPanel;
class OwnPictures;
class OnlineHelp;
class Collections;
class VersionUpdate;
class Connection;
class LanguageChoice;
class Scheduler;
class Supervisor;
class LastGoodSet;
class LastGoodShow;
class RemoteWatch;
class FleetReport;
class WaitReasons;
struct StoredSlide;
namespace platform {
class BrowserView;
class Shell;
} // namespace platform

using platform::kTwipsPerPixel;
using platform::twipsToPixels;

// The main window: its widgets, timers and events, the start-up and the quit.
// The parts of the show are made and wired by ShowAssembly (src/app), which
// hands them to the window; the window answers the supervisor's questions
// and gathers the run's flags for the diagnostics.
class FormPicture : public QWidget, private SupervisorHost, private RunFlagSource {
    Q_OBJECT
    // Makes the parts of the show and wires them to the window.
    friend class ShowAssembly;

public:
    struct Options {
        QString commandLine;                  // the text after the program name
        QSize screenPixels;                   // empty: the primary screen's size
        platform::Dialogs* dialogs = nullptr; // null: real message boxes
        platform::Shell* shell = nullptr;     // null: the desktop shell
    };

    explicit FormPicture(Options options, QWidget* parent = nullptr);
    ~FormPicture() override;

    RunState state;

    // The start-up and the two ways to end.
    bool Form_Load();
    // The status bar's buttons: the panel, the help, the end.
    void btSetup_Click();
    void btHelp_Click();
    void Apre_Setup();
    void btTermina_Click();
    void SSTCfg_ExitProgram_Click();
    void QuitProgram();
    void SetPanelButtonsWait();
    void SetPanelButtonsReady();
    void ShowDisplayMode();
    void ApplyLanguage();

    // Steps filled by later parts of the program; each is named here so the
    // start-up order stays visible.
    void Disegna_Barra2();

    // Timer handlers.
    void generalClock_Timer();

    // The screen in twips, and the sponsor page address.
    int screenWidthTwips() const;
    int screenHeightTwips() const;
    QString sponsorPageAddress() const;

    platform::Dialogs& dialogs() { return *dialogs_; }
    platform::Shell& shell() { return *shell_; }
    SettingsFile& settings() { return *settings_; }
    StatusBar& statusBar() { return *statusBar_; }
    Presenter& presenter() { return *presenter_; }
    FetchPrimitives& fetch() { return *fetch_; }
    PictureLoading& pictureLoading() { return *pictureLoading_; }
    ConnectionMonitor& connectionMonitor() { return *connectionMonitor_; }
    VendorServices& vendor() { return *vendor_; }
    CatalogueService& catalogue() { return *catalogue_; }
    SourceCodes& sourceCodes() { return *sourceCodes_; }
    HomeTown& homeTown() { return *homeTown_; }
    ConfigurationPanel& panel() { return *panel_; }
    Collections& collections() { return *collections_; }
    VersionUpdate& versionUpdate() { return *versionUpdate_; }
    OnlineHelp& onlineHelp() { return *onlineHelp_; }
    DownloadCycles& cycles() { return *cycles_; }
    SelectionTable& selectionTable() { return *selection_; }
    Connection& connection() { return *connection_; }
    LanguageChoice& languageChoice() { return *languageChoice_; }
    Scheduler& scheduler() { return *scheduler_; }
    Supervisor& supervisor() { return *supervisor_; }
    PageCapture& pageCapture() { return *pageCapture_; }
    PictureSeries& pictureSeries() { return *pictureSeries_; }

    // Timers (all disabled in the design).
    QTimer imgClock;
    QTimer generalClock;
    QTimer utilityTmr;
    QTimer panControl;
    QTimer Timer4000;

    // Controls, under the names the layout and the handlers use.
    QLabel* lVersion = nullptr;
    platform::BrowserView* BrowserImgPreview = nullptr;
    QFrame* FrameDescPreview = nullptr;
    QPlainTextEdit* DescPreview = nullptr;
    QFrame* FormYourTown = nullptr;
    QFrame* Frame_Select_Connection = nullptr;
    QFrame* Frame_Select_Language = nullptr;
    platform::BrowserView* webvis = nullptr;
    ucAniGIF* ucAniGIF1 = nullptr;
    QPushButton* HelpCaller = nullptr;
    PictureBox* fotoBrowser = nullptr;
    PictureBox* Miniatura = nullptr;
    QLabel* DownloadPreview = nullptr;
    QLabel* MessaggioAggiornate = nullptr;
    QImage ErrLoadPicture;
    QImage ImageLogo;

    // The diagnostics windows (DEBUG_CODE).
    Diagnostics& diagnostics() { return *diagnostics_; }

    // True when LOCALHOST was given on the command line.
    bool localhostOption() const { return localhost_; }

protected:
    // A close the program did not start itself ends the show as the quit
    // command does.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // A slide tick has put slide `slide` on the screen.
    void slideShown(int slide);
    // A kept picture of an earlier run is on the screen (its place in the set).
    void keptSlideShown(int index);
    // The orderly quit or the immediate exit has finished; the program ends.
    void programEnded();

private:
    void createControls();
    void createPanel();
    void createStatusBar();
    void createChoiceFrames();
    void showDownloadPreview();
    void watchBoxesAndChoiceFrames();
    std::shared_ptr<const TextRequestTicket> startFirstRequest() override;
    bool cycleRunning() const override;
    bool loadingPictures() const override;
    bool slideTickRunning() const override;
    bool refreshingQuietly() const override;
    bool lastGoodPlaying() const override;
    RunFlags runFlags() const override;
    void showPanelForSelection();
    void afterSlideShown(const Slide& slide);
    void loadProgramPictures();
    void connectTimers();
    void setTimerFlagColour(uint32_t bgr);
    void closeDiagnostics();
    void refreshDiagnostics();
    void endStartUpWithError(const QString& message);
    // The last good pictures and the status page (ScreenWatch.cpp).
    bool startLastGood() override;
    void keepLastGoodOfNewCycle();
    void waitForKeptSet();
    void keepEarlierPicturesOfFailedSlides();
    void takeKeptPicture(int s, const StoredSlide& earlier);
    void afterStoredSlideShown(int index, const StoredSlide& slide);
    void publishWatch(const QImage& screen, int slide, int kind, const QString& address);
    QImage grabForWatchers();
    // Why the show waits, by source; told on standard error and the status
    // page whenever the reason to tell changes.
    void noteWaiting(const QString& source, const QString& reason);
    void watchChoiceFrames();
    bool noteChoiceFrame(QObject* watched, QEvent::Type type);
    // A box nobody answered: its text on the second status line.
    void showUnansweredBox(const QString& text);
    void showPendingBoxText();
    class BoxWatch;

    Options options_;
    std::unique_ptr<platform::Dialogs> ownDialogs_;
    std::unique_ptr<platform::Shell> ownShell_;
    platform::Dialogs* dialogs_ = nullptr;
    platform::Shell* shell_ = nullptr;
    std::unique_ptr<SettingsFile> settings_;
    StatusBar* statusBar_ = nullptr; // a child of the window
    std::unique_ptr<Presenter> presenter_;
    std::unique_ptr<VendorServices> vendor_;
    std::unique_ptr<FetchPrimitives> fetch_;
    std::unique_ptr<CatalogueService> catalogue_;
    std::unique_ptr<PictureLoading> pictureLoading_;
    std::unique_ptr<PageCapture> pageCapture_;
    std::unique_ptr<PictureSeries> pictureSeries_;
    std::unique_ptr<SourceCodes> sourceCodes_;
    HomeTown* homeTown_ = nullptr; // a child of the window
    std::unique_ptr<SelectionTable> selection_;
    ConfigurationPanel* panel_ = nullptr; // a child of the window
    std::unique_ptr<OwnPictures> ownPictures_;
    std::unique_ptr<OnlineHelp> onlineHelp_;
    std::unique_ptr<Collections> collections_;
    std::unique_ptr<VersionUpdate> versionUpdate_;
    std::unique_ptr<SnapshotWriter> snapshots_;
    std::unique_ptr<Diagnostics> diagnostics_;
    BarTuning* barTuning_ = nullptr; // a child of the window
    bool printSlides_ = false;
    bool formLoadRunning_ = false;
    Connection* connection_ = nullptr;         // a child of the window
    LanguageChoice* languageChoice_ = nullptr; // a child of the window
    std::unique_ptr<DownloadCycles> cycles_;
    std::unique_ptr<Scheduler> scheduler_;
    std::unique_ptr<Supervisor> supervisor_;
    ConnectionMonitor* connectionMonitor_ = nullptr; // a child of the window
    QSize screenPixels_;
    bool localhost_ = false;
    std::unique_ptr<LastGoodSet> lastGoodSet_;
    std::unique_ptr<LastGoodShow> lastGoodShow_;
    std::unique_ptr<RemoteWatch> remoteWatch_;
    std::unique_ptr<FleetReport> fleetReport_;
    std::unique_ptr<WaitReasons> waitReasons_;
    std::unique_ptr<platform::Dialogs::Watcher> boxWatch_;
    QString pendingBoxText_;
    int keptCycle_ = 0;
    // The last good set being written by a thread of its own.
    std::future<void> keeping_;
    qint64 slidesShown_ = 0;
    QDateTime liveSince_;
};

#include "app/ShowAssembly.h"

#include "anigif/ucAniGIF.h"
#include "browser/Browser.h"
#include "catalogue/CatalogueService.h"
#include "catalogue/Collections.h"
#include "catalogue/OwnPictures.h"
#include "catalogue/SelectionTable.h"
#include "catalogue/VendorServices.h"
#include "catalogue/VersionUpdate.h"
#include "download/ConnectionMonitor.h"
#include "download/FetchPrimitives.h"
#include "download/PageCapture.h"
#include "download/PictureBudget.h"
#include "download/PictureLoading.h"
#include "download/PictureSeries.h"
#include "download/SourceCodes.h"
#include "platform/Widgets.h"
#include "run/DownloadCycle.h"
#include "run/LastGood.h"
#include "run/Scheduler.h"
#include "run/Supervisor.h"
#include "settings/Connection.h"
#include "settings/HomeTown.h"
#include "settings/LanguageChoice.h"
#include "settings/SettingsFile.h"
#include "show/PictureBox.h"
#include "show/Presenter.h"
#include "show/Snapshots.h"
#include "show/StatusBar.h"
#include "ui/ConfigurationPanel.h"
#include "ui/Diagnostics.h"
#include "ui/LanguageTables.h"
#include "ui/OnlineHelp.h"
#include "ui/PanelTexts.h"
#include "watch/FleetReport.h"
#include "watch/RemoteWatch.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

std::unique_ptr<FormPicture> ShowAssembly::build(FormPicture::Options options) {
    auto window = std::make_unique<FormPicture>(std::move(options));
    FormPicture& w = *window;
    makeHomeTown(w);
    makePresenter(w);
    makeDownloadParts(w);
    makeSettings(w);
    // The supervisor comes before the download cycle and the slide tick,
    // which ask it for commands.
    makeSupervisor(w);
    makeChoiceParts(w);
    makeSelection(w);
    makeCycles(w);
    makeScheduler(w);
    makeWatchParts(w);
    makePanelParts(w);
    makeDiagnostics(w);
    return window;
}

void ShowAssembly::makeHomeTown(FormPicture& w) {
    w.homeTown_ = new HomeTown(w.state, *w.dialogs_, w.FormYourTown, &w);
    QObject::connect(w.panel_, &ConfigurationPanel::townClicked, w.homeTown_,
                     &HomeTown::ShowTownFrame);
}

void ShowAssembly::makePresenter(FormPicture& w) {
    PresenterViews views;
    views.fotoBrowser = w.fotoBrowser;
    views.webvis = w.webvis;
    views.ucAniGIF1 = w.ucAniGIF1;
    views.btSetup = w.statusBar_->btSetup;
    views.btWait = w.statusBar_->btWait;
    views.btHelp = w.statusBar_->btHelp;
    views.whoWeAre = w.statusBar_->whoWeAre;
    w.presenter_ = std::make_unique<Presenter>(views);
    QObject::connect(w.presenter_.get(), &Presenter::loopNotPlayed, &w, [&w](const QString& file) {
        if (GifBeyondPlayerShare(file, PictureBudgetBytes())) {
            Slide shown = w.cycles_->slides().at(w.state.GLOBAL_IMAGE_CURRENT_POINTER);
            shown.pictureNote = kPictureTooLargeForMemory;
            w.cycles_->putSlide(shown);
        }
    });
    QObject::connect(w.presenter_.get(), &Presenter::pageCoversBar, w.statusBar_,
                     &StatusBar::raiseBar);
    const QSize screen(w.screenWidthTwips(), w.screenHeightTwips());
    w.presenter_->setScreenTwips(screen);
    w.presenter_->setWindowTwips(screen);
}

void ShowAssembly::makeDownloadParts(FormPicture& w) {
    w.vendor_ = std::make_unique<VendorServices>();
    w.fetch_ = std::make_unique<FetchPrimitives>(w.state);
    w.catalogue_ = std::make_unique<CatalogueService>(w.state, *w.fetch_, *w.vendor_);
    w.pictureLoading_ = std::make_unique<PictureLoading>(w.state, *w.fetch_);
    w.pictureLoading_->setErrorPicture(w.ErrLoadPicture);
    QObject::connect(w.pictureLoading_.get(), &PictureLoading::loadStarted, &w,
                     &FormPicture::showDownloadPreview);
    QObject::connect(w.pictureLoading_.get(), &PictureLoading::slidePictureReady, w.Miniatura,
                     &PictureBox::setPicture);
    makePageParts(w);
    w.connectionMonitor_ = new ConnectionMonitor(&w);
    QObject::connect(w.connectionMonitor_, &ConnectionMonitor::iconToShow, &w,
                     [&w](ConnectionIcon icon) {
                         w.statusBar_->showConnection(icon == ConnectionIcon::Connected);
                         w.statusBar_->connectStatus->raise();
                     });
}

// The window's own background, opaque, for a page captured under the show.
QWidget* ShowAssembly::makeCaptureCover(FormPicture& w) {
    auto* cover = new QWidget(&w);
    cover->setObjectName(QStringLiteral("captureCover"));
    cover->setAutoFillBackground(true);
    cover->setPalette(w.palette());
    cover->hide();
    return cover;
}

void ShowAssembly::makePageParts(FormPicture& w) {
    CaptureViews views;
    views.webvis = w.webvis;
    views.window = &w;
    views.DownloadPreview = w.DownloadPreview;
    views.Timer4000 = &w.Timer4000;
    views.screenPixels = w.screenPixels_;
    views.cover = makeCaptureCover(w);
    w.pageCapture_ = std::make_unique<PageCapture>(w.state, views);
    QObject::connect(&w.Timer4000, &QTimer::timeout, w.pageCapture_.get(),
                     &PageCapture::Timer4000_Timer);
    QObject::connect(w.pageCapture_.get(), &PageCapture::pageShowing, &w, [&w] {
        w.presenter_->ShowWebView();
        w.statusBar_->Nascondi_Barra();
    });
    QObject::connect(w.pageCapture_.get(), &PageCapture::captureEnded, &w, [&w] {
        w.presenter_->ShowStillView();
        w.statusBar_->Esponi_Barra();
    });
    QObject::connect(w.pageCapture_.get(), &PageCapture::offScreenRendering, w.presenter_.get(),
                     &Presenter::setBrowserRendering);
    QObject::connect(w.webvis, &platform::BrowserView::documentDone, w.pageCapture_.get(),
                     &PageCapture::webvis_DocumentDone);

    w.pictureSeries_ = std::make_unique<PictureSeries>(w.state, *w.dialogs_, *w.pictureLoading_);
    QLabel* countDown = w.statusBar_->lCountDown;
    QObject::connect(w.pictureSeries_.get(), &PictureSeries::slideFilled, countDown,
                     [countDown] { countDown->setText(countDown->text() + '*'); });

    w.sourceCodes_ =
        std::make_unique<SourceCodes>(w.state, *w.fetch_, *w.pictureLoading_, *w.pageCapture_,
                                      *w.pictureSeries_, *w.webvis, *w.homeTown_);
    QObject::connect(w.sourceCodes_.get(), &SourceCodes::pageCaptureStarting, &w, [&w] {
        // A quiet refresh leaves the loop on show playing.
        if (!w.cycles_->quietRefreshRunning()) {
            platform::setGeometryTwips(w.ucAniGIF1, 100, 100, 0, 0);
        }
    });
    QObject::connect(w.sourceCodes_.get(), &SourceCodes::slidePictureReady, w.Miniatura,
                     &PictureBox::setPicture);
}

// The settings read and write the panel's boxes; the presenter, built
// before them, follows their display mode.
void ShowAssembly::makeSettings(FormPicture& w) {
    SettingsControls controls;
    controls.SSTCfg_timeDwLoad = w.panel_->SSTCfg_timeDwLoad;
    controls.SSTCfg_timeRefresh = w.panel_->SSTCfg_timeRefresh;
    controls.txtDisplay = w.panel_->txtDisplay;
    controls.txtDisplay2 = w.panel_->txtDisplay2;
    controls.SSTCfg_LblinserisciImg = w.panel_->SSTCfg_LblinserisciImg;
    controls.Tabella_Mappe_Selezionate = w.panel_->Tabella_Mappe_Selezionate;
    controls.imgClock = &w.imgClock;
    controls.SSTCfg_salvaConfig = w.panel_->SSTCfg_salvaConfig;
    controls.SSTCfg_salvaConfig2 = w.panel_->SSTCfg_salvaConfig2;
    controls.SSTCfg_cmdConferma = w.panel_->SSTCfg_cmdConferma;
    controls.SSTCfg_ExitProgram = w.panel_->SSTCfg_ExitProgram;
    controls.SSTCfg_Aggiorna = w.panel_->SSTCfg_Aggiorna;
    controls.SSTCfg_Aggiorna2 = w.panel_->SSTCfg_Aggiorna2;
    controls.SSTCfg_Download = w.panel_->SSTCfg_Download;
    controls.SSTCfg_Download2 = w.panel_->SSTCfg_Download2;
    w.settings_ = std::make_unique<SettingsFile>(w.state, *w.dialogs_, controls);
    Presenter* presenter = w.presenter_.get();
    presenter->setDisplayMode(w.settings_->showSettings().displayMode);
    QObject::connect(w.settings_.get(), &SettingsFile::changed, presenter,
                     [presenter](const ShowSettings& settings) {
                         presenter->setDisplayMode(settings.displayMode);
                     });
    QObject::connect(w.settings_.get(), &SettingsFile::displayModeChanged, &w,
                     &FormPicture::ShowDisplayMode);
    QObject::connect(presenter, &Presenter::displayModeApplied, w.settings_.get(),
                     &SettingsFile::noteDisplayModeApplied);
    QObject::connect(w.settings_.get(), &SettingsFile::unsavedChanged, w.panel_,
                     &ConfigurationPanel::setSettingsUnsaved);
    QObject::connect(w.panel_, &ConfigurationPanel::saveClicked, w.settings_.get(),
                     &SettingsFile::SSTCfg_salvaConfig_Click);
    QObject::connect(w.panel_, &ConfigurationPanel::cleanupClicked, w.settings_.get(),
                     &SettingsFile::Cleanup_Click);
    w.settings_->installIntervalBoxHandlers();
}

void ShowAssembly::makeSupervisor(FormPicture& w) {
    SupervisorControls vc;
    vc.window = &w;
    vc.generalClock = &w.generalClock;
    vc.utilityTmr = &w.utilityTmr;
    vc.panControl = &w.panControl;
    vc.imgClock = &w.imgClock;
    vc.lCountDown = w.statusBar_->lCountDown;
    vc.btSetup = w.statusBar_->btSetup;
    vc.btWait = w.statusBar_->btWait;
    vc.btHelp = w.statusBar_->btHelp;
    vc.btTermina = w.statusBar_->btTermina;
    vc.BtAnimation = w.statusBar_->BtAnimation;
    vc.whoWeAre = w.statusBar_->whoWeAre;
    vc.SSTCfg_ExitProgram2 = w.panel_->SSTCfg_ExitProgram2;
    w.supervisor_ = std::make_unique<Supervisor>(w.state, *w.settings_, *w.fetch_, vc,
                                                 static_cast<SupervisorHost&>(w));
    QObject::connect(&w.utilityTmr, &QTimer::timeout, w.supervisor_.get(),
                     &Supervisor::utilityTmr_Timer);
    QObject::connect(&w.panControl, &QTimer::timeout, w.supervisor_.get(),
                     &Supervisor::panControl_Timer);
    // The parts these signals reach are made after the supervisor, so the
    // connections look them up when the signal comes.
    const Supervisor* sv = w.supervisor_.get();
    QObject::connect(sv, &Supervisor::connectionStateDue, &w,
                     [&w] { w.connectionMonitor_->ShowConnectionState(); });
    QObject::connect(sv, &Supervisor::logoDue, &w,
                     [&w] { w.presenter_->ShowPicture(w.ImageLogo); });
    QObject::connect(sv, &Supervisor::languageDue, &w, [&w] { w.languageChoice_->LoadLanguage(); });
    QObject::connect(sv, &Supervisor::connectionSettingsDue, &w,
                     [&w] { w.connection_->CheckConnectionSettings(); });
    QObject::connect(sv, &Supervisor::townDue, w.homeTown_, &HomeTown::LoadTown);
    QObject::connect(sv, &Supervisor::connectionChoiceDue, &w, [&w] {
        w.connection_->ReadProxyFile();
        w.connection_->AskConnectionType();
        w.connection_->ApplyConnectionSettings();
    });
    QObject::connect(sv, &Supervisor::firstReplyAccepted, &w,
                     [&w] { w.lastGoodShow_->networkAnswered(); });
    QObject::connect(sv, &Supervisor::panelButtonsWaitDue, &w, &FormPicture::SetPanelButtonsWait);
    // The kept pictures end where the panel or the live slides begin.
    QObject::connect(sv, &Supervisor::panelForSelectionDue, &w, [&w] {
        w.lastGoodShow_->stop();
        w.cycles_->OpenPanelForSelection();
    });
    QObject::connect(sv, &Supervisor::panelButtonsReadyDue, &w, &FormPicture::SetPanelButtonsReady);
    QObject::connect(sv, &Supervisor::quitDue, &w, &FormPicture::QuitProgram);
    QObject::connect(sv, &Supervisor::timerFlagColourChanged, &w, &FormPicture::setTimerFlagColour);
    QLineEdit* timerFlag = w.statusBar_->timerflag;
    QObject::connect(sv, &Supervisor::timerFlagNumberChanged, timerFlag,
                     [timerFlag](int value) { timerFlag->setText(QString::number(value)); });
    QObject::connect(sv, &Supervisor::generalClockTicked, &w, &FormPicture::refreshDiagnostics);
    QObject::connect(sv, &Supervisor::waitReasonNoted, &w, [&w](const QString& reason) {
        w.noteWaiting(QStringLiteral("service"), reason);
    });
    QObject::connect(sv, &Supervisor::commandChanged, &w, [&w](Command command) {
        if (w.diagnostics_) {
            w.diagnostics_->showCommand(command);
        }
    });
    QObject::connect(w.settings_.get(), &SettingsFile::quitRequested, &w,
                     [&w] { w.supervisor_->request(Command::Quit); });
}

// The connection and language choices fill frames of the window.
void ShowAssembly::makeChoiceParts(FormPicture& w) {
    w.connection_ = new Connection(w.state, *w.dialogs_, w.Frame_Select_Connection, &w);
    QObject::connect(w.connection_, &Connection::proxyApplied, &w,
                     [&w](const platform::ProxySetting& proxy) { w.fetch_->setProxy(proxy); });
    QObject::connect(w.connection_, &Connection::frameRaised, w.statusBar_->lCountDown,
                     &QWidget::raise);
    w.languageChoice_ = new LanguageChoice(w.state, w.Frame_Select_Language, &w);
    QObject::connect(w.languageChoice_, &LanguageChoice::languageLoaded, &w,
                     &FormPicture::ApplyLanguage);
    w.languageChoice_->SSTCfg = w.panel_->SSTCfg;
}

void ShowAssembly::makeSelection(FormPicture& w) {
    SelectionControls sel;
    sel.Tabella_Mappe_Selezionate = w.panel_->Tabella_Mappe_Selezionate;
    sel.BrowserImgPreview = w.BrowserImgPreview;
    sel.FrameDescPreview = w.FrameDescPreview;
    sel.DescPreview = w.DescPreview;
    sel.FormWait = w.panel_->FormWait;
    w.selection_ = std::make_unique<SelectionTable>(w.state, *w.dialogs_, *w.settings_,
                                                    *w.homeTown_, sel, w.panel_->tabCanvas(2));
}

void ShowAssembly::makeCycles(FormPicture& w) {
    CycleControls cc;
    cc.Tabella_Mappe_Selezionate = w.panel_->Tabella_Mappe_Selezionate;
    cc.imgClock = &w.imgClock;
    cc.utilityTmr = &w.utilityTmr;
    cc.lCountDown = w.statusBar_->lCountDown;
    cc.btSetup = w.statusBar_->btSetup;
    cc.btWait = w.statusBar_->btWait;
    cc.btHelp = w.statusBar_->btHelp;
    cc.whoWeAre = w.statusBar_->whoWeAre;
    cc.MessaggioAggiornate = w.MessaggioAggiornate;
    cc.Miniatura = w.Miniatura;
    cc.DownloadPreview = w.DownloadPreview;
    cc.lVersion = w.lVersion;
    cc.SSTCfg_ExitProgram = w.panel_->SSTCfg_ExitProgram;
    cc.SSTCfg_ExitProgram_BW = w.panel_->SSTCfg_ExitProgram_BW;
    cc.panelViews = {w.panel_->SSTCfg, w.panel_->FrameWizard, w.BrowserImgPreview,
                     w.FrameDescPreview, w.DescPreview};
    w.cycles_ = std::make_unique<DownloadCycles>(w.state, *w.dialogs_, *w.settings_, *w.catalogue_,
                                                 *w.fetch_, *w.sourceCodes_, *w.supervisor_,
                                                 w.ErrLoadPicture, cc);
    DownloadCycles* cy = w.cycles_.get();
    QObject::connect(w.panel_, &ConfigurationPanel::startClicked, cy,
                     &DownloadCycles::SSTCfg_cmdConferma_Click);
    QObject::connect(cy, &DownloadCycles::statusTextChanged, w.statusBar_,
                     &StatusBar::ShowStatusText);
    QObject::connect(cy, &DownloadCycles::slideMapChanged, &w, &FormPicture::refreshDiagnostics);
    QObject::connect(w.settings_.get(), &SettingsFile::slideMapRestarted, cy,
                     &DownloadCycles::restartSlideMap);
    QObject::connect(w.settings_.get(), &SettingsFile::slideMapEntryTicked, cy,
                     &DownloadCycles::appendToSlideMap);
    QObject::connect(cy, &DownloadCycles::wholeCatalogueArrived, &w, [&w] {
        w.selection_->FillSelectionTable();
        if (w.panel_->WizardText->text() == CatalogueUnavailableText(w.state.Lingua)) {
            w.panel_->WizardText->setText(PanelTexts::wizardIntroText(w.state.Lingua));
        }
    });
    QObject::connect(cy, &DownloadCycles::catalogueUnavailable, &w, [&w] {
        w.selection_->ShowCatalogueUnavailable();
        // The panel opens on its tools tab: the help frame under it says so too.
        w.panel_->WizardText->setText(CatalogueUnavailableText(w.state.Lingua));
    });
    QObject::connect(cy, &DownloadCycles::startConfirmed, &w, [&w] {
        w.selection_->HidePreview();
        w.selection_->PreViewEnabled->setChecked(false);
        w.versionUpdate_->CheckVersion();
    });
    QObject::connect(cy, &DownloadCycles::panelForSelectionDue, &w,
                     &FormPicture::showPanelForSelection);
    QObject::connect(cy, &DownloadCycles::everySlideFetched, &w,
                     &FormPicture::keepEarlierPicturesOfFailedSlides);
    // The pages of the cycle are captured: their renderers need not stay
    // until the next cycle.
    QObject::connect(cy, &DownloadCycles::everySlideFetched, w.webvis,
                     &platform::BrowserView::releasePage);
    QObject::connect(cy, &DownloadCycles::quietRefreshRunningChanged, w.pageCapture_.get(),
                     &PageCapture::setOffScreen);
    QObject::connect(cy, &DownloadCycles::waitReasonNoted, &w, [&w](const QString& reason) {
        w.noteWaiting(QStringLiteral("pass"), reason);
    });
}

void ShowAssembly::makeScheduler(FormPicture& w) {
    SchedulerControls sc;
    sc.window = &w;
    sc.imgClock = &w.imgClock;
    sc.utilityTmr = &w.utilityTmr;
    sc.lCountDown = w.statusBar_->lCountDown;
    sc.btSetup = w.statusBar_->btSetup;
    sc.btWait = w.statusBar_->btWait;
    sc.btHelp = w.statusBar_->btHelp;
    sc.BtAnimation = w.statusBar_->BtAnimation;
    sc.whoWeAre = w.statusBar_->whoWeAre;
    sc.lblMsgUser = w.statusBar_->lblMsgUser;
    sc.fotoBrowser = w.fotoBrowser;
    sc.txtDisplay = w.panel_->txtDisplay;
    w.scheduler_ = std::make_unique<Scheduler>(w.state, *w.dialogs_, *w.settings_, *w.cycles_,
                                               *w.presenter_, *w.supervisor_, sc);
    QObject::connect(&w.imgClock, &QTimer::timeout, w.scheduler_.get(), &Scheduler::imgClock_Timer);
    QObject::connect(w.panel_, &ConfigurationPanel::displayModeClicked, w.scheduler_.get(),
                     &Scheduler::dyMode_Click);
    QObject::connect(w.scheduler_.get(), &Scheduler::statusTextChanged, w.statusBar_,
                     &StatusBar::ShowStatusText);
    QObject::connect(w.scheduler_.get(), &Scheduler::displayModeChanged, &w,
                     &FormPicture::ShowDisplayMode);
    QObject::connect(w.scheduler_.get(), &Scheduler::liveSlideDue, &w,
                     [&w] { w.lastGoodShow_->stop(); });
    QObject::connect(w.scheduler_.get(), &Scheduler::slideShown, &w, &FormPicture::afterSlideShown);
    if (qEnvironmentVariableIsSet("SKYGLANCE_SNAPSHOT")) {
        w.snapshots_ = std::make_unique<SnapshotWriter>(qEnvironmentVariable("SKYGLANCE_SNAPSHOT"));
    }
    w.printSlides_ = qEnvironmentVariableIntValue("SKYGLANCE_PRINT_SLIDES") == 1;
}

// Who watches the screen: the boxes nobody answers, the last good pictures
// and, when asked for, the fleet service and the status page.
void ShowAssembly::makeWatchParts(FormPicture& w) {
    w.waitReasons_ = std::make_unique<WaitReasons>();
    w.watchBoxesAndChoiceFrames();
    LastGoodControls lc;
    lc.lCountDown = w.statusBar_->lCountDown;
    w.lastGoodShow_ = std::make_unique<LastGoodShow>(w.state, *w.settings_, *w.presenter_, lc);
    QObject::connect(w.lastGoodShow_.get(), &LastGoodShow::statusTextChanged, w.statusBar_,
                     &StatusBar::ShowStatusText);
    QObject::connect(w.lastGoodShow_.get(), &LastGoodShow::slideShown, &w,
                     &FormPicture::afterStoredSlideShown);
    makeFleetReport(w);
    const QString address = qEnvironmentVariable("SKYGLANCE_STATUS_ADDR");
    if (address.isEmpty()) {
        return;
    }
    QString error;
    w.remoteWatch_ =
        RemoteWatch::start(address, qEnvironmentVariable("SKYGLANCE_STATUS_TOKEN"), &error);
    if (w.remoteWatch_) {
        std::fprintf(stderr, "skyglance: status page on port %d\n", w.remoteWatch_->port());
    } else {
        std::fprintf(stderr, "skyglance: no status page: %s\n", qPrintable(error));
    }
    w.publishWatch(QImage(), -1, 0, QString());
}

void ShowAssembly::makeFleetReport(FormPicture& w) {
    QString error;
    std::optional<FleetSettings> fleet =
        FleetSettingsFromEnvironment(QStringLiteral(SKYGLANCE_VERSION), &error);
    if (fleet) {
        std::fprintf(stderr, "skyglance: reporting to the fleet service at %s as %s\n",
                     qPrintable(fleet->service.toDisplayString()), qPrintable(fleet->name));
        if (FleetTokenInClear(*fleet)) {
            std::fprintf(stderr, "skyglance: warning: the fleet token crosses the network "
                                 "unencrypted; use an https address\n");
        }
        w.fleetReport_ = std::make_unique<FleetReport>(std::move(*fleet));
    } else if (!error.isEmpty()) {
        std::fprintf(stderr, "skyglance: no fleet reports: %s\n", qPrintable(error));
    }
}

// What the panel's elements reach beyond the settings: the connection, the
// language, the own pictures, the help, the collections and the version check.
void ShowAssembly::makePanelParts(FormPicture& w) {
    ConfigurationPanel* panel = w.panel_;
    QObject::connect(panel, &ConfigurationPanel::connectionClicked, w.connection_,
                     &Connection::Connection_Click);
    QObject::connect(panel, &ConfigurationPanel::languageClicked, w.languageChoice_,
                     &LanguageChoice::IcoSwapSST6_Click);
    // A tab change leaves the show's tables alone: kinds, loop files and
    // pictures change together, in the cycle that fetches them again.
    QObject::connect(panel, &ConfigurationPanel::tabChanged, w.settings_.get(),
                     &SettingsFile::leaveIntervalBoxes);

    w.ownPictures_ =
        std::make_unique<OwnPictures>(w.state, *w.dialogs_, panel->SSTCfg_LblinserisciImg);
    OwnPictures* own = w.ownPictures_.get();
    QObject::connect(panel, &ConfigurationPanel::ownPictureClicked, &w,
                     [own] { own->SSTCfg_FileUser_Click(); });
    QObject::connect(panel, &ConfigurationPanel::resetOwnPictureClicked, &w,
                     [own] { own->SSTCfg_resetUserImg_Click(); });
    QObject::connect(own, &OwnPictures::ownPictureChanged, w.settings_.get(),
                     &SettingsFile::markUnsaved);

    w.onlineHelp_ = std::make_unique<OnlineHelp>(w.state, *w.dialogs_, *w.shell_, *w.vendor_, &w);
    OnlineHelp* help = w.onlineHelp_.get();
    QObject::connect(help, &OnlineHelp::remoteHelpHovered, panel->WizardText, &QLabel::setText);
    help->setTimerBoxes({panel->txtDisplay, panel->txtDisplay2, panel->SSTCfg_timeDwLoad,
                         panel->SSTCfg_timeRefresh});
    QObject::connect(panel, &ConfigurationPanel::timersHelpClicked, help,
                     &OnlineHelp::helpTime_Click);
    QObject::connect(panel, &ConfigurationPanel::picturesHelpClicked, help,
                     &OnlineHelp::helpImg_Click);
    QObject::connect(panel, &ConfigurationPanel::runExitHelpClicked, help,
                     &OnlineHelp::helpEsegui_Click);
    QObject::connect(panel, &ConfigurationPanel::infoClicked, help,
                     &OnlineHelp::infoStatusBar_Click);
    QObject::connect(panel, &ConfigurationPanel::remoteHelpClicked, help,
                     &OnlineHelp::RunTeamViewer_Click);

    w.collections_ = std::make_unique<Collections>(w.state, *w.dialogs_, *w.settings_,
                                                   *w.selection_, panel->Tabella_Mappe_Selezionate);
    const Collections* collections = w.collections_.get();
    QObject::connect(collections, &Collections::refillStarted, panel, &ConfigurationPanel::ShowTab);
    QObject::connect(collections, &Collections::loadClicked, &QApplication::beep);
    const auto saveBar = [panel] { RunSaveBar(panel->BarSaveAllBG, panel->BarSaveAllFG); };
    QObject::connect(collections, &Collections::selectionSaved, &w, saveBar);
    QObject::connect(w.settings_.get(), &SettingsFile::savedByClick, &w, saveBar);
    QObject::connect(collections, &Collections::readingCollection, panel, [panel](bool reading) {
        panel->Wait_Ico->setVisible(reading);
        if (reading) {
            panel->Wait_Ico->raise();
        }
    });
    QObject::connect(panel, &ConfigurationPanel::backupClicked, collections,
                     &Collections::SSTCfg_BackUpcnf_Click);
    QObject::connect(panel, &ConfigurationPanel::loadClicked, collections,
                     &Collections::SSTCfg_Loadcnf_Click);

    w.versionUpdate_ = std::make_unique<VersionUpdate>(w.state, *w.dialogs_, *w.fetch_, *w.vendor_);
    // A newer version is told by the status text's colour; on the dark bar
    // the text itself turns red rather than its background.
    QLabel* whoWeAre = w.statusBar_->whoWeAre;
    QObject::connect(w.versionUpdate_.get(), &VersionUpdate::whoWeAreColourDecided, whoWeAre,
                     [whoWeAre, usual = whoWeAre->styleSheet()](uint32_t colour) {
                         const bool outdated = colour == kWhoWeAreOutdatedColour;
                         whoWeAre->setProperty("outdated", outdated);
                         whoWeAre->setStyleSheet(
                             outdated ? QStringLiteral("color: #ff8a80; background: transparent;")
                                      : usual);
                     });
}

void ShowAssembly::makeDiagnostics(FormPicture& w) {
    const QList<NamedTimer> timers = {{QStringLiteral("imgClock"), &w.imgClock},
                                      {QStringLiteral("generalClock"), &w.generalClock},
                                      {QStringLiteral("utilityTmr"), &w.utilityTmr},
                                      {QStringLiteral("panControl"), &w.panControl},
                                      {QStringLiteral("Timer4000"), &w.Timer4000}};
    w.diagnostics_ =
        std::make_unique<Diagnostics>(w.state, w.cycles_->slides(), timers, *w.connection_,
                                      static_cast<const RunFlagSource&>(w), &w);
    // The bar's tuning aids of the diagnostics: hidden, set from the
    // diagnostics, laid out with the bar.
    w.barTuning_ = new BarTuning(w.state, &w);
    QObject::connect(w.barTuning_, &BarTuning::ratioChanged, &w, &FormPicture::Disegna_Barra2);
    w.statusBar_->connectStatus->installEventFilter(&w);
}

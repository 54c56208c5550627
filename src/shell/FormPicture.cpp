#include "shell/FormPicture.h"

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
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/Timing.h"
#include "platform/Twips.h"
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
#include "watch/RemoteWatch.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QWebEnginePage>
#include <cmath>
#include <cstdio>

using platform::named;

namespace {

// Design sizes of the panel and its neighbours, in twips.
constexpr int kPanelWidth = 7095;
constexpr int kPanelHeight = 5055;
constexpr int kWizardHeight = 2400;
constexpr int kVersionLabelWidth = 4000;
constexpr int kVersionLabelHeight = 300;

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text = {}) {
    auto* label = named<QLabel>(parent, name);
    label->setText(text);
    return label;
}

QPushButton* namedButton(QWidget* parent, const char* name, const QString& text = {}) {
    auto* button = named<QPushButton>(parent, name);
    button->setText(text);
    return button;
}

} // namespace

FormPicture::FormPicture(Options options, QWidget* parent)
    : QWidget(parent), options_(std::move(options)) {
    setObjectName(QStringLiteral("FormPicture"));
    setWindowTitle(QStringLiteral("Skyglance"));
    if (options_.dialogs != nullptr) {
        dialogs_ = options_.dialogs;
    } else {
        ownDialogs_ = std::make_unique<platform::QtDialogs>(this);
        dialogs_ = ownDialogs_.get();
    }
    if (options_.shell != nullptr) {
        shell_ = options_.shell;
    } else {
        ownShell_ = std::make_unique<platform::Shell>();
        shell_ = ownShell_.get();
    }
    screenPixels_ = options_.screenPixels;
    if (screenPixels_.isEmpty()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        screenPixels_ = screen != nullptr ? screen->geometry().size() : QSize(1024, 768);
    }
    resize(screenPixels_);
    createControls();
    connectTimers();

    SettingsControls controls;
    controls.SSTCfg_timeDwLoad = SSTCfg_timeDwLoad;
    controls.SSTCfg_timeRefresh = SSTCfg_timeRefresh;
    controls.txtDisplay = txtDisplay;
    controls.txtDisplay2 = txtDisplay2;
    controls.SSTCfg_LblinserisciImg = SSTCfg_LblinserisciImg;
    controls.Tabella_Mappe_Selezionate = Tabella_Mappe_Selezionate;
    controls.imgClock = &imgClock;
    controls.SSTCfg_salvaConfig = SSTCfg_salvaConfig;
    controls.SSTCfg_salvaConfig2 = SSTCfg_salvaConfig2;
    controls.SSTCfg_cmdConferma = SSTCfg_cmdConferma;
    controls.SSTCfg_ExitProgram = SSTCfg_ExitProgram;
    controls.SSTCfg_Aggiorna = SSTCfg_Aggiorna;
    controls.SSTCfg_Aggiorna2 = SSTCfg_Aggiorna2;
    controls.SSTCfg_Download = SSTCfg_Download;
    controls.SSTCfg_Download2 = SSTCfg_Download2;
    settings_ = std::make_unique<SettingsFile>(state, *dialogs_, controls);
    // The presenter was built with the controls, before the settings.
    presenter_->setDisplayMode(settings_->showSettings().displayMode);
    connect(
        settings_.get(), &SettingsFile::changed, presenter_.get(),
        [this](const ShowSettings& settings) { presenter_->setDisplayMode(settings.displayMode); });
    connect(settings_.get(), &SettingsFile::displayModeChanged, this,
            &FormPicture::ShowDisplayMode);
    connect(panel_, &ConfigurationPanel::saveClicked, settings_.get(),
            &SettingsFile::SSTCfg_salvaConfig_Click);
    connect(panel_, &ConfigurationPanel::cleanupClicked, settings_.get(),
            &SettingsFile::Cleanup_Click);
    settings_->installIntervalBoxHandlers();

    createShowParts();
}

FormPicture::~FormPicture() {
    dialogs_->setWatcher(nullptr);
    Frame_Select_Language->removeEventFilter(this);
    Frame_Select_Connection->removeEventFilter(this);
    closeDiagnostics();
}

void FormPicture::setGeometryTwips(QWidget* widget, int left, int top, int width, int height) {
    platform::setGeometryTwips(widget, left, top, width, height);
}

QRect FormPicture::geometryTwips(const QWidget* widget) {
    return platform::geometryTwips(widget);
}

int FormPicture::screenWidthTwips() const {
    return screenPixels_.width() * kTwipsPerPixel;
}
int FormPicture::screenHeightTwips() const {
    return screenPixels_.height() * kTwipsPerPixel;
}

void FormPicture::createControls() {
    fotoBrowser = named<PictureBox>(this, "fotoBrowser");
    webvis = named<platform::BrowserView>(this, "webvis");
    ucAniGIF1 = named<ucAniGIF>(this, "ucAniGIF1");
    ucAniGIF1->hide();
    // The player's frames take their share of the picture budget.
    ucAniGIF1->setMaxStripBytes(GifStripBytes(PictureBudgetBytes()));
    ucAniGIF1->setMaxCompositePixels(GifCanvasPixels(PictureBudgetBytes()));
    SetBudgetScreen(screenPixels_);

    FormYourTown = named<QFrame>(this, "FormYourTown");
    FormYourTown->setFrameShape(QFrame::Box);
    setGeometryTwips(FormYourTown, 0, 0, 7000, 4000);
    FormYourTown->hide();
    homeTown_ = new HomeTown(state, *dialogs_, FormYourTown, this);

    HelpCaller = namedButton(this, "HelpCaller", QStringLiteral("?"));
    Miniatura = named<PictureBox>(this, "Miniatura");
    Miniatura->setStretch(true);
    setGeometryTwips(Miniatura, 0, 0, 5200, 3900);
    Miniatura->hide();
    DownloadPreview =
        namedLabel(this, "DownloadPreview", QStringLiteral("Download In Progress:  Preview"));
    DownloadPreview->setStyleSheet(QStringLiteral("color: #ffffff; background: #0d1f3c;"));
    setGeometryTwips(DownloadPreview, 0, 3900, 5200, 360);
    DownloadPreview->hide();
    MessaggioAggiornate = namedLabel(this, "MessaggioAggiornate");
    MessaggioAggiornate->setPixmap(QPixmap(QStringLiteral(":/pictures/MessaggioAggiornate.png")));
    MessaggioAggiornate->hide();
    createPanel();
    createStatusBar();
    createPresenter();
    loadProgramPictures();
    createDownloadParts();
}

void FormPicture::loadProgramPictures() {
    ErrLoadPicture = QImage(QStringLiteral(":/pictures/ErrLoadPicture.png"));
    if (ErrLoadPicture.isNull()) {
        ErrLoadPicture = QImage(1024, 768, QImage::Format_RGB32);
        ErrLoadPicture.fill(QColor(0x0b, 0x1f, 0x3a));
    }
    ImageLogo = QImage(QStringLiteral(":/pictures/ImageLogo.png"));
    SetUncountedPicture(ErrLoadPicture);
}

void FormPicture::createDownloadParts() {
    vendor_ = std::make_unique<VendorServices>();
    fetch_ = std::make_unique<FetchPrimitives>(state);
    catalogue_ = std::make_unique<CatalogueService>(state, *fetch_, *vendor_);
    pictureLoading_ = std::make_unique<PictureLoading>(state, *fetch_);
    pictureLoading_->setErrorPicture(ErrLoadPicture);
    connect(pictureLoading_.get(), &PictureLoading::loadStarted, this, [this] {
        Miniatura->move(0, 0);
        Miniatura->show();
        Miniatura->raise();
        setGeometryTwips(DownloadPreview, 0, 3900, geometryTwips(DownloadPreview).width(),
                         geometryTwips(DownloadPreview).height());
        DownloadPreview->show();
        DownloadPreview->raise();
    });
    connect(pictureLoading_.get(), &PictureLoading::slidePictureReady, Miniatura,
            &PictureBox::setPicture);
    createPageParts();
    connectionMonitor_ = new ConnectionMonitor(this);
    connect(connectionMonitor_, &ConnectionMonitor::iconToShow, this, [this](ConnectionIcon icon) {
        statusBar_->showConnection(icon == ConnectionIcon::Connected);
        connectStatus->raise();
    });
}

void FormPicture::Load_JPG_GIF_PNG_On_Array(const QString& UrlImageToLoad, int cnt) {
    cycles_->putSlide(pictureLoading_->Load_JPG_GIF_PNG_On_Array(
        UrlImageToLoad, cycles_->slides().at(cnt), *cycles_));
}

void FormPicture::createPageParts() {
    CaptureViews views;
    views.webvis = webvis;
    views.window = this;
    views.DownloadPreview = DownloadPreview;
    views.Timer4000 = &Timer4000;
    views.screenPixels = screenPixels_;
    pageCapture_ = std::make_unique<PageCapture>(state, views);
    connect(pageCapture_.get(), &PageCapture::pageShowing, this, [this] {
        presenter_->ShowWebView();
        statusBar_->Nascondi_Barra();
    });
    connect(pageCapture_.get(), &PageCapture::captureEnded, this, [this] {
        presenter_->ShowStillView();
        statusBar_->Esponi_Barra();
    });
    connect(webvis, &platform::BrowserView::documentDone, this, [this] { webvis_DocumentDone(); });

    pictureSeries_ = std::make_unique<PictureSeries>(state, *dialogs_, *pictureLoading_);
    connect(pictureSeries_.get(), &PictureSeries::slideFilled, this,
            [this] { lCountDown->setText(lCountDown->text() + '*'); });

    sourceCodes_ = std::make_unique<SourceCodes>(state, *fetch_, *pictureLoading_, *pageCapture_,
                                                 *pictureSeries_, *webvis, *homeTown_);
    connect(sourceCodes_.get(), &SourceCodes::pageCaptureStarting, this,
            [this] { setGeometryTwips(ucAniGIF1, 100, 100, 0, 0); });
    connect(sourceCodes_.get(), &SourceCodes::slidePictureReady, Miniatura,
            &PictureBox::setPicture);
}

void FormPicture::createShowParts() {
    createSupervisor();
    Frame_Select_Connection = named<QFrame>(this, "Frame_Select_Connection");
    Frame_Select_Connection->hide();
    connection_ = new Connection(state, *dialogs_, Frame_Select_Connection, this);
    connect(connection_, &Connection::proxyApplied, this,
            [this](const platform::ProxySetting& proxy) { fetch_->setProxy(proxy); });
    connect(connection_, &Connection::frameRaised, lCountDown, &QWidget::raise);
    Frame_Select_Language = named<QFrame>(this, "Frame_Select_Language");
    Frame_Select_Language->hide();
    languageChoice_ = new LanguageChoice(state, Frame_Select_Language, this);
    connect(languageChoice_, &LanguageChoice::languageLoaded, this, &FormPicture::ApplyLanguage);
    languageChoice_->SSTCfg = SSTCfg;

    SelectionControls sel;
    sel.Tabella_Mappe_Selezionate = Tabella_Mappe_Selezionate;
    sel.BrowserImgPreview = BrowserImgPreview;
    sel.FrameDescPreview = FrameDescPreview;
    sel.DescPreview = DescPreview;
    sel.FormWait = panel_->FormWait;
    selection_ = std::make_unique<SelectionTable>(state, *dialogs_, *settings_, *homeTown_, sel,
                                                  panel_->tabCanvas(2));

    CycleControls cc;
    cc.Tabella_Mappe_Selezionate = Tabella_Mappe_Selezionate;
    cc.imgClock = &imgClock;
    cc.utilityTmr = &utilityTmr;
    cc.lCountDown = lCountDown;
    cc.btSetup = btSetup;
    cc.btWait = btWait;
    cc.btHelp = btHelp;
    cc.whoWeAre = whoWeAre;
    cc.MessaggioAggiornate = MessaggioAggiornate;
    cc.Miniatura = Miniatura;
    cc.DownloadPreview = DownloadPreview;
    cc.lVersion = lVersion;
    cc.SSTCfg_ExitProgram = SSTCfg_ExitProgram;
    cc.SSTCfg_ExitProgram_BW = SSTCfg_ExitProgram_BW;
    cc.panelViews = {SSTCfg, FrameWizard, BrowserImgPreview, FrameDescPreview, DescPreview};
    cycles_ = std::make_unique<DownloadCycles>(state, *dialogs_, *settings_, *catalogue_,
                                               *sourceCodes_, *supervisor_, ErrLoadPicture, cc);
    const DownloadCycles* cy = cycles_.get();
    connect(cy, &DownloadCycles::statusTextChanged, statusBar_, &StatusBar::ShowStatusText);
    connect(cy, &DownloadCycles::slideMapChanged, this, &FormPicture::refreshDiagnostics);
    connect(settings_.get(), &SettingsFile::slideMapRestarted, cy,
            &DownloadCycles::restartSlideMap);
    connect(settings_.get(), &SettingsFile::slideMapEntryTicked, cy,
            &DownloadCycles::appendToSlideMap);
    connect(cy, &DownloadCycles::wholeCatalogueArrived, this, [this] {
        selection_->FillSelectionTable();
        if (panel_->WizardText->text() == CatalogueUnavailableText(state.Lingua)) {
            panel_->WizardText->setText(PanelTexts::wizardIntroText(state.Lingua));
        }
    });
    connect(cy, &DownloadCycles::catalogueUnavailable, this, [this] {
        selection_->ShowCatalogueUnavailable();
        // The panel opens on its tools tab: the help frame under it says so too.
        panel_->WizardText->setText(CatalogueUnavailableText(state.Lingua));
    });
    connect(cy, &DownloadCycles::startConfirmed, this, [this] {
        selection_->HidePreview();
        selection_->PreViewEnabled->setChecked(false);
        CheckVersion();
    });
    connect(cy, &DownloadCycles::panelForSelectionDue, this, &FormPicture::showPanelForSelection);
    connect(cy, &DownloadCycles::everySlideFetched, this,
            &FormPicture::keepEarlierPicturesOfFailedSlides);
    connect(cy, &DownloadCycles::waitReasonNoted, this,
            [this](const QString& reason) { noteWaiting(QStringLiteral("pass"), reason); });

    SchedulerControls sc;
    sc.window = this;
    sc.imgClock = &imgClock;
    sc.utilityTmr = &utilityTmr;
    sc.lCountDown = lCountDown;
    sc.btSetup = btSetup;
    sc.btWait = btWait;
    sc.btHelp = btHelp;
    sc.BtAnimation = BtAnimation;
    sc.whoWeAre = whoWeAre;
    sc.lblMsgUser = lblMsgUser;
    sc.fotoBrowser = fotoBrowser;
    sc.txtDisplay = txtDisplay;
    scheduler_ = std::make_unique<Scheduler>(state, *dialogs_, *settings_, *cycles_, *presenter_,
                                             *supervisor_, sc);
    connect(scheduler_.get(), &Scheduler::statusTextChanged, statusBar_,
            &StatusBar::ShowStatusText);
    connect(scheduler_.get(), &Scheduler::displayModeChanged, this, &FormPicture::ShowDisplayMode);
    connect(scheduler_.get(), &Scheduler::slideShown, this, &FormPicture::afterSlideShown);
    if (qEnvironmentVariableIsSet("SKYGLANCE_SNAPSHOT")) {
        snapshots_ = std::make_unique<SnapshotWriter>(qEnvironmentVariable("SKYGLANCE_SNAPSHOT"));
    }
    printSlides_ = qEnvironmentVariableIntValue("SKYGLANCE_PRINT_SLIDES") == 1;

    createWatchParts();
    createPanelParts();

    const QList<NamedTimer> timers = {{QStringLiteral("imgClock"), &imgClock},
                                      {QStringLiteral("generalClock"), &generalClock},
                                      {QStringLiteral("utilityTmr"), &utilityTmr},
                                      {QStringLiteral("panControl"), &panControl},
                                      {QStringLiteral("Timer4000"), &Timer4000}};
    diagnostics_ =
        std::make_unique<Diagnostics>(state, cycles_->slides(), timers, *connection_, this);
    // The bar's tuning aids of the diagnostics: hidden, set from the
    // diagnostics, laid out with the bar.
    barTuning_ = new BarTuning(state, this);
    connect(barTuning_, &BarTuning::ratioChanged, this, &FormPicture::Disegna_Barra2);
    connectStatus->installEventFilter(this);
}

void FormPicture::afterSlideShown(const Slide& slide) {
    showPendingBoxText();
    const QImage screen = grabForWatchers();
    if (snapshots_) {
        snapshots_->write(screen);
    }
    publishWatch(screen, slide.position, slide.kind, slide.address);
    keepLastGoodOfNewCycle();
    if (printSlides_) {
        std::printf("slide %d kind %d %s | %s | %s\n", slide.position, slide.kind,
                    qPrintable(slide.address), qPrintable(state.statusLine1),
                    qPrintable(state.statusLine2));
        std::fflush(stdout);
    }
    emit slideShown(slide.position);
}

void FormPicture::showPanelForSelection() {
    panel_->LayoutPanel();
    panel_->ShowTab(4);
    SSTCfg->show();
    SSTCfg->raise();
    panel_->PlaceWizardFrame();
    FrameWizard->show();
    FrameWizard->raise();
    state.flagConfigChanged = 1;
    lVersion->hide();
    lblMsgUser->hide();
    fotoBrowser->clear();
    imgClock.stop();
}

bool FormPicture::DownloadCycle(int16_t cycleType) {
    return cycles_->DownloadCycle(cycleType);
}

void FormPicture::RunCataloguePass(bool fromPanel) {
    cycles_->RunCataloguePass(fromPanel);
}

void FormPicture::OpenPanelForSelection() {
    cycles_->OpenPanelForSelection();
}

void FormPicture::SSTCfg_cmdConferma_Click() {
    cycles_->SSTCfg_cmdConferma_Click();
}

void FormPicture::btSetup_Click() {
    Apre_Setup();
}

void FormPicture::btHelp_Click() {
    state.WizardActive = kTrue;
    panel_->ShowHelpFrame();
    platform::letEventsRun();
    Apre_Setup();
}

void FormPicture::Apre_Setup() {
    selection_->ShowPreview();
    panel_->ShowWaitFrame();
    ucAniGIF1->setDelayAnimation(2);
    ucAniGIF1->hide();
    LoadTown();
    panel_->EnableCollectionElements();
    CheckVersion();
    versionUpdate_->UpdateCollections();
    ApplyPanelTexts();
    // The request goes to the supervisor, which opens the panel once no
    // slide tick runs; a click during a tick is therefore not lost (and the
    // wait frame never stays up for nothing).
    whoWeAre->setEnabled(false);
    btSetup->setEnabled(false);
    supervisor_->request(Command::OpenPanel);
}

void FormPicture::ImageConnesso_Click() {
    supervisor_->ImageConnesso_Click();
}

void FormPicture::dyMode_Click() {
    scheduler_->dyMode_Click();
}

void FormPicture::closeEvent(QCloseEvent* event) {
    if (state.ExitToProgram != 0) {
        event->accept();
        return;
    }
    // Closed from outside (the window manager): quit in order, at the first
    // moment no slide tick and no download cycle runs.
    event->ignore();
    supervisor_->request(Command::Quit);
    if (!panControl.isActive()) {
        panControl.start();
    }
}

bool FormPicture::eventFilter(QObject* watched, QEvent* event) {
    if (noteChoiceFrame(watched, event->type())) {
        return QWidget::eventFilter(watched, event);
    }
    if (watched == connectStatus && event->type() == QEvent::MouseButtonRelease &&
        connectStatus->property("connected").toBool()) {
        ImageConnesso_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FormPicture::LoadTown() {
    homeTown_->LoadTown();
}

int FormPicture::FetchSlide(int d, int slide) {
    return sourceCodes_->FetchSlide(d, slide, *cycles_);
}

void FormPicture::CapturePage() {
    pageCapture_->CapturePage();
}

void FormPicture::webvis_DocumentDone() {
    pageCapture_->webvis_DocumentDone();
}

void FormPicture::SetTopmost(bool on) {
    pageCapture_->SetTopmost(on);
}

void FormPicture::ShowConnectionState() {
    connectionMonitor_->ShowConnectionState();
}

void FormPicture::createPanel() {
    panel_ = new ConfigurationPanel(this, state, this);
    SSTCfg = panel_->SSTCfg;
    SSTCfg_timeDwLoad = panel_->SSTCfg_timeDwLoad;
    SSTCfg_timeRefresh = panel_->SSTCfg_timeRefresh;
    SSTCfg_Aggiorna = panel_->SSTCfg_Aggiorna;
    SSTCfg_Aggiorna2 = panel_->SSTCfg_Aggiorna2;
    SSTCfg_Download = panel_->SSTCfg_Download;
    SSTCfg_Download2 = panel_->SSTCfg_Download2;
    txtDisplay = panel_->txtDisplay;
    txtDisplay2 = panel_->txtDisplay2;
    SSTCfg_LblinserisciImg = panel_->SSTCfg_LblinserisciImg;
    Tabella_Mappe_Selezionate = panel_->Tabella_Mappe_Selezionate;
    SSTCfg_ExitProgram = panel_->SSTCfg_ExitProgram;
    SSTCfg_ExitProgram_BW = panel_->SSTCfg_ExitProgram_BW;
    SSTCfg_ExitProgram2 = panel_->SSTCfg_ExitProgram2;
    SSTCfg_cmdConferma = panel_->SSTCfg_cmdConferma;
    SSTCfg_cmdConferma_BW = panel_->SSTCfg_cmdConferma_BW;
    SSTCfg_salvaConfig = panel_->SSTCfg_salvaConfig;
    SSTCfg_salvaConfig2 = panel_->SSTCfg_salvaConfig2;
    YourTownIco = panel_->YourTownIco;
    Cleanup = panel_->Cleanup;
    Cleanup2 = panel_->Cleanup2;
    FrameWizard = panel_->FrameWizard;
    IcoSwapSST6 = panel_->IcoSwapSST6;
    connect(panel_, &ConfigurationPanel::startClicked, this,
            &FormPicture::SSTCfg_cmdConferma_Click);
    connect(panel_, &ConfigurationPanel::quitClicked, this, &FormPicture::SSTCfg_ExitProgram_Click);
    connect(panel_, &ConfigurationPanel::townClicked, homeTown_, &HomeTown::ShowTownFrame);
    connect(panel_, &ConfigurationPanel::displayModeClicked, this, &FormPicture::dyMode_Click);

    lVersion = namedLabel(this, "lVersion", QStringLiteral("Skyglance Ver. 7.8.12"));
    lVersion->setAlignment(Qt::AlignCenter);
    setGeometryTwips(lVersion, 0, 0, kVersionLabelWidth, kVersionLabelHeight);
    lVersion->hide();
    BrowserImgPreview = named<platform::BrowserView>(this, "BrowserImgPreview");
    // Dark like the panel until a picture is previewed.
    BrowserImgPreview->page()->setBackgroundColor(QColor(0x0d, 0x1f, 0x3c));
    BrowserImgPreview->hide();
    FrameDescPreview = named<QFrame>(this, "FrameDescPreview");
    FrameDescPreview->hide();
    DescPreview = named<QPlainTextEdit>(FrameDescPreview, "DescPreview");
    DescPreview->setReadOnly(true);
    // In the panel's colours, like the help frame beside it.
    DescPreview->setStyleSheet(QStringLiteral(
        "QPlainTextEdit { background: #0d1f3c; color: #eef4fb; border: 2px solid #5bb8ff; }"));
}

// The parts of the panel's elements that belong to other subsystems: the
// connection, the language, the own pictures, collections, help and the
// version check.
void FormPicture::createPanelParts() {
    connect(panel_, &ConfigurationPanel::connectionClicked, connection_,
            &Connection::Connection_Click);
    connect(panel_, &ConfigurationPanel::languageClicked, languageChoice_,
            &LanguageChoice::IcoSwapSST6_Click);
    // A tab change leaves the show's tables alone: kinds, loop files and
    // pictures change together, in the cycle that fetches them again.
    connect(panel_, &ConfigurationPanel::tabChanged, settings_.get(),
            &SettingsFile::leaveIntervalBoxes);

    ownPictures_ = std::make_unique<OwnPictures>(state, *dialogs_, SSTCfg_LblinserisciImg);
    connect(panel_, &ConfigurationPanel::ownPictureClicked, this,
            [this] { ownPictures_->SSTCfg_FileUser_Click(); });
    connect(panel_, &ConfigurationPanel::resetOwnPictureClicked, this,
            [this] { ownPictures_->SSTCfg_resetUserImg_Click(); });

    onlineHelp_ = std::make_unique<OnlineHelp>(state, *dialogs_, *shell_, *vendor_, this);
    OnlineHelp* help = onlineHelp_.get();
    connect(help, &OnlineHelp::remoteHelpHovered, panel_->WizardText, &QLabel::setText);
    help->setTimerBoxes({txtDisplay, txtDisplay2, SSTCfg_timeDwLoad, SSTCfg_timeRefresh});
    connect(panel_, &ConfigurationPanel::timersHelpClicked, help, &OnlineHelp::helpTime_Click);
    connect(panel_, &ConfigurationPanel::picturesHelpClicked, help, &OnlineHelp::helpImg_Click);
    connect(panel_, &ConfigurationPanel::runExitHelpClicked, help, &OnlineHelp::helpEsegui_Click);
    connect(panel_, &ConfigurationPanel::infoClicked, help, &OnlineHelp::infoStatusBar_Click);
    connect(panel_, &ConfigurationPanel::remoteHelpClicked, help, &OnlineHelp::RunTeamViewer_Click);

    collections_ = std::make_unique<Collections>(state, *dialogs_, *settings_, *selection_,
                                                 Tabella_Mappe_Selezionate);
    connect(collections_.get(), &Collections::refillStarted, panel_, &ConfigurationPanel::ShowTab);
    connect(collections_.get(), &Collections::loadClicked, &QApplication::beep);
    const auto saveBar = [this] { RunSaveBar(panel_->BarSaveAllBG, panel_->BarSaveAllFG); };
    connect(collections_.get(), &Collections::selectionSaved, this, saveBar);
    connect(settings_.get(), &SettingsFile::savedByClick, this, saveBar);
    connect(collections_.get(), &Collections::readingCollection, this, [this](bool reading) {
        panel_->Wait_Ico->setVisible(reading);
        if (reading) {
            panel_->Wait_Ico->raise();
        }
    });
    connect(panel_, &ConfigurationPanel::backupClicked, collections_.get(),
            &Collections::SSTCfg_BackUpcnf_Click);
    connect(panel_, &ConfigurationPanel::loadClicked, collections_.get(),
            &Collections::SSTCfg_Loadcnf_Click);

    versionUpdate_ = std::make_unique<VersionUpdate>(state, *dialogs_, *fetch_, *vendor_);
    // A newer version is told by the status text's colour; on the dark bar
    // the text itself turns red rather than its background.
    connect(versionUpdate_.get(), &VersionUpdate::whoWeAreColourDecided, this,
            [this, usual = whoWeAre->styleSheet()](uint32_t colour) {
                const bool outdated = colour == kWhoWeAreOutdatedColour;
                whoWeAre->setProperty("outdated", outdated);
                whoWeAre->setStyleSheet(
                    outdated ? QStringLiteral("color: #ff8a80; background: transparent;") : usual);
            });
}

void FormPicture::createStatusBar() {
    statusBar_ = new StatusBar(this, state);
    BackWhoWeAre = statusBar_->BackWhoWeAre;
    btSetup = statusBar_->btSetup;
    btWait = statusBar_->btWait;
    btTermina = statusBar_->btTermina;
    btHelp = statusBar_->btHelp;
    BtAnimation = statusBar_->BtAnimation;
    whoWeAre = statusBar_->whoWeAre;
    btLogo = statusBar_->btLogo;
    connectStatus = statusBar_->connectStatus;
    lCountDown = statusBar_->lCountDown;
    lGeneric = statusBar_->lGeneric;
    lblMsgUser = statusBar_->lblMsgUser;
    timerflag = statusBar_->timerflag;
    connect(btTermina, &QPushButton::clicked, this, [this] { btTermina_Click(); });
    connect(btSetup, &QPushButton::clicked, this, [this] { btSetup_Click(); });
    connect(btHelp, &QPushButton::clicked, this, [this] { btHelp_Click(); });
}

void FormPicture::createPresenter() {
    PresenterViews views;
    views.fotoBrowser = fotoBrowser;
    views.webvis = webvis;
    views.ucAniGIF1 = ucAniGIF1;
    views.btSetup = btSetup;
    views.btWait = btWait;
    views.btHelp = btHelp;
    views.whoWeAre = whoWeAre;
    presenter_ = std::make_unique<Presenter>(state, views);
    connect(presenter_.get(), &Presenter::loopNotPlayed, this, [this](const QString& file) {
        if (GifBeyondPlayerShare(file, PictureBudgetBytes())) {
            Slide shown = cycles_->slides().at(state.GLOBAL_IMAGE_CURRENT_POINTER);
            shown.pictureNote = kPictureTooLargeForMemory;
            cycles_->putSlide(shown);
        }
    });
    connect(presenter_.get(), &Presenter::pageCoversBar, statusBar_, &StatusBar::raiseBar);
    presenter_->setScreenTwips(QSize(screenWidthTwips(), screenHeightTwips()));
    presenter_->setWindowTwips(QSize(screenWidthTwips(), screenHeightTwips()));
}

void FormPicture::Disegna_Barra2() {
    statusBar_->Disegna_Barra2(screenWidthTwips(), screenHeightTwips());
    if (barTuning_ != nullptr) {
        const BarLayout bar = layOutBar(screenWidthTwips(), screenHeightTwips(), state.Ratio_X_Y);
        barTuning_->afterLayout(bar.barH, bar.k, screenWidthTwips(), screenHeightTwips());
    }
}

void FormPicture::placeLinesAboveBar() {
    statusBar_->placeLinesAboveBar(screenWidthTwips(), screenHeightTwips());
}

void FormPicture::ShowStatusText() {
    statusBar_->ShowStatusText();
}

void FormPicture::connectTimers() {
    const struct {
        QTimer* timer;
        const char* name;
        int designMs;
        void (FormPicture::*handler)();
    } timers[] = {
        {&imgClock, "imgClock", 500, &FormPicture::imgClock_Timer},
        {&generalClock, "generalClock", 500, &FormPicture::generalClock_Timer},
        {&utilityTmr, "utilityTmr", 300, &FormPicture::utilityTmr_Timer},
        {&panControl, "panControl", 1000, &FormPicture::panControl_Timer},
        {&Timer4000, "Timer4000", 1000, &FormPicture::Timer4000_Timer},
    };
    for (const auto& t : timers) {
        t.timer->setObjectName(QLatin1String(t.name));
        t.timer->setInterval(platform::scaledMs(t.designMs));
        connect(t.timer, &QTimer::timeout, this, t.handler);
    }
}

void FormPicture::setTimerFlagColour(uint32_t bgr) {
    const QColor colour(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                        static_cast<int>((bgr >> 16) & 0xFF));
    QPalette palette = timerflag->palette();
    palette.setColor(QPalette::Base, colour);
    timerflag->setPalette(palette);
    timerflag->setProperty("BackColor", static_cast<unsigned>(bgr));
}

void FormPicture::ShowDisplayMode() {
    txtDisplay->hide();
    const QString name =
        LanguageTables::displayModeName(settings_->showSettings().displayMode, state.Lingua);
    if (!name.isNull()) {
        txtDisplay2->setText(name);
    }
}

void FormPicture::ApplyLanguage() {
    panel_->ApplyLanguage();
    if (selection_) {
        selection_->ApplyLanguage();
    }
}

void FormPicture::ApplyPanelTexts() {
    LanguageTables::ApplyPanelTexts(this, state);
}

void FormPicture::openDiagnostics() {
    diagnostics_->open();
}

void FormPicture::closeDiagnostics() {
    if (diagnostics_) {
        diagnostics_->close();
    }
}

void FormPicture::refreshDiagnostics() {
    if (diagnostics_ && diagnostics_->isOpen()) {
        diagnostics_->refresh();
    }
}

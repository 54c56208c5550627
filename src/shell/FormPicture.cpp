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
#include "watch/FleetReport.h"
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

using platform::geometryTwips;
using platform::named;
using platform::setGeometryTwips;

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
}

FormPicture::~FormPicture() {
    dialogs_->setWatcher(nullptr);
    Frame_Select_Language->removeEventFilter(this);
    Frame_Select_Connection->removeEventFilter(this);
    closeDiagnostics();
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
    createChoiceFrames();
    loadProgramPictures();
}

// The frames the connection and language choices fill.
void FormPicture::createChoiceFrames() {
    Frame_Select_Connection = named<QFrame>(this, "Frame_Select_Connection");
    Frame_Select_Connection->hide();
    Frame_Select_Language = named<QFrame>(this, "Frame_Select_Language");
    Frame_Select_Language->hide();
}

// A picture being downloaded shows as a thumbnail in the top left corner.
void FormPicture::showDownloadPreview() {
    if (cycles_->quietRefreshRunning()) {
        return;
    }
    Miniatura->move(0, 0);
    Miniatura->show();
    Miniatura->raise();
    setGeometryTwips(DownloadPreview, 0, 3900, geometryTwips(DownloadPreview).width(),
                     geometryTwips(DownloadPreview).height());
    DownloadPreview->show();
    DownloadPreview->raise();
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
    panel_->SSTCfg->show();
    panel_->SSTCfg->raise();
    panel_->PlaceWizardFrame();
    panel_->FrameWizard->show();
    panel_->FrameWizard->raise();
    settings_->markUnsaved();
    lVersion->hide();
    statusBar_->lblMsgUser->hide();
    fotoBrowser->clear();
    imgClock.stop();
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
    homeTown_->LoadTown();
    panel_->EnableCollectionElements();
    versionUpdate_->CheckVersion();
    versionUpdate_->UpdateCollections();
    LanguageTables::ApplyPanelTexts(this, state);
    // The request goes to the supervisor, which opens the panel once no
    // slide tick runs; a click during a tick is therefore not lost (and the
    // wait frame never stays up for nothing).
    statusBar_->whoWeAre->setEnabled(false);
    statusBar_->btSetup->setEnabled(false);
    supervisor_->request(Command::OpenPanel);
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
    if (watched == statusBar_->connectStatus && event->type() == QEvent::MouseButtonRelease &&
        statusBar_->connectStatus->property("connected").toBool()) {
        supervisor_->ImageConnesso_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FormPicture::createPanel() {
    panel_ = new ConfigurationPanel(this, state, this);
    connect(panel_, &ConfigurationPanel::quitClicked, this, &FormPicture::SSTCfg_ExitProgram_Click);

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

void FormPicture::createStatusBar() {
    statusBar_ = new StatusBar(this, state);
    connect(statusBar_->btTermina, &QPushButton::clicked, this, [this] { btTermina_Click(); });
    connect(statusBar_->btSetup, &QPushButton::clicked, this, [this] { btSetup_Click(); });
    connect(statusBar_->btHelp, &QPushButton::clicked, this, [this] { btHelp_Click(); });
}

void FormPicture::Disegna_Barra2() {
    statusBar_->Disegna_Barra2(screenWidthTwips(), screenHeightTwips());
    if (barTuning_ != nullptr) {
        const BarLayout bar = layOutBar(screenWidthTwips(), screenHeightTwips(), state.Ratio_X_Y);
        barTuning_->afterLayout(bar.barH, bar.k, screenWidthTwips(), screenHeightTwips());
    }
}

// The timers' names and intervals; the parts they drive are connected to
// them as the show is assembled.
void FormPicture::connectTimers() {
    const struct {
        QTimer* timer;
        const char* name;
        int designMs;
    } timers[] = {
        {&imgClock, "imgClock", 500},     {&generalClock, "generalClock", 500},
        {&utilityTmr, "utilityTmr", 300}, {&panControl, "panControl", 1000},
        {&Timer4000, "Timer4000", 1000},
    };
    for (const auto& t : timers) {
        t.timer->setObjectName(QLatin1String(t.name));
        t.timer->setInterval(platform::scaledMs(t.designMs));
    }
    connect(&generalClock, &QTimer::timeout, this, &FormPicture::generalClock_Timer);
}

void FormPicture::setTimerFlagColour(uint32_t bgr) {
    const QColor colour(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                        static_cast<int>((bgr >> 16) & 0xFF));
    QPalette palette = statusBar_->timerflag->palette();
    palette.setColor(QPalette::Base, colour);
    statusBar_->timerflag->setPalette(palette);
    statusBar_->timerflag->setProperty("BackColor", static_cast<unsigned>(bgr));
}

void FormPicture::ShowDisplayMode() {
    panel_->txtDisplay->hide();
    const QString name =
        LanguageTables::displayModeName(settings_->showSettings().displayMode, state.Lingua);
    if (!name.isNull()) {
        panel_->txtDisplay2->setText(name);
    }
}

void FormPicture::ApplyLanguage() {
    panel_->ApplyLanguage();
    if (selection_) {
        selection_->ApplyLanguage();
    }
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

// The supervisor's questions.
std::shared_ptr<const TextRequestTicket> FormPicture::startFirstRequest() {
    return fetch_->StartTextRequest(
        CatalogueQuery(catalogue_->serviceAddress(), CatalogueRequest::Message));
}

bool FormPicture::cycleRunning() const {
    return cycles_->running();
}

bool FormPicture::lastGoodPlaying() const {
    return lastGoodShow_->playing();
}

bool FormPicture::loadingPictures() const {
    return cycles_->loading();
}

bool FormPicture::slideTickRunning() const {
    return cycles_->slideTickRunning();
}

bool FormPicture::refreshingQuietly() const {
    return cycles_->quietRefreshRunning();
}

RunFlags FormPicture::runFlags() const {
    return {.slideTickRunning = cycles_->slideTickRunning(),
            .loading = cycles_->loading(),
            .replyArrived = fetch_->replyArrived(),
            .catalogueLoaded = cycles_->catalogueLoaded(),
            .catalogueRequested = cycles_->catalogueRequested(),
            .settingsUnsaved = settings_->unsaved(),
            .reloadingAll = cycles_->reloadingAll(),
            .fullScreen = settings_->fullScreen()};
}

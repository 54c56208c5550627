#include "shell/StartUp.h"

#include "anigif/ucAniGIF.h"
#include "browser/Browser.h"
#include "catalogue/VendorServices.h"
#include "catalogue/VersionUpdate.h"
#include "download/ConnectionMonitor.h"
#include "download/FetchPrimitives.h"
#include "download/PageCapture.h"
#include "platform/Dialogs.h"
#include "platform/Environment.h"
#include "platform/Shell.h"
#include "platform/Timing.h"
#include "platform/Widgets.h"
#include "run/DownloadCycle.h"
#include "run/Scheduler.h"
#include "run/Supervisor.h"
#include "settings/SettingsFile.h"
#include "shell/FormPicture.h"
#include "shell/WorkFolders.h"
#include "show/PictureBox.h"
#include "show/StatusBar.h"
#include "state/CommandLine.h"
#include "ui/ConfigurationPanel.h"
#include "ui/Diagnostics.h"
#include "ui/LanguageTables.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <cmath>
#include <cstdio>

PanelPlacement placePanel(const PanelSizes& s) {
    PanelPlacement p;
    p.panelLeft = platform::roundHalfEvenToInt(s.screenWidth / 2.0) -
                  platform::roundHalfEvenToInt(s.panelWidth + 100.0);
    p.panelTop = platform::roundHalfEvenToInt(s.screenHeight / 3.0) -
                 platform::roundHalfEvenToInt(s.panelHeight / 2.0);
    p.wizardLeft = p.panelLeft;
    p.wizardTop = p.panelTop + s.panelHeight + 200;
    p.versionLeft = p.panelLeft + (platform::roundHalfEvenToInt(s.panelWidth / 2.0) -
                                   platform::roundHalfEvenToInt(s.versionWidth / 2.0));
    p.versionTop = platform::roundHalfEvenToInt(p.panelTop - static_cast<double>(s.versionHeight)) -
                   platform::roundHalfEvenToInt(s.versionHeight / 2.0);
    p.previewWidth = s.panelWidth;
    p.previewHeight = s.panelHeight;
    p.previewTop = p.panelTop;
    p.previewLeft = p.panelLeft + s.panelWidth + 100;
    p.descWidth = p.previewWidth;
    p.descHeight = s.wizardHeight;
    p.descFrameTop = p.wizardTop;
    p.descFrameLeft = p.previewLeft;
    return p;
}

QString versionLine(const QString& webAddress) {
    QString line;
    for (const QChar ch : webAddress) {
        line += ch;
        line += QLatin1Char(' ');
    }
    return line + QStringLiteral(" Ver. 7.8.12 ");
}

QString vendorWebAddress() {
    return QStringLiteral("www.skyglance.example");
}

using platform::geometryTwips;
using platform::setGeometryTwips;

void FormPicture::endStartUpWithError(const QString& message) {
    dialogs_->message(message, QStringLiteral("Skyglance"), platform::Dialogs::Icon::Critical);
    state.ExitToProgram = kTrue;
    generalClock.stop();
    emit programEnded();
}

bool FormPicture::Form_Load() {
    // The version check below lets events run while it waits for the
    // network; the supervisor's start-up must not begin inside it.
    struct LoadRunning {
        bool& flag;
        explicit LoadRunning(bool& f) : flag(f) { flag = true; }
        ~LoadRunning() { flag = false; }
    } loadRunning(formLoadRunning_);
    state.Ratio_X_Y =
        static_cast<float>(screenWidthTwips()) / static_cast<float>(screenHeightTwips());
    state.WizardActive = kTrue;
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    FormYourTown->hide();
    FormYourTown->move(FormYourTown->x(), twipsToPixels(55000));
    state.Mirror_Type_Connection = kFalse;
    state.flagSilent = kTrue;
    state.WaitForRestoreConfig = kFalse;
    webvis->hide();
    setGeometryTwips(webvis, 0, 0, screenWidthTwips(), screenHeightTwips());
    ucAniGIF1->hide();
    state.WebPageToImgEnd = kFalse;
    state.aniGifPrefix = QStringLiteral("_ANIGIF_");
    QString failedFolder;
    if (!SetWorkFolders(state, &failedFolder)) {
        endStartUpWithError(QStringLiteral("Cannot create the folder %1").arg(failedFolder));
        return false;
    }
    HelpCaller->move(twipsToPixels(screenWidthTwips() + 100),
                     twipsToPixels(screenWidthTwips() + 100));
    state.Http2BmpRunning = kFalse;
    panel_->SSTCfg->setCurrentIndex(4);
    state.Lingua = kNoLanguage;
    state.cntWaitCountdown = 10;
    state.ExitToProgram = kFalse;
    SetPanelButtonsWait();
    state.weAre = versionLine(vendorWebAddress());
    state.appPath = platform::programFolder();
    SetDerivedNames(state);
    state.listData.clearForReset();
    state.listURL.clearForReset();
    state.listURLnameOnly.clearForReset();
    state.listImageSELECTED.clearForReset();
    state.listOLDImageSELECTED.clearForReset();
    cycles_->clearSlidesForStart();
    state.cntImagesLoaded = 0;
    state.cntImagesToLoad = 0;
    state.GLOBAL_IMAGE_CURRENT_POINTER = 0;
    state.ownPicturePath.clear();
    panel_->SSTCfg_LblinserisciImg->clear();
    state.serverMessage.clear();
    state.cntCounterDwLoadImage = 0;
    state.flagDebugCode = 0;
    localhost_ = false;
    if (!options_.commandLine.isEmpty()) {
        Splitta10(state, options_.commandLine, [this](const QString& text) {
            dialogs_->message(text, QStringLiteral("Skyglance"));
        });
        localhost_ = CatalogueOnThisMachine(state.cmdParams);
    }
    // Also without a command line: the environment may ask for options.
    ApplyCommandLineOptions(state);
    // The browsers keep script dialogs to themselves unless NOSILENT asks.
    webvis->setSilent(state.flagSilent != 0);
    BrowserImgPreview->setSilent(state.flagSilent != 0);
    settings_->PrepareSettings();
    if (state.flagDebugCode == 1) {
        diagnostics_->open();
    }
    settings_->markSaved();
    PanelSizes sizes;
    sizes.screenWidth = screenWidthTwips();
    sizes.screenHeight = screenHeightTwips();
    const QRect panel = geometryTwips(panel_->SSTCfg);
    const QRect version = geometryTwips(lVersion);
    sizes.panelWidth = panel.width();
    sizes.panelHeight = panel.height();
    sizes.versionWidth = version.width();
    sizes.versionHeight = version.height();
    sizes.wizardHeight = geometryTwips(panel_->FrameWizard).height();
    const PanelPlacement place = placePanel(sizes);
    setGeometryTwips(panel_->SSTCfg, place.panelLeft, place.panelTop, panel.width(),
                     panel.height());
    setGeometryTwips(panel_->FrameWizard, place.wizardLeft, place.wizardTop, panel.width(),
                     sizes.wizardHeight);
    setGeometryTwips(lVersion, place.versionLeft, place.versionTop, version.width(),
                     version.height());
    setGeometryTwips(BrowserImgPreview, place.previewLeft, place.previewTop, place.previewWidth,
                     place.previewHeight);
    setGeometryTwips(FrameDescPreview, place.descFrameLeft, place.descFrameTop, place.descWidth,
                     place.descHeight);
    DescPreview->setGeometry(0, 0, twipsToPixels(place.descWidth), twipsToPixels(place.descHeight));
    Disegna_Barra2();
    statusBar_->placeLinesAboveBar(screenWidthTwips(), screenHeightTwips());
    fetch_->endReplyWait();
    supervisor_->request(Command::None);
    cycles_->resetRunFlags();
    state.firstLaunch = 0;
    state.timerClockSave = static_cast<int16_t>(imgClock.interval());
    state.clockFromDebugSet = 0;
    panControl.stop();
    setTimerFlagColour(kTimerFlagRed);
    generalClock.start();
    state.helpFile = platform::programDataFile(state.appPath, QStringLiteral("Skyglance.html"));
    versionUpdate_->CheckVersion();
    fetch_->CloseBrowserWindows();
    return true;
}

void FormPicture::SetPanelButtonsWait() {
    panel_->SSTCfg_ExitProgram->setEnabled(false);
    panel_->SSTCfg_ExitProgram->hide();
    panel_->SSTCfg_ExitProgram_BW->setEnabled(true);
    panel_->SSTCfg_ExitProgram_BW->show();
    panel_->SSTCfg_ExitProgram2->setText(QStringLiteral("Wait.."));
    panel_->SSTCfg_cmdConferma->setEnabled(false);
    panel_->SSTCfg_cmdConferma->hide();
    panel_->SSTCfg_cmdConferma_BW->setEnabled(true);
    panel_->SSTCfg_cmdConferma_BW->show();
}

void FormPicture::SetPanelButtonsReady() {
    panel_->SSTCfg_ExitProgram->setEnabled(true);
    panel_->SSTCfg_ExitProgram->show();
    panel_->SSTCfg_ExitProgram_BW->setEnabled(false);
    panel_->SSTCfg_ExitProgram_BW->hide();
    panel_->SSTCfg_ExitProgram2->setText(QStringLiteral("Exit Progr."));
    panel_->SSTCfg_cmdConferma->setEnabled(true);
    panel_->SSTCfg_cmdConferma->show();
    panel_->SSTCfg_cmdConferma_BW->setEnabled(false);
    panel_->SSTCfg_cmdConferma_BW->hide();
}

void FormPicture::btTermina_Click() {
    state.ExitToProgram = kTrue;
    generalClock.stop();
    if (state.flagDebugCode == 1) {
        closeDiagnostics();
    }
    close();
    emit programEnded();
}

void FormPicture::SSTCfg_ExitProgram_Click() {
    supervisor_->request(Command::Quit);
}

void FormPicture::QuitProgram() {
    fotoBrowser->clear();
    for (QWidget* w :
         {static_cast<QWidget*>(panel_->SSTCfg), static_cast<QWidget*>(BrowserImgPreview),
          static_cast<QWidget*>(FrameDescPreview), static_cast<QWidget*>(DescPreview),
          static_cast<QWidget*>(panel_->FrameWizard)}) {
        w->hide();
    }
    panControl.stop();
    setTimerFlagColour(kTimerFlagRed);
    lVersion->hide();
    panel_->SSTCfg_cmdConferma->setEnabled(false);
    panel_->SSTCfg_ExitProgram->setEnabled(false);
    panel_->SSTCfg_ExitProgram_BW->show();
    panel_->SSTCfg_ExitProgram_BW->setEnabled(true);
    settings_->WriteSettings();
    state.ExitToProgram = kTrue;
    if (state.flagDebugCode == 1) {
        closeDiagnostics();
    }
    close();
    // No end message while no language has been chosen. A quit the
    // program asked for itself ends at once, so that whatever started it can
    // start it again; the message then goes to standard error.
    if (state.quitUnattended) {
        const QString ended = LanguageTables::MsgProgramEnded(state.Lingua);
        if (!ended.isEmpty()) {
            std::fprintf(stderr, "skyglance: %s\n", qPrintable(ended));
        }
    } else {
        LanguageTables::MsgProgramEnded(*dialogs_, state.Lingua);
    }
    shell_->openUrl(sponsorPageAddress());
    emit programEnded();
}

QString FormPicture::sponsorPageAddress() const {
    return vendor_->sponsorPageAddress();
}

// Later parts fill these steps.
void FormPicture::generalClock_Timer() {
    if (formLoadRunning_) {
        connectionMonitor_->ShowConnectionState();
        return;
    }
    supervisor_->generalClock_Timer();
}

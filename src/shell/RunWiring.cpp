// The supervisor, and what it tells and asks the window.

#include "catalogue/CatalogueService.h"
#include "download/FetchPrimitives.h"
#include "run/DownloadCycle.h"
#include "run/LastGood.h"
#include "settings/Connection.h"
#include "settings/LanguageChoice.h"
#include "settings/SettingsFile.h"
#include "shell/FormPicture.h"
#include "show/Presenter.h"
#include "ui/Diagnostics.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The supervisor comes first: the download cycle and the slide tick ask it
// for commands. The parts its signals reach are made after it, so the
// connections look them up when the signal comes.
void FormPicture::createSupervisor() {
    SupervisorControls vc;
    vc.window = this;
    vc.generalClock = &generalClock;
    vc.utilityTmr = &utilityTmr;
    vc.panControl = &panControl;
    vc.imgClock = &imgClock;
    vc.lCountDown = lCountDown;
    vc.btSetup = btSetup;
    vc.btWait = btWait;
    vc.btHelp = btHelp;
    vc.btTermina = btTermina;
    vc.BtAnimation = BtAnimation;
    vc.whoWeAre = whoWeAre;
    vc.SSTCfg_ExitProgram2 = SSTCfg_ExitProgram2;
    supervisor_ = std::make_unique<Supervisor>(state, *settings_, *fetch_, vc,
                                               static_cast<SupervisorHost&>(*this));
    const Supervisor* sv = supervisor_.get();
    connect(sv, &Supervisor::connectionStateDue, this, &FormPicture::ShowConnectionState);
    connect(sv, &Supervisor::logoDue, this, [this] { presenter_->ShowPicture(ImageLogo); });
    connect(sv, &Supervisor::languageDue, this, [this] { languageChoice_->LoadLanguage(); });
    connect(sv, &Supervisor::connectionSettingsDue, this,
            [this] { connection_->CheckConnectionSettings(); });
    connect(sv, &Supervisor::townDue, this, &FormPicture::LoadTown);
    connect(sv, &Supervisor::connectionChoiceDue, this, [this] {
        connection_->ReadProxyFile();
        connection_->AskConnectionType();
        connection_->ApplyConnectionSettings();
    });
    connect(sv, &Supervisor::firstReplyAccepted, this, [this] { lastGoodShow_->stop(); });
    connect(sv, &Supervisor::panelButtonsWaitDue, this, &FormPicture::SetPanelButtonsWait);
    connect(sv, &Supervisor::panelForSelectionDue, this, &FormPicture::OpenPanelForSelection);
    connect(sv, &Supervisor::panelButtonsReadyDue, this, &FormPicture::SetPanelButtonsReady);
    connect(sv, &Supervisor::quitDue, this, &FormPicture::QuitProgram);
    connect(sv, &Supervisor::timerFlagColourChanged, this, &FormPicture::setTimerFlagColour);
    connect(sv, &Supervisor::timerFlagNumberChanged, this,
            [this](int value) { timerflag->setText(QString::number(value)); });
    connect(sv, &Supervisor::generalClockTicked, this, &FormPicture::refreshDiagnostics);
    connect(sv, &Supervisor::waitReasonNoted, this,
            [this](const QString& reason) { noteWaiting(QStringLiteral("service"), reason); });
    connect(sv, &Supervisor::commandChanged, this, [this](Command command) {
        if (diagnostics_) {
            diagnostics_->showCommand(command);
        }
    });
    connect(settings_.get(), &SettingsFile::quitRequested, this,
            [this] { supervisor_->request(Command::Quit); });
}

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

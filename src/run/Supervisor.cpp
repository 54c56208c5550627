#include "run/Supervisor.h"

#include "catalogue/CatalogueService.h"
#include "download/FetchPrimitives.h"
#include "platform/Timing.h"
#include "run/DownloadCycle.h"
#include "run/Scheduler.h"
#include "state/RunState.h"
#include "ui/Translations.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <limits>

namespace {

constexpr int kUtilityRunningMs = 1000;
constexpr int kLogoPauseMs = 2000;
// A first request that failed in transport is sent again after this long.
constexpr int kResendAfterMs = 2000;
constexpr int16_t kCountdownStart = 10;
// A click on the connection icon pushes the counter this far past the limit.
constexpr long long kPastTheLimit = 100;

} // namespace

QString ConnectionWaitText(int lingua) {
    return Translations::in(lingua).translate(
        "Supervisor", "Waiting for Internet connection (have to be active!).....");
}

QString ProgressText(int lingua, int loaded, int toLoad) {
    const QString text =
        Translations::in(lingua).translate("Supervisor", "Loading Pictures from WEB...");
    const QString separator = Translations::in(lingua).translate("Supervisor", " of ");
    return text + QLatin1Char(' ') + QString::number(loaded) + separator + QString::number(toLoad);
}

Supervisor::Supervisor(RunState& state, SupervisorControls controls, SupervisorActions actions)
    : state_(state), c_(controls), a_(std::move(actions)) {}

void Supervisor::request(Command command) {
    pending_ = command;
    emit commandChanged(command);
}

bool Supervisor::lastGoodPlaying() const {
    return a_.lastGoodPlaying && a_.lastGoodPlaying();
}

void Supervisor::noteWaiting(const QString& reason) {
    if (a_.noteWaiting) {
        a_.noteWaiting(reason);
    }
}

QString Supervisor::failureDetail() const {
    return lastFailure_.isEmpty() ? QString() : QStringLiteral(" - ") + lastFailure_;
}

void Supervisor::startUp() {
    c_.generalClock->stop();
    c_.window->raise();
    c_.window->activateWindow();
    // A request sent again never puts the logo over the kept pictures.
    if (a_.showLogo && !lastGoodPlaying()) {
        a_.showLogo();
    }
    if (a_.LoadLanguage) {
        a_.LoadLanguage();
    }
    if (a_.CheckConnectionSettings) {
        a_.CheckConnectionSettings();
    }
    if (a_.LoadTown) {
        a_.LoadTown();
    }
    state_.flagReplyArrived = 0;
    startState_ = 1;
    ticket_ = a_.startFirstRequest ? a_.startFirstRequest() : nullptr;
    sinceRequest_.start();
    if (!lastGoodTried_ && a_.startLastGood) {
        lastGoodTried_ = true;
        a_.startLastGood();
    }
    c_.generalClock->start();
}

void Supervisor::showWaitButtons() {
    c_.btSetup->hide();
    c_.btWait->show();
    c_.btHelp->setVisible(c_.btSetup->isVisibleTo(c_.btSetup->parentWidget()));
}

void Supervisor::showCountdown() {
    // The line says which address failed and how, after the usual text.
    c_.lCountDown->setText(ConnectionWaitText(state_.Lingua) +
                           QString::number(state_.cntWaitCountdown) + failureDetail());
    noteWaiting(ConnectionWaitText(state_.Lingua) + failureDetail());
    c_.lCountDown->raise();
    const bool offerAgain = state_.cntWaitCountdown == 1;
    state_.cntWaitCountdown = static_cast<int16_t>(state_.cntWaitCountdown - 1);
    // Over the kept pictures the countdown line tells the state; the panel's
    // connection button stays the way to change it.
    if (offerAgain && !lastGoodPlaying()) {
        if (a_.reofferConnection) {
            a_.reofferConnection();
        }
    }
    if (offerAgain) {
        state_.cntWaitCountdown = kCountdownStart;
    }
    c_.lCountDown->show();
    c_.lCountDown->raise();
    showWaitButtons();
    c_.btTermina->show();
    c_.BtAnimation->show();
    c_.btHelp->hide();
}

void Supervisor::resendAfterTransportFailure() {
    // No answer at all is not a refusal: keep counting down and ask again.
    if (sinceRequest_.elapsed() < platform::scaledMs(kResendAfterMs) || !a_.startFirstRequest) {
        return;
    }
    state_.flagReplyArrived = 0;
    ticket_ = a_.startFirstRequest();
    sinceRequest_.start();
}

void Supervisor::judgeFirstReply() {
    const QString refusal = FirstErrItem(SplitCatalogueReply(state_.replyText));
    if (!refusal.isEmpty()) {
        const QString address = ticket_ != nullptr ? ticket_->address : QString();
        lastFailure_ = RequestFailureText(address, refusal);
        const QString line = FailedReplyText(state_.Lingua) + failureDetail();
        c_.lCountDown->setText(line);
        c_.lCountDown->raise();
        noteWaiting(line);
        startState_ = 0;
        return;
    }
    lastFailure_.clear();
    noteWaiting(QString());
    if (a_.stopLastGood) {
        a_.stopLastGood();
    }
    c_.lCountDown->hide();
    c_.btSetup->show();
    c_.btWait->hide();
    c_.btHelp->setVisible(c_.btSetup->isVisibleTo(c_.btSetup->parentWidget()));
    c_.btTermina->hide();
    c_.btHelp->show();
    c_.utilityTmr->start();
}

void Supervisor::generalClock_Timer() {
    if (a_.ShowConnectionState) {
        a_.ShowConnectionState();
    }
    if (startState_ == 0) {
        startUp();
    }
    bool arrivedNow = false;
    if (startState_ < 2 && state_.flagReplyArrived == 1) {
        if (ticket_ != nullptr && ticket_->failed()) {
            lastFailure_ = ticket_->failureText();
            resendAfterTransportFailure();
        } else {
            startState_ = 2;
            arrivedNow = true;
        }
    }
    if (startState_ == 1) {
        showCountdown();
    }
    if (arrivedNow) {
        judgeFirstReply();
    }
    if (a_.refreshDiagnostics) {
        a_.refreshDiagnostics();
    }
}

void Supervisor::showProgress() {
    if (state_.Http2BmpRunning == 0) {
        c_.lCountDown->show();
        c_.lCountDown->raise();
    }
    showWaitButtons();
    c_.lCountDown->setText(
        ProgressText(state_.Lingua, state_.cntImagesLoaded, state_.cntImagesToLoad));
    c_.lCountDown->raise();
}

void Supervisor::utilityTmr_Timer() {
    c_.utilityTmr->stop();
    if (state_.firstLaunch == 0) {
        c_.utilityTmr->setInterval(platform::scaledMs(kUtilityRunningMs));
        if (a_.showLogo) {
            a_.showLogo();
        }
        if (a_.pause) {
            a_.pause(kLogoPauseMs);
        }
        state_.firstLaunch = 1;
    } else {
        if (state_.firstLaunch == 1) {
            c_.utilityTmr->setInterval(platform::scaledMs(kUtilityRunningMs));
            c_.panControl->start();
            if (a_.setTimerFlagColour) {
                a_.setTimerFlagColour(kTimerFlagGreen);
            }
            state_.firstLaunch = 2;
        }
        if (state_.flagLoading == 1) {
            showProgress();
        }
    }
    c_.utilityTmr->start();
}

void Supervisor::openPanel() {
    if (a_.SetPanelButtonsWait) {
        a_.SetPanelButtonsWait();
    }
    c_.SSTCfg_ExitProgram2->show();
    state_.cntCounterDwLoadImage = 0;
    c_.panControl->stop();
    if (a_.LoadTown) {
        a_.LoadTown();
    }
    if (a_.setTimerFlagColour) {
        a_.setTimerFlagColour(kTimerFlagRed);
    }
    if (a_.OpenPanelForSelection) {
        a_.OpenPanelForSelection();
    }
    c_.panControl->start();
    if (a_.setTimerFlagColour) {
        a_.setTimerFlagColour(kTimerFlagGreen);
    }
    // A request made while the panel opened (a quit after a refused
    // catalogue request, a start from the panel) is not overwritten.
    if (pending_ == Command::OpenPanel) {
        request(Command::PanelShown);
    }
}

void Supervisor::panControl_Timer() {
    if (a_.showTimerFlagNumber) {
        a_.showTimerFlagNumber(static_cast<int>(pending_));
    }
    // Never in the middle of a slide tick or of a download cycle, whose
    // fetches let this timer tick.
    const bool cycleRunning = a_.cycleRunning && a_.cycleRunning();
    if (state_.clockStatus == 1 || state_.flagLoading == 1 || cycleRunning) {
        return;
    }
    switch (pending_) {
    case Command::None:
        if (!c_.imgClock->isActive()) {
            c_.imgClock->start();
        }
        break;
    case Command::OpenPanel:
        openPanel();
        break;
    case Command::Quit:
        if (a_.QuitProgram) {
            a_.QuitProgram();
        }
        break;
    case Command::PanelShown:
        if (a_.SetPanelButtonsReady) {
            a_.SetPanelButtonsReady();
        }
        break;
    }
}

void Supervisor::ImageConnesso_Click() {
    const long long pushed = DownloadLimit(c_.SSTCfg_timeDwLoad->text()) + kPastTheLimit;
    state_.cntCounterDwLoadImage =
        static_cast<int32_t>(std::clamp<long long>(pushed, 0, std::numeric_limits<int32_t>::max()));
}

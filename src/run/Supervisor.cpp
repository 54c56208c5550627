#include "run/Supervisor.h"

#include "catalogue/CatalogueService.h"
#include "download/FetchPrimitives.h"
#include "platform/Timing.h"
#include "run/DownloadCycle.h"
#include "run/Scheduler.h"
#include "settings/SettingsFile.h"
#include "state/RunState.h"
#include "ui/Translations.h"

#include <QLabel>
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

Supervisor::Supervisor(RunState& state, const SettingsFile& settings, const FetchPrimitives& fetch,
                       SupervisorControls controls, SupervisorHost& host)
    : state_(state), settings_(settings), fetch_(fetch), c_(controls), host_(host) {}

void Supervisor::request(Command command) {
    pending_ = command;
    emit commandChanged(command);
}

QString Supervisor::failureDetail() const {
    return lastFailure_.isEmpty() ? QString() : QStringLiteral(" - ") + lastFailure_;
}

void Supervisor::startUp() {
    c_.generalClock->stop();
    c_.window->raise();
    c_.window->activateWindow();
    // Kept pictures of an earlier run take the logo's place from the start,
    // whatever the network does; a request sent again never covers them.
    if (!lastGoodTried_) {
        lastGoodTried_ = true;
        host_.startLastGood();
    }
    if (!host_.lastGoodPlaying()) {
        emit logoDue();
    }
    emit languageDue();
    emit connectionSettingsDue();
    emit townDue();
    startState_ = 1;
    ticket_ = host_.startFirstRequest();
    sinceRequest_.start();
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
    emit waitReasonNoted(ConnectionWaitText(state_.Lingua) + failureDetail());
    c_.lCountDown->raise();
    const bool offerAgain = state_.cntWaitCountdown == 1;
    state_.cntWaitCountdown = static_cast<int16_t>(state_.cntWaitCountdown - 1);
    // Over the kept pictures the countdown line tells the state; the panel's
    // connection button stays the way to change it.
    if (offerAgain && !host_.lastGoodPlaying()) {
        emit connectionChoiceDue();
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
    if (sinceRequest_.elapsed() < platform::scaledMs(kResendAfterMs)) {
        return;
    }
    ticket_ = host_.startFirstRequest();
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
        emit waitReasonNoted(line);
        startState_ = 0;
        return;
    }
    lastFailure_.clear();
    emit waitReasonNoted(QString());
    emit firstReplyAccepted();
    c_.lCountDown->hide();
    c_.btSetup->show();
    c_.btWait->hide();
    c_.btHelp->setVisible(c_.btSetup->isVisibleTo(c_.btSetup->parentWidget()));
    c_.btTermina->hide();
    c_.btHelp->show();
    c_.utilityTmr->start();
}

void Supervisor::generalClock_Timer() {
    emit connectionStateDue();
    if (startState_ == 0) {
        startUp();
    }
    bool arrivedNow = false;
    if (startState_ < 2 && fetch_.replyArrived()) {
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
    emit generalClockTicked();
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
        // The kept pictures go on playing through the first pass.
        if (!host_.lastGoodPlaying()) {
            emit logoDue();
        }
        platform::pauseLettingEventsRun(kLogoPauseMs);
        state_.firstLaunch = 1;
    } else {
        if (state_.firstLaunch == 1) {
            c_.utilityTmr->setInterval(platform::scaledMs(kUtilityRunningMs));
            c_.panControl->start();
            emit timerFlagColourChanged(kTimerFlagGreen);
            state_.firstLaunch = 2;
        }
        if (host_.loadingPictures() && !host_.refreshingQuietly()) {
            showProgress();
        }
    }
    c_.utilityTmr->start();
}

void Supervisor::openPanel() {
    emit panelButtonsWaitDue();
    c_.SSTCfg_ExitProgram2->show();
    state_.cntCounterDwLoadImage = 0;
    c_.panControl->stop();
    emit townDue();
    emit timerFlagColourChanged(kTimerFlagRed);
    emit panelForSelectionDue();
    c_.panControl->start();
    emit timerFlagColourChanged(kTimerFlagGreen);
    // A request made while the panel opened (a quit after a refused
    // catalogue request, a start from the panel) is not overwritten.
    if (pending_ == Command::OpenPanel) {
        request(Command::PanelShown);
    }
}

void Supervisor::panControl_Timer() {
    emit timerFlagNumberChanged(static_cast<int>(pending_));
    // Never in the middle of a slide tick or of a download cycle, whose
    // fetches let this timer tick.
    if (host_.slideTickRunning() || host_.loadingPictures() || host_.cycleRunning()) {
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
        emit quitDue();
        break;
    case Command::PanelShown:
        emit panelButtonsReadyDue();
        break;
    }
}

void Supervisor::ImageConnesso_Click() {
    const long long pushed =
        DownloadLimit(settings_.showSettings().downloadMinutes) + kPastTheLimit;
    state_.cntCounterDwLoadImage =
        static_cast<int32_t>(std::clamp<long long>(pushed, 0, std::numeric_limits<int32_t>::max()));
}

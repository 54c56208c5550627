#include "run/Scheduler.h"

#include "download/PictureBudget.h"
#include "platform/Dialogs.h"
#include "platform/Environment.h"
#include "platform/SafeFiles.h"
#include "platform/Timing.h"
#include "platform/Widgets.h"
#include "run/DownloadCycle.h"
#include "run/LastGood.h"
#include "run/Supervisor.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFormat.h"
#include "show/PictureBox.h"
#include "show/Presenter.h"
#include "state/CommandLine.h"
#include "state/RunState.h"
#include "ui/Translations.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr int kFastCodeMs = 100;
constexpr int kMaxAniGifFiles = 99;
// The placeholder picture is a small GIF; anything larger is not it.
constexpr qint64 kMaxPlaceholderBytes = 4 * 1024 * 1024;

double numberIn(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

} // namespace

long long DownloadLimit(const QString& minutesText) {
    const double limit = std::round(numberIn(minutesText) * 30.0);
    return static_cast<long long>(std::clamp(limit, -1e15, 1e15));
}

long long TimingCodeIntervalMs(const QString& code, long long slideMs) {
    if (code == QLatin1String("99")) {
        return -1;
    }
    if (code == QLatin1String("95")) {
        return kFastCodeMs;
    }
    if (code == QLatin1String("200")) {
        return slideMs * 4;
    }
    return slideMs;
}

bool TimingCodeShowsAnimation(const QString& code) {
    return code == QLatin1String("95") || code == QLatin1String("200");
}

Scheduler::Scheduler(RunState& state, platform::Dialogs& dialogs, SettingsFile& settings,
                     DownloadCycles& cycles, Presenter& presenter, Supervisor& supervisor,
                     SchedulerControls controls)
    : state_(state), dialogs_(dialogs), settings_(settings), cycles_(cycles), presenter_(presenter),
      supervisor_(supervisor), c_(controls) {}

void Scheduler::setImgClockInterval(long long ms) {
    // Scaled by the timing knob and held within what a timer can take.
    const long long bounded = std::clamp<long long>(ms, 1, std::numeric_limits<int>::max());
    const double scaled = std::round(static_cast<double>(bounded) * platform::timeScale());
    c_.imgClock->setInterval(static_cast<int>(
        std::clamp(scaled, 1.0, static_cast<double>(std::numeric_limits<int>::max()))));
}

void Scheduler::showWaitSign() {
    c_.lCountDown->clear();
    c_.lCountDown->show();
    c_.btSetup->hide();
    c_.btWait->show();
    c_.btHelp->setVisible(c_.btSetup->isVisibleTo(c_.btSetup->parentWidget()));
}

bool Scheduler::runFirstPass() {
    showWaitSign();
    cycles_.beginLoading();
    c_.utilityTmr->start();
    cycles_.RunCataloguePass(false);
    cycles_.endLoading();
    if (supervisor_.pending() == Command::Quit) {
        // The service refused a request: the tick ends here, so that nothing
        // (the panel for an empty show) takes the place of the quit.
        cycles_.endSlideTick();
        return false;
    }
    if (cycles_.cataloguePassOK) {
        return true;
    }
    dialogs_.message(QStringLiteral("1 F"), QStringLiteral("?"),
                     platform::Dialogs::Icon::Information);
    c_.fotoBrowser->clear();
    // A selection file that cannot be read was named at the start; the
    // files beside it stay as they are.
    if (whyUnreadable(settings_.selectionFilePath()) == Unreadable::None) {
        settings_.DeleteSettingsFiles();
    }
    supervisor_.request(Command::Quit);
    state_.quitUnattended = true;
    cycles_.endSlideTick();
    return false;
}

void Scheduler::runDownloadCycleWhenDue() {
    const ShowSettings& settings = settings_.showSettings();
    const double seconds = std::round(numberIn(settings.slideSeconds));
    const double counter = static_cast<double>(state_.cntCounterDwLoadImage) + seconds;
    state_.cntCounterDwLoadImage = static_cast<int32_t>(
        std::clamp(counter, 0.0, static_cast<double>(std::numeric_limits<int32_t>::max())));
    if (state_.cntCounterDwLoadImage <= DownloadLimit(settings.downloadMinutes)) {
        return;
    }
    state_.cntCounterDwLoadImage = 0;
    if (cycles_.quietRefresh()) {
        runQuietRefresh();
        return;
    }
    // Old loops that cannot be replaced (a work folder that cannot be
    // written) leave the show as it is until the next cycle.
    if (!cycles_.retryPassPending() && !ResetAniGifFiles()) {
        return;
    }
    c_.btSetup->setEnabled(false);
    showWaitSign();
    cycles_.beginLoading();
    c_.utilityTmr->start();
    refreshSlides();
    cycles_.endLoading();
}

void Scheduler::refreshSlides() {
    if (cycles_.retryPassPending()) {
        // The last pass could not reach the service: ask it again now.
        cycles_.retryCataloguePass();
    } else {
        // Only a cycle that fetches every slide again may drop the kinds and
        // loop files of the slides on show; a pass that finds the service
        // still away leaves them playing.
        cycles_.forgetLoops();
        cycles_.reloadEverySlide();
    }
}

// The refresh runs as a visible one does, but the slides on show go on
// playing from a held copy while it fetches (the slide clock keeps ticking in
// its waits), and nothing of its work is drawn over them. The loops it
// writes go to the other set of loop files, so the held loops stay whole.
void Scheduler::runQuietRefresh() {
    if (!cycles_.retryPassPending() && !ResetAniGifFiles(loopFilesOnShow())) {
        return;
    }
    cycles_.beginQuietRefresh(state_.cntImagesLoaded);
    heldPointer_ = state_.GLOBAL_IMAGE_CURRENT_POINTER;
    cycles_.beginLoading();
    c_.imgClock->start();
    refreshSlides();
    cycles_.endLoading();
    c_.imgClock->stop();
    cycles_.endQuietRefresh();
}

QSet<QString> Scheduler::loopFilesOnShow() const {
    QSet<QString> files;
    for (int s = 0; s < state_.cntImagesLoaded; ++s) {
        const QString& loop = cycles_.slides().at(s).loopFile;
        if (!loop.isEmpty()) {
            files.insert(loop);
        }
    }
    return files;
}

// A tick inside a quiet refresh: the next held slide, also while a page
// renders for its capture under the show.
void Scheduler::showHeldSlide() {
    const QList<Slide>& held = cycles_.heldSlides();
    if (held.isEmpty()) {
        return;
    }
    if (heldPointer_ < 0 || heldPointer_ >= held.size()) {
        heldPointer_ = 0;
    }
    const Slide slide = held.at(heldPointer_++);
    presenter_.show(slide);
    showSlideText(slide);
    markKeptPicture(slide);
    markPictureNote(slide);
    emit slideShown(slide);
}

void Scheduler::stopForNoSlides() {
    supervisor_.request(Command::OpenPanel);
    c_.whoWeAre->setEnabled(false);
    c_.btSetup->setEnabled(false);
    settings_.fallBackToFullScreen();
    emit displayModeChanged();
    cycles_.endSlideTick();
}

void Scheduler::applyTimingCode(const QString& code) {
    const long long ms = TimingCodeIntervalMs(code, state_.timerSlideValue.toLongLong());
    if (ms >= 0) {
        setImgClockInterval(ms);
    }
    c_.BtAnimation->setVisible(TimingCodeShowsAnimation(code));
    if (code == QLatin1String("200")) {
        c_.BtAnimation->raise();
    }
}

void Scheduler::showSlideText(const Slide& slide) {
    const bool catalogued = slide.catalogueRow >= 0;
    if (catalogued) {
        // The row's fields stay in the state for the diagnostics, and a row
        // with too many fields is told.
        Splitta5(state_, state_.listCopyright[slide.catalogueRow], [this](const QString& text) {
            dialogs_.message(text, QStringLiteral("Skyglance"));
        });
    }
    state_.statusLine1 = slide.statusLine1;
    state_.statusLine2 = slide.statusLine2;
    emit statusTextChanged();
    if (catalogued) {
        applyTimingCode(slide.timingCode);
    } else {
        setImgClockInterval(state_.timerSlideValue.toLongLong());
    }
}

void Scheduler::markKeptPicture(const Slide& slide) {
    // A picture kept from an earlier cycle says how old it is; its failure
    // notice still shows above the bar.
    if (!slide.keptSince.isValid()) {
        return;
    }
    state_.statusLine2 = KeptPictureText(state_.Lingua, slide.keptSince);
    emit statusTextChanged();
}

void Scheduler::markPictureNote(const Slide& slide) {
    const QString note = PictureNoteText(state_.Lingua, slide.pictureNote);
    if (note.isEmpty()) {
        return;
    }
    state_.statusLine2 += QStringLiteral(" - ") + note;
    emit statusTextChanged();
}

void Scheduler::showServiceMessage(int s) {
    if (s + 1 != state_.cntImagesLoaded) {
        return;
    }
    if (state_.serverMessage.isEmpty()) {
        c_.lblMsgUser->hide();
        return;
    }
    c_.lblMsgUser->setText(state_.serverMessage);
    c_.lblMsgUser->adjustSize();
    c_.lblMsgUser->show();
    c_.lblMsgUser->raise();
    const QWidget* window = c_.window;
    c_.lblMsgUser->move(
        platform::roundHalfEvenToInt(window->width() / 2.0 - c_.lblMsgUser->width() / 2.0),
        platform::roundHalfEvenToInt(window->height() / 2.0 - c_.lblMsgUser->height() / 2.0));
}

void Scheduler::imgClock_Timer() {
    if (cycles_.quietRefreshRunning()) {
        showHeldSlide();
        return;
    }
    // A running cycle lets events run inside its fetches; no slide may change
    // then, and a tick never runs inside another.
    if (supervisor_.pending() != Command::None || cycles_.loading() || cycles_.running() ||
        cycles_.slideTickRunning()) {
        return;
    }
    c_.imgClock->stop();
    cycles_.beginSlideTick();
    if (state_.clockFromDebugSet == 1) {
        c_.imgClock->setInterval(state_.timerClockSave);
    }
    state_.clockFromDebugSet = 0;
    // The first line keeps the text of the slide on screen while this tick
    // works; only the second says that something is going on.
    state_.statusLine2 = QStringLiteral("- - - ");
    emit statusTextChanged();
    c_.BtAnimation->hide();
    if (!cycles_.catalogueLoaded() && !runFirstPass()) {
        return;
    }
    runDownloadCycleWhenDue();
    if (state_.cntImagesLoaded == 0) {
        if (cycles_.passFailedInTransport()) {
            // Nothing to show yet because the service is out of reach: the
            // countdown line says so and the next tick asks again.
            c_.lCountDown->setText(cycles_.failedReplyLine());
            c_.lCountDown->show();
            c_.lCountDown->raise();
            cycles_.endSlideTick();
            return;
        }
        stopForNoSlides();
        return;
    }
    if (state_.GLOBAL_IMAGE_CURRENT_POINTER >= state_.cntImagesLoaded) {
        state_.GLOBAL_IMAGE_CURRENT_POINTER = 0;
    }
    const int s = state_.GLOBAL_IMAGE_CURRENT_POINTER;
    c_.lblMsgUser->hide();
    emit liveSlideDue();
    const Slide slide = showSlide(s);
    showSlideText(slide);
    markKeptPicture(slide);
    markPictureNote(slide);
    showServiceMessage(s);
    if (!slide.loaded) {
        c_.lCountDown->setText(QString::fromLatin1(kImageMissingText));
        c_.lCountDown->show();
        c_.lCountDown->raise();
    } else if (!cycles_.passFailedInTransport()) {
        c_.lCountDown->hide();
    }
    state_.GLOBAL_IMAGE_CURRENT_POINTER = static_cast<int16_t>(s + 1);
    cycles_.endSlideTick();
    emit slideShown(slide);
}

Slide Scheduler::showSlide(int s) {
    if (!presenter_.show(cycles_.slide(s))) {
        Slide failed = cycles_.slides().at(s);
        failed.loaded = false;
        cycles_.putSlide(failed);
    }
    // Read again: a loop that did not play also notes why (too large for
    // the picture memory) while it is shown.
    return cycles_.slide(s);
}

// The placeholder beside the program, else the program's own copy: a file
// missing from an installation need not end the show. Written through a
// temporary file, so an old loop stays whole when the disk refuses.
bool Scheduler::copyPlaceholder(const QString& file) const {
    const QString beside =
        platform::programDataFile(state_.appPath, QStringLiteral("pic_not_available.gif"));
    for (const QString& placeholder :
         {beside, QStringLiteral(":/pictures/pic_not_available.gif")}) {
        QFile source(placeholder);
        if (!source.open(QIODevice::ReadOnly) || source.size() > kMaxPlaceholderBytes) {
            continue;
        }
        const QByteArray bytes = source.read(kMaxPlaceholderBytes);
        if (source.error() != QFile::NoError) {
            continue;
        }
        // A fresh file, writable unlike the built-in one, and never written
        // through a link at the name.
        return platform::WriteFileReplacing(file, bytes);
    }
    return false;
}

QString WorkFolderUnwritableText(int lingua, const QString& folder) {
    return Translations::in(lingua)
        .translate(
            "Scheduler",
            "The work folder %1 cannot be written.\nThe pictures on show stay; the download is "
            "tried again at the next cycle.")
        .arg(folder);
}

QString PictureNoteText(int lingua, int note) {
    switch (note) {
    case kPictureScaledForMemory:
        return Translations::in(lingua).translate("Scheduler",
                                                  "picture reduced to fit the picture memory");
    case kPictureTooLargeForMemory:
        return Translations::in(lingua).translate("Scheduler",
                                                  "picture too large for the picture memory");
    default:
        return {};
    }
}

bool Scheduler::ResetAniGifFiles(const QSet<QString>& onShow) {
    for (const int first : {1, int{SlideList::kSecondLoopSet}}) {
        if (!resetLoopSet(first, onShow)) {
            return false;
        }
    }
    toldUnwritable_ = false;
    return true;
}

bool Scheduler::resetLoopSet(int first, const QSet<QString>& onShow) {
    for (int n = first; n < first + kMaxAniGifFiles; ++n) {
        const QString file =
            state_.imgFileBase + state_.aniGifPrefix + QString::number(n) + QStringLiteral(".gif");
        if (!QFile::exists(file)) {
            break;
        }
        if (onShow.contains(file)) {
            continue;
        }
        if (!copyPlaceholder(file)) {
            std::fprintf(stderr,
                         "skyglance: the work folder %s cannot be written; the download "
                         "is tried again at the next cycle\n",
                         qPrintable(state_.Skyglance_Work_Dir));
            // Once until it mends: the box would come back at every cycle.
            if (!toldUnwritable_) {
                toldUnwritable_ = true;
                dialogs_.message(WorkFolderUnwritableText(state_.Lingua, state_.Skyglance_Work_Dir),
                                 QStringLiteral("Skyglance"), platform::Dialogs::Icon::Warning);
            }
            return false;
        }
    }
    return true;
}

void Scheduler::dyMode_Click() {
    c_.txtDisplay->setText(settings_.showSettings().displayMode == QLatin1String("Normal")
                               ? QStringLiteral("Full_Screen")
                               : QStringLiteral("Normal"));
    emit displayModeChanged();
    settings_.markUnsaved();
}

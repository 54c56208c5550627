// The main window's care for the screen beyond one run: the last good
// pictures that play while a restarted program waits for the network and its
// first pass, and the status page that lets the screen be watched from afar.

#include "download/ConnectionMonitor.h"
#include "download/PictureBudget.h"
#include "download/PictureLoading.h"
#include "download/SourceCodes.h"
#include "platform/Dialogs.h"
#include "platform/SafeFiles.h"
#include "platform/Timing.h"
#include "run/DownloadCycle.h"
#include "run/LastGood.h"
#include "run/Supervisor.h"
#include "settings/SettingsFile.h"
#include "shell/FormPicture.h"
#include "show/Snapshots.h"
#include "show/StatusBar.h"
#include "state/CommandLine.h"
#include "watch/FleetReport.h"
#include "watch/RemoteWatch.h"

#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>
#include <tuple>

namespace {

// The first kept picture goes up at once: it takes the logo's place.
constexpr int kFirstKeptSlideMs = 0;
// Kept pictures are stored as PNG with light compression: quick to write at
// the end of a cycle, still far smaller than the bitmaps.
constexpr int kKeptPngQuality = 80;

QByteArray encodedPng(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "PNG", kKeptPngQuality)) {
        return {};
    }
    return bytes;
}

// A work-list entry carries its source code in place of the "h" of "http";
// a watcher is shown the address itself.
QString addressForWatchers(const QString& entry) {
    const bool coded = !entry.isEmpty() && entry.front().isDigit() &&
                       entry.mid(1).startsWith(QLatin1String("ttp"));
    return coded ? WithHttpInFront(entry) : entry;
}

} // namespace

// Every box that waits is a reason the show waits; one that closed by itself
// leaves its text on the status line.
class FormPicture::BoxWatch : public platform::Dialogs::Watcher {
public:
    explicit BoxWatch(FormPicture& form) : form_(form) {}
    void boxWaiting(const platform::Dialogs::Box& box) override {
        form_.noteWaiting(QStringLiteral("box"),
                          QStringLiteral("a message box waits for an answer: ") +
                              platform::Dialogs::oneLine(box));
    }
    void boxGone(const platform::Dialogs::Box& box, bool closedItself) override {
        form_.noteWaiting(QStringLiteral("box"), QString());
        if (closedItself) {
            form_.showUnansweredBox(platform::Dialogs::oneLine(box));
        }
    }

private:
    FormPicture& form_;
};

void FormPicture::noteWaiting(const QString& source, const QString& reason) {
    if (!waitReasons_ || !waitReasons_->set(source, reason)) {
        return;
    }
    const QString now = waitReasons_->current();
    if (now.isEmpty()) {
        std::fprintf(stderr, "skyglance: waiting no more\n");
    } else {
        std::fprintf(stderr, "skyglance: waiting: %s\n", qPrintable(now));
    }
    if (remoteWatch_) {
        remoteWatch_->setWaiting(now);
    }
}

void FormPicture::watchChoiceFrames() {
    Frame_Select_Language->installEventFilter(this);
    Frame_Select_Connection->installEventFilter(this);
}

bool FormPicture::noteChoiceFrame(QObject* watched, QEvent::Type type) {
    if (type != QEvent::Show && type != QEvent::Hide) {
        return false;
    }
    const bool shown = type == QEvent::Show;
    if (watched == Frame_Select_Language) {
        noteWaiting(QStringLiteral("language"),
                    shown ? QStringLiteral("the language choice waits for an answer") : QString());
        return true;
    }
    if (watched == Frame_Select_Connection) {
        noteWaiting(QStringLiteral("connection"),
                    shown ? QStringLiteral("the connection choice waits for an answer")
                          : QString());
        return true;
    }
    return false;
}

void FormPicture::showUnansweredBox(const QString& text) {
    std::fprintf(stderr, "skyglance: nobody answered the message \"%s\"; it closed itself\n",
                 qPrintable(text));
    state.statusLine2 = text;
    statusBar_->ShowStatusText();
    // Closed inside a slide tick or a cycle: the slide shown next is the one
    // the message belongs to, and keeps the text.
    if (cycles_->slideTickRunning() || cycles_->running()) {
        pendingBoxText_ = text;
    }
}

void FormPicture::showPendingBoxText() {
    if (pendingBoxText_.isEmpty()) {
        return;
    }
    state.statusLine2 = pendingBoxText_;
    pendingBoxText_.clear();
    statusBar_->ShowStatusText();
}

void FormPicture::watchBoxesAndChoiceFrames() {
    boxWatch_ = std::make_unique<BoxWatch>(*this);
    dialogs_->setWatcher(boxWatch_.get());
    watchChoiceFrames();
}

bool FormPicture::startLastGood() {
    if (state.Skyglance_Work_Dir.isEmpty()) {
        return false;
    }
    const QList<StoredSlide> slides = LastGoodSet(state.Skyglance_Work_Dir).load();
    return lastGoodShow_->start(slides, kFirstKeptSlideMs);
}

void FormPicture::keepLastGoodOfNewCycle() {
    // Once per cycle, when its first slide is on the screen: by then the
    // catalogue pass has also brought the status texts.
    if (cycles_->completedCycles() == keptCycle_ || cycles_->running() ||
        cycles_->quietRefreshRunning() || state.Skyglance_Work_Dir.isEmpty()) {
        return;
    }
    keptCycle_ = cycles_->completedCycles();
    QList<SlideToKeep> slides;
    QList<QImage> pictures;
    for (int s = 0; s < state.cntImagesLoaded; ++s) {
        const Slide slide = cycles_->slide(s);
        const bool loop = slide.kind == 4;
        // A picture kept from an earlier cycle stays kept, with its own age.
        const bool good = slide.loaded || slide.keptSince.isValid();
        if (!good || (slide.kind != 1 && slide.kind != 2 && !loop)) {
            continue;
        }
        SlideToKeep k;
        k.slide.kind = slide.kind;
        k.slide.statusLine1 = slide.statusLine1;
        k.slide.statusLine2 = slide.statusLine2;
        k.slide.timingCode = slide.timingCode;
        k.slide.fetched = slide.keptSince.isValid() ? slide.keptSince
                          : slide.fetched.isValid() ? slide.fetched
                                                    : QDateTime::currentDateTime();
        k.slide.address = slide.address;
        k.slide.part = slide.part;
        pictures.append(slide.picture);
        if (loop) {
            k.loopSource = slide.loopFile;
        }
        slides.append(k);
    }
    if (slides.isEmpty()) {
        return;
    }
    // Encoding and writing take about a second a screenful: a thread of
    // their own does it while the show goes on.
    waitForKeptSet();
    keeping_ = std::async(std::launch::async,
                          [folder = state.Skyglance_Work_Dir, slides = std::move(slides),
                           pictures = std::move(pictures)]() mutable {
                              for (qsizetype i = 0; i < slides.size(); ++i) {
                                  slides[i].pictureBytes = encodedPng(pictures[i]);
                              }
                              LastGoodSet(folder).save(slides);
                          });
}

void FormPicture::waitForKeptSet() {
    if (keeping_.valid()) {
        platform::waitLettingEventsRun(keeping_);
    }
}

void FormPicture::keepEarlierPicturesOfFailedSlides() {
    if (state.Skyglance_Work_Dir.isEmpty()) {
        return;
    }
    QList<StoredSlide> kept;
    bool loaded = false;
    for (int s = 0; s < state.cntImagesLoaded; ++s) {
        if (cycles_->slides().at(s).loaded) {
            continue;
        }
        if (!loaded) {
            waitForKeptSet();
            kept = LastGoodSet(state.Skyglance_Work_Dir).load();
            loaded = true;
        }
        const StoredSlide* earlier =
            FindStoredSlide(kept, cycles_->slides().at(s).address, cycles_->slides().at(s).part);
        if (earlier != nullptr) {
            takeKeptPicture(s, *earlier);
        }
    }
}

void FormPicture::takeKeptPicture(int s, const StoredSlide& earlier) {
    const SlideList& slides = cycles_->slides();
    const QImage picture =
        DecodeForSlide(HeldPictureBytes(slides, s), earlier.pictureFile, DecodeStyle::ByContent)
            .image;
    if (picture.isNull()) {
        return;
    }
    QString loop;
    if (earlier.kind == 4) {
        // The loop gets a working copy of its own: the kept set is replaced
        // after the cycle, and with it the file it came from.
        loop = animatedGifCopyName(state.imgFileBase, state.aniGifPrefix, slides.nextLoopNumber());
        if (!platform::CopyFileReplacing(earlier.loopFile, loop)) {
            return;
        }
        cycles_->loopFileWritten();
    }
    // Still a failure (its notice shows), but with the weather of before.
    Slide kept = slides.at(s);
    kept.picture = picture;
    kept.kind = static_cast<int16_t>(earlier.kind);
    kept.loopFile = loop;
    kept.keptSince = earlier.fetched;
    cycles_->putSlide(kept);
}

QImage FormPicture::grabForWatchers() {
    // The fleet report wants the screen only once in a while.
    const bool wanted = snapshots_ || remoteWatch_ || (fleetReport_ && fleetReport_->wantsScreen());
    return wanted ? grab().toImage() : QImage();
}

void FormPicture::afterStoredSlideShown(int index, const StoredSlide& slide) {
    const QImage screen = grabForWatchers();
    if (snapshots_) {
        snapshots_->write(screen);
    }
    publishWatch(screen, index, slide.kind, slide.pictureFile);
    if (printSlides_) {
        std::printf("kept slide %d kind %d %s | %s | %s\n", index, slide.kind,
                    qPrintable(slide.pictureFile), qPrintable(state.statusLine1),
                    qPrintable(state.statusLine2));
        std::fflush(stdout);
    }
    emit keptSlideShown(index);
}

void FormPicture::publishWatch(const QImage& screen, int slide, int kind, const QString& address) {
    if (slide >= 0) {
        ++slidesShown_;
        if (!lastGoodShow_->playing() && !liveSince_.isValid()) {
            liveSince_ = QDateTime::currentDateTime();
        }
    }
    if (!remoteWatch_ && !fleetReport_) {
        return;
    }
    WatchStatus w;
    w.slidesShown = slidesShown_;
    w.slide = slide;
    w.kind = kind;
    w.address = addressForWatchers(address);
    w.statusLine1 = state.statusLine1;
    w.statusLine2 = state.statusLine2;
    w.shownAt = QDateTime::currentDateTime();
    w.lastGood = lastGoodShow_->playing();
    w.showingSince = w.lastGood ? lastGoodShow_->since() : liveSince_;
    w.cycleStarted = cycles_->lastCycleStarted();
    w.cycleDurationMs = cycles_->lastCycleDurationMs();
    std::tie(w.picturesFetched, w.failures) = cycles_->fetchedAndFailedOnShow();
    w.quietRefreshAt = cycles_->lastQuietRefresh();
    w.quietRefreshFailed = cycles_->quietRefreshFailures();
    w.networkUp = connectionMonitor_->lastIcon() == ConnectionIcon::Connected;
    w.service = supervisor_->startState() < 2      ? QStringLiteral("waiting")
                : cycles_->passFailedInTransport() ? QStringLiteral("out of reach")
                                                   : QStringLiteral("reachable");
    w.screen = screen;
    if (fleetReport_) {
        fleetReport_->offer(w);
    }
    if (remoteWatch_) {
        remoteWatch_->publish(std::move(w));
    }
}

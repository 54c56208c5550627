#include "download/PageCapture.h"

#include "browser/Browser.h"
#include "platform/SafeFiles.h"
#include "platform/Timing.h"
#include "platform/Widgets.h"
#include "state/RunState.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// Lets events run until done() or the deadline, sleeping in the event loop
// rather than spinning.
template <typename Done> void runEventsUntil(Done done, const QDeadlineTimer& deadline) {
    while (!done() && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(std::clamp<qint64>(deadline.remainingTime(), 1, 20), &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
}

} // namespace

QString CaptureFileName(const QString& imgFileBase) {
    return imgFileBase + QString::fromLatin1(kCaptureFileSuffix);
}

PageCapture::PageCapture(RunState& state, CaptureViews views, QObject* parent)
    : QObject(parent), state_(state), views_(views) {}

void PageCapture::Timer4000_Timer() {
    views_.Timer4000->stop();
}

void PageCapture::oneShotWait(int ms) {
    QTimer* timer = views_.Timer4000;
    timer->setInterval(platform::scaledMs(ms));
    timer->start();
    // The timer's own tick ends the wait; the deadline only guards against a
    // tick that someone else swallowed.
    const QDeadlineTimer deadline(platform::scaledMs(ms) + 1000);
    runEventsUntil([timer] { return !timer->isActive(); }, deadline);
    timer->stop();
}

void PageCapture::webvis_DocumentDone() {
    if (state_.Http2BmpRunning != 0) {
        state_.WebPageToImgEnd = kTrue;
    }
}

void PageCapture::waitForDocumentDone() {
    const QDeadlineTimer deadline(platform::scaledMs(kPageLoadLimitMs));
    runEventsUntil([this] { return state_.WebPageToImgEnd != 0; }, deadline);
    lastPageFinished_ = state_.WebPageToImgEnd != 0;
}

bool PageCapture::endRendererWhenHung() {
    // A renderer stuck in a script paints no more: the view would show a
    // stale page, and the renderer would hold a core for ever.
    if (views_.webvis->rendererAnswers(platform::scaledMs(kRendererAnswerLimitMs))) {
        return false;
    }
    views_.webvis->endRenderer();
    return true;
}

void PageCapture::SetTopmost(bool on) {
    topmost_ = on;
    QWidget* window = views_.window != nullptr ? views_.window->window() : nullptr;
    // Where the compositor stacks the windows the flag means nothing; the
    // page is rendered off screen for the capture either way.
    if (window == nullptr || window->windowHandle() == nullptr ||
        platform::compositorStacksWindows()) {
        return;
    }
    // Through the native window, so the window is neither hidden nor moved.
    window->windowHandle()->setFlag(Qt::WindowStaysOnTopHint, on);
    if (on) {
        window->raise();
    }
}

bool PageCapture::GrabScreen() {
    pictureHttp_ = views_.webvis->renderAt(views_.screenPixels);
    if (pictureHttp_.isNull()) {
        return false;
    }
    platform::ReplacingFile file(CaptureFileName(state_.imgFileBase));
    if (!file.open() || !pictureHttp_.save(&file.device(), "BMP")) {
        file.cancel();
        return false;
    }
    return file.commit();
}

void PageCapture::keepOnTopOnScreen() {
    if (!offScreen_) {
        SetTopmost(true);
    }
}

void PageCapture::putPageOnScreen() {
    emit pageShowing();
    views_.webvis->raise();
}

// The browser renders only while it is shown; under an opaque cover of the
// window's background it renders unseen, and the show above it (a loop
// smaller than the screen too) looks as it did.
void PageCapture::putPageUnderShow() {
    if (views_.cover != nullptr) {
        views_.cover->setGeometry(QRect(QPoint(0, 0), views_.screenPixels));
        views_.cover->show();
        views_.cover->lower();
    }
    views_.webvis->show();
    views_.webvis->lower();
    emit offScreenRendering(true);
}

void PageCapture::takePageAway() {
    if (!offScreen_) {
        SetTopmost(false);
        emit captureEnded();
        views_.DownloadPreview->show();
        return;
    }
    emit offScreenRendering(false);
    views_.webvis->hide();
    if (views_.cover != nullptr) {
        views_.cover->hide();
    }
}

void PageCapture::CapturePage() {
    QFile::remove(CaptureFileName(state_.imgFileBase));
    if (!offScreen_) {
        views_.DownloadPreview->hide();
    }
    state_.WebPageToImgEnd = kFalse;
    state_.Http2BmpRunning = kTrue;
    views_.webvis->setSilent(state_.flagSilent != 0);
    views_.webvis->navigate(captureAddress);
    views_.webvis->setGeometry(QRect(QPoint(0, 0), views_.screenPixels));
    if (offScreen_) {
        putPageUnderShow();
    }
    oneShotWait(kCaptureFirstWaitMs);
    if (!offScreen_) {
        putPageOnScreen();
    }
    waitForDocumentDone();
    // A page that failed (an error status, a refused connection) is no
    // picture of the weather: nothing is captured and the slide fails. One
    // that is only slow is captured as it stands at the limit.
    lastPageFailed_ = lastPageFinished_ && !views_.webvis->navigationSucceeded();
    if (!lastPageFailed_) {
        // Kept on top so that nothing covers the page when it is grabbed;
        // off screen the grab reads the browser's own rendering, and the
        // window is left as it stands.
        oneShotWait(kCaptureSettleWaitMs);
        keepOnTopOnScreen();
        oneShotWait(kCaptureTopmostWaitMs);
        keepOnTopOnScreen();
        lastPageFailed_ = endRendererWhenHung();
    }
    if (!lastPageFailed_) {
        GrabScreen();
    }
    state_.Http2BmpRunning = kFalse;
    takePageAway();
}

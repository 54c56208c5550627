#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

class QTimer;
class QWidget;
struct RunState;
namespace platform {
class BrowserView;
}

// The capture file of a page, beside the downloaded pictures.
inline constexpr auto kCaptureFileSuffix = "HTTP_IMG.bmp";

// The longest wait for a page to finish loading, before scaling: a page that
// never finishes is captured as it shows after this long.
inline constexpr int kPageLoadLimitMs = 30000;

// The longest wait, before scaling, for the page's renderer to answer just
// before the grab. One that does not is stuck in a script: it is ended and
// the slide fails, so even a hung page's capture is over after 2000 + 30000
// + 4000 + 1000 + 10000 ms of waiting.
inline constexpr int kRendererAnswerLimitMs = 10000;

// The fixed waits of a capture, before scaling.
inline constexpr int kCaptureFirstWaitMs = 2000;
inline constexpr int kCaptureSettleWaitMs = 4000;
inline constexpr int kCaptureTopmostWaitMs = 1000;

QString CaptureFileName(const QString& imgFileBase);

// What the capture drives: the browser, the window kept on top, the one-shot
// timer, the preview caption, and the screen size in pixels.
struct CaptureViews {
    platform::BrowserView* webvis = nullptr;
    QWidget* window = nullptr;
    QWidget* DownloadPreview = nullptr;
    QTimer* Timer4000 = nullptr;
    QSize screenPixels;
    // An opaque layer of the window's background that goes between the
    // browser and the show while a page is captured off screen.
    QWidget* cover = nullptr;
};

// Turns a web page into a picture: shows it full screen in the browser,
// waits for it to load and settle, and saves what it shows as a bitmap.
class PageCapture : public QObject {
    Q_OBJECT
public:
    PageCapture(RunState& state, CaptureViews views, QObject* parent = nullptr);

    // The address the next capture loads.
    QString captureAddress;

    // Leaves the capture file of captureAddress; when the capture fails there
    // is no file (an earlier one is removed first), which the caller's decoding
    // turns into the error picture.
    void CapturePage();
    // Off screen, the page loads under the show (behind the cover) and the
    // show stays as it is; otherwise the page shows full screen while it is
    // captured.
    void setOffScreen(bool on) { offScreen_ = on; }

    // The browser has finished the current document.
    void webvis_DocumentDone();
    void Timer4000_Timer();

    void SetTopmost(bool on);
    bool isTopmost() const { return topmost_; }

    // Saves what the browser shows, at the screen's size in pixels, as the
    // capture file. False when nothing could be rendered or written.
    bool GrabScreen();

    // The last picture grabbed.
    const QImage& Picture_HTTP() const { return pictureHttp_; }

    // True when the last capture's page finished loading in time.
    bool lastPageFinished() const { return lastPageFinished_; }
    // True when the last capture's page ended in an error or hung in a
    // script, and was not kept.
    bool lastPageFailed() const { return lastPageFailed_; }

    // Waits ms (scaled) on Timer4000, letting events run.
    void oneShotWait(int ms);

signals:
    // The page being captured is about to fill the screen: the presenter
    // shows the browser and the status bar hides.
    void pageShowing();
    // The capture is over, taken or not: the presenter shows pictures again
    // and the status bar comes back.
    void captureEnded();
    // A page renders unseen under the show (true) or no longer does.
    void offScreenRendering(bool on);

private:
    void waitForDocumentDone();
    bool endRendererWhenHung();
    void putPageOnScreen();
    void keepOnTopOnScreen();
    void putPageUnderShow();
    void takePageAway();

    RunState& state_;
    CaptureViews views_;
    QImage pictureHttp_;
    bool topmost_ = false;
    bool lastPageFinished_ = false;
    bool lastPageFailed_ = false;
    bool offScreen_ = false;
};

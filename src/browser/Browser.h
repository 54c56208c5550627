#pragma once

#include <QImage>
#include <QString>
#include <QWebEngineView>

class QWebEngineLoadingInfo;
class QWebEngineProfile;

namespace platform {

// The embedded browser: a QWebEngineView whose page can keep script errors and
// alerts to itself, report the end of every navigation, hand out the first
// image of its document and render itself into a picture.
class BrowserView : public QWebEngineView {
    Q_OBJECT
public:
    explicit BrowserView(QWidget* parent = nullptr);
    ~BrowserView() override;

    // Silent: JavaScript alerts, confirmations, prompts and script errors raise
    // no dialog of their own (an unattended screen must never wait for a
    // click). Not silent: the browser's usual dialogs.
    void setSilent(bool silent);
    bool silent() const { return silent_; }

    // Starts loading address. Every later loadFinished belongs to this
    // navigation until the next call.
    void navigate(const QString& address);

    // The number of the current navigation, and whether it has finished.
    int navigationNumber() const { return navigation_; }
    bool navigationDone() const { return doneNavigation_ == navigation_; }
    bool navigationSucceeded() const { return navigationDone() && lastLoadOk_; }

    // Lets events run until the current navigation has finished or timeoutMs
    // (already scaled) has passed. True when it finished in time.
    bool waitForNavigation(int timeoutMs);

    // The absolute address of the first image of the document, resolved
    // against the page's address the way the page itself sees it; empty when
    // the document has none or the page did not answer within timeoutMs.
    QString firstImageSource(int timeoutMs);

    // False when the page's renderer did not run a trivial script within
    // timeoutMs (already scaled): a script of the page never returns.
    bool rendererAnswers(int timeoutMs);

    // Ends the page's renderer, which a script that never returns keeps busy
    // for ever while it goes on serving later pages of the same site, and
    // puts a fresh page in the view.
    void endRenderer();
    // Puts a fresh, empty page in the view. The old page's renderer ends
    // with it, so between uses the engine holds no page in memory.
    void releasePage();

    // The rendered view as a picture of exactly size pixels.
    QImage renderAt(QSize size);

    // Script messages the silent page kept to itself (the newest last, at most
    // kMaxKeptMessages).
    const QStringList& keptScriptMessages() const { return kept_; }
    static constexpr int kMaxKeptMessages = 50;

signals:
    // The current navigation has finished (well or not).
    void documentDone(bool ok);

private:
    class Page;
    void installFreshPage();
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void onLoadFinished(bool ok);
    void keepScriptMessage(const QString& message);

    Page* page_ = nullptr;
    bool silent_ = true;
    int navigation_ = 0;
    int doneNavigation_ = 0;
    bool lastLoadOk_ = false;
    bool awaitingStart_ = false;
    bool rendererGone_ = false;
    QStringList kept_;
};

// Must run before the QApplication is made: the browser engine shares
// OpenGL contexts with the widgets.
void prepareBrowserEngine();

// Says on standard error what running as root means for the browser sandbox:
// the engine will not start its sandbox as root, and with it asked for (the
// variable QTWEBENGINE_DISABLE_SANDBOX unset) ends the program. Nothing for a
// user.
void WarnWhenRunningAsRoot();

} // namespace platform

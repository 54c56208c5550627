#include "browser/Browser.h"

#include "platform/Timing.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace platform {
namespace {

// One profile for every view of the program: nothing is kept on disk and
// nothing is cached, so a page is always fetched as it is now.
QWebEngineProfile* sharedProfile() {
    static QPointer<QWebEngineProfile> profile;
    if (profile.isNull()) {
        profile = new QWebEngineProfile(QCoreApplication::instance());
        profile->setHttpCacheType(QWebEngineProfile::NoCache);
        profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    }
    return profile.data();
}

// The document's first image, resolved by the page itself.
// An address longer than any server takes (a data: picture) never leaves the
// page: it counts as no image.
constexpr auto kFirstImageScript =
    "(function(){var i=document.images;var s=i.length>0?String(i[0].src):'';"
    "return s.length>8192?'':s;})()";

// Waits, letting events run, until done() or the deadline.
template <typename Done> bool waitUntil(Done done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(std::clamp<qint64>(deadline.remainingTime(), 1, 20), &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// How long an ended renderer may take to be noticed gone, before scaling.
constexpr int kRendererEndLimitMs = 5000;

bool isHttpErrorStatus(const QWebEngineLoadingInfo& info) {
    return info.isErrorPage() ||
           (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain &&
            info.errorCode() >= 400);
}

constexpr auto kRootWithSandboxWarning =
    "skyglance: warning: running as root, where the browser engine cannot start its sandbox "
    "and ends the program. The skyglance user unit runs the show as a user for good reason: "
    "the sandbox keeps pages from the network away from the system. To run as root all the "
    "same, without it, start the program with QTWEBENGINE_DISABLE_SANDBOX=1 in its "
    "environment.\n";
constexpr auto kRootWithoutSandboxWarning =
    "skyglance: warning: running as root, with the browser sandbox off "
    "(QTWEBENGINE_DISABLE_SANDBOX). The skyglance user unit runs the show as a user for good "
    "reason: the sandbox keeps pages from the network away from the system.\n";

void prepareEngineAttributes() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace

// Runs before main(), in every program that holds a browser view.
Q_CONSTRUCTOR_FUNCTION(prepareEngineAttributes)

void prepareBrowserEngine() {
    prepareEngineAttributes();
}

void WarnWhenRunningAsRoot() {
    if (::geteuid() != 0) {
        return;
    }
    // The sandbox is the engine's and whoever starts the program decides on
    // it; the program never turns it off itself.
    if (qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        std::fputs(kRootWithoutSandboxWarning, stderr);
    } else {
        std::fputs(kRootWithSandboxWarning, stderr);
    }
}

class BrowserView::Page : public QWebEnginePage {
public:
    Page(BrowserView* view) : QWebEnginePage(sharedProfile(), view), view_(view) {}

protected:
    void javaScriptAlert(const QUrl& origin, const QString& msg) override {
        if (view_->silent()) {
            view_->keepScriptMessage(QStringLiteral("alert: ") + msg);
            return;
        }
        QWebEnginePage::javaScriptAlert(origin, msg);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& msg) override {
        if (view_->silent()) {
            view_->keepScriptMessage(QStringLiteral("confirm: ") + msg);
            return false;
        }
        return QWebEnginePage::javaScriptConfirm(origin, msg);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& msg, const QString& defaultValue,
                          QString* result) override {
        if (view_->silent()) {
            view_->keepScriptMessage(QStringLiteral("prompt: ") + msg);
            return false;
        }
        return QWebEnginePage::javaScriptPrompt(origin, msg, defaultValue, result);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override {
        if (level != ErrorMessageLevel) {
            return;
        }
        if (view_->silent()) {
            view_->keepScriptMessage(
                QStringLiteral("error: %1 (%2:%3)").arg(message, sourceID).arg(lineNumber));
            return;
        }
        QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceID);
    }

private:
    BrowserView* view_;
};

BrowserView::BrowserView(QWidget* parent) : QWebEngineView(parent) {
    installFreshPage();
}

void BrowserView::installFreshPage() {
    Page* old = page_;
    page_ = new Page(this);
    if (old != nullptr) {
        page_->setBackgroundColor(old->backgroundColor());
    }
    connect(page_, &QWebEnginePage::loadingChanged, this, &BrowserView::onLoadingChanged);
    // A renderer that crashed or was ended serves no later page.
    connect(page_, &QWebEnginePage::renderProcessTerminated, this,
            [this] { rendererGone_ = true; });
    setPage(page_);
    delete old;
    rendererGone_ = false;
}

void BrowserView::onLoadingChanged(const QWebEngineLoadingInfo& info) {
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        awaitingStart_ = false;
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        // A server's "Not Found" or "Internal Error" page loads fine, but it
        // is not the page that was asked for.
        onLoadFinished(!isHttpErrorStatus(info));
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        onLoadFinished(false);
        break;
    }
}

BrowserView::~BrowserView() {
    // The page goes before the view's own teardown, while the profile lives.
    setPage(nullptr);
    delete page_;
}

void BrowserView::setSilent(bool silent) {
    silent_ = silent;
}

void BrowserView::navigate(const QString& address) {
    if (rendererGone_) {
        installFreshPage();
    }
    ++navigation_;
    // A previous load that is still running may report its end after this
    // point; only an end that follows the new load's start counts.
    awaitingStart_ = true;
    load(QUrl(address));
}

void BrowserView::onLoadFinished(bool ok) {
    if (awaitingStart_ || navigationDone()) {
        return;
    }
    doneNavigation_ = navigation_;
    lastLoadOk_ = ok;
    emit documentDone(ok);
}

bool BrowserView::waitForNavigation(int timeoutMs) {
    return waitUntil([this] { return navigationDone(); }, timeoutMs);
}

QString BrowserView::firstImageSource(int timeoutMs) {
    struct Answer {
        bool arrived = false;
        QString source;
    };
    auto answer = std::make_shared<Answer>();
    page_->runJavaScript(QString::fromLatin1(kFirstImageScript), [answer](const QVariant& value) {
        answer->arrived = true;
        answer->source = value.toString();
    });
    if (!waitUntil([answer] { return answer->arrived; }, timeoutMs)) {
        endRenderer();
    }
    return answer->source.trimmed();
}

bool BrowserView::rendererAnswers(int timeoutMs) {
    // The answer ends the wait at once: a capture asks before every grab.
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    auto answered = std::make_shared<bool>(false);
    page_->runJavaScript(QStringLiteral("0"),
                         [answered, waiting = QPointer<QEventLoop>(&loop)](const QVariant&) {
                             *answered = true;
                             if (waiting) {
                                 waiting->quit();
                             }
                         });
    if (!*answered) {
        loop.exec();
    }
    return *answered;
}

void BrowserView::endRenderer() {
    const qint64 pid = page_->renderProcessPid();
    // A renderer inside this very program (a single-process engine) cannot
    // be ended: the page alone is replaced.
    if (pid > 0 && pid != QCoreApplication::applicationPid() &&
        ::kill(static_cast<pid_t>(pid), SIGKILL) == 0) {
        waitUntil([this] { return rendererGone_; }, scaledMs(kRendererEndLimitMs));
    }
    installFreshPage();
}

void BrowserView::releasePage() {
    installFreshPage();
}

QImage BrowserView::renderAt(QSize size) {
    QImage shot = grab().toImage();
    if (shot.isNull() || size.isEmpty()) {
        return {};
    }
    shot.setDevicePixelRatio(1.0);
    if (shot.size() == size) {
        return shot.convertToFormat(QImage::Format_RGB32);
    }
    // A view smaller than asked for (a window manager's doing) is drawn on
    // white at its own size; a larger one is cut.
    QImage exact(size, QImage::Format_RGB32);
    exact.fill(Qt::white);
    QPainter painter(&exact);
    painter.drawImage(0, 0, shot);
    painter.end();
    return exact;
}

void BrowserView::keepScriptMessage(const QString& message) {
    if (kept_.size() >= kMaxKeptMessages) {
        kept_.removeFirst();
    }
    kept_.append(message);
}

} // namespace platform

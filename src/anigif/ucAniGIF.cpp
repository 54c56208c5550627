// The player half of the animated-GIF control: loading, the frame clock,
// Action and painting. The members that only serve a form host (colours,
// cursor, mouse events, colour tables, persistence) are in ucAniGIFCompat.cpp.

#include "ucAniGIF.h"

#include <QApplication>
#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QPalette>
#include <cstdlib>
#include <limits>

namespace {

// GIF bytes beyond this are not read: the parser's offsets are 32-bit.
constexpr qint64 kMaxGifBytes = qint64(1) << 30;

QAtomicInt nextIdentity{0};

} // namespace

// ---------------------------------------------------------------------------
// Creation and end

ucAniGIF::ucAniGIF(QWidget* parent) : QWidget(parent) {
    identity_ = nextIdentity.fetchAndAddRelaxed(1) + 1;
    setMouseTracking(true);
    ApplyBackColor();
}

ucAniGIF::~ucAniGIF() {
    ClearControl();
    if (remote_) {
        disconnect(remote_, nullptr, this, nullptr);
        remote_->abort();
    }
}

// ---------------------------------------------------------------------------
// Clear and load

void ucAniGIF::ClearControl() {
    CancelTimer();
    state_ = Stopped;
    gif_.Clear();
    currentFrame_ = 0;
    comp_.Clear();
}

int ucAniGIF::LoadGif() {
    ++loadGeneration_;
    ClearControl();
    nextDeferredFrame_ = 2;
    gif_.ImageWidth = 0;
    gif_.ImageHeight = 0;
    gif_.Loops = 0;
    comp_.ZoomX = 0.0f;
    comp_.ZoomY = 0.0f;

    int n = 0;
    bool ok = !gif_.GifBytes.isEmpty();
    if (ok) {
        n = gif_.ParseGif();
        ok = n > 0;
    }
    if (ok) {
        const bool onlyFirst = designTime_ || n == 1;
        ok = gif_.DecodeFrames(1, onlyFirst) && comp_.ChooseRenderMode(designTime_);
    }
    if (!ok) {
        gif_.GifBytes.clear();
        ClearControl();
        repaint();
        return 0;
    }

    // Frame 1 takes the stored mirror style before anything shows it (the
    // completion steps flip the others).
    comp_.ApplyMirror(0, mirrored_, 1, 1, false);
    ShowFrame(1, false);

    if (!designTime_) {
        FitControl();
        bool alive = true;
        if (delayAnimation_ == 0) {
            alive = RunDeferredDecode();
        } else if (n == 1) {
            alive = CompletionSteps();
        } else if (!StartClock(true)) {
            alive = CompletionSteps();
        }
        if (!alive) {
            return n; // a FrameChanged handler deleted the control
        }
        if (gif_.FrameCount() == 1 && currentFrame_ > 0) {
            RaiseFrameChanged(1, false);
            return 1; // nothing of the control is read after the event
        }
    } else {
        FitControl(4);
        CompletionSteps();
    }
    return currentFrame_ > 0 ? gif_.FrameCount() : 0;
}

bool ucAniGIF::CompletionSteps() {
    gif_.ReleaseDecodingBuffers();
    if (designTime_) {
        return true; // frame 1, the only one decoded, was flipped when loaded
    }
    // Frame 1 was flipped when loaded; frames 2..N now.
    comp_.ApplyMirror(0, mirrored_, 2, gif_.FrameCount(), false);
    gif_.GifBytes = QByteArray();
    if (delayAnimation_ == 2 || delayAnimation_ == 3) {
        state_ = Stopped;
        return RaiseFrameChanged(1, false);
    }
    loopsRemaining_ = gif_.Loops;
    StartClock();
    return true;
}

bool ucAniGIF::LoadAnimatedGIF_File(const QString& FileName) {
    // Only this file's bytes are loaded: a file that cannot be read fails the
    // load and clears the control, whatever it held before.
    gif_.GifBytes.clear();
    const QFileInfo info(FileName);
    if (info.exists() && info.size() > 0 && info.size() <= kMaxGifBytes) {
        QFile file(FileName);
        if (file.open(QIODevice::ReadOnly)) {
            const qint64 size = info.size();
            QByteArray bytes = file.read(size);
            if (bytes.size() < size) {
                bytes.clear();
            }
            gif_.GifBytes = bytes;
            file.close();
        }
    }
    return LoadGif() > 0;
}

bool ucAniGIF::LoadAnimatedGIF_Array(const QByteArray& Bytes) {
    gif_.GifBytes = Bytes.size() <= kMaxGifBytes ? Bytes : QByteArray();
    return LoadGif() > 0;
}

void ucAniGIF::LoadAnimatedGIF_Remote(const QString& RemotePath) {
    if (RemotePath.isEmpty()) {
        return;
    }
    const QUrl url(RemotePath);
    if (!url.isValid() || url.scheme().isEmpty() || remote_) {
        // The download cannot be started (a bad address, or one of the same
        // name still running).
        emit RemoteLoadFailure();
        return;
    }
    if (network_ == nullptr) {
        network_ = new QNetworkAccessManager(this);
    }
    QNetworkRequest request(url);
    // Use a cached copy when the network fails (only with a cache set up).
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::PreferNetwork);
    QNetworkReply* reply = network_->get(request);
    if (reply == nullptr) {
        emit RemoteLoadFailure();
        return;
    }
    reply->setObjectName(QStringLiteral("remoteGIF"));
    remote_ = reply;
    connect(reply, &QNetworkReply::finished, this, &ucAniGIF::RemoteFinished);
}

void ucAniGIF::RemoteFinished() {
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (reply == nullptr) {
        return;
    }
    reply->deleteLater();
    if (reply == remote_) {
        remote_.clear();
    }
    if (reply->error() != QNetworkReply::NoError) {
        emit RemoteLoadFailure();
        return;
    }
    const QByteArray bytes = reply->readAll();
    if (bytes.size() <= 14 || bytes.size() > kMaxGifBytes) {
        emit RemoteLoadFailure();
        return;
    }
    if (!anigif::IsGifSignature(bytes.left(10))) {
        emit RemoteLoadFailure();
        return;
    }
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.constData());
    const float width = static_cast<float>(b[6] | (b[7] << 8));
    const float height = static_cast<float>(b[8] | (b[9] << 8));
    bool cancel = false;
    const QPointer<ucAniGIF> self(this);
    emit RemoteLoadComplete(width, height, cancel);
    if (self.isNull() || cancel) {
        return;
    }
    gif_.GifBytes = bytes;
    LoadGif();
}

// ---------------------------------------------------------------------------
// The clock

int ucAniGIF::FrameTime(int k) const {
    if (steppedDelay_ > 0) {
        return steppedDelay_;
    }
    const int delay = (k >= 1 && k <= gif_.FrameCount()) ? gif_.Frame(k).FrameDelay : 0;
    return std::max(delay, minFrameDelay_);
}

void ucAniGIF::ScheduleTick(int identity, int ms) {
    if (timer_ == nullptr) {
        return;
    }
    timerIdentity_ = identity;
    timer_->start(std::max(ms, 0));
}

void ucAniGIF::CancelTimer() {
    if (timer_ != nullptr) {
        timer_->stop();
    }
    timerIdentity_ = 0;
}

bool ucAniGIF::StartClock(bool deferredDecode) {
    if (designTime_) {
        return false;
    }
    if (state_ == Playing) {
        return true;
    }
    state_ = Stopped;
    if (!(currentFrame_ > 0 && gif_.FrameCount() > 1)) {
        return false;
    }
    if (!timerRoutineReady_) {
        if (!timerUnavailable_) {
            timer_ = new QTimer(this);
            timer_->setSingleShot(true);
            timer_->setTimerType(Qt::PreciseTimer);
            connect(timer_, &QTimer::timeout, this, [this] { TimerRoutine(timerIdentity_); });
            timerRoutineReady_ = true;
        }
        if (!timerRoutineReady_) {
            gif_.CutToFirstFrame();
            return false;
        }
    }
    if (deferredDecode) {
        ScheduleTick(-identity_, 20);
        return true;
    }
    ScheduleTick(identity_, FrameTime(currentFrame_));
    state_ = Playing;
    return true;
}

void ucAniGIF::StopClock() {
    CancelTimer();
    state_ = Stopped;
}

void ucAniGIF::PauseAnimation() {
    if (state_ == Playing || state_ == Paused) {
        CancelTimer();
        state_ = Paused;
    }
}

void ucAniGIF::TimerRoutine(int identity) {
    if (identity == identity_) {
        AdvanceTick();
    } else if (identity == -identity_ && identity != 0) {
        RunDeferredDecode(false);
    }
}

bool ucAniGIF::RunDeferredDecode(bool whole) {
    constexpr qint64 kSliceMs = 20;
    CancelTimer();
    const qint64 budget = whole ? std::numeric_limits<qint64>::max() : kSliceMs;
    nextDeferredFrame_ = gif_.DecodeFramesFor(nextDeferredFrame_, budget);
    // Decoding set the strip's colour table back to the identity palette.
    comp_.LoadedColorTable = -1;
    if (nextDeferredFrame_ > 0) {
        ScheduleTick(-identity_, 0);
        return true;
    }
    nextDeferredFrame_ = 2;
    return CompletionSteps();
}

void ucAniGIF::ShowFrame(int k, bool paint) {
    currentFrame_ = k;
    comp_.ComposeFrame(k);
    if (paint) {
        repaint();
    }
}

void ucAniGIF::AdvanceTick() {
    CancelTimer();
    const quint64 generation = loadGeneration_;
    const int n = gif_.FrameCount();
    if (currentFrame_ < 1 || n < 1) {
        state_ = Stopped;
        return;
    }
    const int previous = currentFrame_;
    int next = currentFrame_ + 1;
    bool wrapped = false;
    if (next > n) {
        next = 1;
        wrapped = true;
    }
    bool goOn = true;
    if (n == 1) {
        loopsRemaining_ = 0;
        state_ = Stopped;
        goOn = false;
    } else if (wrapped && gif_.Loops != 0) {
        --loopsRemaining_;
        if (loopsRemaining_ <= 0) {
            state_ = Stopped;
            loopsRemaining_ = gif_.Loops;
            next = n;
            goOn = false;
        }
    }
    ShowFrame(next, true);
    if (!RaiseFrameChanged(previous, true)) {
        return; // a handler deleted the control
    }
    if (generation != loadGeneration_) {
        return; // a handler loaded another GIF
    }
    if (goOn) {
        // A handler that paused, stopped or stepped the animation keeps
        // its command.
        if (state_ == Playing && timerIdentity_ == 0) {
            ScheduleTick(identity_, FrameTime(currentFrame_));
        }
    } else {
        emit LoopsEnded();
    }
}

bool ucAniGIF::RaiseFrameChanged(int frameIndex, bool viaTimer) {
    const QPointer<ucAniGIF> self(this);
    bool via = viaTimer;
    emit FrameChanged(frameIndex, via);
    return !self.isNull();
}

// ---------------------------------------------------------------------------
// Action

void ucAniGIF::setAction(int command) {
    if (designTime_ || currentFrame_ == 0 || command < 0 || command > 4) {
        return;
    }
    // A command while the deferred decode waits runs it first, so no
    // command can leave frames 2..N undecoded.
    if (DeferredDecodePending() && !RunDeferredDecode()) {
        return;
    }
    if (currentFrame_ == 0) {
        return;
    }
    const int n = gif_.FrameCount();
    switch (command) {
    case 0:
    case 4:
        CancelTimer();
        loopsRemaining_ = gif_.Loops;
        state_ = Stopped;
        ShowFrame(1, true);
        if (!RaiseFrameChanged(1, false)) {
            return;
        }
        if (command == 4) {
            StartClock();
        }
        break;
    case 1:
        if (state_ == Playing) {
            break;
        }
        if (state_ == Stopped) {
            ShowFrame(1, false);
        }
        StartClock();
        break;
    case 2:
        PauseAnimation();
        break;
    case 3:
        CancelTimer();
        state_ = Paused;
        ShowFrame(currentFrame_ >= n ? 1 : currentFrame_ + 1, true);
        RaiseFrameChanged(currentFrame_, false);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Properties

void ucAniGIF::setAutoSize(bool on) {
    if (on == AutoSize()) {
        return;
    }
    stretchCode_ ^= 8;
    if (on) {
        FitControl();
    }
    ReportChanged("AutoSize");
}

void ucAniGIF::setStretch(int mode) {
    if (mode < 0 || mode > 4 || mode == Stretch()) {
        return;
    }
    if (DeferredDecodePending()) {
        // Nothing plays yet: store and fit; the pending pass starts the show.
        stretchCode_ = (stretchCode_ & 8) | mode;
        FitControl();
        ReportChanged("Stretch");
        return;
    }
    const int remembered = state_;
    PauseAnimation();
    stretchCode_ = (stretchCode_ & 8) | mode;
    FitControl();
    const QPointer<ucAniGIF> self(this);
    setAction(remembered);
    if (self.isNull()) {
        return; // a FrameChanged handler deleted the control
    }
    if (remembered != Playing) {
        repaint();
    }
    ReportChanged("Stretch");
}

void ucAniGIF::setMinFrameDelay(int ms) {
    const int value = std::clamp(ms, 10, 32700);
    if (value == minFrameDelay_) {
        return;
    }
    minFrameDelay_ = value;
    ReportChanged("Delay");
}

void ucAniGIF::setLoops(int loops) {
    if (loops == gif_.Loops) {
        return;
    }
    gif_.Loops = loops == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max()
                                                          : std::abs(loops);
    loopsRemaining_ = gif_.Loops;
    ReportChanged("Loops");
}

int ucAniGIF::LoopsRemaining() const {
    if (currentFrame_ == 0) {
        return 0;
    }
    if (gif_.Loops == 0) {
        return 2147483647;
    }
    return loopsRemaining_;
}

void ucAniGIF::setMirrored(int style) {
    if (style < 0 || style > 3) {
        return;
    }
    if (currentFrame_ == 0) {
        mirrored_ = style;
        ReportChanged("Mirrored");
        return;
    }
    if (style == mirrored_) {
        return;
    }
    const bool wasPlaying = state_ == Playing;
    PauseAnimation();
    if (designTime_ || DeferredDecodePending()) {
        // Only frame 1 is decoded (the pending pass flips the others).
        comp_.ApplyMirror(mirrored_, style, 1, 1, !designTime_);
    } else {
        comp_.ApplyMirror(mirrored_, style, 1, gif_.FrameCount(), true);
    }
    mirrored_ = style;
    if (wasPlaying) {
        StartClock();
    } else {
        repaint();
    }
    ReportChanged("Mirrored");
}

void ucAniGIF::setDelayAnimation(int mode) {
    if (mode < 0 || mode > 3) {
        return;
    }
    if (mode == delayAnimation_) {
        return;
    }
    delayAnimation_ = mode;
    ReportChanged("DelayAnimation");
}

void ucAniGIF::setOffsetX(int x) {
    offsetX_ = x;
    if (designTime_ || state_ != Playing) {
        repaint();
    }
    ReportChanged("OffsetX");
}

void ucAniGIF::setOffsetY(int y) {
    offsetY_ = y;
    if (designTime_ || state_ != Playing) {
        repaint();
    }
    ReportChanged("OffsetY");
}

void ucAniGIF::setSteppedDelay(int ms) {
    steppedDelay_ = ms <= 0 ? 0 : ms;
    ReportChanged("SteppedDelay");
}

// ---------------------------------------------------------------------------
// Painting, fitting, showing

void ucAniGIF::PaintTo(QPainter& painter) const {
    anigif::PaintContext ctx;
    ctx.designTime = designTime_;
    ctx.backStyle = backStyle_;
    const QPalette system = QApplication::palette(this);
    ctx.backColor = anigif::ResolveColor(backColor_, system).value_or(QColor(Qt::black));
    ctx.offsetX = offsetX_;
    ctx.offsetY = offsetY_;
    ctx.innerWidth = width();
    ctx.innerHeight = height();
    ctx.outlineColor = anigif::ResolveColor(kSystemWindowFrame, system).value_or(QColor(Qt::black));
    comp_.PaintFrame(painter, ctx);
}

void ucAniGIF::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintTo(painter);
}

void ucAniGIF::FitControl(int forcedStretch) {
    if (currentFrame_ == 0 || fitting_) {
        return;
    }
    const int mode = forcedStretch >= 0 ? forcedStretch : Stretch();
    const QSize wanted = comp_.ComputeZoom(width(), height(), mode, AutoSize());
    if (wanted == size()) {
        repaint();
        return;
    }
    fitting_ = true;
    resize(wanted.expandedTo(QSize(0, 0)));
    fitting_ = false;
}

void ucAniGIF::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitControl();
}

void ucAniGIF::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if ((isWindow() || testAttribute(Qt::WA_NativeWindow)) && !comp_.OwnWindowOpaque) {
        comp_.OwnWindowOpaque = true;
        setAutoFillBackground(true);
    }
    if (comp_.ZoomX == 0.0f && currentFrame_ > 0) {
        comp_.ComputeZoom(width(), height(), Stretch(), AutoSize());
    }
    // Showing resumes a paused animation through setAction, so a deferred
    // decode still waiting runs before the clock starts.
    if (state_ == Paused) {
        setAction(Playing);
    }
}

void ucAniGIF::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Hiding pauses through setAction: a deferred decode still waiting runs
    // first, so the animation is paused, not left to start while hidden.
    setAction(Paused);
}

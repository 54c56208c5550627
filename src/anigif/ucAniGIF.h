#pragma once

// The animated-GIF control: a QWidget that loads a GIF (file, remote address,
// byte array, or a picture at design time), decodes every frame once into
// the strip, and plays it with its own one-shot clock. The slide show drives
// the one instance ucAniGIF1 through DelayAnimation, its geometry, its
// visibility and LoadAnimatedGIF_File.
//
// A frame is composed when it becomes current (a tick, an Action, a load),
// never in a paint: Qt paints when it likes, and a paint only shows what is
// composed. Hiding the control pauses it and showing it resumes a paused
// animation, both through setAction (a deferred decode still waiting runs
// first).
//
// Property getters carry the property's name (Stretch(), Loops() ...), the
// setters are setX(); events are Qt signals with the event's name and
// parameters (by-reference parameters are references: connect directly).
//
// The player (loading, the frame clock, Action, painting) is ucAniGIF.cpp.
// The members a form host uses and the player does not need are declared in
// the sections marked "compatibility surface" and implemented in
// ucAniGIFCompat.cpp.

#include "anigif/FrameComposition.h"
#include "anigif/GifDecoding.h"
#include "anigif/ucAniGIFCompat.h"

#include <QByteArray>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class QNetworkAccessManager;
class QNetworkReply;

class ucAniGIF : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int CurrentFrame READ CurrentFrame)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(int FrameCount READ FrameCount WRITE setFrameCount)
    Q_PROPERTY(int ActualWidth READ ActualWidth)
    Q_PROPERTY(int ActualHeight READ ActualHeight)
    Q_PROPERTY(int Stretch READ Stretch WRITE setStretch)
    Q_PROPERTY(int MinFrameDelay READ MinFrameDelay WRITE setMinFrameDelay)
    Q_PROPERTY(int Loops READ Loops WRITE setLoops)
    Q_PROPERTY(int LoopsRemaining READ LoopsRemaining)
    Q_PROPERTY(int Mirrored READ Mirrored WRITE setMirrored)
    Q_PROPERTY(int Action READ Action WRITE setAction)
    Q_PROPERTY(int DelayAnimation READ DelayAnimation WRITE setDelayAnimation)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(int OffsetX READ OffsetX WRITE setOffsetX)
    Q_PROPERTY(int OffsetY READ OffsetY WRITE setOffsetY)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(int SteppedDelay READ SteppedDelay WRITE setSteppedDelay)

public:
    // Colours are 0x00BBGGRR, or a system colour with the high bit set.
    static constexpr int kSystemButtonFace = static_cast<int>(0x8000000Fu);
    static constexpr int kSystemWindowFrame = static_cast<int>(0x80000006u);
    // The animation states read through Action.
    enum AnimationState { Stopped = 0, Playing = 1, Paused = 2 };

    explicit ucAniGIF(QWidget* parent = nullptr);
    ~ucAniGIF() override;

    // Design time (the host's ambient user mode is "design"): no animation,
    // only frame 1 is decoded, the GIF bytes stay for saving.
    bool DesignTime() const { return designTime_; }
    void setDesignTime(bool designTime) { designTime_ = designTime; }

    // ---- Properties of the player
    int CurrentFrame() const { return currentFrame_; }
    bool AutoSize() const { return (stretchCode_ & 8) != 0; }
    void setAutoSize(bool on);
    int FrameCount() const { return currentFrame_ > 0 ? gif_.FrameCount() : 0; }
    void setFrameCount(int) {}
    int ActualWidth() const { return gif_.ImageWidth; }
    int ActualHeight() const { return gif_.ImageHeight; }
    int Stretch() const { return stretchCode_ & 7; }
    void setStretch(int mode);
    int MinFrameDelay() const { return minFrameDelay_; }
    void setMinFrameDelay(int ms);
    int Loops() const { return gif_.Loops; }
    void setLoops(int loops);
    int LoopsRemaining() const;
    int Mirrored() const { return mirrored_; }
    void setMirrored(int style);
    int Action() const { return state_; }
    void setAction(int command);
    int DelayAnimation() const { return delayAnimation_; }
    void setDelayAnimation(int mode);
    int OffsetX() const { return offsetX_; }
    void setOffsetX(int x);
    int OffsetY() const { return offsetY_; }
    void setOffsetY(int y);
    int SteppedDelay() const { return steppedDelay_; }
    void setSteppedDelay(int ms);
    bool Visible() const { return !isHidden(); }
    // True while a GIF is loaded (the last load succeeded).
    bool isLoaded() const { return currentFrame_ > 0; }

    // ---- Loading
    // Each load reads only its own bytes: a failed load (a missing, empty or
    // unreadable file, no GIF, no usable frame, a surface beyond the caps)
    // returns false and leaves the control empty (CurrentFrame and
    // FrameCount 0, isLoaded() false), showing nothing of the GIF it held
    // before.
    bool LoadAnimatedGIF_File(const QString& FileName);
    void LoadAnimatedGIF_Remote(const QString& RemotePath);
    bool LoadAnimatedGIF_Array(const QByteArray& Bytes);

    // Paints what the control shows now into a painter (the paint event
    // does exactly this on the control's surface). It only shows the frame
    // composed when the current frame last changed; painting changes nothing.
    void PaintTo(QPainter& painter) const;

    // ---- Inspection (tests, benchmark, the render tool)
    const anigif::GifDecoding& Gif() const { return gif_; }
    const anigif::FrameComposition& Composition() const { return comp_; }
    int TimerIdentity() const { return timerIdentity_; }
    int Identity() const { return identity_; }
    bool DeferredDecodePending() const { return timerIdentity_ == -identity_; }
    // The interval of the scheduled tick in ms, -1 when none is scheduled.
    int TimerInterval() const {
        return timer_ != nullptr && timer_->isActive() ? timer_->interval() : -1;
    }
    // Makes the setting-up of the timer routine fail (the fallback to a
    // still first frame), as when the platform has no timer to give.
    void setTimerUnavailable(bool unavailable) { timerUnavailable_ = unavailable; }
    // The strip limit of the decoder (the load fails beyond it).
    void setMaxStripBytes(qint64 bytes) { gif_.maxStripBytes = bytes; }
    // The pixel cap of the composite (the load fails beyond it), which also
    // bounds the part of a frame a direct-mode paint converts.
    void setMaxCompositePixels(qint64 pixels) { comp_.maxCompositePixels = pixels; }

    // ---- Compatibility surface: properties
    anigif::GifPicture AnimatedGIF() const;
    void setAnimatedGIF(const anigif::GifPicture& picture);
    bool Enabled() const { return isEnabled(); }
    void setEnabled(bool on);
    QPixmap MouseIcon() const { return mouseIcon_; }
    void setMouseIcon(const QPixmap& icon);
    int MousePointer() const { return mousePointer_; }
    void setMousePointer(int pointer);
    int BackColor() const { return backColor_; }
    void setBackColor(int color);
    int BackStyle() const { return backStyle_; }
    void setBackStyle(int style);

    // ---- Compatibility surface: colour tables
    bool GetPalette(int FrameIndex, QList<uint32_t>& paletteEntries);
    bool SetPalette(int FrameIndex, const QList<uint32_t>* paletteEntries);
    bool CacheColorTables();
    bool RestoreColorTables(bool bReleaseCache);
    void Refresh();

    // ---- Compatibility surface: persistence and help
    void ReadProperties(const anigif::PropertyBag& bag);
    void WriteProperties(anigif::PropertyBag& bag) const;
    // The help string a property browser shows for a member ("" if none).
    static QString HelpString(const QString& member);

signals:
    void Click();
    void MouseDown(short Button, short Shift, float x, float y);
    void MouseUp(short Button, short Shift, float x, float y);
    void MouseMove(short Button, short Shift, float x, float y);
    void LoopsEnded();
    void FrameChanged(int FrameIndex, bool& viaTimer);
    void RemoteLoadComplete(float gifWidth, float gifHeight, bool& Cancel);
    void RemoteLoadFailure();
    // The name a property reports as changed (marks the form modified).
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Compatibility surface: the mouse events as signals.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // The steps that raise an event return false when a handler deleted the
    // control (nothing of it may be touched then).
    int LoadGif();
    bool CompletionSteps();
    void ClearControl();
    void FitControl(int forcedStretch = -1);
    bool StartClock(bool deferredDecode = false);
    void StopClock();
    void PauseAnimation();
    void ScheduleTick(int identity, int ms);
    void CancelTimer();
    void TimerRoutine(int identity);
    void AdvanceTick();
    // The deferred decode: frames 2..N, then the completion steps. In slices
    // of a few milliseconds from the timer, so that a big loop does not hold
    // the program's events; whole when asked before a command.
    bool RunDeferredDecode(bool whole = true);
    // Makes frame k current and composes it (the one place a frame is added
    // to the composite); with paint, repaints at once.
    void ShowFrame(int k, bool paint);
    int FrameTime(int k) const;
    bool RaiseFrameChanged(int frameIndex, bool viaTimer);
    void RemoteFinished();
    // Compatibility surface: the background colour and the cursor as the
    // properties set them, and the change report a form designer reads.
    void ApplyBackColor();
    void ApplyCursor();
    void ReportChanged(const char* name);

    anigif::GifDecoding gif_;
    anigif::FrameComposition comp_{gif_};

    bool designTime_ = false;
    int currentFrame_ = 0;
    int state_ = Stopped;
    int loopsRemaining_ = 0; // wide enough for every loop count a file holds
    int minFrameDelay_ = 50;
    int steppedDelay_ = 0;
    int delayAnimation_ = 1;
    int stretchCode_ = 1;
    int mirrored_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
    int backStyle_ = 0;
    int backColor_ = kSystemButtonFace;
    QPixmap mouseIcon_;
    int mousePointer_ = 0;
    bool fitting_ = false;
    quint64 loadGeneration_ = 0;
    int nextDeferredFrame_ = 2; // the first frame the deferred decode has left

    int identity_ = 0;
    int timerIdentity_ = 0;
    bool timerRoutineReady_ = false;
    bool timerUnavailable_ = false;
    QTimer* timer_ = nullptr;

    QNetworkAccessManager* network_ = nullptr;
    QPointer<QNetworkReply> remote_;
};

// The player: properties with their ranges and side effects, Action, the
// load methods (file, array, remote through Qt Network), the clock with its
// two tick identities and the 20 ms deferral, loops and LoopsEnded,
// FrameChanged.

#include "AnigifControlTest.h"

using namespace anigiftest;

void TestAnigifControl::creationDefaults() {
    ucAniGIF c;
    QCOMPARE(c.MinFrameDelay(), 50);
    QCOMPARE(c.Stretch(), 1);
    QVERIFY(!c.AutoSize());
    QCOMPARE(c.DelayAnimation(), 1);
    QCOMPARE(c.Mirrored(), 0);
    QCOMPARE(c.BackStyle(), 0);
    QCOMPARE(c.BackColor(), ucAniGIF::kSystemButtonFace);
    QCOMPARE(c.SteppedDelay(), 0);
    QCOMPARE(c.CurrentFrame(), 0);
    QCOMPARE(c.FrameCount(), 0);
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.LoopsRemaining(), 0);
    QVERIFY(c.Enabled());
    QVERIFY(c.AnimatedGIF().isNull());
}

void TestAnigifControl::loopsTwiceThenStopsOnLastFrame() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    c.setMinFrameDelay(10);
    auto* events = recordFrames(c);
    QSignalSpy ended(&c, &ucAniGIF::LoopsEnded);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3, 2)));
    QCOMPARE(c.Loops(), 2);
    QCOMPARE(c.Action(), 1);
    QCOMPARE(c.LoopsRemaining(), 2);
    QVERIFY(ended.wait(5000));
    QTest::qWait(100);
    QCOMPARE(ended.count(), 1);
    QList<int> previous;
    QList<int> shown{1};
    for (const FrameEvent& e : *events) {
        QVERIFY(e.viaTimer);
        previous.append(e.index);
        shown.append(e.current);
    }
    // FrameChanged carries the frame that was current before each tick.
    QCOMPARE(previous, (QList<int>{1, 2, 3, 1, 2, 3}));
    QCOMPARE(shown, (QList<int>{1, 2, 3, 1, 2, 3, 3}));
    QCOMPARE(c.CurrentFrame(), 3);
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.LoopsRemaining(), 2);
    QCOMPARE(c.TimerIdentity(), 0);
}

void TestAnigifControl::frameDelayAndMinFrameDelay() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(2)));
    QCOMPARE(c.TimerInterval(), 50); // delay 0 lasts MinFrameDelay
    QSignalSpy changed(&c, &ucAniGIF::PropertyChanged);
    c.setMinFrameDelay(5);
    QCOMPARE(c.MinFrameDelay(), 10);
    c.setMinFrameDelay(40000);
    QCOMPARE(c.MinFrameDelay(), 32700);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("Delay"));
    c.setMinFrameDelay(50000); // also 32700: nothing happens
    QCOMPARE(changed.count(), 2);

    ucAniGIF d;
    d.setDelayAnimation(0);
    QVERIFY(d.LoadAnimatedGIF_Array(animation(2, -1, 12)));
    QCOMPARE(d.Gif().Frame(1).FrameDelay, 120);
    QCOMPARE(d.TimerInterval(), 120);
}

void TestAnigifControl::steppedDelay() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    c.setSteppedDelay(1);
    QCOMPARE(c.SteppedDelay(), 1);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(2, -1, 50)));
    QCOMPARE(c.TimerInterval(), 1); // not bound by MinFrameDelay
    c.setSteppedDelay(-5);
    QCOMPARE(c.SteppedDelay(), 0);
}

void TestAnigifControl::loopsRemaining() {
    ucAniGIF c;
    QCOMPARE(c.LoopsRemaining(), 0);
    c.setDelayAnimation(0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(2)));
    QCOMPARE(c.Loops(), 0);
    QCOMPARE(c.LoopsRemaining(), 2147483647);
}

void TestAnigifControl::loopsProperty() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(2)));
    QSignalSpy changed(&c, &ucAniGIF::PropertyChanged);
    c.setLoops(-3);
    QCOMPARE(c.Loops(), 3);
    QCOMPARE(c.LoopsRemaining(), 3);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("Loops"));
    c.setLoops(3);
    QCOMPARE(changed.count(), 1);
    c.setLoops(50000); // wider than 16 bits: stored and counted
    QCOMPARE(c.Loops(), 50000);
    QCOMPARE(c.LoopsRemaining(), 50000);
}

void TestAnigifControl::loopCountAbove32767StillAnimates() {
    for (int loops : {32768, 40000, 65535}) {
        ucAniGIF c;
        c.setDelayAnimation(0);
        QVERIFY(c.LoadAnimatedGIF_Array(animation(2, loops)));
        QCOMPARE(c.Loops(), loops);
        QCOMPARE(c.Action(), 1); // the animation started
        QCOMPARE(c.LoopsRemaining(), loops);
        c.setAction(0);
        QCOMPARE(c.Action(), 0);
        QCOMPARE(c.LoopsRemaining(), loops);
        c.setAction(4);
        QCOMPARE(c.Action(), 1);
    }
    // Through the deferred pass as the slide show loads it.
    ucAniGIF d;
    QVERIFY(d.LoadAnimatedGIF_Array(animation(2, 40000)));
    QTRY_COMPARE(d.Action(), 1);
    QCOMPARE(d.LoopsRemaining(), 40000);
}

void TestAnigifControl::action3OnLastFrame() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    auto* events = recordFrames(c);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    c.setAction(3);
    c.setAction(3);
    QCOMPARE(c.CurrentFrame(), 3);
    c.setAction(3);
    QCOMPARE(c.CurrentFrame(), 1);
    QCOMPARE(c.Action(), 2);
    QCOMPARE(c.TimerIdentity(), 0);
    QCOMPARE(events->size(), 3);
    QCOMPARE(events->last().index, 1);
    QVERIFY(!events->last().viaTimer);
}

void TestAnigifControl::action1AfterLoopsEndedAndWhilePaused() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    c.setMinFrameDelay(10);
    QSignalSpy ended(&c, &ucAniGIF::LoopsEnded);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3, 1)));
    QVERIFY(ended.wait(5000));
    QCOMPARE(c.CurrentFrame(), 3);
    c.setAction(1);
    QCOMPARE(c.CurrentFrame(), 1);
    QCOMPARE(c.Action(), 1);
    // Paused on frame 2, play continues from frame 2.
    c.setAction(0);
    c.setAction(3);
    QCOMPARE(c.CurrentFrame(), 2);
    QCOMPARE(c.Action(), 2);
    c.setMinFrameDelay(1000);
    c.setAction(1);
    QCOMPARE(c.Action(), 1);
    QCOMPARE(c.CurrentFrame(), 2);
    c.setAction(1); // already playing: nothing
    QCOMPARE(c.CurrentFrame(), 2);
}

void TestAnigifControl::action0And4() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    auto* events = recordFrames(c);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3, 5)));
    c.setAction(3);
    c.setLoops(4);
    c.setAction(0);
    QCOMPARE(c.CurrentFrame(), 1);
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.LoopsRemaining(), 4);
    QCOMPARE(events->last().index, 1);
    QVERIFY(!events->last().viaTimer);
    c.setAction(2); // stopped: pause does nothing
    QCOMPARE(c.Action(), 0);
    c.setAction(3);
    c.setAction(4);
    QCOMPARE(c.CurrentFrame(), 1);
    QCOMPARE(c.Action(), 1);
    QCOMPARE(c.TimerIdentity(), c.Identity());
    c.setAction(2);
    QCOMPARE(c.Action(), 2);
    QCOMPARE(c.TimerIdentity(), 0);
    c.setAction(9); // ignored
    QCOMPARE(c.Action(), 2);
}

void TestAnigifControl::actionIgnoredWithoutGifOrAtDesignTime() {
    ucAniGIF c;
    c.setAction(1);
    QCOMPARE(c.Action(), 0);
    ucAniGIF d;
    d.setDesignTime(true);
    QVERIFY(d.LoadAnimatedGIF_Array(animation(3)));
    d.setAction(1);
    QCOMPARE(d.Action(), 0);
    d.setAction(3);
    QCOMPARE(d.CurrentFrame(), 1);
}

void TestAnigifControl::stretchSetToCurrentValueDoesNothing() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(2)));
    QSignalSpy changed(&c, &ucAniGIF::PropertyChanged);
    auto* frames = recordFrames(c);
    c.setStretch(1);
    c.setAutoSize(true);
    QCOMPARE(changed.count(), 1); // AutoSize
    c.setStretch(1);
    c.setStretch(7);
    c.setStretch(-1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(c.Stretch(), 1);
    QVERIFY(c.AutoSize());
    QCOMPARE(frames->size(), 0);
    QCOMPARE(c.Action(), 1); // still playing
}

void TestAnigifControl::stretchChangeRewindsStoppedAnimation() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    c.setAction(0);
    c.setAction(3);
    c.setAction(0); // stopped on frame 1
    c.setAction(3);
    QCOMPARE(c.Action(), 2); // paused on 2
    c.setStretch(0);
    QCOMPARE(c.Action(), 2);
    QCOMPARE(c.CurrentFrame(), 2);
    c.setAction(1);
    c.setStretch(2);
    QCOMPARE(c.Action(), 1); // a playing one resumes
    c.setAction(3);
    c.setAction(0);
    c.setAction(3);
    c.setAction(0);
    QCOMPARE(c.Action(), 0);
    c.setStretch(3); // a stopped one is rewound to frame 1
    QCOMPARE(c.CurrentFrame(), 1);
    QCOMPARE(c.Action(), 0);
}

void TestAnigifControl::delayAnimation2() {
    ucAniGIF c;
    c.setDelayAnimation(2);
    auto* events = recordFrames(c);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    QCOMPARE(c.CurrentFrame(), 1);
    QTRY_COMPARE(events->size(), 1);
    QCOMPARE(events->at(0).index, 1);
    QVERIFY(!events->at(0).viaTimer);
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.CurrentFrame(), 1);
    QVERIFY(!c.DeferredDecodePending());
    QTest::qWait(150);
    QCOMPARE(c.CurrentFrame(), 1);
    QCOMPARE(events->size(), 1);
    // All frames were decoded: stepping shows frame 2's colour.
    c.setStretch(0);
    c.resize(4, 4);
    c.setAction(3);
    QCOMPARE(renderControl(c, 4, 4).pixel(0, 0), qRgb(0, 255, 0));
}

void TestAnigifControl::deferredDecodeTickIdentities() {
    ucAniGIF c;
    c.resize(4, 4);
    c.setStretch(0);
    QCOMPARE(c.DelayAnimation(), 1);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    QVERIFY(c.Identity() > 0);
    QCOMPARE(c.TimerIdentity(), -c.Identity());
    QVERIFY(c.DeferredDecodePending());
    QCOMPARE(c.TimerInterval(), 20);
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.Gif().FrameStrip.size(), QSize(12, 4)); // room for all frames
    QCOMPARE(c.Gif().FrameStrip.pixelIndex(5, 0), 0);  // frame 2 not yet decoded
    QVERIFY(!c.Gif().GifBytes.isEmpty());
    QTRY_COMPARE(c.Action(), 1);
    QCOMPARE(c.TimerIdentity(), c.Identity());
    QCOMPARE(c.Gif().FrameStrip.pixelIndex(5, 0), 2);
    QVERIFY(c.Gif().GifBytes.isEmpty()); // released at run time
}

void TestAnigifControl::actionDuringDeferredDecodeFinishesIt() {
    ucAniGIF c;
    c.resize(4, 4);
    c.setStretch(0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    QVERIFY(c.DeferredDecodePending());
    c.setAction(3);
    QVERIFY(!c.DeferredDecodePending());
    QCOMPARE(c.CurrentFrame(), 2);
    QCOMPARE(c.Action(), 2);
    QCOMPARE(renderControl(c, 4, 4).pixel(0, 0), qRgb(0, 255, 0));
    QTest::qWait(100);
    QCOMPARE(c.Action(), 2);
    QCOMPARE(c.CurrentFrame(), 2);
}

void TestAnigifControl::coloursAfterDeferredDecode() {
    // Frame 1 is painted before the later pass resets the strip's colour
    // table; the next opaque frame with the same table must load it again.
    ucAniGIF c;
    c.resize(4, 4);
    c.setStretch(0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    QCOMPARE(c.Composition().Mode, anigif::RenderMode::Composite);
    QCOMPARE(renderControl(c, 4, 4).pixel(0, 0), qRgb(255, 0, 0));
    QTRY_VERIFY(!c.DeferredDecodePending());
    c.setAction(3);
    QCOMPARE(renderControl(c, 4, 4).pixel(0, 0), qRgb(0, 255, 0));
}

void TestAnigifControl::oneFrameGifNeverStartsClock() {
    ucAniGIF c;
    auto* events = recordFrames(c);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(1)));
    QCOMPARE(c.FrameCount(), 1);
    QCOMPARE(events->size(), 1);
    QCOMPARE(events->at(0).index, 1);
    QVERIFY(!events->at(0).viaTimer);
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.TimerIdentity(), 0);
    c.setAction(1);
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.TimerIdentity(), 0);
}

void TestAnigifControl::timerUnavailableFallsBackToStillFrame() {
    ucAniGIF c;
    c.setTimerUnavailable(true);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    QCOMPARE(c.FrameCount(), 1);
    QCOMPARE(c.CurrentFrame(), 1);
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.Gif().Frame(1).Disposal, uint8_t(0));
}

void TestAnigifControl::loadTextFileFails() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(2)));
    QVERIFY(!c.LoadAnimatedGIF_File(dataPath("gif-suite/README.md")));
    QCOMPARE(c.FrameCount(), 0);
    QCOMPARE(c.CurrentFrame(), 0);
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.TimerIdentity(), 0);
}

void TestAnigifControl::loadFileCases() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    QVERIFY(c.LoadAnimatedGIF_File(dataPath("gif-real/muybridge.gif")));
    QCOMPARE(c.FrameCount(), 15);
    // At run time the bytes are gone once decoded: a missing file fails
    // the load and clears the control.
    QVERIFY(!c.LoadAnimatedGIF_File(dataPath("no-such-file.gif")));
    QCOMPARE(c.FrameCount(), 0);
    QVERIFY(!c.LoadAnimatedGIF_Array(QByteArray()));
    QVERIFY(!c.LoadAnimatedGIF_Array(QByteArray("GIF89a")));
}

void TestAnigifControl::remoteLoad() {
    TinyHttpServer server;
    QVERIFY(server.isListening());
    server.bodies["/short"] = "GIF89a\x01\x00\x01\x00";
    server.bodies["/text"] = "this is not a gif but it is long";
    QByteArray gif = animation(2);
    gif[6] = '\x20'; // logical screen 32 x 16 (the frames are 4 x 4)
    gif[8] = '\x10';
    server.bodies["/gif"] = gif;

    ucAniGIF c;
    c.setDelayAnimation(0);
    QSignalSpy failed(&c, &ucAniGIF::RemoteLoadFailure);
    struct {
        int n = 0;
        int count() const { return n; }
    } complete;
    connect(&c, &ucAniGIF::RemoteLoadComplete, [&complete](float, float, bool&) { ++complete.n; });

    c.LoadAnimatedGIF_Remote(QString());
    QTest::qWait(20);
    QCOMPARE(failed.count() + complete.count(), 0);

    c.LoadAnimatedGIF_Remote(server.url("/short"));
    QVERIFY(failed.wait(5000));
    QCOMPARE(failed.count(), 1);
    c.LoadAnimatedGIF_Remote(server.url("/text"));
    QTRY_COMPARE(failed.count(), 2);
    c.LoadAnimatedGIF_Remote(server.url("/missing"));
    QTRY_COMPARE(failed.count(), 3);
    QCOMPARE(c.FrameCount(), 0);

    float w = 0;
    float h = 0;
    auto keep = connect(&c, &ucAniGIF::RemoteLoadComplete, [&](float gw, float gh, bool& cancel) {
        w = gw;
        h = gh;
        cancel = false;
    });
    c.LoadAnimatedGIF_Remote(server.url("/gif"));
    QTRY_COMPARE(complete.count(), 1);
    QCOMPARE(w, 32.0f);
    QCOMPARE(h, 16.0f);
    QCOMPARE(c.FrameCount(), 2);
    QCOMPARE(c.ActualWidth(), 4);
    disconnect(keep);

    // Cancel leaves the control as it was.
    connect(&c, &ucAniGIF::RemoteLoadComplete, [](float, float, bool& cancel) { cancel = true; });
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    c.LoadAnimatedGIF_Remote(server.url("/gif"));
    QTRY_COMPARE(complete.count(), 2);
    QCOMPARE(c.FrameCount(), 3);
    QCOMPARE(failed.count(), 3);
}

void TestAnigifControl::offsetRepaintsWhenStopped() {
    QWidget form;
    form.resize(40, 40);
    auto* c = new ucAniGIF(&form);
    c->setGeometry(0, 0, 8, 8);
    c->setDelayAnimation(2);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(c->LoadAnimatedGIF_Array(animation(2)));
    QTRY_VERIFY(!c->DeferredDecodePending());
    int paints = 0;
    struct Counter : QObject {
        int* n;
        explicit Counter(int* p) : n(p) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) {
                ++*n;
            }
            return false;
        }
    } counter(&paints);
    c->installEventFilter(&counter);
    QCOMPARE(c->Action(), 0);
    (void)c->OffsetX();
    QCOMPARE(paints, 0);
    c->setOffsetX(2);
    QCOMPARE(paints, 1); // at once
    QCOMPARE(c->OffsetX(), 2);
    c->setOffsetY(1);
    QCOMPARE(paints, 2);
    c->removeEventFilter(&counter);
}

void TestAnigifControl::hideAndShowPauseAndResume() {
    QWidget form;
    form.resize(40, 40);
    auto* c = new ucAniGIF(&form);
    c->setGeometry(0, 0, 8, 8);
    c->setDelayAnimation(0);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(c->LoadAnimatedGIF_Array(animation(3)));
    QCOMPARE(c->Action(), 1);
    c->setVisible(false);
    QVERIFY(!c->Visible());
    QCOMPARE(c->Action(), 2);
    QCOMPARE(c->TimerIdentity(), 0);
    c->setVisible(true);
    QVERIFY(c->Visible());
    QCOMPARE(c->Action(), 1);
    // A pause the host asked for also resumes on show.
    c->setAction(2);
    c->hide();
    c->show();
    QCOMPARE(c->Action(), 1);
}

void TestAnigifControl::frameChangedHandlerMayDeleteControl() {
    // Each place that raises FrameChanged and goes on afterwards: a handler
    // that deletes the control ends it there (ASan finds any later access).
    auto deleteOnFrameChanged = [](ucAniGIF* c) {
        QObject::connect(c, &ucAniGIF::FrameChanged, [c](int, bool&) { delete c; });
    };
    // The clock's tick.
    {
        QPointer<ucAniGIF> c = new ucAniGIF;
        c->setDelayAnimation(0);
        c->setMinFrameDelay(10);
        QVERIFY(c->LoadAnimatedGIF_Array(animation(3)));
        deleteOnFrameChanged(c);
        QTRY_VERIFY(c.isNull());
    }
    // The completion steps after the deferred decode (DelayAnimation 2).
    {
        QPointer<ucAniGIF> c = new ucAniGIF;
        c->setDelayAnimation(2);
        QVERIFY(c->LoadAnimatedGIF_Array(animation(3)));
        deleteOnFrameChanged(c);
        QTRY_VERIFY(c.isNull());
    }
    // ... run by an Action while the deferred decode waits.
    {
        QPointer<ucAniGIF> c = new ucAniGIF;
        c->setDelayAnimation(3);
        QVERIFY(c->LoadAnimatedGIF_Array(animation(3)));
        deleteOnFrameChanged(c);
        c->setAction(1);
        QVERIFY(c.isNull());
    }
    // Action 0 and 4, and a Stretch change that rewinds a stopped animation.
    for (int command : {0, 4, -1}) {
        QPointer<ucAniGIF> c = new ucAniGIF;
        c->setDelayAnimation(0);
        QVERIFY(c->LoadAnimatedGIF_Array(animation(3)));
        c->setAction(2);
        if (command < 0) {
            c->setAction(0);
        }
        deleteOnFrameChanged(c);
        if (command < 0) {
            c->setStretch(0);
        } else {
            c->setAction(command);
        }
        QVERIFY(c.isNull());
    }
    // The one-frame load.
    {
        QPointer<ucAniGIF> c = new ucAniGIF;
        deleteOnFrameChanged(c);
        QVERIFY(c->LoadAnimatedGIF_Array(animation(1)));
        QVERIFY(c.isNull());
    }
}

void TestAnigifControl::failedLoadKeepsNothingOfPreviousGif() {
    // While the deferred decode waits the GIF bytes are still held, and at
    // design time they stay: a failed load must not load them again.
    const QString missing = dataPath("no-such-file.gif");
    for (bool design : {false, true}) {
        ucAniGIF c;
        c.setDesignTime(design);
        c.resize(4, 4);
        c.setStretch(0);
        QVERIFY(c.LoadAnimatedGIF_File(dataPath("gif-real/animated-red-blue.gif")));
        QVERIFY(c.isLoaded());
        QVERIFY(!c.Gif().GifBytes.isEmpty());
        QVERIFY(!c.LoadAnimatedGIF_File(missing));
        QVERIFY(!c.isLoaded());
        QCOMPARE(c.FrameCount(), 0);
        QCOMPARE(c.CurrentFrame(), 0);
        QCOMPARE(c.Action(), 0);
        QVERIFY(!c.DeferredDecodePending());
        QCOMPARE(qAlpha(renderControl(c, 4, 4).pixel(1, 1)), 0); // nothing shows
        // A refused array as well.
        QVERIFY(c.LoadAnimatedGIF_Array(animation(2)));
        QVERIFY(!c.LoadAnimatedGIF_Array(QByteArray("GIF89a")));
        QVERIFY(!c.isLoaded());
    }
}

QTEST_MAIN(TestAnigifControl)

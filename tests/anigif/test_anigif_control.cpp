// The control surface: properties with their ranges and side
// effects, Action, the load methods (file, array, remote through Qt
// Network), the clock with its two tick identities and the 20 ms deferral,
// loops and LoopsEnded, FrameChanged, persistence, design time, help strings.

#include "GifTestSupport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace giftest;

namespace {

const QList<uint32_t> kTable = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

// n full frames of 4 x 4, each its own colour, with the given delay (1/100 s).
QByteArray animation(int n, int loops = -1, int delayCs = 0) {
    std::vector<TestFrame> frames;
    for (int k = 0; k < n; ++k) {
        TestFrame f = solidFrame(0, 0, 4, 4, static_cast<uint8_t>(1 + k % 3));
        f.delayCs = delayCs;
        f.disposal = 1;
        frames.push_back(f);
    }
    return buildGif(4, 4, kTable, frames, loops);
}

struct FrameEvent {
    int index;
    bool viaTimer;
    int current;
};

// Records FrameChanged with the current frame at that moment.
QList<FrameEvent>* recordFrames(ucAniGIF& c) {
    auto* events = new QList<FrameEvent>;
    QObject::connect(&c, &ucAniGIF::FrameChanged, &c, [events, &c](int i, bool& via) {
        events->append({i, via, c.CurrentFrame()});
    });
    QObject::connect(&c, &QObject::destroyed, [events] { delete events; });
    return events;
}

// A one-shot HTTP server on loopback: path -> body (404 otherwise).
class TinyHttpServer : public QTcpServer {
public:
    QMap<QString, QByteArray> bodies;

    TinyHttpServer() {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray request = s->readAll();
                    const QString path = QString::fromLatin1(request.split(' ').value(1));
                    QByteArray reply;
                    if (bodies.contains(path)) {
                        const QByteArray body = bodies.value(path);
                        reply = "HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: " +
                                QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
                                body;
                    } else {
                        reply = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: "
                                "close\r\n\r\n";
                    }
                    s->write(reply);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        listen(QHostAddress::LocalHost);
    }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }
};

} // namespace

class TestAnigifControl : public QObject {
    Q_OBJECT

private slots:
    void creationDefaults();
    void loopsTwiceThenStopsOnLastFrame();
    void frameDelayAndMinFrameDelay();
    void steppedDelay();
    void loopsRemaining();
    void loopsProperty();
    void loopCountAbove32767StillAnimates();
    void action3OnLastFrame();
    void action1AfterLoopsEndedAndWhilePaused();
    void action0And4();
    void actionIgnoredWithoutGifOrAtDesignTime();
    void stretchSetToCurrentValueDoesNothing();
    void stretchChangeRewindsStoppedAnimation();
    void delayAnimation2();
    void deferredDecodeTickIdentities();
    void actionDuringDeferredDecodeFinishesIt();
    void coloursAfterDeferredDecode();
    void oneFrameGifNeverStartsClock();
    void timerUnavailableFallsBackToStillFrame();
    void loadTextFileFails();
    void loadFileCases();
    void remoteLoad();
    void offsetRepaintsWhenStopped();
    void hideAndShowPauseAndResume();
    void designTime();
    void animatedGifProperty();
    void persistedStretch9();
    void persistenceRoundTrip();
    void mouseEvents();
    void helpStrings();
    void otherProperties();
    void frameChangedHandlerMayDeleteControl();
    void failedLoadKeepsNothingOfPreviousGif();
};

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

void TestAnigifControl::designTime() {
    ucAniGIF c;
    c.setDesignTime(true);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    QCOMPARE(c.FrameCount(), 3);
    QCOMPARE(c.Gif().FrameStrip.size(), QSize(4, 4)); // frame 1 only
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.TimerIdentity(), 0);
    QVERIFY(!c.Gif().GifBytes.isEmpty()); // kept for saving
    anigif::PropertyBag bag;
    c.WriteProperties(bag);
    QCOMPARE(bag.ReadProperty("GIF").toByteArray(), animation(3));
    QCOMPARE(c.size(), QSize(4, 4));
}

void TestAnigifControl::animatedGifProperty() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    c.setAction(3);
    const anigif::GifPicture p = c.AnimatedGIF();
    QVERIFY(!p.isNull());
    QCOMPARE(p.image.size(), QSize(4, 4));
    QCOMPARE(p.image.convertToFormat(QImage::Format_RGB32).pixel(1, 1), qRgb(0, 255, 0));
    QCOMPARE(p.gif.left(6), QByteArray("GIF89a"));
    // At run time an assignment does nothing.
    c.setAnimatedGIF(anigif::GifPicture{});
    QCOMPARE(c.FrameCount(), 3);

    ucAniGIF d;
    d.setDesignTime(true);
    QSignalSpy changed(&d, &ucAniGIF::PropertyChanged);
    d.setAnimatedGIF(p);
    QCOMPARE(d.FrameCount(), 1);
    QCOMPARE(changed.last().at(0).toString(), QStringLiteral("AnimatedGIF"));
    d.setAnimatedGIF(anigif::GifPicture{});
    QCOMPARE(d.FrameCount(), 0);
}

void TestAnigifControl::persistedStretch9() {
    ucAniGIF c;
    anigif::PropertyBag bag;
    bag.WriteProperty("GIF", animation(2));
    bag.WriteProperty("Stretch", 9);
    c.ReadProperties(bag);
    QCOMPARE(c.Stretch(), 1);
    QVERIFY(c.AutoSize());
}

void TestAnigifControl::persistenceRoundTrip() {
    // Defaults are not stored; the order of writing is fixed.
    ucAniGIF plain;
    anigif::PropertyBag bag;
    plain.WriteProperties(bag);
    QCOMPARE(bag.keys(), QStringList{"GIF"});

    ucAniGIF c;
    c.setDesignTime(true);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(2, 3)));
    c.setMinFrameDelay(70);
    c.setStretch(2);
    c.setAutoSize(true);
    c.setLoops(40000);
    c.setDelayAnimation(3);
    c.setMirrored(2);
    c.setMousePointer(2);
    c.setEnabled(false);
    c.setOffsetX(5);
    c.setOffsetY(-4);
    c.setBackColor(0x123456);
    c.setBackStyle(1);
    c.setSteppedDelay(33);
    bag.clear();
    c.WriteProperties(bag);
    QCOMPARE(bag.keys(),
             (QStringList{"GIF", "Delay", "Stretch", "Loops", "DelayLoad", "Mirror", "MousePointer",
                          "Enabled", "OffsetX", "OffsetY", "BkgFill", "BkgUsed", "StepDelay"}));
    QCOMPARE(bag.ReadProperty("Stretch").toInt(), 10);

    ucAniGIF r;
    r.setDesignTime(true);
    r.ReadProperties(bag);
    QCOMPARE(r.FrameCount(), 2);
    QCOMPARE(r.MinFrameDelay(), 70);
    QCOMPARE(r.Stretch(), 2);
    QVERIFY(r.AutoSize());
    QCOMPARE(r.Loops(), 40000); // the stored count overrides the file's 3
    QCOMPARE(r.DelayAnimation(), 3);
    QCOMPARE(r.Mirrored(), 2);
    QCOMPARE(r.MousePointer(), 2);
    QVERIFY(!r.Enabled());
    QCOMPARE(r.OffsetX(), 5);
    QCOMPARE(r.OffsetY(), -4);
    QCOMPARE(r.BackColor(), 0x123456);
    QCOMPARE(r.BackStyle(), 1);
    QCOMPARE(r.SteppedDelay(), 33);

    // "DelayLoad" -1 reads as 1; "Loops" absent reads 0 over the file's count.
    anigif::PropertyBag old;
    old.WriteProperty("GIF", animation(2, 3));
    old.WriteProperty("DelayLoad", -1);
    ucAniGIF o;
    o.setDesignTime(true);
    o.ReadProperties(old);
    QCOMPARE(o.DelayAnimation(), 1);
    QCOMPARE(o.Loops(), 0);
}

void TestAnigifControl::mouseEvents() {
    QWidget form;
    form.resize(40, 40);
    auto* c = new ucAniGIF(&form);
    c->setGeometry(5, 5, 20, 20);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy down(c, &ucAniGIF::MouseDown);
    QSignalSpy up(c, &ucAniGIF::MouseUp);
    QSignalSpy click(c, &ucAniGIF::Click);
    QTest::mouseClick(c, Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 4));
    QCOMPARE(down.count(), 1);
    QCOMPARE(down.at(0).at(0).value<short>(), short(1));
    QCOMPARE(down.at(0).at(1).value<short>(), short(1));
    QCOMPARE(down.at(0).at(2).toFloat(), 3.0f);
    QCOMPARE(down.at(0).at(3).toFloat(), 4.0f);
    QCOMPARE(up.count(), 1);
    QCOMPARE(click.count(), 1);
    QTest::mouseClick(c, Qt::RightButton, Qt::ControlModifier, QPoint(1, 1));
    QCOMPARE(down.at(1).at(0).value<short>(), short(2));
    QCOMPARE(down.at(1).at(1).value<short>(), short(2));
    QCOMPARE(click.count(), 1);
}

void TestAnigifControl::helpStrings() {
    QCOMPARE(ucAniGIF::HelpString("Loops"),
             QStringLiteral("The number of loops that will occur before animation stops. Zero "
                            "will loop infintely"));
    QCOMPARE(ucAniGIF::HelpString("DelayAnimation"),
             QStringLiteral("During runtime, animation is paused until the first frame is "
                            "loaded and displayed"));
    QCOMPARE(ucAniGIF::HelpString("LoadAnimatedGIF_Remote"),
             QStringLiteral("Optional method to assign a GIF"));
    QCOMPARE(ucAniGIF::HelpString("CacheColorTables"),
             QStringLiteral("Have control save GIF color tables in preparation of callig "
                            "SetPalette and later restoring original palette"));
    QCOMPARE(ucAniGIF::HelpString("Refresh"),
             QStringLiteral("Forces a complete repaint of a object"));
    QCOMPARE(ucAniGIF::HelpString("NoSuchMember"), QString());
}

void TestAnigifControl::otherProperties() {
    ucAniGIF c;
    QSignalSpy changed(&c, &ucAniGIF::PropertyChanged);
    c.setDelayAnimation(5);
    QCOMPARE(c.DelayAnimation(), 1);
    c.setDelayAnimation(0);
    QCOMPARE(c.DelayAnimation(), 0);
    c.setBackStyle(2);
    QCOMPARE(c.BackStyle(), 0);
    c.setFrameCount(7);
    QCOMPARE(c.FrameCount(), 0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(2)));
    QCOMPARE(c.ActualWidth(), 4);
    QCOMPARE(c.ActualHeight(), 4);
    c.setMouseIcon(QPixmap(4, 4));
    c.setMousePointer(99);
    QCOMPARE(c.MousePointer(), 99);
    c.setMouseIcon(QPixmap());
    QCOMPARE(c.MousePointer(), 0);
    QStringList names;
    for (const auto& args : changed) {
        names.append(args.at(0).toString());
    }
    QCOMPARE(names.count("DelayAnimation"), 1); // 5 is ignored, 0 a change
    const qsizetype reports = changed.count();
    c.setDelayAnimation(0); // no change: nothing reported
    QCOMPARE(changed.count(), reports);
    QVERIFY(names.contains("MouseIcon"));
    QVERIFY(names.contains("MousePointer"));
    // The property system sees the control's names.
    QCOMPARE(c.property("Stretch").toInt(), 1);
    QVERIFY(c.setProperty("MinFrameDelay", 20));
    QCOMPARE(c.MinFrameDelay(), 20);
    QCOMPARE(c.property("CurrentFrame").toInt(), 1);
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
#include "test_anigif_control.moc"

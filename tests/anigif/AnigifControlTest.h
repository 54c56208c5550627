#pragma once

// The GIF control's tests, in two files as the control is: the player
// (test_anigif_control.cpp) and its compatibility surface
// (test_anigif_compat.cpp), one executable.

#include "GifTestSupport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace anigiftest {

using namespace giftest;

inline const QList<uint32_t> kTable = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

// n full frames of 4 x 4, each its own colour, with the given delay (1/100 s).
inline QByteArray animation(int n, int loops = -1, int delayCs = 0) {
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
inline QList<FrameEvent>* recordFrames(ucAniGIF& c) {
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

} // namespace anigiftest

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

#pragma once

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QSize>
#include <QString>

class PictureBox;
class QWidget;
class ucAniGIF;
struct Slide;

// The picture box frame for a picture of pw x ph in an area of W x H, all in
// HiMetric: the picture grows or shrinks with its proportions kept until it
// meets the nearer edge, and is centred. Sizes are whole units, never below
// one; an empty picture or area gives an empty frame.
QRectF fullScreenFrame(double pw, double ph, double W, double H);

// The frame of a picture at natural size centred in a window, in HiMetric.
QRectF normalFrame(double pw, double ph, double windowW, double windowH);

// The views a slide can be shown in, and the controls the presenter touches.
struct PresenterViews {
    PictureBox* fotoBrowser = nullptr;
    QWidget* webvis = nullptr;
    ucAniGIF* ucAniGIF1 = nullptr;
    QWidget* btSetup = nullptr;
    QWidget* btWait = nullptr;
    QWidget* btHelp = nullptr;
    QWidget* whoWeAre = nullptr;
};

// Puts one slide on the screen: still picture, animated GIF or captured page.
class Presenter : public QObject {
    Q_OBJECT

public:
    explicit Presenter(PresenterViews views);

    // The display mode the next still picture is shown in: "Full_Screen"
    // (the picture fills the screen) or "Normal".
    void setDisplayMode(const QString& mode) { displayMode_ = mode; }

    // Screen and window sizes in twips; the status text height comes from
    // whoWeAre.
    void setScreenTwips(QSize screen) { screenTwips_ = screen; }
    void setWindowTwips(QSize window) { windowTwips_ = window; }

    // Shows slide: its still picture, or for kind 4 its own loop file (the
    // still shows when the loop cannot play). False when the loop did not
    // play: the slide then counts as not loaded, which is its owner's to note.
    bool show(const Slide& slide);
    // A kept slide of an earlier run, shown while the network is awaited:
    // the bar's buttons stay as the wait set them.
    void showKept(const Slide& slide);
    // A picture that is no slide (the logo), shown still.
    void ShowPicture(const QImage& picture);
    void ShowStillView();
    void ShowGifView();
    void ShowWebView();
    // While a page renders unseen under the show for its capture, the
    // slides leave the browser shown: hidden, it would stop rendering.
    void setBrowserRendering(bool on) { browserRendering_ = on; }

    // The frame the last ShowPicture gave the picture box, in twips.
    QRect lastFrameTwips() const { return lastFrameTwips_; }
    // The loop file the last animated slide plays; empty after a still.
    QString lastLoopFile() const { return lastLoopFile_; }

signals:
    // A captured page is on the screen and covers the status bar.
    void pageCoversBar();
    // The GIF control got no animation from file and shows nothing.
    void loopNotPlayed(const QString& file);
    // A still picture goes on the screen in this display mode: filling the
    // screen, or at natural size.
    void displayModeApplied(bool fullScreen);

private:
    // Loads file into the GIF control; false when it gave no animation.
    bool playLoop(const QString& file);
    void placePictureBox(const QImage& picture, bool fullScreen);
    // Shows the still picture as a slide of that kind; true when the slide
    // is a loop whose control is placed and waits for its file.
    bool showStill(const QImage& picture, int kind);
    void showSetupButton();

    PresenterViews views_;
    QSize screenTwips_;
    QSize windowTwips_;
    QRect lastFrameTwips_;
    bool keepButtons_ = false;
    bool browserRendering_ = false;
    QString lastLoopFile_;
    QString displayMode_;
};

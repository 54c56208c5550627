#include "show/Presenter.h"

#include "anigif/ucAniGIF.h"
#include "platform/Twips.h"
#include "platform/Widgets.h"
#include "show/PictureBox.h"
#include "state/Slide.h"

#include <QWidget>
#include <cmath>

namespace {

double R(double value) {
    return platform::roundHalfEven(value);
}

int twipsFromHiMetric(double hiMetric) {
    return static_cast<int>(R(platform::hiMetricToTwips(hiMetric)));
}

} // namespace

QRectF fullScreenFrame(double pw, double ph, double W, double H) {
    if (pw <= 0 || ph <= 0 || W <= 0 || H <= 0) {
        return {};
    }
    // The tighter of W / pw and H / ph decides, for small and large pictures
    // alike; comparing the cross products keeps the choice exact. The other
    // side is at least one unit, so a thin banner never vanishes.
    double newW = W;
    double newH = H;
    if (W * ph <= H * pw) {
        newH = qMax(1.0, R(ph * W / pw));
    } else {
        newW = qMax(1.0, R(pw * H / ph));
    }
    return {(W - newW) / 2, (H - newH) / 2, newW, newH};
}

QRectF normalFrame(double pw, double ph, double windowW, double windowH) {
    const double cx = R(windowW / 2);
    const double cy = R(windowH / 2);
    const double hx = R(pw / 2);
    const double hy = R(ph / 2);
    return {cx - hx, cy - hy, pw, ph};
}

Presenter::Presenter(PresenterViews views) : views_(views) {}

void Presenter::ShowStillView() {
    views_.fotoBrowser->show();
    views_.webvis->setVisible(browserRendering_);
    views_.ucAniGIF1->hide();
}

void Presenter::ShowGifView() {
    views_.fotoBrowser->hide();
    views_.webvis->setVisible(browserRendering_);
    views_.ucAniGIF1->show();
}

void Presenter::ShowWebView() {
    views_.fotoBrowser->hide();
    views_.webvis->show();
    views_.ucAniGIF1->hide();
}

void Presenter::showSetupButton() {
    if (keepButtons_) {
        return;
    }
    views_.btSetup->show();
    views_.btWait->hide();
    views_.btHelp->setVisible(views_.btSetup->isVisibleTo(views_.btSetup->parentWidget()));
}

void Presenter::placePictureBox(const QImage& picture, bool fullScreen) {
    const double pw = R(platform::pixelsToHiMetric(picture.width()));
    const double ph = R(platform::pixelsToHiMetric(picture.height()));
    QRectF frame;
    if (fullScreen) {
        const int barHeight = platform::geometryTwips(views_.whoWeAre).height();
        const double W = R(platform::twipsToHiMetric(screenTwips_.width()));
        const double H = R(platform::twipsToHiMetric(screenTwips_.height() - barHeight));
        frame = fullScreenFrame(pw, ph, W, H);
    } else {
        frame = normalFrame(pw, ph, platform::twipsToHiMetric(windowTwips_.width()),
                            platform::twipsToHiMetric(windowTwips_.height()));
    }
    lastFrameTwips_ = QRect(twipsFromHiMetric(frame.x()), twipsFromHiMetric(frame.y()),
                            twipsFromHiMetric(frame.width()), twipsFromHiMetric(frame.height()));
    if (!fullScreen) {
        // At natural size the box is exactly the picture, whatever the
        // HiMetric rounding says.
        lastFrameTwips_.setWidth(picture.width() * platform::kTwipsPerPixel);
        lastFrameTwips_.setHeight(picture.height() * platform::kTwipsPerPixel);
    }
    platform::setGeometryTwips(views_.fotoBrowser, lastFrameTwips_.x(), lastFrameTwips_.y(),
                               lastFrameTwips_.width(), lastFrameTwips_.height());
}

bool Presenter::show(const Slide& slide) {
    lastLoopFile_.clear();
    if (!showStill(slide.picture, slide.kind)) {
        return true;
    }
    const QString& loop = slide.loopFile;
    const bool playing = !loop.isEmpty() && playLoop(loop);
    lastLoopFile_ = playing ? loop : QString();
    if (!playing) {
        // The copy is gone or broken: the slide shows its still picture,
        // never the loop of the slide before.
        ShowStillView();
        return false;
    }
    ShowGifView();
    return true;
}

void Presenter::showKept(const Slide& slide) {
    // The bar's buttons belong to the wait for the network, not to the slide.
    keepButtons_ = true;
    show(slide);
    keepButtons_ = false;
}

void Presenter::ShowPicture(const QImage& picture) {
    Slide still;
    still.kind = 1;
    still.picture = picture;
    show(still);
}

bool Presenter::playLoop(const QString& file) {
    views_.ucAniGIF1->setProperty("loadedFile", file);
    if (views_.ucAniGIF1->LoadAnimatedGIF_File(file)) {
        return true;
    }
    emit loopNotPlayed(file);
    return false;
}

bool Presenter::showStill(const QImage& picture, int kind) {
    PictureBox* box = views_.fotoBrowser;
    box->hide();
    const bool full = displayMode_ == QLatin1String("Full_Screen");
    emit displayModeApplied(full);
    box->setStretch(full);
    showSetupButton();
    placePictureBox(picture, full);
    box->setPicture(picture);

    if (kind == 2) {
        box->setStretch(false);
        platform::setGeometryTwips(box, 0, 0, screenTwips_.width(), screenTwips_.height());
        lastFrameTwips_ = QRect(QPoint(0, 0), screenTwips_);
        views_.whoWeAre->show();
        views_.whoWeAre->raise();
        emit pageCoversBar();
    }
    if (kind != 4) {
        showSetupButton();
        ShowStillView();
        return false;
    }
    views_.ucAniGIF1->setDelayAnimation(1);
    views_.ucAniGIF1->setGeometry(box->geometry());
    views_.ucAniGIF1->setProperty("geometryTwips", box->property("geometryTwips"));
    views_.ucAniGIF1->setProperty("geometryTwipsPixels", box->property("geometryTwipsPixels"));
    return true;
}

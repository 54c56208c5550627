// anigif-render FILE.gif OUTDIR
//
// Loads a GIF through the control's own code and writes every frame as the
// control shows it (zoom mode 0, the control as large as the image, a
// transparent background kept as alpha) to OUTDIR/frame-1.png, frame-2.png,
// ... Prints "frames N", "size W H", "loops L", then "frame K delay MS" (the
// file's own delay) for each frame. Exits 1 when the file yields no frame or
// its image is larger than the control's composite cap (the control refuses
// a composite beyond it, and a few header bytes can ask for 65535 x 65535
// pixels), 2 on a usage or output error.

#include "anigif/ucAniGIF.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: anigif-render FILE.gif OUTDIR\n");
        return 2;
    }
    const QString outDir = args.at(2);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "anigif-render: cannot create %s\n", qPrintable(outDir));
        return 2;
    }

    ucAniGIF control;
    control.setStretch(0);
    control.setDelayAnimation(0); // every frame decoded before the load returns
    if (!control.LoadAnimatedGIF_File(args.at(1))) {
        std::printf("frames 0\n");
        return 1;
    }
    const int n = control.FrameCount();
    const int w = control.ActualWidth();
    const int h = control.ActualHeight();
    std::printf("frames %d\nsize %d %d\nloops %d\n", n, w, h, control.Loops());
    const qint64 cap = control.Composition().maxCompositePixels;
    if (w < 1 || h < 1 || qint64(w) * h > cap) {
        std::fprintf(stderr,
                     "anigif-render: the image of %d x %d pixels exceeds the limit of %lld\n", w, h,
                     static_cast<long long>(cap));
        return 1;
    }
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        std::fprintf(stderr, "anigif-render: no memory for %d x %d pixels\n", w, h);
        return 1;
    }
    control.resize(w, h);

    control.setAction(0); // stopped on frame 1
    for (int k = 1; k <= n; ++k) {
        image.fill(Qt::transparent);
        control.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const QString path = QDir(outDir).filePath(QStringLiteral("frame-%1.png").arg(k));
        if (!image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
            std::fprintf(stderr, "anigif-render: cannot write %s\n", qPrintable(path));
            return 2;
        }
        std::printf("frame %d delay %d\n", k, control.Gif().Frame(k).FrameDelay);
        if (k < n) {
            control.setAction(3); // the next frame
        }
    }
    return 0;
}

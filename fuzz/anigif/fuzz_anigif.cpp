// Fuzz target: the GIF parser and frame decoder over arbitrary bytes, then
// the composition and painting of every frame and the exporter. Invariants
// beyond "no crash, no out-of-bounds access, no endless loop": an exported
// frame parses as one frame and decodes back to exactly the indices it was made from.

#include "anigif/FrameComposition.h"
#include "anigif/GifDecoding.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void checkExportRoundTrip(const anigif::GifDecoding& gif, int k) {
    const anigif::GifFrame& f = gif.Frame(k);
    const QByteArray bytes = gif.ExportFrame(k);
    anigif::GifDecoding back;
    back.GifBytes = bytes;
    if (back.ParseGif() != 1) {
        std::abort();
    }
    const anigif::GifFrame& b = back.Frame(1);
    if (b.Width != f.Width || b.Height != f.Height || b.Transparent != f.Transparent ||
        (f.Transparent && b.TransparentIndex != f.TransparentIndex)) {
        std::abort();
    }
    if (f.Width < 1 || f.Height < 1) {
        return;
    }
    if (!back.DecodeFrames(1, true)) {
        std::abort();
    }
    const QImage& s = gif.FrameStrip;
    const QImage& t = back.FrameStrip;
    for (int y = 0; y < f.Height; ++y) {
        if (std::memcmp(s.constScanLine(y) + f.StripX, t.constScanLine(y),
                        static_cast<std::size_t>(f.Width)) != 0) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_anigif";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    anigif::GifDecoding gif;
    gif.maxStripBytes = qint64(1) << 20; // keep each run small and fast
    gif.GifBytes = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const int n = gif.ParseGif();
    if (n < 0 || n > anigif::GifDecoding::kMaxFrames || n != gif.FrameCount()) {
        std::abort();
    }
    if (n == 0) {
        return 0;
    }
    const bool onlyFirst = (size & 1) != 0 && n > 1 ? false : n == 1;
    if (!gif.DecodeFrames(1, onlyFirst)) {
        return 0;
    }
    if (!onlyFirst) {
        gif.DecodeFrames(2, false);
    }

    anigif::FrameComposition comp(gif);
    comp.maxCompositePixels = qint64(1) << 18;
    if (comp.ChooseRenderMode(false)) {
        QImage target(48, 32, QImage::Format_ARGB32_Premultiplied);
        target.fill(0);
        QPainter painter(&target);
        anigif::PaintContext ctx;
        ctx.backStyle = static_cast<int>(size % 2);
        ctx.backColor = Qt::gray;
        ctx.innerWidth = 48;
        ctx.innerHeight = 32;
        comp.ComputeZoom(48, 32, static_cast<int>(size % 5), (size & 8) != 0);
        const int shown = onlyFirst ? 1 : std::min(n, 12);
        for (int k = 1; k <= shown; ++k) {
            comp.ComposeFrame(k);
            comp.PaintFrame(painter, ctx);
        }
        comp.ApplyMirror(0, static_cast<int>(size % 4), 1, onlyFirst ? 1 : n, true);
        comp.PaintFrame(painter, ctx);
        comp.ComposeFrame(1);
        comp.PaintFrame(painter, ctx);
        QList<uint32_t> entries;
        if (comp.GetPalette(0, entries)) {
            comp.SetPalette(0, &entries);
        }
    }
    const int exports = onlyFirst ? 1 : std::min(n, 4);
    for (int k = 1; k <= exports; ++k) {
        checkExportRoundTrip(gif, k);
    }
    return 0;
}

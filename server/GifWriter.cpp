#include "GifWriter.h"

#include <array>
#include <gif_lib.h>
#include <memory>

namespace skyglance::catalogue {
namespace {

// A 6x6x6 colour cube: a fixed palette keeps every frame on one colour table
// and makes the colour of a pixel a direct computation.
constexpr int kLevels = 6;

int level(int component) {
    return (component * (kLevels - 1) + 127) / 255;
}

std::array<GifColorType, 256> cubePalette() {
    std::array<GifColorType, 256> colours{};
    for (int i = 0; i < kLevels * kLevels * kLevels; ++i) {
        colours[static_cast<std::size_t>(i)] = {static_cast<GifByteType>((i / 36) * 51),
                                                static_cast<GifByteType>(((i / 6) % 6) * 51),
                                                static_cast<GifByteType>((i % 6) * 51)};
    }
    return colours;
}

int writeToString(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::string*>(gif->UserData);
    out->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

bool writeLoopExtension(GifFileType* gif) {
    static const GifByteType kName[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kLoopForever[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof kName, kName) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof kLoopForever, kLoopForever) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool writeFrame(GifFileType* gif, const QImage& frame, int delayCentiseconds) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = delayCentiseconds;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const int length = EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, length, extension) != GIF_OK ||
        EGifPutImageDesc(gif, 0, 0, frame.width(), frame.height(), false, nullptr) != GIF_OK) {
        return false;
    }
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    std::vector<GifPixelType> line(static_cast<std::size_t>(rgb.width()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = pixels[x];
            line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(
                level(qRed(p)) * 36 + level(qGreen(p)) * 6 + level(qBlue(p)));
        }
        if (EGifPutLine(gif, line.data(), rgb.width()) != GIF_OK) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string encodeGif(const std::vector<QImage>& frames, int delayCentiseconds) {
    if (frames.empty()) {
        return {};
    }
    const QSize size = frames.front().size();
    std::string out;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&out, writeToString, &error));
    const auto colours = cubePalette();
    std::unique_ptr<ColorMapObject, MapFreer> palette(GifMakeMapObject(256, colours.data()));
    if (!gif || !palette) {
        return {};
    }
    EGifSetGifVersion(gif.get(), true);
    if (EGifPutScreenDesc(gif.get(), size.width(), size.height(), 8, 0, palette.get()) != GIF_OK) {
        return {};
    }
    if (frames.size() > 1 && !writeLoopExtension(gif.get())) {
        return {};
    }
    for (const QImage& frame : frames) {
        if (frame.size() != size || !writeFrame(gif.get(), frame, delayCentiseconds)) {
            return {};
        }
    }
    int closeError = 0;
    const int closed = EGifCloseFile(gif.release(), &closeError);
    return closed == GIF_OK ? out : std::string();
}

} // namespace skyglance::catalogue

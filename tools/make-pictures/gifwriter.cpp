#include "gifwriter.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <gif_lib.h>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

constexpr int paletteSize = 256;
constexpr int colourResolutionBits = 8;

// ---- palette: median cut over the picture's own colours ---------------------

struct ColourCount {
    QRgb colour;
    quint64 count;
};

std::vector<ColourCount> countColours(const QImage& rgb) {
    std::unordered_map<QRgb, quint64> counts;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++counts[line[x] | 0xFF000000u];
    }
    std::vector<ColourCount> colours;
    colours.reserve(counts.size());
    for (const auto& [colour, count] : counts)
        colours.push_back({colour, count});
    // A fixed starting order makes the palette, and so the file, reproducible.
    std::sort(colours.begin(), colours.end(),
              [](const ColourCount& a, const ColourCount& b) { return a.colour < b.colour; });
    return colours;
}

int channel(QRgb colour, int which) {
    return which == 0 ? qRed(colour) : which == 1 ? qGreen(colour) : qBlue(colour);
}

// A box of the colour cube: a run of `colours` and the channel it spans most.
struct Box {
    std::size_t begin = 0;
    std::size_t end = 0;
    quint64 pixels = 0;
    int widestChannel = 0;
    int widestRange = 0;

    bool splittable() const { return end - begin > 1 && widestRange > 0; }
    // Populous, wide boxes first: they carry the visible banding.
    quint64 priority() const { return pixels * static_cast<quint64>(widestRange); }
};

Box measureBox(const std::vector<ColourCount>& colours, std::size_t begin, std::size_t end) {
    Box box{begin, end, 0, 0, 0};
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    for (std::size_t i = begin; i < end; ++i) {
        box.pixels += colours[i].count;
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], channel(colours[i].colour, c));
            high[c] = std::max(high[c], channel(colours[i].colour, c));
        }
    }
    for (int c = 0; c < 3; ++c)
        if (high[c] - low[c] > box.widestRange) {
            box.widestRange = high[c] - low[c];
            box.widestChannel = c;
        }
    return box;
}

// Sorts the box along its widest channel and cuts it where half its pixels lie.
std::pair<Box, Box> splitBox(std::vector<ColourCount>& colours, const Box& box) {
    const auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
    const auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.end);
    std::sort(first, last, [c = box.widestChannel](const ColourCount& a, const ColourCount& b) {
        return channel(a.colour, c) < channel(b.colour, c);
    });
    quint64 seen = 0;
    std::size_t cut = box.begin + 1;
    for (std::size_t i = box.begin; i < box.end - 1; ++i) {
        seen += colours[i].count;
        cut = i + 1;
        if (seen * 2 >= box.pixels)
            break;
    }
    return {measureBox(colours, box.begin, cut), measureBox(colours, cut, box.end)};
}

QRgb averageColour(const std::vector<ColourCount>& colours, const Box& box) {
    std::array<quint64, 3> sums{};
    for (std::size_t i = box.begin; i < box.end; ++i)
        for (int c = 0; c < 3; ++c)
            sums[c] += static_cast<quint64>(channel(colours[i].colour, c)) * colours[i].count;
    const auto mean = [&](int c) {
        return static_cast<int>((sums[c] + box.pixels / 2) / box.pixels);
    };
    return qRgb(mean(0), mean(1), mean(2));
}

std::vector<QRgb> medianCutPalette(std::vector<ColourCount> colours) {
    std::vector<Box> boxes{measureBox(colours, 0, colours.size())};
    while (boxes.size() < paletteSize) {
        const auto widest =
            std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
                return a.priority() < b.priority();
            });
        if (!widest->splittable())
            break;
        const auto [lower, upper] = splitBox(colours, *widest);
        *widest = lower;
        boxes.push_back(upper);
    }
    std::vector<QRgb> palette;
    for (const Box& box : boxes)
        palette.push_back(averageColour(colours, box));
    return palette;
}

int distanceSquared(QRgb a, QRgb b) {
    const int r = qRed(a) - qRed(b);
    const int g = qGreen(a) - qGreen(b);
    const int bl = qBlue(a) - qBlue(b);
    return r * r + g * g + bl * bl;
}

GifByteType nearestEntry(const std::vector<QRgb>& palette, QRgb colour) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < palette.size(); ++i)
        if (distanceSquared(palette[i], colour) < distanceSquared(palette[best], colour))
            best = i;
    return static_cast<GifByteType>(best);
}

std::vector<GifByteType> mapToPalette(const QImage& rgb, const std::vector<QRgb>& palette) {
    std::unordered_map<QRgb, GifByteType> memo;
    std::vector<GifByteType> indices;
    indices.reserve(static_cast<std::size_t>(rgb.width()) * static_cast<std::size_t>(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb colour = line[x] | 0xFF000000u;
            auto found = memo.find(colour);
            if (found == memo.end())
                found = memo.emplace(colour, nearestEntry(palette, colour)).first;
            indices.push_back(found->second);
        }
    }
    return indices;
}

// ---- file: giflib does the LZW packing -------------------------------------

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, MapDeleter>;

ColourMap makeColourMap(const std::vector<QRgb>& palette) {
    // Unused entries stay black; the table keeps its full power-of-two size.
    std::array<GifColorType, paletteSize> entries{};
    for (std::size_t i = 0; i < palette.size(); ++i)
        entries[i] = {static_cast<GifByteType>(qRed(palette[i])),
                      static_cast<GifByteType>(qGreen(palette[i])),
                      static_cast<GifByteType>(qBlue(palette[i]))};
    return ColourMap(GifMakeMapObject(paletteSize, entries.data()));
}

QString gifError(const char* step, int code) {
    return QStringLiteral("%1: %2").arg(QLatin1String(step), QLatin1String(GifErrorString(code)));
}

QString writeFrame(GifFileType* gif, const ColorMapObject* map, int width, int height,
                   std::vector<GifByteType>& indices) {
    if (EGifPutScreenDesc(gif, width, height, colourResolutionBits, 0, map) != GIF_OK)
        return gifError("screen descriptor", gif->Error);
    if (EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK)
        return gifError("image descriptor", gif->Error);
    for (int y = 0; y < height; ++y) {
        GifByteType* row =
            indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        if (EGifPutLine(gif, row, width) != GIF_OK)
            return gifError("image data", gif->Error);
    }
    return {};
}

} // namespace

QString writeGif(const QImage& image, const QString& path) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const std::vector<QRgb> palette = medianCutPalette(countColours(rgb));
    std::vector<GifByteType> indices = mapToPalette(rgb, palette);
    const ColourMap map = makeColourMap(palette);
    if (!map)
        return QStringLiteral("out of memory for the colour table");

    int code = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &code);
    if (!gif)
        return gifError("open", code);
    EGifSetGifVersion(gif, true);
    const QString failure = writeFrame(gif, map.get(), rgb.width(), rgb.height(), indices);
    if (EGifCloseFile(gif, &code) != GIF_OK && failure.isEmpty())
        return gifError("close", code);
    // giflib creates the file private to its owner; it is an ordinary data file.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::ReadOther);
    return failure;
}

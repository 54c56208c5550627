#include "FrameComposition.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace anigif {

int RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    const double r = std::nearbyint(value); // the default mode rounds halves to even
    if (r > 2147483647.0) {
        return 2147483647;
    }
    if (r < -2147483648.0) {
        return -2147483647 - 1;
    }
    return static_cast<int>(r);
}

namespace {

bool wholeEnlargement(float zx, float zy) {
    const auto whole = [](float z) { return z >= 1.0f && std::abs(z - std::round(z)) < 1e-4f; };
    return whole(zx) && whole(zy);
}

constexpr uint32_t kWhite = 0xFFFFFFu;

// Copies rows of a frame's strip area (its columns from stripX, its rows
// from stripY) through a lookup into a 32-bit image: a 0 entry leaves the
// target pixel, any other entry replaces it.
void blitThroughLookup(const QImage& strip, int stripX, int stripY, int w, int h,
                       const uint32_t* lookup, QImage& target, int tx, int ty, bool overwriteAll) {
    // Clip to the target.
    int sx = 0;
    int sy = 0;
    if (tx < 0) {
        sx = -tx;
        w += tx;
        tx = 0;
    }
    if (ty < 0) {
        sy = -ty;
        h += ty;
        ty = 0;
    }
    sx += stripX;
    sy += stripY;
    w = std::min(w, target.width() - tx);
    h = std::min(h, target.height() - ty);
    w = std::min(w, strip.width() - sx);
    h = std::min(h, strip.height() - sy);
    if (w <= 0 || h <= 0 || sx < 0 || sy < 0) {
        return;
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t* src = strip.constScanLine(sy + y) + sx;
        auto* dst = reinterpret_cast<uint32_t*>(target.scanLine(ty + y)) + tx;
        if (overwriteAll) {
            for (int x = 0; x < w; ++x) {
                dst[x] = lookup[src[x]];
            }
        } else {
            for (int x = 0; x < w; ++x) {
                const uint32_t v = lookup[src[x]];
                dst[x] = v != 0 ? v : dst[x];
            }
        }
    }
}

// The part of the painter's device it can paint on, in its logical
// coordinates.
QRect reachOf(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    if (device == nullptr) {
        return {};
    }
    bool invertible = false;
    const QTransform back = painter.worldTransform().inverted(&invertible);
    if (!invertible) {
        return {};
    }
    QRect reach = back.mapRect(QRectF(0, 0, device->width(), device->height())).toAlignedRect();
    if (painter.hasClipping()) {
        reach &= painter.clipBoundingRect().toAlignedRect();
    }
    return reach;
}

} // namespace

// ---------------------------------------------------------------------------
// Render mode

bool FrameComposition::ChooseRenderMode(bool designTime) {
    Composite = QImage();
    Mode = RenderMode::Direct;
    LoadedColorTable = -1;
    MaskPalette.fill(0);
    composedFrame_ = 0;
    savedArea_ = QRect();
    savedRect_.clear();
    const int n = gif_.FrameCount();
    if (n < 1) {
        return false;
    }
    bool allDispose2 = true;
    bool anyDispose23 = false;
    bool anyTransparent = false;
    for (const GifFrame& f : gif_.Frames) {
        allDispose2 = allDispose2 && f.Disposal == 2;
        anyDispose23 = anyDispose23 || f.Disposal == 2 || f.Disposal == 3;
        anyTransparent = anyTransparent || f.Transparent != 0;
    }
    if (designTime || n == 1 || allDispose2) {
        return true;
    }
    const GifFrame& f1 = gif_.Frame(1);
    const bool firstCoversAll = f1.Width == gif_.ImageWidth && f1.Height == gif_.ImageHeight;
    const bool mask = anyDispose23 || f1.Transparent != 0 || (anyTransparent && !firstCoversAll);

    const qint64 w = gif_.ImageWidth;
    const qint64 h = gif_.ImageHeight;
    if (w < 1 || h < 1 || w > maxCompositePixels / h) {
        return false;
    }
    Composite = QImage(static_cast<int>(w), static_cast<int>(h),
                       mask ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (Composite.isNull()) {
        return false;
    }
    Mode = mask ? RenderMode::CompositeWithMask : RenderMode::Composite;
    ResetComposite();
    return true;
}

// ---------------------------------------------------------------------------
// Copying frames

void FrameComposition::BuildFrameLookup(int k, uint32_t* lookup) {
    const GifFrame& f = gif_.Frame(k);
    ColorTableRow empty{};
    ColorTableRow& row = (f.ColorTable >= 0 && f.ColorTable < int(gif_.ColorTables.size()))
                             ? gif_.ColorTables[static_cast<std::size_t>(f.ColorTable)]
                             : empty;
    const int count = static_cast<int>(std::min<uint32_t>(row[kColorCountColumn], 256));
    QImage& strip = gif_.FrameStrip;

    if (f.Transparent) {
        // The AND pass: the mask palette, white at the transparent index.
        MaskPalette[f.TransparentIndex] = kWhite;
        gif_.SetStripColors(MaskPalette.data(), count);
        MaskPalette[f.TransparentIndex] = 0;
        const QList<QRgb> andColors = strip.colorTable();
        // The OR pass: the frame's table with black at the transparent index.
        const uint32_t saved = row[f.TransparentIndex];
        row[f.TransparentIndex] = 0;
        gif_.SetStripColors(row.data(), count);
        row[f.TransparentIndex] = saved;
        // The strip now holds the row with its transparent entry black, not
        // the row itself: an opaque frame of the same row must load it again
        // (noting the row here would show that entry black).
        LoadedColorTable = -1;
        const QList<QRgb> orColors = strip.colorTable();
        for (int i = 0; i < 256; ++i) {
            const uint32_t a = i < andColors.size() ? andColors[i] & 0xFFFFFFu : 0u;
            const uint32_t o = i < orColors.size() ? orColors[i] & 0xFFFFFFu : 0u;
            // (target AND a) OR o: white/black leaves the target; black then a
            // colour gives the colour; an entry the loads did not reach has
            // the same value in both passes and gives that value.
            lookup[i] = (a == kWhite && o == 0) ? 0u : (0xFF000000u | o);
        }
        return;
    }
    if (LoadedColorTable != f.ColorTable) {
        gif_.SetStripColors(row.data(), count);
        LoadedColorTable = f.ColorTable;
    }
    const QList<QRgb> colors = strip.colorTable();
    for (int i = 0; i < 256; ++i) {
        lookup[i] = 0xFF000000u | (i < colors.size() ? colors[i] & 0xFFFFFFu : 0u);
    }
}

void FrameComposition::AddFrameToComposite(int k) {
    const GifFrame& f = gif_.Frame(k);
    // The mask update loads the mask palette into the strip.
    if (HasMask()) {
        const ColorTableRow* row =
            (f.ColorTable >= 0 && f.ColorTable < int(gif_.ColorTables.size()))
                ? &gif_.ColorTables[static_cast<std::size_t>(f.ColorTable)]
                : nullptr;
        const int count =
            row ? static_cast<int>(std::min<uint32_t>((*row)[kColorCountColumn], 256)) : 0;
        if (f.Transparent) {
            MaskPalette[f.TransparentIndex] = kWhite;
        }
        gif_.SetStripColors(MaskPalette.data(), count);
        MaskPalette[f.TransparentIndex] = 0;
        LoadedColorTable = -1;
    }
    if (f.Width < 1 || f.Height < 1) {
        return;
    }
    BuildFrameLookup(k, frameLookup_.data());
    blitThroughLookup(gif_.FrameStrip, f.StripX, 0, f.Width, f.Height, frameLookup_.data(),
                      Composite, f.Left, f.Top, false);
}

void FrameComposition::DrawFrameDirect(int k, QPainter& painter, int x, int y, int w, int h) const {
    const GifFrame& f = gif_.Frame(k);
    if (w < 1 || h < 1 || f.Width < 1 || f.Height < 1) {
        return;
    }
    // Only the part of the frame that can show is converted.
    const QRect target = QRect(x, y, w, h) & reachOf(painter);
    if (target.isEmpty()) {
        return;
    }
    const double perX = double(f.Width) / w; // frame pixels per control pixel
    const double perY = double(f.Height) / h;
    // The frame's columns and rows that land on the target, with a margin
    // for the smooth filter of a shrunk copy.
    auto span = [](double from, double to, int size) {
        const int lo = static_cast<int>(std::clamp(std::floor(from) - 2.0, 0.0, double(size)));
        const int hi = static_cast<int>(std::clamp(std::ceil(to) + 2.0, 0.0, double(size)));
        return std::pair<int, int>(lo, hi);
    };
    const auto [c0, c1] =
        span((target.left() - x) * perX, (target.right() + 1 - x) * perX, f.Width);
    const auto [r0, r1] =
        span((target.top() - y) * perY, (target.bottom() + 1 - y) * perY, f.Height);
    const qint64 part = qint64(c1 - c0) * (r1 - r0);
    if (part < 1) {
        return;
    }
    const QImage& strip = gif_.FrameStrip;
    if (part <= maxCompositePixels && perX * perY <= 4.0) {
        if (frameScratch_.width() != c1 - c0 || frameScratch_.height() != r1 - r0) {
            frameScratch_ = QImage(c1 - c0, r1 - r0, QImage::Format_ARGB32_Premultiplied);
            if (frameScratch_.isNull()) {
                return;
            }
        }
        frameScratch_.fill(0);
        blitThroughLookup(strip, f.StripX + c0, r0, c1 - c0, r1 - r0, frameLookup_.data(),
                          frameScratch_, 0, 0, true);
        painter.drawImage(QRectF(x + c0 / perX, y + r0 / perY, (c1 - c0) / perX, (r1 - r0) / perY),
                          frameScratch_);
        return;
    }
    // A frame shrunk to less than a quarter of its area, or more of it
    // showing than the cap allows (a frame far larger than the control): it
    // is converted at the control's resolution, each control pixel the mean
    // of up to 4 x 4 frame pixels within its footprint.
    if (qint64(target.width()) * target.height() > maxCompositePixels) {
        return;
    }
    if (frameScratch_.size() != target.size()) {
        frameScratch_ = QImage(target.size(), QImage::Format_ARGB32_Premultiplied);
        if (frameScratch_.isNull()) {
            return;
        }
    }
    const int nx = static_cast<int>(std::clamp(std::ceil(perX), 1.0, 4.0));
    const int ny = static_cast<int>(std::clamp(std::ceil(perY), 1.0, 4.0));
    // The strip columns and rows sampled for each control column and row.
    auto samples = [](int from, int count, int origin, double per, int n, int size, int base) {
        std::vector<int> out(static_cast<std::size_t>(count) * n);
        for (int i = 0; i < count; ++i) {
            for (int a = 0; a < n; ++a) {
                const double v = std::floor((from + i - origin + (a + 0.5) / n) * per);
                out[static_cast<std::size_t>(i) * n + a] =
                    base + static_cast<int>(std::clamp(v, 0.0, double(size - 1)));
            }
        }
        return out;
    };
    const std::vector<int> cols =
        samples(target.left(), target.width(), x, perX, nx, f.Width, f.StripX);
    const std::vector<int> rows = samples(target.top(), target.height(), y, perY, ny, f.Height, 0);
    const uint32_t count = static_cast<uint32_t>(nx * ny);
    for (int j = 0; j < target.height(); ++j) {
        auto* dst = reinterpret_cast<uint32_t*>(frameScratch_.scanLine(j));
        for (int i = 0; i < target.width(); ++i) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int b = 0; b < ny; ++b) {
                const int row = rows[static_cast<std::size_t>(j) * ny + b];
                if (row >= strip.height()) {
                    continue;
                }
                const uint8_t* src = strip.constScanLine(row);
                for (int a = 0; a < nx; ++a) {
                    const int col = cols[static_cast<std::size_t>(i) * nx + a];
                    const uint32_t v = col < strip.width() ? frameLookup_[src[col]] : 0u;
                    sum[0] += v >> 24;
                    sum[1] += (v >> 16) & 0xFF;
                    sum[2] += (v >> 8) & 0xFF;
                    sum[3] += v & 0xFF;
                }
            }
            auto mean = [count](uint32_t total) { return (total + count / 2) / count; };
            dst[i] =
                (mean(sum[0]) << 24) | (mean(sum[1]) << 16) | (mean(sum[2]) << 8) | mean(sum[3]);
        }
    }
    painter.drawImage(target.topLeft(), frameScratch_);
}

// ---------------------------------------------------------------------------
// Composite helpers

void FrameComposition::ResetComposite() {
    if (!Composite.isNull()) {
        Composite.fill(EmptyPixel());
    }
}

void FrameComposition::FillCompositeRect(const GifFrame& f) {
    const QRect r = QRect(f.Left, f.Top, f.Width, f.Height) & Composite.rect();
    const uint32_t v = EmptyPixel();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(Composite.scanLine(y)) + r.left();
        std::fill(row, row + r.width(), v);
    }
}

void FrameComposition::SaveCompositeRect(const GifFrame& f) {
    savedArea_ = QRect(f.Left, f.Top, f.Width, f.Height) & Composite.rect();
    if (savedArea_.isEmpty()) {
        savedArea_ = QRect();
        savedRect_.clear();
        return;
    }
    const QRect& r = savedArea_;
    savedRect_.resize(static_cast<std::size_t>(r.width()) * static_cast<std::size_t>(r.height()));
    for (int y = 0; y < r.height(); ++y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(Composite.constScanLine(r.top() + y)) + r.left();
        std::memcpy(savedRect_.data() + static_cast<std::size_t>(y) * r.width(), row,
                    static_cast<std::size_t>(r.width()) * 4);
    }
}

void FrameComposition::RestoreSavedRect() {
    const QRect r = savedArea_;
    if (r.isEmpty() || !Composite.rect().contains(r) ||
        savedRect_.size() !=
            static_cast<std::size_t>(r.width()) * static_cast<std::size_t>(r.height())) {
        return;
    }
    for (int y = 0; y < r.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(Composite.scanLine(r.top() + y)) + r.left();
        std::memcpy(row, savedRect_.data() + static_cast<std::size_t>(y) * r.width(),
                    static_cast<std::size_t>(r.width()) * 4);
    }
}

// ---------------------------------------------------------------------------
// Composing

void FrameComposition::DisposeComposedFrame() {
    const int k = composedFrame_;
    if (k < 1 || k > gif_.FrameCount() || Composite.isNull()) {
        return;
    }
    const GifFrame& f = gif_.Frame(k);
    if (f.Disposal == 2) {
        FillCompositeRect(f);
    } else if (f.Disposal == 3) {
        RestoreSavedRect();
    }
}

void FrameComposition::ComposeFrame(int k) {
    if (k < 1 || k > gif_.FrameCount() || gif_.FrameStrip.isNull()) {
        composedFrame_ = 0;
        savedArea_ = QRect();
        savedRect_.clear();
        return;
    }
    if (Mode == RenderMode::Direct || Composite.isNull()) {
        BuildFrameLookup(k, frameLookup_.data());
        composedFrame_ = k;
        return;
    }
    // The frame shown until now leaves the composite as its disposal says.
    if (k == 1) {
        ResetComposite();
    } else {
        DisposeComposedFrame();
    }
    savedArea_ = QRect();
    const GifFrame& f = gif_.Frame(k);
    if (f.Disposal == 3) {
        SaveCompositeRect(f);
    } else {
        savedRect_.clear();
    }
    AddFrameToComposite(k);
    composedFrame_ = k;
}

void FrameComposition::RecolourComposedFrame() {
    const int k = composedFrame_;
    if (k < 1 || k > gif_.FrameCount() || gif_.FrameStrip.isNull()) {
        return;
    }
    if (Mode == RenderMode::Direct || Composite.isNull()) {
        BuildFrameLookup(k, frameLookup_.data());
    } else {
        // The composite still holds frame k (its disposal waits for the
        // next frame): adding it again only changes its colours.
        AddFrameToComposite(k);
    }
}

// ---------------------------------------------------------------------------
// Painting

void FrameComposition::PaintFrame(QPainter& painter, const PaintContext& ctx) const {
    const int k = composedFrame_;
    if (k < 1 || k > gif_.FrameCount() || gif_.FrameStrip.isNull()) {
        return;
    }
    const bool zoomed = ZoomX != 1.0f || ZoomY != 1.0f;
    const double zx = ZoomX;
    const double zy = ZoomY;

    painter.save();
    if (ctx.backStyle == 1 || OwnWindowOpaque) {
        painter.fillRect(
            QRect(0, 0, RoundHalfEven(zx * gif_.ImageWidth), RoundHalfEven(zy * gif_.ImageHeight)),
            ctx.backColor);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Enlarging by whole factors repeats pixels: every picture pixel becomes
    // an even block, and filtering a full-screen loop on every frame costs
    // more than twice as much. Any other zoom is filtered: a shrunk picture
    // would alias and an uneven enlargement would show pixels of two sizes.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !wholeEnlargement(ZoomX, ZoomY));

    const GifFrame& f = gif_.Frame(k);
    if (Mode == RenderMode::Direct || Composite.isNull()) {
        DrawFrameDirect(k, painter, RoundHalfEven(zx * (double(ctx.offsetX) + f.Left)),
                        RoundHalfEven(zy * (double(ctx.offsetY) + f.Top)),
                        RoundHalfEven(zx * f.Width), RoundHalfEven(zy * f.Height));
    } else {
        // The composite as composed up to frame k.
        const int cw = ctx.innerWidth;
        const int ch = ctx.innerHeight;
        if (cw > 0 && ch > 0) {
            if (zoomed) {
                painter.drawImage(QRect(ctx.offsetX, ctx.offsetY, cw, ch), Composite);
            } else {
                const QRect source = QRect(0, 0, cw, ch) & Composite.rect();
                painter.drawImage(QPoint(ctx.offsetX, ctx.offsetY), Composite, source);
            }
        }
    }

    if (ctx.designTime) {
        QPen pen(ctx.outlineColor);
        pen.setStyle(Qt::DotLine);
        pen.setWidth(0);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (ctx.innerWidth > 0 && ctx.innerHeight > 0) {
            painter.drawRect(QRect(0, 0, ctx.innerWidth, ctx.innerHeight).adjusted(0, 0, -1, -1));
        }
    }
    painter.restore();
}

// ---------------------------------------------------------------------------
// Zoom

QSize FrameComposition::ComputeZoom(int cw, int ch, int stretch, bool autoSize) {
    const int w = gif_.ImageWidth;
    const int h = gif_.ImageHeight;
    if (w <= 0 || h <= 0) {
        // No ratio can be formed: no zoom, the control keeps its size.
        ZoomX = 1.0f;
        ZoomY = 1.0f;
        return {cw, ch};
    }
    const double rx = double(cw) / w;
    const double ry = double(ch) / h;
    switch (stretch) {
    case 1:
        ZoomX = ZoomY = static_cast<float>(std::min(rx, ry));
        break;
    case 2:
        ZoomX = static_cast<float>(rx);
        ZoomY = static_cast<float>(ry);
        break;
    case 3:
        if (rx > 1.0 && ry > 1.0) {
            ZoomX = ZoomY = 1.0f;
        } else {
            ZoomX = ZoomY = static_cast<float>(std::min(rx, ry));
        }
        break;
    case 4:
        ZoomX = ZoomY = 1.0f;
        return {w, h};
    default:
        ZoomX = ZoomY = 1.0f;
        return {cw, ch};
    }
    if (autoSize) {
        return {RoundHalfEven(double(ZoomX) * w), RoundHalfEven(double(ZoomY) * h)};
    }
    return {cw, ch};
}

// ---------------------------------------------------------------------------
// Mirroring

namespace {

template <typename T>
void flipArea(T* base, qsizetype strideBytes, int x, int w, int h, bool leftRight, bool topBottom) {
    if (w <= 0 || h <= 0) {
        return;
    }
    auto rowAt = [&](int y) {
        return reinterpret_cast<T*>(reinterpret_cast<uint8_t*>(base) + strideBytes * y) + x;
    };
    if (leftRight) {
        for (int y = 0; y < h; ++y) {
            T* r = rowAt(y);
            std::reverse(r, r + w);
        }
    }
    if (topBottom) {
        for (int y = 0; y < h / 2; ++y) {
            std::swap_ranges(rowAt(y), rowAt(y) + w, rowAt(h - 1 - y));
        }
    }
}

} // namespace

void FrameComposition::ApplyMirror(int fromStyle, int toStyle, int firstFrame, int lastFrame,
                                   bool includeComposite) {
    const int flips = (fromStyle ^ toStyle) & 3;
    if (flips == 0) {
        return;
    }
    const bool lr = (flips & 1) != 0;
    const bool tb = (flips & 2) != 0;
    QImage& strip = gif_.FrameStrip;
    firstFrame = std::max(firstFrame, 1);
    lastFrame = std::min(lastFrame, gif_.FrameCount());
    for (int k = firstFrame; k <= lastFrame; ++k) {
        GifFrame& f = gif_.Frame(k);
        if (lr) {
            f.Left = gif_.ImageWidth - (f.Left + f.Width);
        }
        if (tb) {
            f.Top = gif_.ImageHeight - (f.Top + f.Height);
        }
        if (!strip.isNull() && f.StripX >= 0 && qint64(f.StripX) + f.Width <= strip.width() &&
            f.Height <= strip.height()) {
            flipArea(strip.bits(), strip.bytesPerLine(), f.StripX, f.Width, f.Height, lr, tb);
        }
    }
    if (includeComposite && !Composite.isNull()) {
        flipArea(reinterpret_cast<uint32_t*>(Composite.bits()), Composite.bytesPerLine(), 0,
                 Composite.width(), Composite.height(), lr, tb);
        // The area a disposal-3 frame saved flips with the composite.
        if (!savedArea_.isEmpty()) {
            QRect& r = savedArea_;
            if (lr) {
                r.moveLeft(Composite.width() - (r.left() + r.width()));
            }
            if (tb) {
                r.moveTop(Composite.height() - (r.top() + r.height()));
            }
            flipArea(savedRect_.data(), qsizetype(r.width()) * 4, 0, r.width(), r.height(), lr, tb);
        }
    }
}

// ---------------------------------------------------------------------------
// Colour tables

int FrameComposition::paletteRow(int frameIndex) const {
    if (gif_.FrameCount() < 1 || frameIndex < 0 || frameIndex > gif_.FrameCount()) {
        return -1;
    }
    // Index 0 names the global table; a frame without a local table has none.
    int row = 0;
    if (frameIndex > 0) {
        row = gif_.Frame(frameIndex).ColorTable;
        if (row == 0) {
            return -1;
        }
    }
    if (row < 0 || row >= int(gif_.ColorTables.size())) {
        return -1;
    }
    return row;
}

bool FrameComposition::GetPalette(int frameIndex, QList<uint32_t>& paletteEntries) const {
    const int row = paletteRow(frameIndex);
    if (row < 0) {
        return false;
    }
    const ColorTableRow& r = gif_.ColorTables[static_cast<std::size_t>(row)];
    const int count = static_cast<int>(std::min<uint32_t>(r[kColorCountColumn], 256));
    paletteEntries.resize(count);
    for (int i = 0; i < count; ++i) {
        paletteEntries[i] = r[static_cast<std::size_t>(i)];
    }
    return true;
}

bool FrameComposition::SetPalette(int frameIndex, const QList<uint32_t>* paletteEntries) {
    const int row = paletteRow(frameIndex);
    if (row < 0) {
        return false;
    }
    ColorTableRow& r = gif_.ColorTables[static_cast<std::size_t>(row)];
    const int count = static_cast<int>(std::min<uint32_t>(r[kColorCountColumn], 256));
    if (paletteEntries == nullptr || paletteEntries->size() < count) {
        return false; // a missing or unusable array changes nothing
    }
    // Kept as given: GetPalette returns what was set; painting uses the low
    // 24 bits.
    for (int i = 0; i < count; ++i) {
        r[static_cast<std::size_t>(i)] = (*paletteEntries)[i];
    }
    LoadedColorTable = -1;
    RecolourComposedFrame();
    return true;
}

bool FrameComposition::CacheColorTables() {
    if (ColorTableCache.has_value()) {
        return false;
    }
    ColorTableCache = gif_.ColorTables;
    return true;
}

bool FrameComposition::RestoreColorTables(bool releaseCache) {
    if (!ColorTableCache.has_value()) {
        return false;
    }
    gif_.ColorTables = *ColorTableCache;
    LoadedColorTable = -1;
    if (releaseCache) {
        ColorTableCache.reset();
    }
    RecolourComposedFrame();
    return true;
}

void FrameComposition::Clear() {
    Composite = QImage();
    Mode = RenderMode::Direct;
    MaskPalette.fill(0);
    LoadedColorTable = -1;
    ColorTableCache.reset();
    composedFrame_ = 0;
    frameScratch_ = QImage();
    savedArea_ = QRect();
    std::vector<uint32_t>().swap(savedRect_);
}

} // namespace anigif

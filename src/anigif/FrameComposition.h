#pragma once

// Composing and painting the current frame of the animated-GIF control:
// colours through the strip's switchable colour table, transparency, the
// disposal methods, the composite, zoom and alignment, the background,
// mirroring and the colour-table operations. Works on QImage and QPainter
// only; the control (ucAniGIF) owns one instance.
//
// Qt paints when it likes (expose, resize, show, any update), so the two
// halves are apart: ComposeFrame brings the composite to a frame when the
// control's current frame changes, and PaintFrame only shows what is
// composed; painting twice shows the same picture twice. A frame's disposal
// applies when the next frame begins.
//
// Storage: the composite is one 32-bit image whose alpha channel is the
// 1-bit mask (alpha 0 = mask 1, transparent, with black colour; alpha 255 =
// covered). Without a mask the composite is opaque (QImage::Format_RGB32).
// Copying a frame through the strip's colour table is one 256-entry lookup
// per pixel that yields either "leave the target as it is" or an opaque
// colour: exactly what the AND/OR pair of masked block copies leaves behind.

#include "anigif/GifDecoding.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace anigif {

enum class RenderMode {
    Direct,            // each paint shows the current frame alone
    Composite,         // frames are added to an opaque composite
    CompositeWithMask, // the composite keeps transparency
};

// What PaintFrame needs to know about the control.
struct PaintContext {
    bool designTime = false;
    int backStyle = 0; // 0 transparent, 1 opaque
    QColor backColor;  // already resolved from BackColor
    int offsetX = 0;
    int offsetY = 0;
    int innerWidth = 0; // control size in pixels
    int innerHeight = 0;
    QColor outlineColor; // design-time outline (window-frame colour)
};

class FrameComposition {
public:
    // The composite is refused (the load fails) beyond this many pixels.
    static constexpr qint64 kDefaultMaxCompositePixels = qint64(1) << 27;

    explicit FrameComposition(GifDecoding& gif) : gif_(gif) {}

    RenderMode Mode = RenderMode::Direct;
    QImage Composite; // ImageWidth x ImageHeight; null in direct mode
    std::array<uint32_t, 256> MaskPalette{};
    int LoadedColorTable = -1;
    float ZoomX = 0.0f;
    float ZoomY = 0.0f;
    bool OwnWindowOpaque = false;
    std::optional<std::vector<ColorTableRow>> ColorTableCache;
    qint64 maxCompositePixels = kDefaultMaxCompositePixels;

    bool HasComposite() const { return !Composite.isNull(); }
    bool HasMask() const { return Mode == RenderMode::CompositeWithMask; }

    // Chooses the render mode after the first decoding pass and creates the
    // composite as needed. False when a surface cannot be created.
    bool ChooseRenderMode(bool designTime);

    // Makes frame k the composed frame: applies the disposal of the frame
    // composed until now, prepares (frame 1 starts from an empty composite;
    // a disposal-3 frame saves its area) and adds frame k. In direct mode it
    // only takes frame k's colours. k outside 1..N composes nothing.
    void ComposeFrame(int k);
    // The frame ComposeFrame last brought in; 0 = none.
    int ComposedFrame() const { return composedFrame_; }
    // Adds the composed frame again in the colour tables as they are now
    // (after SetPalette or RestoreColorTables change them).
    void RecolourComposedFrame();

    // Paints the composed frame (none draws nothing) onto the painter's
    // device: the control's surface, or any image the caller paints into.
    // Changes nothing that a later paint would show.
    void PaintFrame(QPainter& painter, const PaintContext& ctx) const;

    // Pixels of the direct-mode scratch image the last paint converted
    // (never above maxCompositePixels). For tests.
    qint64 ScratchPixels() const { return qint64(frameScratch_.width()) * frameScratch_.height(); }

    // Sets ZoomX and ZoomY and returns the control size wanted by the zoom
    // mode (0..4) and AutoSize, for a control of cw x ch pixels.
    QSize ComputeZoom(int cw, int ch, int stretch, bool autoSize);

    // Flips frames firstFrame..lastFrame (strip areas and positions) and,
    // with includeComposite, the composite, from one mirror style to another.
    void ApplyMirror(int fromStyle, int toStyle, int firstFrame, int lastFrame,
                     bool includeComposite);

    // The colour-table operations (the control pauses and repaints around
    // them). Entries are 0x00RRGGBB; SetPalette keeps the values as given
    // (GetPalette returns them) and painting uses their low 24 bits. A change
    // of the tables recolours the composed frame.
    bool GetPalette(int frameIndex, QList<uint32_t>& paletteEntries) const;
    bool SetPalette(int frameIndex, const QList<uint32_t>* paletteEntries);
    bool CacheColorTables();
    bool RestoreColorTables(bool releaseCache);

    // Drops the surfaces, the mask palette and the cache.
    void Clear();

    // The 256-entry lookup for copying frame k, switching the strip's colour
    // table as the block copies do: 0 = leave the target, else an opaque colour
    // 0xFFRRGGBB. Public for tests.
    void BuildFrameLookup(int k, uint32_t* lookup);

private:
    // The colour-table row of a frame (0 = the global table), or -1.
    int paletteRow(int frameIndex) const;
    void AddFrameToComposite(int k);
    void DisposeComposedFrame();
    void DrawFrameDirect(int k, QPainter& painter, int x, int y, int w, int h) const;
    void ResetComposite();
    void FillCompositeRect(const GifFrame& f);
    void SaveCompositeRect(const GifFrame& f);
    void RestoreSavedRect();
    uint32_t EmptyPixel() const { return HasMask() ? 0x00000000u : 0xFF000000u; }

    GifDecoding& gif_;
    int composedFrame_ = 0;
    // The composed frame's lookup (direct mode paints through it).
    std::array<uint32_t, 256> frameLookup_{};
    // Direct mode: the visible part of the frame in colours, a cache of the
    // paint (its content never outlives one paint).
    mutable QImage frameScratch_;
    // Disposal 3: the composite's pixels under the composed frame.
    QRect savedArea_;
    std::vector<uint32_t> savedRect_;
};

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double value);

} // namespace anigif

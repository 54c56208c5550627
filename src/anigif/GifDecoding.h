#pragma once

// The reading and writing side of the animated-GIF control: the parser that
// turns GIF bytes into frame records, colour tables, the image size and the
// loop count; the frame decoder that puts every frame's colour indices side
// by side into one 8-bit strip; and the frame exporter that writes one frame
// back out as a single-image GIF.

#include <QByteArray>
#include <QImage>
#include <array>
#include <cstdint>
#include <vector>

namespace anigif {

// One accepted image of the file, numbered 1..N in file order.
struct GifFrame {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t FrameDelay = 0; // ms: the graphic control extension's delay x 10
    int32_t ColorTable = 0; // 0 = global table, k >= 1 = the k-th local table
    int32_t DataStart = 0;  // graphic control extension, else image separator
    int32_t StripX = 0;     // left column in the frame strip, set when decoded
    uint8_t TransparentIndex = 0;
    uint8_t Transparent = 0;
    uint8_t Disposal = 0;
};

// The block index: where a frame's image block lies in the GIF bytes.
struct FrameBlock {
    int32_t BlockStart = 0; // offset of the image separator 0x2C
    int32_t BlockSize = 0;  // up to and including the data terminator
};

// A colour table row: columns 0..255 are 0x00RRGGBB entries, column 256 the
// number of entries (0 for a row never filled).
using ColorTableRow = std::array<uint32_t, 257>;
inline constexpr int kColorCountColumn = 256;

// The "End of File" failure of the read primitives (number 53, source
// "ReadGifFile"). It never leaves ParseGif.
struct GifEndOfFile {
    static constexpr int Number = 53;
    static constexpr const char* Source = "ReadGifFile";
    static constexpr const char* Description = "End of File";
};

// True when the first six bytes are GIF89a or GIF87a in any letter case.
bool IsGifSignature(const QByteArray& bytes);

class GifDecoding {
public:
    // At most 32767 frames: the frame counter is a signed 16-bit number.
    static constexpr int kMaxFrames = 32767;
    // A strip larger than this is refused (the load fails) instead of
    // allocated: a header can ask for 65535 x 65535 pixels per frame.
    static constexpr qint64 kDefaultMaxStripBytes = qint64(1) << 30;

    // The complete file.
    QByteArray GifBytes;

    // Frame k is Frames[k - 1].
    std::vector<GifFrame> Frames;
    std::vector<FrameBlock> FrameBlocks;
    std::vector<ColorTableRow> ColorTables;
    bool HasGlobalTable = false;

    int32_t ImageWidth = 0;
    int32_t ImageHeight = 0;
    int32_t Loops = 0; // NETSCAPE2.0 loop count 0..65535, 0 when absent

    // The frame strip: 8-bit indexed, 256 colours, frame k at columns
    // StripX(k) .. StripX(k) + Width(k) - 1, rows 0 .. Height(k) - 1.
    QImage FrameStrip;

    qint64 maxStripBytes = kDefaultMaxStripBytes;

    int FrameCount() const { return static_cast<int>(Frames.size()); }
    GifFrame& Frame(int k) { return Frames[static_cast<std::size_t>(k - 1)]; }
    const GifFrame& Frame(int k) const { return Frames[static_cast<std::size_t>(k - 1)]; }

    // Parses GifBytes. Returns the number of frames (0 = not a usable GIF).
    int ParseGif();

    // first = 1: creates the strip and decodes frame 1 (the strip is only
    // as large as frame 1 when onlyFirstFrame). first = 2: decodes frames
    // 2..N. False when the strip cannot be created.
    bool DecodeFrames(int first, bool onlyFirstFrame);
    // Decodes frames from `next` on (2 or later, frame 1 decoded) until
    // `budgetMs` has passed; the next frame left, or 0 when none is (the
    // decoding buffers are then released). A big loop is so decoded in
    // slices between which the program's events run.
    int DecodeFramesFor(int next, qint64 budgetMs);

    // Frame k as a single-image GIF (the bytes are fixed); empty when k is
    // out of range or its pixels are not in the strip.
    QByteArray ExportFrame(int k) const;

    // Releases what only decoding needs (the pixel buffer, the block index).
    void ReleaseDecodingBuffers();

    // Keeps frame 1 only, with disposal 0 (no timer could be had).
    void CutToFirstFrame();

    // Drops frames, tables, strip and sizes (GifBytes stays).
    void Clear();

    // The strip's colour table: replaces its first `count` entries with
    // 0x00RRGGBB values (the rest keep what they held).
    void SetStripColors(const uint32_t* entries, int count);
    void SetStripIdentityPalette();

    // The read primitives over GifBytes at the read position Pos. ReadByte,
    // ReadWord and ReadColorTable throw GifEndOfFile.
    int32_t Pos = 0;
    uint8_t ReadByte();
    uint16_t ReadWord();
    QByteArray ReadBytes(int n);
    void SkipSubBlocks();
    void ReadColorTable(int row, int bits);

private:
    void DecodeFrame(int k);

    std::vector<uint8_t> pixelBuffer_; // the LZW decoder's linear output
};

} // namespace anigif

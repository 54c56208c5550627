#include "GifDecoding.h"

#include "GifLzw.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace anigif {
namespace {

const uint8_t* bytesOf(const QByteArray& a) {
    return reinterpret_cast<const uint8_t*>(a.constData());
}

void putWord(QByteArray& out, int offset, int value) {
    out[offset] = static_cast<char>(value & 0xFF);
    out[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void freeStrip(void* memory) {
    std::free(memory);
}

} // namespace

bool IsGifSignature(const QByteArray& bytes) {
    if (bytes.size() < 6) {
        return false;
    }
    const QByteArray lower = bytes.left(6).toLower();
    return lower == "gif89a" || lower == "gif87a";
}

// ---------------------------------------------------------------------------
// Read primitives

uint8_t GifDecoding::ReadByte() {
    if (Pos < 0 || Pos >= GifBytes.size()) {
        throw GifEndOfFile{};
    }
    // Const access: a non-const operator[] would detach (copy) the shared bytes.
    return bytesOf(GifBytes)[Pos++];
}

uint16_t GifDecoding::ReadWord() {
    if (Pos < 0 || static_cast<qint64>(Pos) + 2 > GifBytes.size()) {
        throw GifEndOfFile{};
    }
    const uint8_t* p = bytesOf(GifBytes) + Pos;
    Pos += 2;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

QByteArray GifDecoding::ReadBytes(int n) {
    if (n <= 0) {
        return {};
    }
    if (Pos < 0 || static_cast<qint64>(Pos) + n > GifBytes.size()) {
        return QByteArray(n, '\0');
    }
    QByteArray out = GifBytes.mid(Pos, n);
    Pos += n;
    return out;
}

void GifDecoding::SkipSubBlocks() {
    const qint64 size = GifBytes.size();
    const uint8_t* data = bytesOf(GifBytes);
    qint64 pos = Pos;
    while (pos >= 0 && pos < size && data[pos] != 0) {
        pos += data[pos] + 1;
    }
    pos += 1;
    // The position may end past the end of the file (a cut file); it stays
    // representable because the file itself is.
    Pos = static_cast<int32_t>(std::min<qint64>(pos, size + 1));
}

void GifDecoding::ReadColorTable(int row, int bits) {
    const int entries = 1 << bits;
    if (Pos < 0 || static_cast<qint64>(Pos) + 3 * entries + 1 > GifBytes.size()) {
        throw GifEndOfFile{};
    }
    if (row >= static_cast<int>(ColorTables.size())) {
        ColorTables.resize(static_cast<std::size_t>(row) + 1, ColorTableRow{});
    }
    ColorTableRow& r = ColorTables[static_cast<std::size_t>(row)];
    const uint8_t* p = bytesOf(GifBytes) + Pos;
    for (int i = 0; i < entries; ++i) {
        r[static_cast<std::size_t>(i)] =
            (uint32_t(p[3 * i]) << 16) | (uint32_t(p[3 * i + 1]) << 8) | p[3 * i + 2];
    }
    r[kColorCountColumn] = static_cast<uint32_t>(entries);
    Pos += 3 * entries;
}

// ---------------------------------------------------------------------------
// Parsing

int GifDecoding::ParseGif() {
    Frames.clear();
    FrameBlocks.clear();
    FrameBlocks.reserve(10);
    ColorTables.assign(1, ColorTableRow{});
    HasGlobalTable = false;
    ImageWidth = 0;
    ImageHeight = 0;
    Loops = 0;
    Pos = 0;
    if (GifBytes.size() > 0x7FFFFF00) {
        return 0; // offsets are 32-bit
    }

    const QByteArray signature = ReadBytes(6).toLower();
    if (signature != "gif89a" && signature != "gif87a") {
        return 0;
    }

    try {
        Pos = 10;
        const uint8_t packed = ReadByte();
        Pos = 13;
        if (packed & 0x80) {
            ReadColorTable(0, (packed & 7) + 1);
            HasGlobalTable = true;
        }

        GifFrame pending;
        for (;;) {
            const uint8_t b = ReadByte();
            if (b == 0x00) {
                continue;
            }
            if (b == 0x21) {
                const int32_t introducer = Pos - 1;
                const uint8_t label = ReadByte();
                if (label == 0xFF) {
                    const int n = ReadByte();
                    const QByteArray id = ReadBytes(n).toUpper();
                    if (id == "NETSCAPE2.0") {
                        const uint8_t s = ReadByte();
                        if (s == 3) {
                            ReadByte(); // the sub-block identifier
                            Loops = ReadWord();
                        } else {
                            Pos -= 1;
                        }
                    }
                    SkipSubBlocks();
                } else if (label == 0xF9) {
                    pending = GifFrame{};
                    pending.DataStart = introducer;
                    ReadByte(); // block size, not used
                    const uint8_t f = ReadByte();
                    int disposal = (f >> 2) & 7;
                    if (disposal == 3 && Frames.empty()) {
                        disposal = 0;
                    }
                    if (disposal > 3) {
                        disposal = 0;
                    }
                    pending.Disposal = static_cast<uint8_t>(disposal);
                    pending.FrameDelay = ReadWord() * 10;
                    pending.Transparent = f & 1;
                    if (pending.Transparent) {
                        pending.TransparentIndex = ReadByte();
                    } else {
                        Pos = pending.DataStart + 7;
                    }
                    SkipSubBlocks();
                } else {
                    SkipSubBlocks();
                }
                continue;
            }
            if (b == 0x2C) {
                if (static_cast<int>(Frames.size()) >= kMaxFrames) {
                    break; // a 32768th frame would overflow the counter
                }
                FrameBlock block;
                block.BlockStart = Pos - 1;
                if (pending.DataStart == 0) {
                    pending.DataStart = block.BlockStart;
                }
                pending.Left = ReadWord();
                pending.Top = ReadWord();
                pending.Width = ReadWord();
                pending.Height = ReadWord();
                const uint8_t f = ReadByte();
                if (f & 0x80) {
                    const int row = static_cast<int>(ColorTables.size());
                    pending.ColorTable = row;
                    ReadColorTable(row, (f & 7) + 1);
                } else if (!HasGlobalTable) {
                    Frames.clear();
                    FrameBlocks.clear();
                    return 0;
                }
                ReadByte(); // LZW minimum code size, read again when decoding
                SkipSubBlocks();
                block.BlockSize = Pos - block.BlockStart;
                FrameBlocks.push_back(block);
                Frames.push_back(pending);
                ImageWidth = std::max(ImageWidth, pending.Left + pending.Width);
                ImageHeight = std::max(ImageHeight, pending.Top + pending.Height);
                pending = GifFrame{};
                continue;
            }
            break; // the trailer, or any unknown introducer
        }
    } catch (const GifEndOfFile&) {
        // Quietly: the frames accepted so far remain.
    }
    return static_cast<int>(Frames.size());
}

// ---------------------------------------------------------------------------
// Decoding

void GifDecoding::SetStripColors(const uint32_t* entries, int count) {
    if (FrameStrip.isNull()) {
        return;
    }
    count = std::clamp(count, 0, 256);
    for (int i = 0; i < count; ++i) {
        FrameStrip.setColor(i, 0xFF000000u | (entries[i] & 0xFFFFFFu));
    }
}

void GifDecoding::SetStripIdentityPalette() {
    if (FrameStrip.isNull()) {
        return;
    }
    // Built once and shared: the strip takes a reference, not a copy.
    static const QList<QRgb> identity = [] {
        QList<QRgb> colours(256);
        for (int i = 0; i < 256; ++i) {
            colours[i] = 0xFF000000u | static_cast<uint32_t>(i);
        }
        return colours;
    }();
    FrameStrip.setColorTable(identity);
}

bool GifDecoding::DecodeFrames(int first, bool onlyFirstFrame) {
    const int n = FrameCount();
    if (n < 1) {
        return false;
    }
    if (first == 1) {
        qint64 width = 0;
        qint64 height = 0;
        if (onlyFirstFrame) {
            width = Frames[0].Width;
            height = Frames[0].Height;
        } else {
            for (const GifFrame& f : Frames) {
                width += f.Width;
                height = std::max<qint64>(height, f.Height);
            }
        }
        FrameStrip = QImage();
        if (width < 1 || height < 1 || width > 0x7FFFFFF0) {
            return false;
        }
        const qint64 stride = (width + 3) & ~qint64(3);
        if (stride > maxStripBytes / height) {
            return false;
        }
        const qint64 bytes = stride * height;
        // The slack after the rows lets a strip of one frame be decoded in
        // place (no second buffer of the frame's size).
        void* memory = std::calloc(static_cast<std::size_t>(bytes) + kLzwSlack, 1);
        if (memory == nullptr) {
            return false;
        }
        FrameStrip =
            QImage(static_cast<uchar*>(memory), static_cast<int>(width), static_cast<int>(height),
                   static_cast<qsizetype>(stride), QImage::Format_Indexed8, freeStrip, memory);
        if (FrameStrip.isNull()) {
            std::free(memory);
            return false;
        }
        SetStripIdentityPalette();

        DecodeFrame(1);
        return true;
    }

    if (FrameStrip.isNull()) {
        return false;
    }
    if (n > 1) {
        SetStripIdentityPalette();
        for (int k = 2; k <= n; ++k) {
            DecodeFrame(k);
        }
    }
    ReleaseDecodingBuffers();
    return true;
}

int GifDecoding::DecodeFramesFor(int next, qint64 budgetMs) {
    const int n = FrameCount();
    if (FrameStrip.isNull() || next < 2 || next > n) {
        ReleaseDecodingBuffers();
        return 0;
    }
    QElapsedTimer slice;
    slice.start();
    SetStripIdentityPalette();
    for (int k = next; k <= n; ++k) {
        DecodeFrame(k);
        if (k < n && slice.elapsed() >= budgetMs) {
            return k + 1;
        }
    }
    ReleaseDecodingBuffers();
    return 0;
}

void GifDecoding::DecodeFrame(int k) {
    GifFrame& frame = Frame(k);
    frame.StripX = k == 1 ? 0 : Frame(k - 1).StripX + Frame(k - 1).Width;
    if (k > static_cast<int>(FrameBlocks.size())) {
        return;
    }
    const FrameBlock& block = FrameBlocks[static_cast<std::size_t>(k - 1)];

    // The image block: descriptor (10 bytes), local table, minimum code
    // size, data sub-blocks. A block cut by the end of the file ends there.
    const qint64 fileSize = GifBytes.size();
    const qint64 start = block.BlockStart;
    const qint64 end = std::min<qint64>(start + block.BlockSize, fileSize);
    if (start < 0 || start + 10 > end) {
        return;
    }
    const uint8_t* data = bytesOf(GifBytes);
    const uint8_t packed = data[start + 9];
    qint64 pos = start + 10;
    if (packed & 0x80) {
        pos += 3 * (qint64(1) << ((packed & 7) + 1));
    }
    if (pos >= end) {
        return;
    }
    const int minCodeSize = data[pos++];

    // The frame's area in the strip, clipped to the strip.
    const qint64 x = frame.StripX;
    if (x >= FrameStrip.width()) {
        return;
    }
    LzwTarget target;
    target.base = FrameStrip.bits() + x;
    target.stride = FrameStrip.bytesPerLine();
    target.width = static_cast<int>(std::min<qint64>(frame.Width, FrameStrip.width() - x));
    target.height = std::min(frame.Height, FrameStrip.height());
    target.interlaced = (packed & 0x40) != 0;
    target.scratch = &pixelBuffer_;
    // Frame 1 of a fresh strip is alone in it when the strip is as wide as
    // the frame: its memory is still all zero and nothing else lies there.
    target.inPlace = k == 1 && frame.Width == FrameStrip.width();
    if (target.width < frame.Width || target.height < frame.Height) {
        // Never happens with a strip made for these frames; decode nothing
        // rather than a distorted picture.
        return;
    }
    LzwDecode(data + pos, static_cast<std::size_t>(end - pos), minCodeSize, target);
}

void GifDecoding::ReleaseDecodingBuffers() {
    std::vector<uint8_t>().swap(pixelBuffer_);
    std::vector<FrameBlock>().swap(FrameBlocks);
}

void GifDecoding::CutToFirstFrame() {
    if (Frames.size() > 1) {
        Frames.resize(1);
    }
    if (FrameBlocks.size() > 1) {
        FrameBlocks.resize(1);
    }
    if (!Frames.empty()) {
        Frames[0].Disposal = 0;
    }
}

void GifDecoding::Clear() {
    Frames.clear();
    FrameBlocks.clear();
    ColorTables.clear();
    HasGlobalTable = false;
    ImageWidth = 0;
    ImageHeight = 0;
    Loops = 0;
    FrameStrip = QImage();
    std::vector<uint8_t>().swap(pixelBuffer_);
}

// ---------------------------------------------------------------------------
// Export

QByteArray GifDecoding::ExportFrame(int k) const {
    if (k < 1 || k > FrameCount()) {
        return {};
    }
    const GifFrame& frame = Frame(k);
    QByteArray out(13 + 768, '\0');
    std::memcpy(out.data(), "GIF89a", 6);
    putWord(out, 6, frame.Width);
    putWord(out, 8, frame.Height);
    out[10] = static_cast<char>(0x87);

    if (frame.ColorTable >= 0 && frame.ColorTable < static_cast<int>(ColorTables.size())) {
        const ColorTableRow& row = ColorTables[static_cast<std::size_t>(frame.ColorTable)];
        const int count = static_cast<int>(std::min<uint32_t>(row[kColorCountColumn], 256));
        for (int i = 0; i < count; ++i) {
            const uint32_t c = row[static_cast<std::size_t>(i)];
            out[13 + 3 * i] = static_cast<char>((c >> 16) & 0xFF);
            out[13 + 3 * i + 1] = static_cast<char>((c >> 8) & 0xFF);
            out[13 + 3 * i + 2] = static_cast<char>(c & 0xFF);
        }
    }

    if (frame.Transparent) {
        const char gce[8] = {
            '\x21', '\xF9', '\x04', '\x01', '\0', '\0', static_cast<char>(frame.TransparentIndex),
            '\0'};
        out.append(gce, 8);
    }
    QByteArray descriptor(11, '\0');
    descriptor[0] = '\x2C';
    descriptor[5] = out[6];
    descriptor[6] = out[7];
    descriptor[7] = out[8];
    descriptor[8] = out[9];
    descriptor[9] = '\0';
    descriptor[10] = '\x08';
    out.append(descriptor);

    // The pixels: the frame's area of the strip, top row first. A frame the
    // strip does not hold (not decoded) exports nothing: no allocation is
    // ever driven by the descriptor's size alone.
    const int w = frame.Width;
    const int h = frame.Height;
    const uint8_t* src = nullptr;
    qsizetype stride = 0;
    if (w > 0 && h > 0) {
        const bool inside = !FrameStrip.isNull() && frame.StripX >= 0 &&
                            qint64(frame.StripX) + w <= FrameStrip.width() &&
                            h <= FrameStrip.height();
        if (!inside) {
            return {};
        }
        src = FrameStrip.constBits() + frame.StripX;
        stride = FrameStrip.bytesPerLine();
    }
    LzwEncode8(src, w, h, stride, out);
    out.append('\x3B');
    return out;
}

} // namespace anigif

#include "GifLzw.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace anigif {
namespace {

constexpr int kMaxCodes = 4096;

// Writes decoded strings into the target, row after row, resolving the
// interlaced row order. A string that fits in the current row is written in
// place; one that crosses a row end goes through a small buffer.
class RowWriter {
public:
    explicit RowWriter(const LzwTarget& t)
        : base_(t.base), stride_(t.stride), width_(t.width), height_(t.height),
          interlaced_(t.interlaced), rowsLeft_(t.width > 0 ? t.height : 0) {
        rowPtr_ = base_;
    }

    bool full() const { return rowsLeft_ <= 0; }
    int64_t written() const { return written_; }

    // Room left in the current row.
    int room() const { return width_ - col_; }
    uint8_t* cursor() { return rowPtr_ + col_; }

    // Marks n bytes written at cursor() (n <= room()).
    void advance(int n) {
        col_ += n;
        written_ += n;
        if (col_ == width_) {
            nextRow();
        }
    }

    // Writes n bytes from src across as many rows as needed.
    void writeSpanning(const uint8_t* src, int n) {
        while (n > 0 && rowsLeft_ > 0) {
            const int chunk = std::min(n, room());
            std::memcpy(cursor(), src, static_cast<std::size_t>(chunk));
            src += chunk;
            n -= chunk;
            advance(chunk);
        }
    }

private:
    void nextRow() {
        col_ = 0;
        --rowsLeft_;
        if (rowsLeft_ <= 0) {
            return;
        }
        if (!interlaced_) {
            ++row_;
        } else {
            static constexpr int kStart[4] = {0, 4, 2, 1};
            static constexpr int kStep[4] = {8, 8, 4, 2};
            row_ += kStep[pass_];
            while (row_ >= height_ && pass_ < 3) {
                ++pass_;
                row_ = kStart[pass_];
            }
            if (row_ >= height_) { // cannot happen: the passes cover every row
                rowsLeft_ = 0;
                return;
            }
        }
        rowPtr_ = base_ + static_cast<std::ptrdiff_t>(row_) * stride_;
    }

    uint8_t* base_;
    std::ptrdiff_t stride_;
    int width_;
    int height_;
    bool interlaced_;
    int rowsLeft_;
    int row_ = 0;
    int pass_ = 0;
    int col_ = 0;
    uint8_t* rowPtr_;
    int64_t written_ = 0;
};

inline uint64_t load64le(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}

} // namespace

std::size_t GatherSubBlocks(const uint8_t* data, std::size_t size, std::vector<uint8_t>& out) {
    // First pass sums the lengths so the output is sized once; the second
    // copies. Growing per sub-block would reallocate and fault in pages.
    std::size_t total = 0;
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t s = data[pos];
        ++pos;
        if (s == 0) {
            break;
        }
        const std::size_t take = std::min(s, size - pos);
        total += take;
        pos += take;
    }
    out.resize(total);
    uint8_t* dst = out.data();
    pos = 0;
    while (pos < size) {
        const std::size_t s = data[pos];
        ++pos;
        if (s == 0) {
            break;
        }
        const std::size_t take = std::min(s, size - pos);
        std::memcpy(dst, data + pos, take);
        dst += take;
        pos += take;
    }
    return pos;
}

LzwResult LzwDecode(const uint8_t* codes, std::size_t size, int minCodeSize,
                    const LzwTarget& target) {
    LzwResult result;
    if (minCodeSize < 2 || minCodeSize > 11) {
        result.end = LzwEnd::BadCodeSize;
        return result;
    }
    RowWriter out(target);
    if (out.full()) {
        result.end = LzwEnd::ImageFull;
        return result;
    }

    // The string table: each code is its prefix code plus one suffix byte;
    // first[] is the first byte of the whole string and len[] its length.
    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t first[kMaxCodes];
    uint16_t len[kMaxCodes];
    // The bytes of each string of up to 8 bytes, first byte lowest, so that
    // a short string (most of them) is one 8-byte store.
    uint64_t shortString[kMaxCodes];
    // Where a longer string already lies in the target (the string of its
    // prefix code followed by the next byte, all in one row), so it can be
    // copied rather than rebuilt byte by byte; null when not in one row.
    const uint8_t* copyFrom[kMaxCodes];
    uint8_t spill[kMaxCodes];

    const int clear = 1 << minCodeSize;
    const int endCode = clear + 1;
    for (int i = 0; i < clear; ++i) {
        prefix[i] = 0;
        suffix[i] = static_cast<uint8_t>(i);
        first[i] = static_cast<uint8_t>(i);
        len[i] = 1;
        shortString[i] = static_cast<uint8_t>(i);
    }

    int width = minCodeSize + 1;
    uint32_t mask = (1u << width) - 1;
    int next = clear + 2;
    int prev = -1;
    // The start of prev's string in the target when it and the byte after
    // it share a row, else null.
    const uint8_t* prevStart = nullptr;

    // Bit reader over the contiguous code bytes, least significant bit first.
    const uint64_t totalBits = static_cast<uint64_t>(size) * 8;
    uint64_t usedBits = 0;
    uint64_t acc = 0;
    int have = 0;
    std::size_t pos = 0;

    result.end = LzwEnd::DataExhausted;
    for (;;) {
        if (have < width) {
            if (size - pos >= 8) {
                acc |= load64le(codes + pos) << have;
                pos += static_cast<std::size_t>((63 - have) >> 3);
                have |= 56;
            } else {
                while (have <= 56 && pos < size) {
                    acc |= static_cast<uint64_t>(codes[pos++]) << have;
                    have += 8;
                }
            }
        }
        if (usedBits + static_cast<uint64_t>(width) > totalBits) {
            break;
        }
        const int code = static_cast<int>(acc & mask);
        acc >>= width;
        have -= width;
        usedBits += static_cast<uint64_t>(width);

        if (code == clear) {
            width = minCodeSize + 1;
            mask = (1u << width) - 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (code == endCode) {
            result.end = LzwEnd::EndCode;
            break;
        }
        if (code < clear && code > 255) {
            // A literal that an 8-bit index cannot hold.
            result.end = LzwEnd::InvalidCode;
            break;
        }
        if (prev < 0) {
            if (code >= clear) {
                result.end = LzwEnd::InvalidCode;
                break;
            }
            prevStart = out.room() > 1 ? out.cursor() : nullptr;
            *out.cursor() = static_cast<uint8_t>(code);
            out.advance(1);
            prev = code;
            if (out.full()) {
                result.end = LzwEnd::ImageFull;
                break;
            }
            continue;
        }

        uint8_t newFirst;
        if (code < next) {
            newFirst = first[code];
        } else if (code == next && next < kMaxCodes) {
            newFirst = first[prev];
        } else {
            result.end = LzwEnd::InvalidCode;
            break;
        }
        if (next < kMaxCodes) {
            prefix[next] = static_cast<uint16_t>(prev);
            suffix[next] = newFirst;
            first[next] = first[prev];
            len[next] = static_cast<uint16_t>(len[prev] + 1);
            if (len[prev] < 8) {
                shortString[next] = shortString[prev] | (uint64_t(newFirst) << (8 * len[prev]));
            }
            copyFrom[next] = prevStart;
            ++next;
            if (next == (1 << width) && width < 12) {
                ++width;
                mask = (1u << width) - 1;
            }
        }

        const int n = len[code];
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        if (n <= 8 && out.room() >= 8) {
            prevStart = n < out.room() ? out.cursor() : nullptr;
            std::memcpy(out.cursor(), &shortString[code], 8);
            out.advance(n);
            prev = code;
            if (out.full()) {
                result.end = LzwEnd::ImageFull;
                break;
            }
            continue;
        }
#endif
        const bool inRow = n <= out.room();
        prevStart = n < out.room() ? out.cursor() : nullptr;
        if (n > 8 && inRow && copyFrom[code] != nullptr) {
            // The string already lies before the cursor, except for the code
            // just added from prev and its own first byte: there the last
            // byte is the cursor's first, so it is copied after the rest.
            uint8_t* dst = out.cursor();
            const uint8_t* src = copyFrom[code];
            std::memcpy(dst, src, static_cast<std::size_t>(n - 1));
            dst[n - 1] = src[n - 1];
            out.advance(n);
            prev = code;
            if (out.full()) {
                result.end = LzwEnd::ImageFull;
                break;
            }
            continue;
        }
        // Write the string of `code` backwards from its last byte.
        uint8_t* dst = inRow ? out.cursor() : spill;
        uint8_t* p = dst + n - 1;
        int c = code;
        while (c >= clear) {
            *p-- = suffix[c];
            c = prefix[c];
        }
        *p = static_cast<uint8_t>(c);
        if (inRow) {
            out.advance(n);
        } else {
            out.writeSpanning(spill, n);
        }
        prev = code;
        if (out.full()) {
            result.end = LzwEnd::ImageFull;
            break;
        }
    }
    result.pixels = out.written();
    return result;
}

namespace {

// Packs codes least significant bit first into bytes and the bytes into
// 254-byte data sub-blocks.
class CodeWriter {
public:
    explicit CodeWriter(QByteArray& out) : out_(out) {}

    void put(int code, int width) {
        acc_ |= static_cast<uint32_t>(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            byte(static_cast<uint8_t>(acc_ & 0xFF));
            acc_ >>= 8;
            bits_ -= 8;
        }
    }

    void finish() {
        if (bits_ > 0) {
            byte(static_cast<uint8_t>(acc_ & 0xFF));
            acc_ = 0;
            bits_ = 0;
        }
        flushBlock();
        out_.append('\0');
    }

private:
    void byte(uint8_t b) {
        block_[count_++] = b;
        if (count_ == 254) {
            flushBlock();
        }
    }
    void flushBlock() {
        if (count_ > 0) {
            out_.append(static_cast<char>(count_));
            out_.append(reinterpret_cast<const char*>(block_), count_);
            count_ = 0;
        }
    }

    QByteArray& out_;
    uint32_t acc_ = 0;
    int bits_ = 0;
    uint8_t block_[254] = {};
    int count_ = 0;
};

} // namespace

void LzwEncode8(const uint8_t* pixels, int width, int height, std::ptrdiff_t stride,
                QByteArray& out) {
    constexpr int kHashSize = 5003;
    constexpr int kClear = 256;
    constexpr int kEnd = 257;
    constexpr int kFirstFree = 258;
    constexpr int kInitBits = 9;
    constexpr int kMaxBits = 12;
    constexpr int kMaxMaxCode = 1 << kMaxBits;

    std::vector<int32_t> htab(kHashSize, -1);
    std::vector<uint16_t> codetab(kHashSize, 0);

    CodeWriter writer(out);
    int nBits = kInitBits;
    int maxCode = (1 << nBits) - 1;
    int freeEnt = kFirstFree;
    bool clearFlag = false;

    // Writes one code at the current width, then widens (or, after a clear,
    // narrows) the codes that follow, as the classic GIF compressor does.
    auto output = [&](int code) {
        writer.put(code, nBits);
        if (freeEnt > maxCode || clearFlag) {
            if (clearFlag) {
                nBits = kInitBits;
                maxCode = (1 << nBits) - 1;
                clearFlag = false;
            } else {
                ++nBits;
                maxCode = nBits == kMaxBits ? kMaxMaxCode : (1 << nBits) - 1;
            }
        }
    };

    output(kClear);
    const int64_t count = (width > 0 && height > 0) ? static_cast<int64_t>(width) * height : 0;
    if (count > 0) {
        int ent = pixels[0];
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
            for (int x = (y == 0 ? 1 : 0); x < width; ++x) {
                const int c = row[x];
                const int32_t fcode = (c << kMaxBits) + ent;
                int h = (c << 4) ^ ent;
                bool found = false;
                if (htab[h] == fcode) {
                    ent = codetab[h];
                    continue;
                }
                if (htab[h] >= 0) {
                    const int disp = h == 0 ? 1 : kHashSize - h;
                    for (;;) {
                        h -= disp;
                        if (h < 0) {
                            h += kHashSize;
                        }
                        if (htab[h] == fcode) {
                            ent = codetab[h];
                            found = true;
                            break;
                        }
                        if (htab[h] < 0) {
                            break;
                        }
                    }
                }
                if (found) {
                    continue;
                }
                output(ent);
                ent = c;
                if (freeEnt < kMaxMaxCode) {
                    codetab[h] = static_cast<uint16_t>(freeEnt++);
                    htab[h] = fcode;
                } else {
                    std::fill(htab.begin(), htab.end(), -1);
                    freeEnt = kFirstFree;
                    clearFlag = true;
                    output(kClear);
                }
            }
        }
        output(ent);
    }
    output(kEnd);
    writer.finish();
}

} // namespace anigif

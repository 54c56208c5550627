#include "GifLzw.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace anigif {
namespace {

constexpr int kMaxCodes = 4096;
static_assert(kLzwSlack >= kMaxCodes + 16, "a whole string and a chunk's overshoot");

inline uint64_t load64le(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}

inline void store64le(uint8_t* p, uint64_t v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    std::memcpy(p, &v, sizeof v);
}

// Copies a string of n > 8 bytes from earlier output, 16 or 8 bytes at a
// time and up to 15 bytes beyond. src lies at least n - 1 bytes before dst,
// so every chunk read is final by the time it is read.
inline void copyString(uint8_t* dst, const uint8_t* src, int n) {
    if (n > 16) {
        for (int i = 0; i < n; i += 16) {
            uint8_t chunk[16];
            std::memcpy(chunk, src + i, 16);
            std::memcpy(dst + i, chunk, 16);
        }
        return;
    }
    for (int i = 0; i < n; i += 8) {
        uint64_t v;
        std::memcpy(&v, src + i, 8);
        std::memcpy(dst + i, &v, 8);
    }
}

// Moves the first `count` pixels of the linear buffer into the target's
// rows, in interlaced row order when asked.
void copyRowsOut(const uint8_t* linear, int64_t count, const LzwTarget& t) {
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    const int passes = t.interlaced ? 4 : 1;
    for (int pass = 0; pass < passes && count > 0; ++pass) {
        const int step = t.interlaced ? kStep[pass] : 1;
        for (int row = t.interlaced ? kStart[pass] : 0; row < t.height && count > 0; row += step) {
            const int n = static_cast<int>(std::min<int64_t>(count, t.width));
            std::memcpy(t.base + static_cast<std::ptrdiff_t>(row) * t.stride, linear,
                        static_cast<std::size_t>(n));
            linear += n;
            count -= n;
        }
    }
}

// Spreads `count` pixels decoded in place (rows width apart from t.base)
// to rows stride apart, last row first so that no row is overwritten before
// it has moved. What decoding left behind (up to `dirtyEnd`) and no pixel
// took ends zero again.
void spreadRowsInPlace(int64_t count, const uint8_t* dirtyEnd, const LzwTarget& t) {
    uint8_t* const rowsEnd = t.base + static_cast<std::ptrdiff_t>(t.height) * t.stride;
    if (t.stride == t.width) {
        std::memset(t.base + count, 0, static_cast<std::size_t>(dirtyEnd - (t.base + count)));
        return;
    }
    if (dirtyEnd > rowsEnd) {
        std::memset(rowsEnd, 0, static_cast<std::size_t>(dirtyEnd - rowsEnd));
    }
    for (int row = t.height - 1; row >= 0; --row) {
        const int64_t start = int64_t(row) * t.width;
        const int n = static_cast<int>(std::clamp<int64_t>(count - start, 0, t.width));
        uint8_t* dst = t.base + static_cast<std::ptrdiff_t>(row) * t.stride;
        if (n > 0) {
            std::memmove(dst, t.base + start, static_cast<std::size_t>(n));
        }
        std::memset(dst + n, 0, static_cast<std::size_t>(t.stride - n));
    }
}

} // namespace

LzwResult LzwDecode(const uint8_t* subBlocks, std::size_t size, int minCodeSize,
                    const LzwTarget& target) {
    LzwResult result;
    if (minCodeSize < 2 || minCodeSize > 11) {
        result.end = LzwEnd::BadCodeSize;
        return result;
    }
    const int64_t area =
        target.width > 0 && target.height > 0 ? int64_t(target.width) * target.height : 0;
    if (area == 0) {
        result.end = LzwEnd::ImageFull;
        return result;
    }

    // The pixels are decoded into one linear buffer and then moved into the
    // target's rows: every string then lies whole in earlier output, where a
    // later code that extends it can copy it from, whatever the row width.
    // Decoding in place spares that buffer and its fresh pages.
    const bool inPlace = target.inPlace && !target.interlaced;
    std::vector<uint8_t> ownBuffer;
    std::vector<uint8_t>& linear = target.scratch != nullptr ? *target.scratch : ownBuffer;
    const std::size_t need = static_cast<std::size_t>(area) + kLzwSlack;
    if (!inPlace && linear.size() < need) {
        linear.resize(need);
    }
    uint8_t* const begin = inPlace ? target.base : linear.data();
    uint8_t* const limit = begin + area;
    uint8_t* out = begin;

    // The string table: lenFirst[] holds a code's string length (low 16
    // bits) and its first byte (the 8 bits above), read and written as one;
    // a string of up to 8 bytes is also kept whole in shortString[] (first
    // byte lowest) so writing it is one 8-byte store; a longer one is copied
    // from where copyFrom[] says it lies in the output.
    uint32_t lenFirst[kMaxCodes];
    uint64_t shortString[kMaxCodes];
    const uint8_t* copyFrom[kMaxCodes];

    const int clear = 1 << minCodeSize;
    const int endCode = clear + 1;
    // The codes that are no string have length 0: the clear and end codes
    // and, with a minimum code size above 8, the literals an 8-bit index
    // cannot hold. So one test of the entry sorts them out.
    for (int i = 0; i <= endCode; ++i) {
        lenFirst[i] = i < std::min(clear, 256) ? 1u | (static_cast<uint32_t>(i) << 16) : 0u;
        shortString[i] = static_cast<uint8_t>(i);
    }

    int width = minCodeSize + 1;
    uint32_t mask = (1u << width) - 1;
    int next = clear + 2;
    // The previous code (-1 after a clear) and where its string starts in
    // the output.
    int prev = -1;
    const uint8_t* prevStart = nullptr;

    // Bit reader straight over the data sub-blocks, least significant bit
    // first: `have` bits wait in acc; the current sub-block's unread bytes
    // run from `in` to blockEnd, and at blockEnd a size byte follows (0, or
    // the end of the data, ends the stream).
    const uint8_t* in = subBlocks;
    const uint8_t* blockEnd = subBlocks;
    const uint8_t* const dataEnd = subBlocks + size;
    uint64_t acc = 0;
    int have = 0;

    result.end = LzwEnd::DataExhausted;
    for (;;) {
        if (have < width) {
            if (blockEnd - in >= 8) {
                acc |= load64le(in) << have;
                in += (63 - have) >> 3;
                have |= 56;
            } else {
                while (have <= 56) {
                    if (in == blockEnd) {
                        if (in == dataEnd || *in == 0) {
                            break;
                        }
                        const std::ptrdiff_t s = *in++;
                        blockEnd = in + std::min(s, dataEnd - in);
                        continue;
                    }
                    acc |= static_cast<uint64_t>(*in++) << have;
                    have += 8;
                }
                if (have < width) {
                    break; // the data ends within this code
                }
            }
        }
        const int code = static_cast<int>(acc & mask);
        acc >>= width;
        have -= width;

        uint32_t codeLenFirst;
        if (code < next) {
            codeLenFirst = lenFirst[code];
            if (codeLenFirst == 0) {
                if (code == clear) {
                    width = minCodeSize + 1;
                    mask = (1u << width) - 1;
                    next = clear + 2;
                    prev = -1;
                    continue;
                }
                result.end = code == endCode ? LzwEnd::EndCode : LzwEnd::InvalidCode;
                break;
            }
        } else if (code == next && next < kMaxCodes && prev >= 0) {
            codeLenFirst = lenFirst[prev] + 1; // prev's string and its first byte
        } else {
            result.end = LzwEnd::InvalidCode;
            break;
        }
        if (prev < 0) {
            // The first code after a clear: a literal, nothing to add.
            prevStart = out;
            *out++ = static_cast<uint8_t>(code);
            prev = code;
            if (out >= limit) {
                result.end = LzwEnd::ImageFull;
                break;
            }
            continue;
        }

        if (next < kMaxCodes) {
            // prev's string and the first byte of this one: it lies where
            // prev's string was written.
            const uint32_t prevLenFirst = lenFirst[prev];
            const uint64_t newFirst = (codeLenFirst >> 16) & 0xFF;
            const int prevLen = static_cast<int>(prevLenFirst & 0xFFFF);
            lenFirst[next] = prevLenFirst + 1;
            // Meaningless for a string longer than 8 bytes, and then unused.
            shortString[next] = shortString[prev] | (uint64_t(newFirst) << ((8 * prevLen) & 63));
            copyFrom[next] = prevStart;
            ++next;
            if (next > static_cast<int>(mask) && width < 12) {
                ++width;
                mask = (1u << width) - 1;
            }
        }

        const int n = static_cast<int>(codeLenFirst & 0xFFFF);
        prevStart = out;
        if (n <= 8) {
            store64le(out, shortString[code]);
        } else {
            // The string lies at least n - 1 >= 8 bytes back; for the code
            // one past the table its last byte is the first one written here.
            copyString(out, copyFrom[code], n);
        }
        out += n;
        prev = code;
        if (out >= limit) {
            result.end = LzwEnd::ImageFull;
            break;
        }
    }
    result.pixels = std::min<int64_t>(out - begin, area);
    if (inPlace) {
        // Past `out` at most one chunk of a copy was written.
        spreadRowsInPlace(result.pixels, out + 16, target);
    } else {
        copyRowsOut(begin, result.pixels, target);
    }
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

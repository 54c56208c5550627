#pragma once

// The GIF variant of LZW, both ways: the decoder that turns a frame's image
// data into colour indices (interlacing resolved), and the encoder that the
// frame exporter uses (5003-slot hash, 9 to 12 bit codes, 254-byte
// sub-blocks). Plain functions over bytes: no Qt objects, no allocation per
// code.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace anigif {

// The bytes past width x height that the decoder may write while decoding
// in place (see LzwTarget::inPlace).
inline constexpr std::size_t kLzwSlack = 4096 + 16;

// Where decoded indices go: width x height pixels, rows `stride` bytes apart,
// the first row at `base`. With `interlaced` the rows arrive in the four GIF
// passes (0, 8, 16 ...; 4, 12 ...; 2, 6 ...; 1, 3 ...).
struct LzwTarget {
    uint8_t* base = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    // The decoder's working buffer (width x height plus about 4 KB), kept by
    // a caller that decodes many frames; null = one of its own per call.
    std::vector<uint8_t>* scratch = nullptr;
    // The memory from base to height x stride + kLzwSlack bytes is the
    // decoder's, all zero: a non-interlaced image is then decoded there
    // (rows width apart) and spread to its rows, and every byte that no
    // pixel took ends zero again.
    bool inPlace = false;
};

// How a decode ended.
enum class LzwEnd {
    EndCode,       // the end code was read
    ImageFull,     // every pixel was written before the end code
    DataExhausted, // the data ran out first (the rest keeps what it held)
    InvalidCode,   // a code not yet in the table, or a literal above 255
                   // (decoding stops there; the pixels written stay)
    BadCodeSize,   // minimum code size outside 2..11: nothing is decoded
};

struct LzwResult {
    LzwEnd end = LzwEnd::DataExhausted;
    int64_t pixels = 0; // pixels written
};

// Decodes the LZW code stream held in the data sub-blocks that start at
// `subBlocks` (a size byte, that many bytes, ... up to a 0 size byte or the
// end of the `size` bytes; a cut sub-block contributes what is there) with
// the given minimum code size into `target`. Never reads or writes out of
// bounds, whatever the input. Pixels beyond width x height are dropped.
LzwResult LzwDecode(const uint8_t* subBlocks, std::size_t size, int minCodeSize,
                    const LzwTarget& target);

// Encodes width x height 8-bit pixels (rows `stride` bytes apart) with GIF
// LZW at minimum code size 8: clear code 256, end code 257, first free code
// 258, codes 9 to 12 bits wide, the string table a 5003-slot open-addressing
// hash. Appends the data sub-blocks (254 bytes each, the last one shorter)
// and the terminating zero byte to `out`.
void LzwEncode8(const uint8_t* pixels, int width, int height, std::ptrdiff_t stride,
                QByteArray& out);

} // namespace anigif

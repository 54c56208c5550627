#include "ContentCoding.h"

#include <array>
#include <brotli/encode.h>
#include <limits>
#include <memory>
#include <zlib.h>

namespace skyglance::catalogue {
namespace {

constexpr std::size_t kChunk = 16 * 1024;

bool gzipped(std::string_view body, std::string& out) {
    z_stream stream{};
    // 15 window bits, +16 for the gzip wrapper.
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        return false;
    }
    const std::unique_ptr<z_stream, int (*)(z_stream*)> end(&stream, deflateEnd);
    std::array<char, kChunk> chunk{};
    const char* next = body.data();
    std::size_t left = body.size();
    int result = Z_OK;
    do {
        const std::size_t take = std::min<std::size_t>(left, std::numeric_limits<uInt>::max());
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(next));
        stream.avail_in = static_cast<uInt>(take);
        next += take;
        left -= take;
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
            stream.avail_out = static_cast<uInt>(chunk.size());
            result = deflate(&stream, flush);
            if (result == Z_STREAM_ERROR) {
                return false;
            }
            out.append(chunk.data(), chunk.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    } while (left > 0);
    return result == Z_STREAM_END;
}

constexpr std::size_t kLargeBody = 64 * 1024;
constexpr std::uint32_t kLargeBodyQuality = 5;

bool brotlied(std::string_view body, std::string& out) {
    const std::unique_ptr<BrotliEncoderState, void (*)(BrotliEncoderState*)> state(
        BrotliEncoderCreateInstance(nullptr, nullptr, nullptr), BrotliEncoderDestroyInstance);
    if (!state) {
        return false;
    }
    // Brotli's default quality takes seconds for a body of some hundred KiB
    // made afresh for each request (the fleet's state); a middle quality
    // still beats gzip, in a fraction of the time.
    if (body.size() > kLargeBody) {
        BrotliEncoderSetParameter(state.get(), BROTLI_PARAM_QUALITY, kLargeBodyQuality);
    }
    std::array<std::uint8_t, kChunk> chunk{};
    std::size_t availableIn = body.size();
    const auto* nextIn = reinterpret_cast<const std::uint8_t*>(body.data());
    while (!BrotliEncoderIsFinished(state.get())) {
        std::size_t availableOut = chunk.size();
        std::uint8_t* nextOut = chunk.data();
        if (!BrotliEncoderCompressStream(state.get(), BROTLI_OPERATION_FINISH, &availableIn,
                                         &nextIn, &availableOut, &nextOut, nullptr)) {
            return false;
        }
        out.append(reinterpret_cast<const char*>(chunk.data()), chunk.size() - availableOut);
    }
    return true;
}

} // namespace

bool compressibleType(std::string_view type) {
    return (type.substr(0, 5) == "text/" && type != "text/event-stream") ||
           type == "image/svg+xml" || type == "application/javascript" ||
           type == "application/json" || type == "application/xml" ||
           type == "application/xhtml+xml";
}

Coding codingFor(const httplib::Request& req, std::string_view contentType) {
    if (!compressibleType(contentType)) {
        return Coding::Identity;
    }
    const std::string accepted = req.get_header_value("Accept-Encoding");
    if (accepted.find("br") != std::string::npos) {
        return Coding::Brotli;
    }
    if (accepted.find("gzip") != std::string::npos) {
        return Coding::Gzip;
    }
    return Coding::Identity;
}

std::string_view codingName(Coding coding) {
    switch (coding) {
    case Coding::Gzip:
        return "gzip";
    case Coding::Brotli:
        return "br";
    case Coding::Identity:
        break;
    }
    return {};
}

bool encodeBody(Coding coding, std::string_view body, std::string& encoded) {
    encoded.clear();
    switch (coding) {
    case Coding::Gzip:
        return gzipped(body, encoded);
    case Coding::Brotli:
        return brotlied(body, encoded);
    case Coding::Identity:
        break;
    }
    encoded.assign(body);
    return true;
}

} // namespace skyglance::catalogue

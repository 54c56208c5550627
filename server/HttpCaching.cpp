#include "HttpCaching.h"

#include <cstdint>
#include <cstring>

namespace skyglance::catalogue {
namespace {

constexpr std::size_t kMaxIfNoneMatch = 8 * 1024;

std::uint64_t mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

// Two lanes of eight bytes at a time: fast on a reply of kilobytes, and
// stable (no seed that changes between runs).
std::uint64_t hashBytes(std::string_view bytes) {
    std::uint64_t a = 0x9e3779b97f4a7c15ULL ^ bytes.size();
    std::uint64_t b = 0xc2b2ae3d27d4eb4fULL;
    std::size_t i = 0;
    for (; i + 16 <= bytes.size(); i += 16) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, bytes.data() + i, 8);
        std::memcpy(&y, bytes.data() + i + 8, 8);
        a = (a ^ x) * 0x87c37b91114253d5ULL;
        a = (a << 31) | (a >> 33);
        b = (b ^ y) * 0x4cf5ad432745937fULL;
        b = (b << 29) | (b >> 35);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + i, bytes.size() - i < 8 ? bytes.size() - i : 8);
    a ^= tail;
    if (bytes.size() - i > 8) {
        std::uint64_t more = 0;
        std::memcpy(&more, bytes.data() + i + 8, bytes.size() - i - 8);
        b ^= more;
    }
    return mix(a + mix(b));
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view opaqueTag(std::string_view tag) {
    return tag.substr(0, 2) == "W/" ? tag.substr(2) : tag;
}

} // namespace

std::string strongEtag(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::uint64_t h = hashBytes(bytes);
    std::string tag(18, '"');
    for (int i = 16; i >= 1; --i, h >>= 4) {
        tag[static_cast<std::size_t>(i)] = digits[h & 0xf];
    }
    return tag;
}

std::string etagForCoding(const std::string& etag, std::string_view coding) {
    if (coding.empty() || etag.size() < 2) {
        return etag;
    }
    return etag.substr(0, etag.size() - 1) + "-" + std::string(coding) + "\"";
}

bool noneMatchHits(std::string_view ifNoneMatch, std::string_view etag) {
    if (ifNoneMatch.size() > kMaxIfNoneMatch) {
        return false;
    }
    const std::string_view wanted = opaqueTag(etag);
    std::size_t from = 0;
    while (from <= ifNoneMatch.size()) {
        std::size_t comma = ifNoneMatch.find(',', from);
        if (comma == std::string_view::npos) {
            comma = ifNoneMatch.size();
        }
        const std::string_view item = trim(ifNoneMatch.substr(from, comma - from));
        if (item == "*" || (!item.empty() && opaqueTag(item) == wanted)) {
            return true;
        }
        from = comma + 1;
    }
    return false;
}

} // namespace skyglance::catalogue

// Any client may send the catalogue service any bytes: the screen and the
// head reader judge them without reading past what came, a head is taken
// whole or refused, and what a request was read as stays within its bytes.
#include "RequestParser.h"
#include "RequestScreen.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t headLength = skyglance::catalogue::requestHeadLength(bytes);
    check(headLength <= size);
    const std::string_view refusal = skyglance::catalogue::refusalOfHead(bytes);
    check(refusal.empty() || refusal.substr(0, 9) == "HTTP/1.1 ");
    httplib::Request req;
    const auto head = skyglance::catalogue::parseRequestHead(bytes, req);
    check(head.consumed <= size);
    check(req.method.size() + req.target.size() + req.version.size() <= size);
    // Decoding only shortens: %uXXXX (6 bytes) gives at most 3.
    check(req.path.size() <= req.target.size());
    for (const auto& [name, value] : req.headers) {
        check(name.size() + value.size() <= size);
    }
    // A whole head the screen lets through is read to the same end, and as
    // the same method.
    const bool screened =
        headLength > 0 && skyglance::catalogue::opensWithRequestLine(bytes) && refusal.empty();
    if (screened) {
        check(head.consumed == headLength);
    }
    if (head.verdict == skyglance::catalogue::HeadVerdict::Request) {
        check(head.consumed > 0);
        check(req.version == "HTTP/1.1" || req.version == "HTTP/1.0");
        check(!screened || req.method == "GET" || req.method == "HEAD");
        for (const auto& [first, last] : req.ranges) {
            check(first >= -1 && last >= -1 && (first == -1 || last == -1 || first <= last));
        }
    }
    return 0;
}

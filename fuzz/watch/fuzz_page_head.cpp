// Any client may send the status page any bytes: the head's end is found
// within them, and a head is read into a request or refused, never beyond.
#include "watch/PageServer.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t length = PageHeadLength(bytes);
    if (length > size) {
        std::abort();
    }
    const auto request = ParsePageHead(length > 0 ? bytes.substr(0, length) : bytes);
    if (!request) {
        return 0;
    }
    if (request->path.empty() || request->path.front() != '/' ||
        request->path.size() + request->query.size() > size) {
        std::abort();
    }
    for (const auto& header : request->headers) {
        for (const char c : header.first) {
            if (c >= 'A' && c <= 'Z') {
                std::abort(); // names are looked up in lower case
            }
        }
    }
    if (request->header("authorization").size() > size) {
        std::abort();
    }
    return 0;
}

#pragma once

#include <cstddef>
#include <httplib.h>
#include <string>
#include <string_view>

namespace skyglance::catalogue {

// How a request head read from a client turned out. Anything but Request is
// answered with that status and never routed.
enum class HeadVerdict {
    Request,             // whole and well formed: route it
    BadRequest,          // 400: no request line, or a header line too long
    UriTooLong,          // 414: a request line over 8 KiB
    RangeNotSatisfiable, // 416: a Range header that is not a list of byte ranges
};

struct ParsedHead {
    HeadVerdict verdict = HeadVerdict::BadRequest;
    std::size_t consumed = 0;  // bytes of `pending` the head took, blank line included
    bool clientCloses = false; // "Connection: close", or HTTP/1.0 without keep-alive
};

// Reads the request head at the start of `pending` into `req`: method,
// target, version, path (percent-decoded), query parameters, headers
// (values percent-decoded) and byte ranges. The rules are those clients met
// from this service all along: a request line of three words separated by
// blanks (blanks and tabs around a word are dropped) with a known method
// and HTTP/1.0 or 1.1; header lines not ended by CR LF are skipped, as are
// lines without a colon or value; the head ends at the first empty CR LF
// line, and a head without one in `pending` is bad. Bounded: a request line
// over 8 KiB is 414, a header line over 8 KiB is 400.
ParsedHead parseRequestHead(std::string_view pending, httplib::Request& req);

// Percent-decoding as request targets and header values get it: %XX, and
// %uXXXX as UTF-8; a '%' without valid digits stays as it is. `plusIsBlank`
// (query parameters): '+' is a blank.
std::string decodeUrl(std::string_view text, bool plusIsBlank);

// Query parameters of `query` (after the '?'): '&'-separated pairs, the
// first and last non-empty '='-separated pieces as name and value, decoded;
// a pair repeated word for word counts once, a pair without a name not at all.
void parseQueryText(std::string_view query, httplib::Params& params);

// A Range header value: "bytes=" and a comma-separated list of FIRST-LAST,
// either side may be missing (-1). False for anything else, a number out of
// range, or a FIRST after its LAST.
bool parseRangeHeader(std::string_view value, httplib::Ranges& ranges);

} // namespace skyglance::catalogue

#pragma once

#include <cstddef>
#include <string_view>

namespace skyglance::catalogue {

// Screens send their reports here, the one request with a body.
inline constexpr std::string_view kFleetReportPath = "/fleet/report";

// The service answers GET and HEAD, never with a request body, and POST to
// kFleetReportPath with a body of an announced Content-Length. A request head
// is judged as soon as it is whole, before anything waits for a body, so that
// a client announcing a body it never sends holds no worker. Returns the
// whole reply that refuses the request (the connection is to be closed after
// it: where a body or its framing is in doubt, so is the next request), or
// nothing when the request is to be served. A first line that is no request
// line is left to the request reader, which answers 400 itself (and logs
// it); the connection is to be closed after that too.
std::string_view refusalOfHead(std::string_view head);

// Whether `head` starts with a request line: method, target and HTTP/1.x,
// one space apart.
bool opensWithRequestLine(std::string_view head);

// The length of the request head at the start of `pending`, up to and with
// its blank line; 0 while it is not whole.
std::size_t requestHeadLength(std::string_view pending);

} // namespace skyglance::catalogue

#pragma once

#include <cstddef>
#include <functional>
#include <httplib.h>
#include <string>
#include <vector>

namespace skyglance::catalogue {

class ConnectionStream;

// A connection is kept open this long between requests, for this many.
inline constexpr int kKeepAliveSeconds = 2;
inline constexpr std::size_t kKeepAliveRequests = 100;

// A reply as the handlers make it: httplib's Response for the status, the
// headers and a body held in memory, and for a body made while it is sent
// (held pages, fault replies) its length and the provider that writes it.
struct Reply {
    httplib::Response http;
    std::size_t providedLength = 0;
    httplib::ContentProvider provider;
    bool providedWhole = false; // the provider wrote its body to the end
};

// The body of `reply` is `length` bytes of `contentType` that `provider`
// writes as the reply goes out (from the offset it is given, as much as the
// sink takes; false gives up and closes the connection).
void provideContent(Reply& reply, std::size_t length, const std::string& contentType,
                    httplib::ContentProvider provider);

// Handlers by method and path. A pattern is a path, or a prefix ending in
// '*' that takes any rest on one line (no CR or LF).
class Router {
public:
    // The request is the handler's to change (e.g. to drop ranges it will not answer).
    using Handler = std::function<void(httplib::Request&, Reply&)>;

    // `handler` answers GET and HEAD requests whose path fits `pattern`;
    // patterns are tried in the order they were added.
    void get(std::string pattern, Handler handler);
    // Whether a handler took the request.
    bool route(httplib::Request& req, Reply& reply) const;

private:
    struct Route {
        std::string pattern;
        Handler handler;
    };
    std::vector<Route> routes_;
};

// Writes `reply` to `stream` as HTTP/1.1: a reply without a body gets
// Content-Length: 0, a text reply is compressed for a client that takes it
// (see ContentCoding.h), byte ranges asked for are cut out (one range as it
// is, several as multipart/byteranges; a range outside the body is 416), a
// HEAD gets the headers alone, and the connection is said to close, or to be
// kept alive (as above). Error replies without a body get
// their status as text. `routed`: a handler made the reply, so its ranges
// apply even when it is no error. False when the client could not be written
// to or the provider gave up.
bool writeReply(ConnectionStream& stream, const httplib::Request& req, Reply& reply, bool routed,
                bool close);

// The body bytes a reply sent, for the access log: none for HEAD, a
// provided body only when it went out whole.
std::size_t bodyBytesSent(const httplib::Request& req, const Reply& reply);

} // namespace skyglance::catalogue

#include "HttpReply.h"

#include "ConnectionStream.h"
#include "ContentCoding.h"

#include <random>
#include <utility>

namespace skyglance::catalogue {
namespace {

struct Span {
    std::size_t offset;
    std::size_t length;
};

// Range `index` of the request within `length` bytes; an open end reaches
// the last byte, a suffix counts from the end.
Span rangeSpan(const httplib::Request& req, std::size_t length, std::size_t index) {
    auto [first, last] = req.ranges[index];
    if (first == -1 && last == -1) {
        return {0, length};
    }
    const auto whole = static_cast<ssize_t>(length);
    if (first == -1) {
        first = std::max<ssize_t>(0, whole - last);
        last = whole - 1;
    }
    if (last == -1) {
        last = whole - 1;
    }
    return {static_cast<std::size_t>(first), static_cast<std::size_t>(last - first) + 1};
}

std::string contentRange(Span span, std::size_t length) {
    return "bytes " + std::to_string(span.offset) + "-" +
           std::to_string(span.offset + span.length - 1) + "/" + std::to_string(length);
}

// The same shape of boundary the service has always sent: a fixed prefix
// and 16 random letters and digits.
std::string multipartBoundary() {
    static const char letters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::random_device seed;
    std::seed_seq sequence{seed(), seed(), seed(), seed()};
    std::mt19937 engine(sequence);
    std::string boundary = "--cpp-httplib-multipart-data-";
    for (int i = 0; i < 16; ++i) {
        boundary += letters[engine() % (sizeof letters - 1)];
    }
    return boundary;
}

// The parts of a multipart/byteranges body of `length` bytes, each with its
// own headers, and the closing boundary: `text` for the fixed pieces,
// `rangeBytes` for the bytes of each range (false stops).
template <typename TextSink, typename RangeSink>
bool forEachPart(const httplib::Request& req, std::size_t length, const std::string& boundary,
                 const std::string& partType, TextSink text, RangeSink rangeBytes) {
    for (std::size_t i = 0; i < req.ranges.size(); ++i) {
        const Span span = rangeSpan(req, length, i);
        std::string head = "--" + boundary + "\r\n";
        if (!partType.empty()) {
            head += "Content-Type: " + partType + "\r\n";
        }
        head += "Content-Range: " + contentRange(span, length) + "\r\n\r\n";
        text(head);
        if (!rangeBytes(span)) {
            return false;
        }
        text("\r\n");
    }
    text("--" + boundary + "--\r\n");
    return true;
}

// Cuts a body held in memory to the ranges asked for, then compresses it
// for the client.
void cutAndEncodeBody(const httplib::Request& req, httplib::Response& res,
                      const std::string& boundary, const std::string& partType) {
    const Coding coding = codingFor(req, res.get_header_value("Content-Type"));
    if (req.ranges.size() == 1) {
        const Span span = rangeSpan(req, res.body.size(), 0);
        res.set_header("Content-Range", contentRange(span, res.body.size()));
        if (span.offset < res.body.size()) {
            res.body = res.body.substr(span.offset, span.length);
        } else {
            res.body.clear();
            res.status = 416;
        }
    } else if (req.ranges.size() > 1) {
        std::string parts;
        const bool within = forEachPart(
            req, res.body.size(), boundary, partType,
            [&parts](const std::string& text) { parts += text; },
            [&parts, &res](Span span) {
                if (span.offset >= res.body.size()) {
                    return false;
                }
                parts += res.body.substr(span.offset, span.length);
                return true;
            });
        if (within) {
            res.body.swap(parts);
        } else {
            res.body.clear();
            res.status = 416;
        }
    }
    if (coding != Coding::Identity) {
        std::string encoded;
        if (encodeBody(coding, res.body, encoded)) {
            res.body.swap(encoded);
            res.set_header("Content-Encoding", std::string(codingName(coding)));
        }
    }
    res.set_header("Content-Length", std::to_string(res.body.size()));
}

// The Content-Length (and Content-Range) of a provided body cut to the
// ranges asked for; provided bodies go out uncompressed.
void announceProvidedLength(const httplib::Request& req, Reply& reply, const std::string& boundary,
                            const std::string& partType) {
    const std::size_t whole = reply.providedLength;
    std::size_t length = whole;
    if (req.ranges.size() == 1) {
        const Span span = rangeSpan(req, whole, 0);
        length = span.length;
        reply.http.set_header("Content-Range", contentRange(span, whole));
    } else if (req.ranges.size() > 1) {
        length = 0;
        forEachPart(
            req, whole, boundary, partType,
            [&length](const std::string& text) { length += text.size(); },
            [&length](Span span) {
                length += span.length;
                return true;
            });
    }
    reply.http.set_header("Content-Length", std::to_string(length));
}

// Cuts the reply to the ranges asked for; several ranges make a
// multipart/byteranges reply whose parts carry the reply's own type.
void applyRanges(const httplib::Request& req, Reply& reply, std::string& boundary,
                 std::string& partType) {
    httplib::Response& res = reply.http;
    if (req.ranges.size() > 1) {
        boundary = multipartBoundary();
        const auto type = res.headers.find("Content-Type");
        if (type != res.headers.end()) {
            partType = type->second;
            res.headers.erase(type);
        }
        res.headers.emplace("Content-Type", "multipart/byteranges; boundary=" + boundary);
    }
    if (!res.body.empty()) {
        cutAndEncodeBody(req, res, boundary, partType);
    } else if (reply.providedLength > 0) {
        announceProvidedLength(req, reply, boundary, partType);
    }
}

void addConnectionHeaders(const httplib::Request& req, Reply& reply, bool close) {
    httplib::Response& res = reply.http;
    if (close || req.get_header_value("Connection") == "close") {
        res.set_header("Connection", "close");
    } else {
        res.set_header("Keep-Alive", "timeout=" + std::to_string(kKeepAliveSeconds) +
                                         ", max=" + std::to_string(kKeepAliveRequests));
    }
    const bool hasBody = !res.body.empty() || reply.providedLength > 0;
    if (!res.has_header("Content-Type") && hasBody) {
        res.set_header("Content-Type", "text/plain");
    }
    // 204 is the one reply that must not say a length.
    if (!res.has_header("Content-Length") && !hasBody && res.status != 204) {
        res.set_header("Content-Length", "0");
    }
    if (!res.has_header("Accept-Ranges") && req.method == "HEAD") {
        res.set_header("Accept-Ranges", "bytes");
    }
}

const char* reasonPhrase(int status) {
    switch (status) {
    case 100:
        return "Continue";
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 206:
        return "Partial Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 304:
        return "Not Modified";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 414:
        return "URI Too Long";
    case 411:
        return "Length Required";
    case 413:
        return "Content Too Large";
    case 416:
        return "Range Not Satisfiable";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    default:
        return "Internal Server Error";
    }
}

// The status line and the headers, sorted by name as they are kept; a value
// ends at a NUL byte.
std::string replyHead(const httplib::Response& res) {
    std::string head =
        "HTTP/1.1 " + std::to_string(res.status) + " " + reasonPhrase(res.status) + "\r\n";
    for (const auto& [name, value] : res.headers) {
        head += name.c_str();
        head += ": ";
        head += value.c_str();
        head += "\r\n";
    }
    head += "\r\n";
    return head;
}

// Runs the provider over [offset, offset + length): it is called until that
// much went out, and may write more than it is asked for each time.
bool writeProvided(ConnectionStream& stream, const httplib::ContentProvider& provider,
                   std::size_t offset, std::size_t length) {
    const std::size_t end = offset + length;
    bool ok = true;
    httplib::DataSink sink;
    sink.write = [&](const char* data, std::size_t size) {
        if (ok && stream.isWritable() && stream.writeAll(data, size)) {
            offset += size;
        } else {
            ok = false;
        }
        return ok;
    };
    sink.is_writable = [&] { return ok && stream.isWritable(); };
    while (offset < end) {
        if (!provider(offset, end - offset, sink) || !ok) {
            return false;
        }
    }
    return true;
}

bool writeProvidedBody(ConnectionStream& stream, const httplib::Request& req, const Reply& reply,
                       const std::string& boundary, const std::string& partType) {
    const std::size_t whole = reply.providedLength;
    if (req.ranges.empty()) {
        return writeProvided(stream, reply.provider, 0, whole);
    }
    if (req.ranges.size() == 1) {
        const Span span = rangeSpan(req, whole, 0);
        return writeProvided(stream, reply.provider, span.offset, span.length);
    }
    bool written = true;
    return forEachPart(
               req, whole, boundary, partType,
               [&](const std::string& text) {
                   written = stream.writeAll(text.data(), text.size()) && written;
               },
               [&](Span span) {
                   return writeProvided(stream, reply.provider, span.offset, span.length);
               }) &&
           written;
}

} // namespace

void provideContent(Reply& reply, std::size_t length, const std::string& contentType,
                    httplib::ContentProvider provider) {
    reply.http.set_header("Content-Type", contentType);
    reply.providedLength = length;
    if (length > 0) {
        reply.provider = std::move(provider);
    }
}

void Router::get(std::string pattern, Handler handler) {
    routes_.push_back({std::move(pattern), std::move(handler)});
}

bool Router::route(httplib::Request& req, Reply& reply) const {
    if (req.method != "GET" && req.method != "HEAD") {
        return false;
    }
    const std::string& path = req.path;
    for (const Route& route : routes_) {
        const std::string& pattern = route.pattern;
        const bool fits =
            !pattern.empty() && pattern.back() == '*'
                ? path.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0 &&
                      path.size() >= pattern.size() - 1 &&
                      path.find_first_of("\r\n", pattern.size() - 1) == std::string::npos
                : path == pattern;
        if (fits) {
            route.handler(req, reply);
            return true;
        }
    }
    return false;
}

bool writeReply(ConnectionStream& stream, const httplib::Request& req, Reply& reply, bool routed,
                bool close) {
    httplib::Response& res = reply.http;
    bool cutToRanges = routed;
    if (res.status >= 400) {
        if (res.body.empty()) {
            res.set_content(std::to_string(res.status) + "\n", "text/plain; charset=utf-8");
        }
        cutToRanges = true;
    }
    std::string boundary;
    std::string partType;
    if (cutToRanges) {
        applyRanges(req, reply, boundary, partType);
    }
    addConnectionHeaders(req, reply, close);
    const std::string head = replyHead(res);
    bool written = stream.writeAll(head.data(), head.size());
    if (req.method == "HEAD") {
        return written;
    }
    if (!res.body.empty()) {
        return stream.writeAll(res.body.data(), res.body.size()) && written;
    }
    if (reply.provider) {
        reply.providedWhole = writeProvidedBody(stream, req, reply, boundary, partType);
        return reply.providedWhole && written;
    }
    return written;
}

std::size_t bodyBytesSent(const httplib::Request& req, const Reply& reply) {
    if (req.method == "HEAD") {
        return 0;
    }
    if (!reply.http.body.empty()) {
        return reply.http.body.size();
    }
    return reply.providedWhole ? reply.providedLength : 0;
}

} // namespace skyglance::catalogue

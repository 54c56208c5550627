#include "FaultReplies.h"

#include "HttpReply.h"

#include <algorithm>
#include <httplib.h>

namespace skyglance::catalogue {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr const char* kRedirectMarker = "fault=redirect";

// A spoilt reply is never stored by a client or a proxy: the real one comes back
// when the window ends.
void noStore(httplib::Response& res) {
    res.headers.erase("Cache-Control");
    res.set_header("Cache-Control", "no-store");
}

// Headers and the first half of the body at once; the rest only when the
// window has closed (or the service stops), by which time the client
// should have given up. Without a free hold slot the connection is cut
// after the first half instead, so that stalls never take every worker.
void stall(const FaultContext& fault, std::shared_ptr<const Resource> real, Reply& reply) {
    auto slot = fault.holds ? fault.holds->acquire() : nullptr;
    const auto end = fault.windowEnd;
    provideContent(reply, real->body.size(), real->contentType,
                   [real, slot, end](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                       const std::string& body = real->body;
                       const std::size_t half = body.size() / 2;
                       if (offset < half && !sink.write(body.data() + offset, half - offset)) {
                           return false;
                       }
                       if (!slot) {
                           return false; // closes the connection
                       }
                       while (std::chrono::steady_clock::now() < end &&
                              slot->wait(std::min<std::chrono::milliseconds>(
                                  std::chrono::milliseconds(1000),
                                  std::chrono::duration_cast<std::chrono::milliseconds>(
                                      end - std::chrono::steady_clock::now())))) {
                       }
                       const std::size_t from = std::max(offset, half);
                       return sink.write(body.data() + from, body.size() - from);
                   });
}

// The full length announced, half the bytes sent, then the connection
// closed: the client sees a transfer that ends early.
void truncate(std::shared_ptr<const Resource> real, Reply& reply) {
    provideContent(reply, real->body.size(), real->contentType,
                   [real](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                       const std::size_t half = real->body.size() / 2;
                       if (offset < half) {
                           sink.write(real->body.data() + offset, half - offset);
                       }
                       return false;
                   });
}

// The real picture's bytes (so the start looks right for its type), then
// junk up to kOversizeBytes, streamed a chunk at a time.
void oversize(std::shared_ptr<const Resource> real, Reply& reply) {
    static const std::string junk = [] {
        std::string bytes(kChunk, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<char>((i * 131u + 7u) & 0xffu);
        }
        return bytes;
    }();
    provideContent(reply, kOversizeBytes, real->contentType,
                   [real](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                       const std::string& body = real->body;
                       if (offset < body.size()) {
                           const std::size_t n = std::min(length, body.size() - offset);
                           return sink.write(body.data() + offset, n);
                       }
                       return sink.write(junk.data(), std::min(length, junk.size()));
                   });
}

// 302 between the address asked for and the same address with a marker
// added, so the client sees a loop of two addresses.
void redirect(const FaultContext& fault, const httplib::Request& req, httplib::Response& res) {
    std::string target = req.target;
    const std::size_t marker = target.find(kRedirectMarker);
    if (marker != std::string::npos && marker > 0 &&
        (target[marker - 1] == '?' || target[marker - 1] == '&')) {
        std::size_t from = marker - 1;
        std::size_t to = marker + std::char_traits<char>::length(kRedirectMarker);
        if (target[from] == '?' && to < target.size()) {
            ++from; // "?fault=redirect&a=b" -> "?a=b"
            ++to;
        }
        target.erase(from, to - from);
    } else {
        target += (target.find('?') == std::string::npos ? "?" : "&");
        target += kRedirectMarker;
    }
    res.status = 302;
    res.set_header("Location", fault.siteUrl + target);
    res.set_content("redirected\n", "text/plain; charset=utf-8");
}

} // namespace

SiteReplyKind siteReplyKind(const std::string& contentType) {
    if (contentType.rfind("image/", 0) == 0) {
        return SiteReplyKind::Picture;
    }
    if (contentType.rfind("text/html", 0) == 0) {
        return SiteReplyKind::Page;
    }
    return SiteReplyKind::Other;
}

bool faultSpoils(FaultKind kind, SiteReplyKind reply) {
    switch (kind) {
    case FaultKind::Stall:
    case FaultKind::NotFound:
    case FaultKind::Redirect:
        return reply != SiteReplyKind::Other;
    case FaultKind::Truncate:
    case FaultKind::Oversize:
    case FaultKind::WrongType:
        return reply == SiteReplyKind::Picture;
    case FaultKind::None:
    case FaultKind::Dead: // handled before any request is read
        return false;
    }
    return false;
}

void answerWithFault(const FaultContext& fault, const httplib::Request& req,
                     std::shared_ptr<const Resource> real, Reply& reply) {
    httplib::Response& res = reply.http;
    noStore(res);
    switch (fault.kind) {
    case FaultKind::Stall:
        stall(fault, std::move(real), reply);
        return;
    case FaultKind::Truncate:
        truncate(std::move(real), reply);
        return;
    case FaultKind::NotFound:
        res.status = 404;
        res.set_content("not found\n", "text/plain; charset=utf-8");
        return;
    case FaultKind::Oversize:
        oversize(std::move(real), reply);
        return;
    case FaultKind::WrongType:
        res.set_content("<!DOCTYPE html>\n<html><head><title>Maintenance</title></head>"
                        "<body><h1>Back soon</h1><p>This is not a picture.</p></body></html>\n",
                        "text/html; charset=utf-8");
        return;
    case FaultKind::Redirect:
        redirect(fault, req, res);
        return;
    case FaultKind::None:
    case FaultKind::Dead:
        return;
    }
}

} // namespace skyglance::catalogue

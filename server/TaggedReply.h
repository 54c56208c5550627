#pragma once

#include "SampleSite.h"

#include <memory>
#include <string>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace skyglance::catalogue {

// Cache-Control for the replies a client asks for again and again:
// - catalogue replies, the version file and the collections package must be
//   fresh each time the client asks (a new catalogue, a new version), so they
//   are always revalidated, which costs a 304 when nothing changed;
// - pictures may be reused until they are drawn anew, pages for a short while.
// What must never be reused says "no-store": pages that never finish (a
// cache would wait on them or keep a cut copy), error replies (a 404 or 503
// is passing) and the test pages (a client under test must meet them each
// time).
inline constexpr const char* kRevalidate = "no-cache";
inline constexpr const char* kNeverStore = "no-store";
inline constexpr int kPageMaxAge = 30;
inline constexpr int kSiteFileMaxAge = 60;
std::string maxAge(int seconds);

// Sends `reply` with its ETag and `cacheControl`, or 304 Not Modified without
// a body when the request's If-None-Match names that tag. A reply that
// is compressed for this client is another representation and gets
// its own tag, and says it varies by Accept-Encoding.
void sendTagged(const httplib::Request& req, httplib::Response& res,
                std::shared_ptr<const Resource> reply, const std::string& cacheControl);

// A short plain-text reply that nobody keeps (errors).
void sendText(httplib::Response& res, int status, const std::string& text);

} // namespace skyglance::catalogue

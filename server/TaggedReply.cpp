#include "TaggedReply.h"

#include "ContentCoding.h"
#include "HttpCaching.h"

#include <httplib.h>

namespace skyglance::catalogue {
namespace {

// The length of the body as it is sent with `coding`: what a 304 must
// announce (never the 0 a reply without a body would say otherwise).
std::size_t sentLength(const std::string& body, Coding coding) {
    if (coding == Coding::Identity) {
        return body.size();
    }
    std::string encoded;
    return encodeBody(coding, body, encoded) ? encoded.size() : body.size();
}

const std::string& etagOf(const httplib::Response& res) {
    return res.headers.find("ETag")->second;
}

void setHeader(httplib::Response& res, const char* name, const std::string& value) {
    res.headers.erase(name);
    res.headers.emplace(name, value);
}

} // namespace

std::string maxAge(int seconds) {
    return "max-age=" + std::to_string(seconds);
}

void sendTagged(const httplib::Request& req, httplib::Response& res,
                std::shared_ptr<const Resource> reply, const std::string& cacheControl) {
    // `res` is fresh: its headers are added, not replaced.
    std::string etag = reply->etag.empty() ? strongEtag(reply->body) : reply->etag;
    res.headers.emplace("Content-Type", reply->contentType);
    const Coding coding = codingFor(req, reply->contentType);
    if (compressibleType(reply->contentType)) {
        etag = etagForCoding(etag, codingName(coding));
        res.headers.emplace("Vary", "Accept-Encoding");
    }
    res.headers.emplace("Cache-Control", cacheControl);
    res.headers.emplace("ETag", std::move(etag));
    const auto condition = req.headers.find("If-None-Match");
    if (condition != req.headers.end() && noneMatchHits(condition->second, etagOf(res))) {
        res.status = 304;
        res.headers.erase("Content-Type");
        setHeader(res, "Content-Length", std::to_string(sentLength(reply->body, coding)));
        return;
    }
    res.set_content(reply->body, reply->contentType.c_str());
}

void sendText(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    setHeader(res, "Cache-Control", kNeverStore);
    res.set_content(text, "text/plain; charset=utf-8");
}

} // namespace skyglance::catalogue

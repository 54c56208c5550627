#include "TaggedReply.h"

#include "HttpCaching.h"

#include <httplib.h>

namespace skyglance::catalogue {
namespace {

// The content types httplib compresses, as it has them.
bool compressible(const std::string& type) {
    return (type.rfind("text/", 0) == 0 && type != "text/event-stream") ||
           type == "image/svg+xml" || type == "application/javascript" ||
           type == "application/json" || type == "application/xml" ||
           type == "application/xhtml+xml";
}

// The coding httplib will send this reply with, by its own rule.
httplib::detail::EncodingType codingOf(const httplib::Request& req, const httplib::Response& res) {
    return httplib::detail::encoding_type(req, res);
}

std::string_view codingName(httplib::detail::EncodingType coding) {
    switch (coding) {
    case httplib::detail::EncodingType::Gzip:
        return "gzip";
    case httplib::detail::EncodingType::Brotli:
        return "br";
    case httplib::detail::EncodingType::None:
        break;
    }
    return {};
}

// The length of the body as httplib would send it with `coding`: what a
// 304 must announce, if anything (never the 0 httplib puts otherwise).
std::size_t sentLength(const std::string& body, httplib::detail::EncodingType coding) {
    std::unique_ptr<httplib::detail::compressor> compressor;
    if (coding == httplib::detail::EncodingType::Gzip) {
        compressor = std::make_unique<httplib::detail::gzip_compressor>();
    } else if (coding == httplib::detail::EncodingType::Brotli) {
        compressor = std::make_unique<httplib::detail::brotli_compressor>();
    } else {
        return body.size();
    }
    std::size_t length = 0;
    compressor->compress(body.data(), body.size(), true, [&length](const char*, std::size_t n) {
        length += n;
        return true;
    });
    return length;
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
    const auto coding = codingOf(req, res);
    if (compressible(reply->contentType)) {
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

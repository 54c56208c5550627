#include "FleetService.h"

#include "ContentCoding.h"
#include "FleetJson.h"
#include "FleetPage.h"
#include "TaggedReply.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <charconv>
#include <chrono>

namespace skyglance::catalogue {
namespace {

constexpr std::string_view kThumbPrefix = "/fleet/thumb/";
constexpr std::string_view kThumbSuffix = ".jpg";

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The text after `scheme` and a blank in the Authorization header; empty
// when the header names another scheme.
std::string credentialsOf(const httplib::Request& req, std::string_view scheme) {
    const std::string value = req.get_header_value("Authorization");
    if (value.size() <= scheme.size() + 1 || value.compare(0, scheme.size(), scheme) != 0 ||
        value[scheme.size()] != ' ') {
        return {};
    }
    return value.substr(value.find_first_not_of(' ', scheme.size()));
}

bool isScreenToken(const std::string& token) {
    return token.size() == 64 && token.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// Compares the digests, in time that does not depend on where they differ.
bool sameSecret(const std::string& given, const std::string& expected) {
    const auto digest = [](const std::string& text) {
        return QCryptographicHash::hash(QByteArrayView(text.data(), qsizetype(text.size())),
                                        QCryptographicHash::Sha256);
    };
    const QByteArray a = digest(given);
    const QByteArray b = digest(expected);
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return difference == 0;
}

// The announced body length; none for a number out of bounds.
std::optional<std::size_t> contentLengthOf(const httplib::Request& req) {
    const std::string value = req.get_header_value("Content-Length");
    std::size_t length = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (value.empty()) {
        return 0;
    }
    if (ec != std::errc() || end != value.data() + value.size()) {
        return std::nullopt;
    }
    return length;
}

void refuseToken(Reply& reply) {
    reply.http.set_header("WWW-Authenticate", "Bearer realm=\"fleet\"");
    sendText(reply.http, 401, "missing or unknown screen token\n");
}

// Thumbnails are asked with the time of their report in the query, so that
// the browser may keep each for a while; the fleet's state is never kept.
constexpr const char* kThumbnailCaching = "private, max-age=3600";

void sendBody(Reply& reply, std::string body, const char* type,
              const char* cacheControl = kNeverStore) {
    reply.http.status = 200;
    reply.http.set_header("Cache-Control", cacheControl);
    reply.http.set_content(std::move(body), type);
}

// The list in the coding the client takes, sent from the shared snapshot
// without a copy; the snapshot lives as long as the reply needs it.
void sendSnapshot(const httplib::Request& req, Reply& reply,
                  std::shared_ptr<const FleetSnapshot> snapshot) {
    constexpr const char* kType = "application/json";
    Coding coding = codingFor(req, kType);
    const std::string* body = &snapshot->body(coding);
    reply.http.status = 200;
    reply.http.set_header("Cache-Control", kNeverStore);
    reply.http.set_header("Vary", "Accept-Encoding");
    if (coding != Coding::Identity) {
        reply.http.set_header("Content-Encoding", std::string(codingName(coding)));
    }
    provideContent(reply, body->size(), kType,
                   [snapshot = std::move(snapshot), body](std::size_t offset, std::size_t length,
                                                          httplib::DataSink& sink) {
                       return sink.write(body->data() + offset, length);
                   });
}

} // namespace

FleetService::FleetService(std::unique_ptr<FleetStore> store, Settings settings)
    : store_(std::move(store)), settings_(std::move(settings)),
      listing_(
          std::make_unique<FleetListing>(*store_, settings_.silentAfterMs, settings_.listMaxAge)) {}

void FleetService::answerReport(const httplib::Request& req, const BodyReader& readBody,
                                Reply& reply) const {
    const std::string token = credentialsOf(req, "Bearer");
    const auto screen = isScreenToken(token) ? store_->screenForToken(token) : std::nullopt;
    if (!screen) {
        refuseToken(reply);
        return;
    }
    const auto length = contentLengthOf(req);
    if (!length || *length > kMaxReportBytes) {
        sendText(reply.http, 413, "a report is at most 256 KiB\n");
        return;
    }
    const auto body = readBody(*length);
    if (!body) {
        sendText(reply.http, 408, "the report did not come whole\n");
        return;
    }
    std::string problem;
    auto report = parseFleetReport(*body, problem);
    if (!report) {
        sendText(reply.http, 400, problem + "\n");
        return;
    }
    report->name = *screen; // the token says which screen this is, not the body
    switch (store_->storeReport(*report, nowMs(), settings_.minGapMs)) {
    case FleetStore::Outcome::Stored:
        reply.http.status = 204;
        return;
    case FleetStore::Outcome::TooSoon:
        reply.http.set_header("Retry-After", std::to_string(std::max<std::int64_t>(
                                                 1, (settings_.minGapMs + 999) / 1000)));
        sendText(reply.http, 429, "the last report came too recently\n");
        return;
    case FleetStore::Outcome::Failed:
        break;
    }
    sendText(reply.http, 503, "the report could not be stored\n");
}

void FleetService::answerPage(const httplib::Request& req, Reply& reply) const {
    if (!authorised(req)) {
        reply.http.set_header("WWW-Authenticate", "Basic realm=\"fleet\"");
        sendText(reply.http, 401, "the fleet page needs its password\n");
        return;
    }
    const std::string& path = req.path;
    if (path == "/fleet") {
        sendBody(reply, std::string(fleetPageHtml()), "text/html; charset=utf-8");
    } else if (path == "/fleet.json") {
        if (auto snapshot = listing_->current()) {
            sendSnapshot(req, reply, std::move(snapshot));
        } else {
            sendText(reply.http, 503, "the fleet's store cannot be read\n");
        }
    } else if (path.size() > kThumbPrefix.size() + kThumbSuffix.size() &&
               path.compare(0, kThumbPrefix.size(), kThumbPrefix) == 0 &&
               path.compare(path.size() - kThumbSuffix.size(), kThumbSuffix.size(), kThumbSuffix) ==
                   0) {
        const std::string name = path.substr(
            kThumbPrefix.size(), path.size() - kThumbPrefix.size() - kThumbSuffix.size());
        if (auto jpeg = store_->thumbnail(name)) {
            sendBody(reply, std::move(*jpeg), "image/jpeg", kThumbnailCaching);
            return;
        }
        sendText(reply.http, 404, "no thumbnail\n");
    } else {
        sendText(reply.http, 404, "not found\n");
    }
}

bool FleetService::authorised(const httplib::Request& req) const {
    const std::string encoded = credentialsOf(req, "Basic");
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(encoded),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    return !encoded.empty() && decoded &&
           sameSecret((*decoded).toStdString(), "fleet:" + settings_.password);
}

} // namespace skyglance::catalogue

#include "CatalogueServer.h"

#include "ConnectionReactor.h"
#include "ConnectionStream.h"
#include "FaultReplies.h"
#include "HttpCaching.h"
#include "HttpReply.h"
#include "PageHolds.h"
#include "RequestParser.h"
#include "RequestScreen.h"
#include "SitePaths.h"
#include "SiteTemplates.h"
#include "TaggedReply.h"

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <httplib.h>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>

namespace skyglance::catalogue {
namespace {

constexpr const char* kServicePath = "/service/catalogue";
constexpr const char* kCatalogueType = "text/html; charset=utf-8";
constexpr std::size_t kMaxSiteFileBytes = 4u * 1024u * 1024u;
// As many as nginx runs workers on this machine's kind (worker_processes
// auto on 2 cores); the picture drawing and held pages are the workers'.
constexpr int kEventLoops = 2;

// Catalogue requests are answered from the snapshot in memory without
// waiting on anything, and are what every screen asks most often.
bool isCatalogueRequest(std::string_view head) {
    for (std::string_view start : {"GET /service/catalogue", "HEAD /service/catalogue"}) {
        if (head.substr(0, start.size()) == start && head.size() > start.size() &&
            (head[start.size()] == '?' || head[start.size()] == ' ')) {
            return true;
        }
    }
    return false;
}

// At most this many byte ranges are answered as parts of one reply, as
// nginx's max_ranges bounds them.
constexpr std::size_t kMaxRanges = 8;

struct ByteSpan {
    std::size_t first;
    std::size_t last;
};

// A range as its first and last byte within a representation of `length`
// bytes; nothing when no byte of it lies within.
std::optional<ByteSpan> spanWithin(const httplib::Range& range, std::size_t length) {
    const auto [from, to] = range;
    if (from < 0) { // the last `to` bytes
        if (to <= 0 || length == 0) {
            return std::nullopt;
        }
        return ByteSpan{length - std::min(length, static_cast<std::size_t>(to)), length - 1};
    }
    if (static_cast<std::size_t>(from) >= length) {
        return std::nullopt;
    }
    const std::size_t last =
        to < 0 ? length - 1 : std::min(length - 1, static_cast<std::size_t>(to));
    return ByteSpan{static_cast<std::size_t>(from), last};
}

// Whether the parts asked may be sent as they are: a few, each within the
// representation, in ascending order without overlap, so that together
// they are never longer than the whole.
bool rangesAnswerable(const httplib::Ranges& ranges, std::size_t length) {
    if (ranges.size() > kMaxRanges) {
        return false;
    }
    std::optional<std::size_t> previousLast;
    for (const httplib::Range& range : ranges) {
        const auto span = spanWithin(range, length);
        if (!span || (previousLast && span->first <= *previousLast)) {
            return false;
        }
        previousLast = span->last;
    }
    return true;
}

// Several ranges that are not answerable as they stand (2,000 times "0-"
// would send the picture 2,000 times) get the whole representation instead,
// 200, as RFC 9110 allows: they come from a broken client or an attack. One
// range is never longer than the whole and is left as asked.
void ignoreUnanswerableRanges(httplib::Request& req, const Reply& reply) {
    if (req.ranges.size() <= 1) {
        return;
    }
    const std::size_t length =
        reply.http.body.empty() ? reply.providedLength : reply.http.body.size();
    if (!rangesAnswerable(req.ranges, length)) {
        req.ranges.clear();
    }
}

bool readFileBounded(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::size_t>(size) > kMaxSiteFileBytes) {
        return false;
    }
    in.seekg(0);
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), size);
    return in.gcount() == size;
}

std::string rawQueryOf(const std::string& target) {
    const std::size_t question = target.find('?');
    return question == std::string::npos ? std::string() : target.substr(question + 1);
}

// A report's body comes within this time of its head; what a client sends
// after a refused report is read and dropped for a moment, within a bound.
constexpr auto kBodyReadLimit = std::chrono::seconds(10);
constexpr auto kDrainLimit = std::chrono::milliseconds(500);
constexpr std::size_t kDrainBytes = 1024 * 1024;

constexpr auto kHoldLimit = std::chrono::minutes(10);
constexpr auto kHoldTick = std::chrono::milliseconds(1000);
// More blanks than ticks fit in the hold; those not sent by the end pad the
// page to the length announced.
constexpr std::size_t kHoldBlanks = 1024;

// The head of a held page at once, then a blank each tick, so that the
// connection stays busy and a vanished client shows as a failed write; the
// rest when the time is up or the service stops, all in one call of the
// provider. The reply announces its full length: a chunked text reply
// would be compressed and the trickle kept in the compressor, where no
// browser sees it.
struct HeldReply {
    HeldPage page;
    std::shared_ptr<PageHolds> holds; // also the slot taken
    std::chrono::steady_clock::time_point deadline;

    std::size_t length() const { return page.head.size() + kHoldBlanks + page.tail.size(); }

    bool send(httplib::DataSink& sink) const {
        if (!sink.write(page.head.data(), page.head.size())) {
            return false;
        }
        std::size_t blanks = 0;
        while (blanks < kHoldBlanks && std::chrono::steady_clock::now() + kHoldTick < deadline &&
               holds->wait(kHoldTick)) {
            if (!sink.write("\n", 1)) {
                return false; // the client has gone
            }
            ++blanks;
        }
        const std::string rest = std::string(kHoldBlanks - blanks, '\n') + page.tail;
        return sink.write(rest.data(), rest.size());
    }
};

// `routedAt`: when the request went to its handler; requests refused before
// (malformed ones) have none and count as taking no time.
void logRequest(AccessLog& log, const httplib::Request& req, const Reply& reply,
                std::optional<std::chrono::steady_clock::time_point> routedAt) {
    const auto now = std::chrono::steady_clock::now();
    const auto took = routedAt ? now - *routedAt : std::chrono::steady_clock::duration{};
    AccessRecord record;
    record.took = std::chrono::duration_cast<std::chrono::milliseconds>(took);
    record.arrived = std::chrono::system_clock::now() -
                     std::chrono::duration_cast<std::chrono::system_clock::duration>(took);
    record.client = req.remote_addr;
    record.method = req.method;
    record.target = req.target;
    record.status = reply.http.status;
    record.bytesSent = bodyBytesSent(req, reply);
    log.write(record);
}

} // namespace

struct CatalogueServer::Impl {
    Config config;
    std::unique_ptr<PageHolds> holds; // outlives the workers of `http`
    Router router;
    std::unique_ptr<ConnectionReactor> reactor;
    mutable std::shared_mutex lock;
    std::shared_ptr<const CatalogueReplies> replies;
    // The replies to the one-code requests, made with the snapshot and
    // tagged once: they are what screens ask for most.
    std::shared_ptr<const ResourceMap> fixedReplies = std::make_shared<ResourceMap>();
    std::shared_ptr<const ResourceMap> resources = std::make_shared<ResourceMap>();

    std::shared_ptr<const CatalogueReplies> currentReplies() const {
        std::shared_lock guard(lock);
        return replies;
    }

    std::shared_ptr<const Resource> findResource(const std::string& path) const {
        std::shared_lock guard(lock);
        const auto found = resources->find(path);
        return found == resources->end() ? nullptr : found->second;
    }

    std::string siteUrl() const {
        std::shared_lock guard(lock);
        return config.siteUrl;
    }

    void answerCatalogue(const httplib::Request& req, Reply& reply) const {
        httplib::Response& res = reply.http;
        std::vector<std::string> codes;
        const auto range = req.params.equal_range("x00");
        for (auto it = range.first; it != range.second; ++it) {
            codes.push_back(it->second);
        }
        std::shared_ptr<const CatalogueReplies> current;
        std::shared_ptr<const ResourceMap> fixed;
        {
            std::shared_lock guard(lock);
            current = replies;
            fixed = fixedReplies;
        }
        if (codes.size() == 1) {
            if (const auto found = fixed->find(codes.front()); found != fixed->end()) {
                sendTagged(req, res, found->second, kRevalidate);
                return;
            }
        }
        sendTagged(req, res,
                   std::make_shared<const Resource>(
                       Resource{current ? current->answer(codes)
                                        : CatalogueReplies::errorReply("catalogue not loaded"),
                                kCatalogueType,
                                {}}),
                   kRevalidate);
    }

    // The fault in force now, if a schedule was given.
    FaultContext currentFault() const {
        FaultContext fault;
        if (!config.faults) {
            return fault;
        }
        const auto now = std::chrono::steady_clock::now();
        const ActiveFault active =
            config.faults->activeAt(std::chrono::duration<double>(now - config.started).count());
        fault.kind = active.kind;
        fault.windowEnd =
            config.started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                 std::chrono::duration<double>(active.until));
        fault.holds = holds.get();
        return fault;
    }

    bool isDead() const { return currentFault().kind == FaultKind::Dead; }

    void answerSite(const httplib::Request& req, Reply& reply) const {
        httplib::Response& res = reply.http;
        if (const auto resource = findResource(req.path)) {
            sendTagged(req, res, resource, kRevalidate);
            return;
        }
        if (config.pictures && config.pictures->knows(req.path)) {
            const auto picture = config.pictures->get(req.path);
            if (!picture) {
                sendText(res, 503, "picture not ready\n");
                return;
            }
            send(req, picture, maxAge(config.pictures->secondsLeftInPeriod()), reply);
            return;
        }
        const auto relative = siteRelativePath(req.path);
        const auto file = relative ? resolveInsideRoot(config.siteRoot, *relative) : std::nullopt;
        std::string bytes;
        if (!file || !readFileBounded(*file, bytes)) {
            sendText(res, 404, "not found\n");
            return;
        }
        if (!isTemplatePage(*file)) {
            send(req,
                 std::make_shared<const Resource>(
                     Resource{std::move(bytes), contentTypeFor(*file), {}}),
                 maxAge(kSiteFileMaxAge), reply);
            return;
        }
        PageContext context;
        context.siteRoot = siteUrl();
        context.now = QDateTime::currentDateTime();
        context.pageName = *relative;
        context.queryValue = [&req](std::string_view name) {
            return req.get_param_value(std::string(name).c_str());
        };
        context.rawQuery = rawQueryOf(req.target);
        // Split before filling, so that no query value can make a page hold.
        if (auto held = splitAtHoldMarker(bytes)) {
            FaultContext fault = currentFault();
            if (fault.kind == FaultKind::NotFound || fault.kind == FaultKind::Redirect) {
                fault.siteUrl = context.siteRoot;
                answerWithFault(fault, req, nullptr, reply);
                return;
            }
            held->head = fillTemplate(held->head, context);
            held->tail = fillTemplate(held->tail, context);
            holdPage(req, std::move(*held), contentTypeFor(*file), reply);
            return;
        }
        // Test pages are there to be met afresh by a client under test.
        const bool testPage = relative->rfind("site/test/", 0) == 0;
        send(req,
             std::make_shared<const Resource>(
                 Resource{fillTemplate(bytes, context), contentTypeFor(*file), {}}),
             testPage ? std::string(kNeverStore) : maxAge(kPageMaxAge), reply);
    }

    // A picture or page as it is, or spoilt by the fault in force.
    void send(const httplib::Request& req, std::shared_ptr<const Resource> resource,
              const std::string& cacheControl, Reply& reply) const {
        FaultContext fault = currentFault();
        if (faultSpoils(fault.kind, siteReplyKind(resource->contentType))) {
            fault.siteUrl = siteUrl();
            answerWithFault(fault, req, std::move(resource), reply);
            return;
        }
        sendTagged(req, reply.http, std::move(resource), cacheControl);
    }

    void holdPage(const httplib::Request& req, HeldPage page, const std::string& contentType,
                  Reply& reply) const {
        httplib::Response& res = reply.http;
        // The page is written whole from its start, never as a byte range.
        if (!req.ranges.empty()) {
            sendText(res, 416, "no ranges of a held page\n");
            return;
        }
        auto slot = holds->acquire();
        if (!slot) {
            res.set_header("Retry-After", "60");
            sendText(res, 503, "too many pages held open\n");
            return;
        }
        auto held = std::make_shared<HeldReply>();
        held->page = std::move(page);
        held->holds = std::move(slot);
        held->deadline = std::chrono::steady_clock::now() + kHoldLimit;
        res.set_header("Cache-Control", kNeverStore);
        provideContent(
            reply, held->length(), contentType,
            [held](std::size_t, std::size_t, httplib::DataSink& sink) { return held->send(sink); });
    }

    // Reads the request whose head is buffered on `stream`, answers it and
    // logs it; false to close the connection.
    bool serve(ConnectionStream& stream, bool last) const {
        // A malformed request line is answered with 400; what follows it
        // cannot be trusted to be a request, so the connection closes.
        const bool framed = opensWithRequestLine(stream.pending());
        httplib::Request req;
        Reply reply;
        const ParsedHead head = parseRequestHead(stream.pending(), req);
        stream.consume(head.consumed);
        bool routed = false;
        bool bodyRead = true; // GET and HEAD come without one
        std::optional<std::chrono::steady_clock::time_point> routedAt;
        switch (head.verdict) {
        case HeadVerdict::Request:
            req.remote_addr = stream.remoteAddress();
            req.remote_port = stream.remotePort();
            routedAt = std::chrono::steady_clock::now();
            if (req.method == "POST") {
                bodyRead = answerReport(stream, req, reply);
                routed = true;
                break;
            }
            if (req.get_header_value("Expect") == "100-continue") {
                sayContinue(stream);
            }
            routed = route(req, reply);
            break;
        case HeadVerdict::RangeNotSatisfiable:
            req.remote_addr = stream.remoteAddress();
            req.remote_port = stream.remotePort();
            reply.http.status = 416;
            break;
        case HeadVerdict::UriTooLong:
            reply.http.status = 414;
            break;
        case HeadVerdict::BadRequest:
            reply.http.status = 400;
            break;
        }
        // A body left unread would be read as the next request.
        const bool bodyLeft =
            !bodyRead || (req.method == "POST" && head.verdict != HeadVerdict::Request);
        const bool closes = last || !framed || head.verdict == HeadVerdict::BadRequest || bodyLeft;
        const bool written = writeReply(stream, req, reply, routed, closes);
        if (bodyLeft && stream.flush()) {
            stream.drainBeforeClose(kDrainBytes, std::chrono::steady_clock::now() + kDrainLimit);
        }
        if (config.accessLog) {
            logRequest(*config.accessLog, req, reply, routedAt);
        }
        return written && !head.clientCloses && !closes;
    }

    static void sayContinue(ConnectionStream& stream) {
        constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
        stream.writeAll(kContinue.data(), kContinue.size());
        stream.flush();
    }

    // A POST, which the request screen lets through for fleet reports only:
    // its body is read only when the fleet takes it. Whether it was read
    // (or there was none), so that the connection can go on.
    bool answerReport(ConnectionStream& stream, const httplib::Request& req, Reply& reply) const {
        const bool noBody =
            req.get_header_value("Content-Length").find_first_not_of('0') == std::string::npos;
        if (!config.fleet || req.path != kFleetReportPath) {
            sendText(reply.http, 404, "not found\n");
            return noBody;
        }
        bool asked = false;
        bool whole = false;
        config.fleet->answerReport(
            req,
            [&](std::size_t length) -> std::optional<std::string> {
                asked = true;
                if (req.get_header_value("Expect") == "100-continue") {
                    sayContinue(stream);
                }
                if (!stream.waitForBytes(length,
                                         std::chrono::steady_clock::now() + kBodyReadLimit)) {
                    return std::nullopt;
                }
                std::string body(stream.pending().substr(0, length));
                stream.consume(length);
                whole = true;
                return body;
            },
            reply);
        return asked ? whole : noBody;
    }

    // Runs the handler the request's method and path lead to; whether one did.
    bool route(httplib::Request& req, Reply& reply) const {
        bool routed = false;
        try {
            routed = router.route(req, reply);
            if (!routed && req.method != "GET" && req.method != "HEAD") {
                reply.http.status = 400; // only GET and HEAD are served
            }
        } catch (...) {
            sendText(reply.http, 500, "internal error\n");
            routed = true;
        }
        if (reply.http.status == -1) {
            reply.http.status = routed ? (req.ranges.empty() ? 200 : 206) : 404;
        }
        return routed;
    }
};

CatalogueServer::CatalogueServer(Config config) : impl_(std::make_unique<Impl>()) {
    impl_->config = std::move(config);
    const int threads = impl_->config.threads;
    impl_->holds = std::make_unique<PageHolds>(threads);
    Impl* impl = impl_.get();
    // Each open connection waits in the reactor, not in a worker; an idle
    // one is closed after 2 s.
    ConnectionReactor::Settings settings;
    settings.workers = threads;
    settings.loops = kEventLoops;
    settings.requestsPerConnection = kKeepAliveRequests;
    settings.keepAliveIdle = std::chrono::seconds(kKeepAliveSeconds);
    impl_->reactor = std::make_unique<ConnectionReactor>(
        settings, [impl](ConnectionStream& stream, bool last) { return impl->serve(stream, last); },
        impl_->config.faults ? ConnectionReactor::Unreachable([impl] { return impl->isDead(); })
                             : ConnectionReactor::Unreachable(),
        isCatalogueRequest);
    impl_->router.get(kServicePath, [impl](httplib::Request& req, Reply& reply) {
        impl->answerCatalogue(req, reply);
        ignoreUnanswerableRanges(req, reply);
    });
    if (const FleetService* fleet = impl_->config.fleet) {
        for (const char* path : {"/fleet", "/fleet.json", "/fleet/*"}) {
            // The fleet's pages go whole, as RFC 9110 allows: parts of a
            // list made anew each second would not fit together, and a
            // thumbnail is small.
            impl_->router.get(path, [fleet](httplib::Request& req, Reply& reply) {
                req.ranges.clear();
                fleet->answerPage(req, reply);
            });
        }
    }
    impl_->router.get("/*", [impl](httplib::Request& req, Reply& reply) {
        impl->answerSite(req, reply);
        ignoreUnanswerableRanges(req, reply);
    });
}

CatalogueServer::~CatalogueServer() = default;

int CatalogueServer::bind(const std::string& address, int port) {
    return impl_->reactor->bind(address, port);
}

bool CatalogueServer::listen() {
    impl_->reactor->run();
    return true;
}

void CatalogueServer::stop() {
    impl_->holds->stopAll();
    impl_->reactor->stop();
}

void CatalogueServer::setSiteUrl(const std::string& siteUrl) {
    std::unique_lock guard(impl_->lock);
    impl_->config.siteUrl = siteUrl;
}

void CatalogueServer::setCatalogue(std::shared_ptr<const CatalogueReplies> replies) {
    auto fixed = std::make_shared<ResourceMap>();
    for (const char* code : {"x4444", "x6666", "x7777", "x9999", "x5555"}) {
        std::string body = replies->answer({code});
        std::string etag = strongEtag(body);
        (*fixed)[code] = std::make_shared<const Resource>(
            Resource{std::move(body), kCatalogueType, std::move(etag)});
    }
    std::unique_lock guard(impl_->lock);
    impl_->replies = std::move(replies);
    impl_->fixedReplies = std::move(fixed);
}

void CatalogueServer::putResources(const ResourceMap& resources) {
    std::unique_lock guard(impl_->lock);
    auto merged = std::make_shared<ResourceMap>(*impl_->resources);
    for (const auto& [path, resource] : resources) {
        (*merged)[path] = resource;
    }
    impl_->resources = std::move(merged);
}

} // namespace skyglance::catalogue

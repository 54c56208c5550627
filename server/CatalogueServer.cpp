#include "CatalogueServer.h"

#include "SitePaths.h"
#include "SiteTemplates.h"

#include <fstream>
#include <httplib.h>
#include <mutex>
#include <shared_mutex>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>

namespace skyglance::catalogue {
namespace {

constexpr const char* kServicePath = "/service/catalogue";
constexpr std::size_t kMaxSiteFileBytes = 4u * 1024u * 1024u;
constexpr std::size_t kKeepAliveRequests = 100;

// httplib keeps its listening socket to itself and queues only five pending
// connections; a deeper queue keeps bursts of clients from being refused.
class ListeningServer : public httplib::Server {
public:
    void deepenBacklog() {
        const auto sock = svr_sock_.load();
        if (sock != INVALID_SOCKET) {
            ::listen(sock, SOMAXCONN);
        }
    }
};

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

void sendText(httplib::Response& res, int status, const std::string& text) {
    res.status = status;
    res.set_content(text, "text/plain; charset=utf-8");
}

} // namespace

struct CatalogueServer::Impl {
    Config config;
    ListeningServer http;
    mutable std::shared_mutex lock;
    std::shared_ptr<const CatalogueReplies> replies;
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

    void answerCatalogue(const httplib::Request& req, httplib::Response& res) const {
        std::vector<std::string> codes;
        const auto range = req.params.equal_range("x00");
        for (auto it = range.first; it != range.second; ++it) {
            codes.push_back(it->second);
        }
        const auto current = currentReplies();
        res.set_header("Cache-Control", "no-store");
        res.set_content(current ? current->answer(codes)
                                : CatalogueReplies::errorReply("catalogue not loaded"),
                        "text/html; charset=utf-8");
    }

    void answerSite(const httplib::Request& req, httplib::Response& res) const {
        res.set_header("Cache-Control", "no-store");
        if (const auto resource = findResource(req.path)) {
            res.set_content(resource->body, resource->contentType.c_str());
            return;
        }
        if (config.pictures && config.pictures->knows(req.path)) {
            const auto picture = config.pictures->get(req.path);
            if (!picture) {
                sendText(res, 503, "picture not ready\n");
                return;
            }
            res.set_content(picture->body, picture->contentType.c_str());
            return;
        }
        const auto relative = siteRelativePath(req.path);
        const auto file = relative ? resolveInsideRoot(config.siteRoot, *relative) : std::nullopt;
        std::string bytes;
        if (!file || !readFileBounded(*file, bytes)) {
            sendText(res, 404, "not found\n");
            return;
        }
        if (isTemplatePage(*file)) {
            PageContext context;
            context.siteRoot = siteUrl();
            context.now = QDateTime::currentDateTime();
            context.pageName = *relative;
            context.queryValue = [&req](std::string_view name) {
                return req.get_param_value(std::string(name).c_str());
            };
            bytes = fillTemplate(bytes, context);
        }
        res.set_content(bytes, contentTypeFor(*file).c_str());
    }
};

CatalogueServer::CatalogueServer(Config config) : impl_(std::make_unique<Impl>()) {
    impl_->config = std::move(config);
    auto& http = impl_->http;
    const int threads = impl_->config.threads;
    http.new_task_queue = [threads] {
        return new httplib::ThreadPool(static_cast<size_t>(threads));
    };
    // Without it a small reply waits for the delayed ACK: ~300 requests/s.
    http.set_tcp_nodelay(true);
    http.set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    http.set_read_timeout(5, 0);
    http.set_write_timeout(5, 0);
    // Each open connection holds a worker; an idle one lets go after 2 s.
    http.set_keep_alive_timeout(2);
    http.set_keep_alive_max_count(kKeepAliveRequests);
    http.set_payload_max_length(64 * 1024);
    Impl* impl = impl_.get();
    http.Get(kServicePath, [impl](const httplib::Request& req, httplib::Response& res) {
        impl->answerCatalogue(req, res);
    });
    http.Get(R"(/.*)", [impl](const httplib::Request& req, httplib::Response& res) {
        impl->answerSite(req, res);
    });
    http.set_exception_handler([](const httplib::Request&, httplib::Response& res,
                                  std::exception_ptr) { sendText(res, 500, "internal error\n"); });
    http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            res.set_content(std::to_string(res.status) + "\n", "text/plain; charset=utf-8");
        }
    });
}

CatalogueServer::~CatalogueServer() = default;

int CatalogueServer::bind(const std::string& address, int port) {
    int bound = -1;
    if (port == 0) {
        bound = impl_->http.bind_to_any_port(address);
    } else if (impl_->http.bind_to_port(address, port)) {
        bound = port;
    }
    if (bound > 0) {
        impl_->http.deepenBacklog();
    }
    return bound;
}

bool CatalogueServer::listen() {
    return impl_->http.listen_after_bind();
}

void CatalogueServer::stop() {
    impl_->http.stop();
}

void CatalogueServer::setSiteUrl(const std::string& siteUrl) {
    std::unique_lock guard(impl_->lock);
    impl_->config.siteUrl = siteUrl;
}

void CatalogueServer::setCatalogue(std::shared_ptr<const CatalogueReplies> replies) {
    std::unique_lock guard(impl_->lock);
    impl_->replies = std::move(replies);
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

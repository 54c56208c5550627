#pragma once

#include <QByteArray>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One request as the page server read it: its head only (bodies are never
// read).
struct PageRequest {
    std::string method;
    std::string path;                                         // the target before any "?"
    std::string query;                                        // after the "?", as sent
    std::vector<std::pair<std::string, std::string>> headers; // names in lower case

    // The value of the first header of that name (lower case); empty if none.
    std::string header(std::string_view name) const;
};

// The length of the request head at the start of `bytes`, with its blank
// line; 0 while it is not whole.
std::size_t PageHeadLength(std::string_view bytes);
// The request of a whole head; nothing when its first line is no request
// line (method, target from "/", HTTP/1.x).
std::optional<PageRequest> ParsePageHead(std::string_view head);

struct PageReply {
    int status = 200;
    std::string contentType;
    QByteArray body;
    std::vector<std::pair<std::string, std::string>> headers;
};

// A small HTTP/1.1 server for read-only pages, on one thread with an event
// loop (epoll, non-blocking sockets), so that slow or idle clients hold no
// thread and a client that does not read holds nobody else's reply. It keeps
// to a fixed number of connections, so the rest of the program always has
// descriptors: beyond it, the oldest connection still sending its request
// makes room for the newest (a flood of idle connections cannot keep a real
// client out). A request whose head is not whole within the head deadline, or
// is too long, ends its connection. One request per connection; the
// handler runs on the server's thread.
class PageServer {
public:
    struct Limits {
        std::size_t maxConnections = 32;
        std::chrono::milliseconds headDeadline{5000}; // from the accept
        std::chrono::milliseconds replyDeadline{10000};
        std::size_t maxHeadBytes = 16 * 1024;
    };
    using Handler = std::function<PageReply(const PageRequest&)>;

    // Listens on host:port (0: a free port); null with the reason in error
    // when it cannot. Nothing is served before serve().
    static std::unique_ptr<PageServer> listen(const std::string& host, int port, Limits limits,
                                              Handler handler, std::string* error);
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    void serve();
    int port() const;
    // Whether the address listened on is a loopback address.
    bool onLoopback() const;

private:
    struct Loop;
    explicit PageServer(std::unique_ptr<Loop> loop);
    std::unique_ptr<Loop> loop_;
};

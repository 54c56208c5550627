#include "watch/PageServer.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTickMs = 100; // deadlines are checked this often
constexpr int kEvents = 64;
// After its reply a connection is read to its end for a moment before it is
// closed: closing with unread bytes would reset it and could cut the reply.
constexpr std::chrono::milliseconds kDrainTime{1000};
// Out of descriptors, the listener rests this long instead of spinning.
constexpr std::chrono::milliseconds kRestWithoutDescriptors{200};

const char* reasonOf(int status) {
    switch (status) {
    case 200:
        return "OK";
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
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Internal Server Error";
    }
}

QByteArray replyBytes(const PageReply& reply, bool withBody) {
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + reasonOf(reply.status) +
                       "\r\nContent-Length: " + std::to_string(reply.body.size()) +
                       "\r\nConnection: close\r\n";
    if (!reply.contentType.empty()) {
        head += "Content-Type: " + reply.contentType + "\r\n";
    }
    for (const auto& [name, value] : reply.headers) {
        head += name + ": " + value + "\r\n";
    }
    head += "\r\n";
    QByteArray out(head.data(), static_cast<qsizetype>(head.size()));
    if (withBody) {
        out += reply.body;
    }
    return out;
}

PageReply bare(int status) {
    PageReply reply;
    reply.status = status;
    return reply;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::size_t PageHeadLength(std::string_view in) {
    const std::size_t crlf = in.find("\r\n\r\n");
    const std::size_t lf = in.find("\n\n");
    const std::size_t a = crlf == std::string_view::npos ? crlf : crlf + 4;
    const std::size_t b = lf == std::string_view::npos ? lf : lf + 2;
    const std::size_t end = std::min(a, b);
    return end == std::string_view::npos ? 0 : end;
}

std::optional<PageRequest> ParsePageHead(std::string_view head) {
    std::size_t eol = head.find('\n');
    const std::string_view first = trimmed(head.substr(0, eol));
    const std::size_t space1 = first.find(' ');
    const std::size_t space2 = first.rfind(' ');
    if (space1 == std::string_view::npos || space1 == space2 ||
        first.substr(space2 + 1).substr(0, 7) != "HTTP/1.") {
        return std::nullopt;
    }
    PageRequest request;
    request.method = first.substr(0, space1);
    const std::string_view target = first.substr(space1 + 1, space2 - space1 - 1);
    if (target.empty() || target.front() != '/') {
        return std::nullopt;
    }
    const std::size_t question = target.find('?');
    request.path = target.substr(0, question);
    if (question != std::string_view::npos) {
        request.query = target.substr(question + 1);
    }
    while (eol != std::string_view::npos) {
        const std::size_t start = eol + 1;
        eol = head.find('\n', start);
        const std::string_view line = trimmed(head.substr(start, eol - start));
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            request.headers.emplace_back(lowerCase(trimmed(line.substr(0, colon))),
                                         trimmed(line.substr(colon + 1)));
        }
    }
    return request;
}

namespace {

struct Connection {
    enum class Stage { Head, Reply, Drain };
    Stage stage = Stage::Head;
    std::string in;
    QByteArray out;
    qsizetype sent = 0;
    Clock::time_point deadline;
    std::uint64_t order = 0; // of the accept
};

} // namespace

std::string PageRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (key == name) {
            return value;
        }
    }
    return {};
}

struct PageServer::Loop {
    Loop(Limits l, Handler h) : limits(l), handler(std::move(h)) {}
    ~Loop() {
        stopping = true;
        if (thread.joinable()) {
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto ignored = ::write(wakeFd, &one, sizeof one);
            thread.join();
        }
        for (const auto& [fd, connection] : connections) {
            ::close(fd);
        }
        for (const int fd : {listener, epoll, wakeFd}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    Loop(const Loop&) = delete;
    Loop& operator=(const Loop&) = delete;

    bool bindTo(const std::string& host, int port, std::string* error);
    void run();
    void watchListener(bool on);
    void acceptOne(Clock::time_point now);
    bool evictOldestWaiting();
    void onEvent(int fd, std::uint32_t events, Clock::time_point now);
    void readHead(int fd, Connection& c, Clock::time_point now);
    void answer(int fd, Connection& c, const std::optional<PageRequest>& request,
                Clock::time_point now);
    void reply(int fd, Connection& c, QByteArray bytes, Clock::time_point now);
    void writeMore(int fd, Connection& c, Clock::time_point now);
    void drain(int fd);
    void close(int fd);
    void sweep(Clock::time_point now);
    void modify(int fd, std::uint32_t events) const {
        epoll_event event{};
        event.events = events;
        event.data.fd = fd;
        ::epoll_ctl(epoll, EPOLL_CTL_MOD, fd, &event);
    }

    const Limits limits;
    const Handler handler;
    int listener = -1;
    int epoll = -1;
    int wakeFd = -1;
    int port = 0;
    bool loopback = false;
    bool listening = false;
    Clock::time_point restUntil;
    std::unordered_map<int, Connection> connections;
    std::uint64_t accepted = 0;
    std::atomic<bool> stopping{false};
    std::thread thread;
};

namespace {

bool isLoopback(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
    }
    if (address.ss_family == AF_INET6) {
        const in6_addr& a = reinterpret_cast<const sockaddr_in6*>(&address)->sin6_addr;
        return IN6_IS_ADDR_LOOPBACK(&a) || (IN6_IS_ADDR_V4MAPPED(&a) && a.s6_addr[12] == 127);
    }
    return false;
}

int portOf(const sockaddr_storage& address) {
    return address.ss_family == AF_INET6
               ? ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port)
               : ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

int listeningSocket(const addrinfo& ai) {
    const int fd = ::socket(ai.ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, ai.ai_addr, ai.ai_addrlen) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        const int why = errno;
        ::close(fd);
        errno = why;
        return -1;
    }
    return fd;
}

} // namespace

bool PageServer::Loop::bindTo(const std::string& host, int wantedPort, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(wantedPort);
    const int lookup = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (lookup != 0) {
        *error = ::gai_strerror(lookup);
        return false;
    }
    int why = 0;
    for (const addrinfo* ai = found; ai && listener < 0; ai = ai->ai_next) {
        listener = listeningSocket(*ai);
        why = errno;
    }
    ::freeaddrinfo(found);
    if (listener < 0) {
        *error = std::strerror(why);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &length);
    port = portOf(bound);
    loopback = isLoopback(bound);
    epoll = ::epoll_create1(EPOLL_CLOEXEC);
    wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epoll < 0 || wakeFd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = wakeFd;
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, wakeFd, &event);
    return true;
}

void PageServer::Loop::run() {
    epoll_event events[kEvents];
    while (!stopping) {
        const int n = ::epoll_wait(epoll, events, kEvents, kTickMs);
        const auto now = Clock::now();
        for (int i = 0; i < n && !stopping; ++i) {
            const int fd = events[i].data.fd;
            if (fd == listener) {
                acceptOne(now);
            } else if (fd != wakeFd) {
                onEvent(fd, events[i].events, now);
            }
        }
        sweep(Clock::now());
    }
}

void PageServer::Loop::watchListener(bool on) {
    if (on == listening) {
        return;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = listener;
    ::epoll_ctl(epoll, on ? EPOLL_CTL_ADD : EPOLL_CTL_DEL, listener, &event);
    listening = on;
}

// One connection per readiness of the listener (it stays ready while more
// wait), so that room is made only for one that is there.
void PageServer::Loop::acceptOne(Clock::time_point now) {
    if (connections.size() >= limits.maxConnections && !evictOldestWaiting()) {
        watchListener(false); // all busy replying: new ones wait in the backlog
        return;
    }
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            watchListener(false);
            restUntil = now + kRestWithoutDescriptors;
        }
        return;
    }
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP;
    event.data.fd = fd;
    if (::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event) != 0) {
        ::close(fd);
        return;
    }
    Connection& c = connections[fd];
    c.deadline = now + limits.headDeadline;
    c.order = ++accepted;
}

// Closes the connection accepted first of those not being answered; false
// when every one is.
bool PageServer::Loop::evictOldestWaiting() {
    int oldest = -1;
    std::uint64_t order = 0;
    for (const auto& [fd, c] : connections) {
        if (c.stage != Connection::Stage::Reply && (oldest < 0 || c.order < order)) {
            oldest = fd;
            order = c.order;
        }
    }
    if (oldest < 0) {
        return false;
    }
    close(oldest);
    return true;
}

void PageServer::Loop::onEvent(int fd, std::uint32_t events, Clock::time_point now) {
    const auto found = connections.find(fd);
    if (found == connections.end()) {
        return;
    }
    Connection& c = found->second;
    switch (c.stage) {
    case Connection::Stage::Head:
        readHead(fd, c, now);
        break;
    case Connection::Stage::Reply:
        if (events & (EPOLLERR | EPOLLHUP)) {
            close(fd);
        } else {
            writeMore(fd, c, now);
        }
        break;
    case Connection::Stage::Drain:
        drain(fd);
        break;
    }
}

void PageServer::Loop::readHead(int fd, Connection& c, Clock::time_point now) {
    bool ended = false;
    char chunk[4096];
    while (c.in.size() <= limits.maxHeadBytes) {
        const std::size_t room = std::min(sizeof chunk, limits.maxHeadBytes + 1 - c.in.size());
        const ssize_t n = ::recv(fd, chunk, room, 0);
        if (n > 0) {
            c.in.append(chunk, static_cast<std::size_t>(n));
            continue;
        }
        ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
        break;
    }
    const std::size_t length = PageHeadLength(c.in);
    if (length > 0 && length <= limits.maxHeadBytes) {
        answer(fd, c, ParsePageHead(std::string_view(c.in).substr(0, length)), now);
    } else if (c.in.size() > limits.maxHeadBytes) {
        reply(fd, c, replyBytes(bare(431), true), now);
    } else if (ended) {
        close(fd);
    }
}

void PageServer::Loop::answer(int fd, Connection& c, const std::optional<PageRequest>& request,
                              Clock::time_point now) {
    PageReply out = bare(400);
    if (request) {
        try {
            out = handler(*request);
        } catch (...) {
            out = bare(500);
        }
    }
    reply(fd, c, replyBytes(out, !request || request->method != "HEAD"), now);
}

void PageServer::Loop::reply(int fd, Connection& c, QByteArray bytes, Clock::time_point now) {
    c.stage = Connection::Stage::Reply;
    c.in.clear();
    c.in.shrink_to_fit();
    c.out = std::move(bytes);
    c.deadline = now + limits.replyDeadline;
    modify(fd, EPOLLOUT);
    writeMore(fd, c, now);
}

// As much of the reply as the socket takes now; the rest when it has room.
void PageServer::Loop::writeMore(int fd, Connection& c, Clock::time_point now) {
    while (c.sent < c.out.size()) {
        const ssize_t n = ::send(fd, c.out.constData() + c.sent,
                                 static_cast<std::size_t>(c.out.size() - c.sent), MSG_NOSIGNAL);
        if (n > 0) {
            c.sent += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            return;
        } else {
            close(fd);
            return;
        }
    }
    c.out.clear();
    c.stage = Connection::Stage::Drain;
    c.deadline = now + kDrainTime;
    ::shutdown(fd, SHUT_WR);
    modify(fd, EPOLLIN | EPOLLRDHUP);
}

void PageServer::Loop::drain(int fd) {
    char chunk[4096];
    while (true) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n > 0) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            return;
        }
        close(fd);
        return;
    }
}

void PageServer::Loop::close(int fd) {
    ::epoll_ctl(epoll, EPOLL_CTL_DEL, fd, nullptr);
    ::close(fd);
    connections.erase(fd);
}

// Ends the connections whose time is up (a head begun and not whole is told
// so), and listens again when there is room.
void PageServer::Loop::sweep(Clock::time_point now) {
    std::vector<int> late;
    for (const auto& [fd, c] : connections) {
        if (c.deadline <= now) {
            late.push_back(fd);
        }
    }
    for (const int fd : late) {
        const Connection& c = connections.at(fd);
        if (c.stage == Connection::Stage::Head && !c.in.empty()) {
            const QByteArray timedOut = replyBytes(bare(408), true);
            ::send(fd, timedOut.constData(), static_cast<std::size_t>(timedOut.size()),
                   MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        close(fd);
    }
    if (!listening && connections.size() < limits.maxConnections && now >= restUntil) {
        watchListener(true);
    }
}

PageServer::PageServer(std::unique_ptr<Loop> loop) : loop_(std::move(loop)) {}

PageServer::~PageServer() = default;

std::unique_ptr<PageServer> PageServer::listen(const std::string& host, int port, Limits limits,
                                               Handler handler, std::string* error) {
    auto loop = std::make_unique<Loop>(limits, std::move(handler));
    std::string why;
    if (!loop->bindTo(host, port, &why)) {
        if (error) {
            *error = why;
        }
        return nullptr;
    }
    return std::unique_ptr<PageServer>(new PageServer(std::move(loop)));
}

void PageServer::serve() {
    if (loop_->thread.joinable()) {
        return;
    }
    loop_->watchListener(true);
    Loop* loop = loop_.get();
    loop_->thread = std::thread([loop] { loop->run(); });
}

int PageServer::port() const {
    return loop_->port;
}

bool PageServer::onLoopback() const {
    return loop_->loopback;
}

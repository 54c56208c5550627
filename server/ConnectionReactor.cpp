#include "ConnectionReactor.h"

#include "RequestScreen.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <unistd.h>

namespace skyglance::catalogue {
namespace {

constexpr int kEvents = 256;
constexpr int kTickMs = 50; // deadlines and the unreachable state are checked this often

// Said to a client whose request has not come whole in time, or is too big,
// before its connection is closed.
constexpr std::string_view kTimedOut =
    "HTTP/1.1 408 Request Timeout\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
constexpr std::string_view kTooLarge = "HTTP/1.1 431 Request Header Fields Too Large\r\n"
                                       "Connection: close\r\nContent-Length: 0\r\n\r\n";

void say(const ConnectionStream& stream, std::string_view text) {
    ::send(stream.socket(), text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

// Refuses the buffered request when its head is too big or the service never
// serves its kind (see refusalOfHead); true when it did, and the connection
// is to be closed.
bool refusedHead(const ConnectionStream& stream, std::size_t maxHeadBytes) {
    const std::string_view refusal = requestHeadLength(stream.pending()) > maxHeadBytes
                                         ? kTooLarge
                                         : refusalOfHead(stream.pending());
    if (refusal.empty()) {
        return false;
    }
    say(stream, refusal);
    return true;
}

// Connections the descriptor limit leaves room for, keeping some for the
// database, the files replies are read from, and the system's own needs.
int connectionsWithinDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return 1 << 20;
    }
    const long descriptors = static_cast<long>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
    const long kept = std::clamp(descriptors / 3, 16L, 256L);
    return static_cast<int>(std::max(1L, descriptors - kept));
}

void watch(int epoll, int fd, std::uint32_t events) {
    epoll_event event{};
    event.events = events;
    event.data.fd = fd;
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event);
}

} // namespace

struct ConnectionReactor::Connection {
    Connection(int fd, std::chrono::milliseconds writeTimeout, Loop& loop, std::atomic<int>& count)
        : stream(fd, writeTimeout), home(&loop), openCount(count) {
        ++openCount;
    }
    ~Connection() { --openCount; }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    ConnectionStream stream;
    Loop* home; // the loop it waits in between requests
    Clock::time_point deadline;
    bool started = false; // a byte of the next request has come
    std::size_t served = 0;
    std::atomic<int>& openCount; // of the reactor
};

struct ConnectionReactor::Loop {
    Loop()
        : epoll(::epoll_create1(EPOLL_CLOEXEC)), wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
        watch(epoll, wakeFd, EPOLLIN);
    }
    ~Loop() {
        ::close(wakeFd);
        ::close(epoll);
    }
    Loop(const Loop&) = delete;
    Loop& operator=(const Loop&) = delete;

    void wake() const {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto ignored = ::write(wakeFd, &one, sizeof one);
    }

    const int epoll;
    const int wakeFd;
    std::unordered_map<int, ConnectionPtr> waiting; // this loop's thread only
    std::mutex mutex;
    std::vector<ConnectionPtr> returned; // from the workers, to wait again
    std::thread thread;
};

ConnectionReactor::ConnectionReactor(Settings settings, Serve serve, Unreachable unreachable,
                                     Quick quick)
    : settings_(settings), serve_(std::move(serve)), unreachable_(std::move(unreachable)),
      quick_(std::move(quick)),
      maxConnections_(settings.maxConnections > 0 ? settings.maxConnections
                                                  : connectionsWithinDescriptorLimit()) {
    for (int i = 0; i < std::max(1, settings_.loops); ++i) {
        loops_.push_back(std::make_unique<Loop>());
    }
}

ConnectionReactor::~ConnectionReactor() {
    stop();
    closeListener();
}

int ConnectionReactor::bind(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found) !=
        0) {
        return -1;
    }
    for (addrinfo* ai = found; ai && listener_ < 0; ai = ai->ai_next) {
        std::memcpy(&address_, ai->ai_addr, ai->ai_addrlen);
        addressLength_ = ai->ai_addrlen;
        openListener();
    }
    ::freeaddrinfo(found);
    if (listener_ < 0) {
        return -1;
    }
    // A port picked by the system is kept for listening again after an outage.
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address_), &addressLength_);
    return address_.ss_family == AF_INET6
               ? ntohs(reinterpret_cast<sockaddr_in6*>(&address_)->sin6_port)
               : ntohs(reinterpret_cast<sockaddr_in*>(&address_)->sin_port);
}

bool ConnectionReactor::openListener() {
    const int fd = ::socket(address_.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address_), addressLength_) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        ::close(fd);
        return false;
    }
    // Every loop accepts; one is woken per new connection.
    for (const auto& loop : loops_) {
        watch(loop->epoll, fd, EPOLLIN | EPOLLEXCLUSIVE);
    }
    listener_ = fd;
    acceptPaused_ = false;
    return true;
}

void ConnectionReactor::closeListener() {
    const int fd = listener_.exchange(-1);
    if (fd >= 0) {
        for (const auto& loop : loops_) {
            ::epoll_ctl(loop->epoll, EPOLL_CTL_DEL, fd, nullptr);
        }
        ::close(fd);
    }
}

void ConnectionReactor::run() {
    for (int i = 0; i < settings_.workers; ++i) {
        workers_.emplace_back([this] { workerLoop(); });
    }
    for (std::size_t i = 1; i < loops_.size(); ++i) {
        loops_[i]->thread = std::thread([this, i] { runLoop(*loops_[i]); });
    }
    runLoop(*loops_[0]);
    closeListener();
    for (std::size_t i = 1; i < loops_.size(); ++i) {
        loops_[i]->thread.join();
    }
    {
        std::lock_guard guard(mutex_);
        runnable_.clear();
    }
    ready_.notify_all();
    for (auto& worker : workers_) {
        worker.join();
    }
    workers_.clear();
    for (const auto& loop : loops_) {
        dropAll(*loop);
        loop->returned.clear();
    }
}

void ConnectionReactor::stop() {
    stopping_ = true;
    ready_.notify_all();
    for (const auto& loop : loops_) {
        loop->wake();
    }
}

void ConnectionReactor::runLoop(Loop& loop) {
    epoll_event events[kEvents];
    Clock::time_point lastSweep = Clock::now();
    while (!stopping_) {
        const int n = ::epoll_wait(loop.epoll, events, kEvents, kTickMs);
        for (int i = 0; i < n && !stopping_; ++i) {
            const int fd = events[i].data.fd;
            if (fd == loop.wakeFd) {
                std::uint64_t count = 0;
                [[maybe_unused]] const auto ignored = ::read(loop.wakeFd, &count, sizeof count);
                takeBack(loop);
            } else if (fd == listener_) {
                acceptAll(loop);
            } else {
                readFrom(loop, fd);
            }
        }
        const auto now = Clock::now();
        if (now - lastSweep >= std::chrono::milliseconds(kTickMs)) {
            lastSweep = now;
            if (&loop == loops_.front().get()) {
                watchListener(loop, now);
                resumeAccepting();
            }
            sweep(loop, now);
        }
    }
    dropAll(loop);
}

// Closes the listening socket while the service is to be unreachable, and
// listens again on the same address afterwards.
void ConnectionReactor::watchListener(Loop&, Clock::time_point) {
    const bool down = unreachable();
    if (down && listener_ >= 0) {
        closeListener();
    } else if (!down && listener_ < 0) {
        if (openListener()) {
            complained_ = false;
        } else if (!complained_) {
            complained_ = true;
            std::cerr << "skyglance-catalogue: cannot listen again yet: " << std::strerror(errno)
                      << "; trying on\n";
        }
    }
}

void ConnectionReactor::acceptAll(Loop& loop) {
    while (true) {
        if (atConnectionLimit()) {
            pauseAccepting();
            return;
        }
        const int listener = listener_;
        const int fd =
            listener < 0 ? -1 : ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (listener >= 0 && (errno == EINTR || errno == ECONNABORTED)) {
                continue;
            }
            if (listener >= 0 &&
                (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)) {
                sayCannotAccept(std::strerror(errno));
                pauseAccepting();
            }
            return; // EAGAIN, closed, or paused
        }
        int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        auto connection = std::make_unique<Connection>(fd, settings_.writeTimeout, loop, open_);
        // The first request must come whole within the limit of the accept.
        connection->started = true;
        connection->deadline = Clock::now() + settings_.requestReadLimit;
        adopt(loop, std::move(connection));
    }
}

bool ConnectionReactor::atConnectionLimit() const {
    if (open_ < maxConnections_) {
        return false;
    }
    sayCannotAccept(std::to_string(maxConnections_) +
                    " connections are open, as many as the descriptor limit leaves room for");
    return true;
}

// Once each time it happens, not for every connection that waits.
void ConnectionReactor::sayCannotAccept(const std::string& why) const {
    if (!saidCannotAccept_.exchange(true)) {
        std::cerr << "skyglance-catalogue: cannot accept: " << why
                  << "; accepting again when connections close\n";
    }
}

// The connections waiting in the backlog keep the listener readable, so
// each loop would be woken at once, fail again and spin; they wait there
// until a connection closes (nginx does the same). Accepting stops before
// the descriptors run out, so that replies can still open their files.
void ConnectionReactor::pauseAccepting() {
    if (acceptPaused_.exchange(true)) {
        return;
    }
    const int fd = listener_;
    for (const auto& loop : loops_) {
        ::epoll_ctl(loop->epoll, EPOLL_CTL_DEL, fd, nullptr);
    }
}

// Every tick while paused: listens again once the count is below the limit;
// an accept that fails for want of descriptors pauses it again.
void ConnectionReactor::resumeAccepting() {
    const int fd = listener_;
    if (fd < 0 || !acceptPaused_ || open_ >= maxConnections_) {
        return;
    }
    acceptPaused_ = false;
    saidCannotAccept_ = false;
    for (const auto& loop : loops_) {
        watch(loop->epoll, fd, EPOLLIN | EPOLLEXCLUSIVE);
    }
}

void ConnectionReactor::adopt(Loop& loop, ConnectionPtr connection) {
    const int fd = connection->stream.socket();
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP;
    event.data.fd = fd;
    if (::epoll_ctl(loop.epoll, EPOLL_CTL_ADD, fd, &event) == 0) {
        loop.waiting[fd] = std::move(connection);
    }
}

void ConnectionReactor::forget(Loop& loop, int fd) {
    ::epoll_ctl(loop.epoll, EPOLL_CTL_DEL, fd, nullptr);
    loop.waiting.erase(fd); // closes it
}

void ConnectionReactor::readFrom(Loop& loop, int fd) {
    const auto found = loop.waiting.find(fd);
    if (found == loop.waiting.end()) {
        return;
    }
    Connection& connection = *found->second;
    const bool open = connection.stream.fill();
    if (!connection.started && connection.stream.buffered() > 0) {
        connection.started = true;
        connection.deadline = Clock::now() + settings_.requestReadLimit;
    }
    if (connection.stream.hasRequestHead()) {
        dispatch(loop, fd);
        return;
    }
    if (connection.stream.buffered() > settings_.maxHeadBytes) {
        say(connection.stream, kTooLarge);
    } else if (open) {
        return;
    }
    forget(loop, fd);
}

// A connection with a whole request head: refused here when the service
// never serves its kind (a body announced is never waited for), answered
// here while its requests are quick, else handed to a worker.
void ConnectionReactor::dispatch(Loop& loop, int fd) {
    Connection& connection = *loop.waiting.at(fd);
    while (connection.stream.hasRequestHead()) {
        if (refusedHead(connection.stream, settings_.maxHeadBytes)) {
            forget(loop, fd);
            return;
        }
        if (!quick_ || !quick_(connection.stream.pending())) {
            break;
        }
        if (!serveHere(connection)) {
            forget(loop, fd);
            return;
        }
    }
    if (!connection.stream.hasRequestHead()) {
        connection.started = connection.stream.buffered() > 0;
        connection.deadline = Clock::now() + (connection.started ? settings_.requestReadLimit
                                                                 : settings_.keepAliveIdle);
        return; // waits here for its next request
    }
    ::epoll_ctl(loop.epoll, EPOLL_CTL_DEL, fd, nullptr);
    ConnectionPtr ready = std::move(loop.waiting.at(fd));
    loop.waiting.erase(fd);
    {
        std::lock_guard guard(mutex_);
        runnable_.push_back(std::move(ready));
    }
    ready_.notify_one();
}

// One request answered on the loop's thread; false to close the connection.
bool ConnectionReactor::serveHere(Connection& connection) {
    if (unreachable()) {
        return false;
    }
    ConnectionStream& stream = connection.stream;
    stream.setWriteTimeout(settings_.loopWriteTimeout);
    const bool last = ++connection.served >= settings_.requestsPerConnection;
    stream.holdNextWrite();
    const bool keepOpen = serve_(stream, last);
    stream.setWriteTimeout(settings_.writeTimeout);
    return stream.flush() && keepOpen && !last;
}

// Closes the connections whose time is up: a request begun and not whole
// gets a 408 first, an idle connection just ends. All of them while the
// service is unreachable.
void ConnectionReactor::sweep(Loop& loop, Clock::time_point now) {
    if (unreachable()) {
        dropAll(loop);
        return;
    }
    for (auto it = loop.waiting.begin(); it != loop.waiting.end();) {
        Connection& connection = *it->second;
        if (connection.deadline > now) {
            ++it;
            continue;
        }
        if (connection.stream.buffered() > 0) {
            say(connection.stream, kTimedOut);
        }
        ::epoll_ctl(loop.epoll, EPOLL_CTL_DEL, it->first, nullptr);
        it = loop.waiting.erase(it);
    }
}

void ConnectionReactor::takeBack(Loop& loop) {
    std::vector<ConnectionPtr> back;
    {
        std::lock_guard guard(loop.mutex);
        back.swap(loop.returned);
    }
    const bool down = unreachable();
    for (auto& connection : back) {
        if (down || stopping_) {
            continue;
        }
        const int fd = connection->stream.socket();
        const bool whole = connection->stream.hasRequestHead(); // no event will say so
        adopt(loop, std::move(connection));
        if (whole && loop.waiting.count(fd) > 0) {
            dispatch(loop, fd);
        }
    }
}

void ConnectionReactor::dropAll(Loop& loop) {
    for (const auto& [fd, connection] : loop.waiting) {
        ::epoll_ctl(loop.epoll, EPOLL_CTL_DEL, fd, nullptr);
    }
    loop.waiting.clear();
}

void ConnectionReactor::workerLoop() {
    while (true) {
        ConnectionPtr connection;
        {
            std::unique_lock guard(mutex_);
            ready_.wait(guard, [this] { return stopping_ || !runnable_.empty(); });
            if (stopping_) {
                return;
            }
            connection = std::move(runnable_.front());
            runnable_.pop_front();
        }
        serveOn(std::move(connection));
    }
}

// Requests one after another while they come whole; then back to its loop.
void ConnectionReactor::serveOn(ConnectionPtr connection) {
    ConnectionStream& stream = connection->stream;
    while (true) {
        if (stopping_ || unreachable()) {
            return; // closed unanswered
        }
        const bool last = ++connection->served >= settings_.requestsPerConnection;
        stream.holdNextWrite();
        const bool keepOpen = serve_(stream, last);
        if (!stream.flush() || !keepOpen || last) {
            return;
        }
        switch (stream.waitForHead(Clock::now() + settings_.linger)) {
        case ConnectionStream::HeadWait::Whole:
            if (refusedHead(stream, settings_.maxHeadBytes)) {
                return;
            }
            if (quick_ && quick_(stream.pending())) {
                break; // its loop answers it
            }
            continue;
        case ConnectionStream::HeadWait::Closed:
            return;
        case ConnectionStream::HeadWait::TimedOut:
            break;
        }
        handBack(std::move(connection));
        return;
    }
}

void ConnectionReactor::handBack(ConnectionPtr connection) {
    connection->started = connection->stream.buffered() > 0;
    connection->deadline =
        Clock::now() + (connection->started ? settings_.requestReadLimit : settings_.keepAliveIdle);
    Loop& loop = *connection->home;
    {
        std::lock_guard guard(loop.mutex);
        loop.returned.push_back(std::move(connection));
    }
    loop.wake();
}

} // namespace skyglance::catalogue

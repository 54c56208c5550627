#include "ConnectionReactor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
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

void sayAndClose(ConnectionStream& stream, std::string_view text) {
    ::send(stream.socket(), text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

} // namespace

struct ConnectionReactor::Connection {
    Connection(int fd, std::chrono::milliseconds writeTimeout) : stream(fd, writeTimeout) {}

    ConnectionStream stream;
    Clock::time_point deadline;
    bool started = false; // a byte of the next request has come
    std::size_t served = 0;
};

ConnectionReactor::ConnectionReactor(Settings settings, Serve serve, Unreachable unreachable)
    : settings_(settings), serve_(std::move(serve)), unreachable_(std::move(unreachable)) {
    epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = wakeFd_;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, wakeFd_, &event);
}

ConnectionReactor::~ConnectionReactor() {
    stop();
    for (auto& worker : workers_) {
        if (worker.joinable()) {
            worker.join();
        }
    }
    closeListener();
    ::close(wakeFd_);
    ::close(epoll_);
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
    // A port picked by the system is kept for reopening after an outage.
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
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
    listener_ = fd;
    return true;
}

void ConnectionReactor::closeListener() {
    if (listener_ >= 0) {
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, listener_, nullptr);
        ::close(listener_);
        listener_ = -1;
    }
}

void ConnectionReactor::run() {
    for (int i = 0; i < settings_.workers; ++i) {
        workers_.emplace_back([this] { workerLoop(); });
    }
    epoll_event events[kEvents];
    Clock::time_point lastSweep = Clock::now();
    while (!stopping_) {
        const int n = ::epoll_wait(epoll_, events, kEvents, kTickMs);
        for (int i = 0; i < n; ++i) {
            const int fd = events[i].data.fd;
            if (fd == wakeFd_) {
                std::uint64_t count = 0;
                [[maybe_unused]] const auto ignored = ::read(wakeFd_, &count, sizeof count);
                takeBackReturned();
            } else if (fd == listener_) {
                acceptAll();
            } else {
                readFrom(fd);
            }
        }
        const auto now = Clock::now();
        if (now - lastSweep >= std::chrono::milliseconds(kTickMs)) {
            lastSweep = now;
            sweep(now);
        }
    }
    closeListener();
    dropAll();
    {
        std::lock_guard guard(mutex_);
        runnable_.clear();
    }
    ready_.notify_all();
    for (auto& worker : workers_) {
        worker.join();
    }
    workers_.clear();
}

void ConnectionReactor::stop() {
    stopping_ = true;
    ready_.notify_all();
    wake();
}

void ConnectionReactor::wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto ignored = ::write(wakeFd_, &one, sizeof one);
}

void ConnectionReactor::acceptAll() {
    while (true) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            return; // EAGAIN, or out of descriptors until some close
        }
        int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        auto connection = std::make_unique<Connection>(fd, settings_.writeTimeout);
        // The first request must come whole within the limit of the accept.
        connection->started = true;
        connection->deadline = Clock::now() + settings_.requestReadLimit;
        adopt(std::move(connection));
    }
}

void ConnectionReactor::adopt(ConnectionPtr connection) {
    const int fd = connection->stream.socket();
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP;
    event.data.fd = fd;
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) == 0) {
        waiting_[fd] = std::move(connection);
    }
}

void ConnectionReactor::readFrom(int fd) {
    const auto found = waiting_.find(fd);
    if (found == waiting_.end()) {
        return;
    }
    Connection& connection = *found->second;
    const bool open = connection.stream.fill();
    if (!connection.started && connection.stream.buffered() > 0) {
        connection.started = true;
        connection.deadline = Clock::now() + settings_.requestReadLimit;
    }
    if (connection.stream.hasRequestHead()) {
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
        ConnectionPtr ready = std::move(found->second);
        waiting_.erase(found);
        {
            std::lock_guard guard(mutex_);
            runnable_.push_back(std::move(ready));
        }
        ready_.notify_one();
        return;
    }
    if (connection.stream.buffered() > settings_.maxHeadBytes) {
        sayAndClose(connection.stream, kTooLarge);
    } else if (open) {
        return;
    }
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    waiting_.erase(found);
}

// Closes the connections whose time is up: a request begun and not whole
// gets a 408 first, an idle connection just ends.
void ConnectionReactor::sweep(Clock::time_point now) {
    const bool unreachable = unreachable_ && unreachable_();
    if (unreachable && listener_ >= 0) {
        closeListener();
        dropAll();
    } else if (!unreachable && listener_ < 0) {
        if (openListener()) {
            complained_ = false;
        } else if (!complained_) {
            complained_ = true;
            std::cerr << "skyglance-catalogue: cannot listen again yet: " << std::strerror(errno)
                      << "; trying on\n";
        }
    }
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        Connection& connection = *it->second;
        if (connection.deadline > now) {
            ++it;
            continue;
        }
        if (connection.stream.buffered() > 0) {
            sayAndClose(connection.stream, kTimedOut);
        }
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, it->first, nullptr);
        it = waiting_.erase(it);
    }
}

void ConnectionReactor::takeBackReturned() {
    std::vector<ConnectionPtr> back;
    {
        std::lock_guard guard(mutex_);
        back.swap(returned_);
    }
    const bool unreachable = unreachable_ && unreachable_();
    for (auto& connection : back) {
        if (!unreachable && !stopping_) {
            adopt(std::move(connection));
        }
    }
}

void ConnectionReactor::dropAll() {
    for (auto& [fd, connection] : waiting_) {
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    }
    waiting_.clear();
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

// Requests one after another while they come whole; then back to waiting.
void ConnectionReactor::serveOn(ConnectionPtr connection) {
    ConnectionStream& stream = connection->stream;
    while (true) {
        if (stopping_ || (unreachable_ && unreachable_())) {
            return; // closed unanswered
        }
        stream.setReadDeadline(Clock::now() + settings_.requestReadLimit);
        const bool last = ++connection->served >= settings_.requestsPerConnection;
        stream.holdNextWrite();
        const bool keepOpen = serve_(stream, last);
        if (!stream.flush() || !keepOpen || last) {
            return;
        }
        switch (stream.waitForHead(Clock::now() + settings_.linger)) {
        case ConnectionStream::HeadWait::Whole:
            continue;
        case ConnectionStream::HeadWait::Closed:
            return;
        case ConnectionStream::HeadWait::TimedOut:
            handBack(std::move(connection));
            return;
        }
    }
}

void ConnectionReactor::handBack(ConnectionPtr connection) {
    const auto now = Clock::now();
    connection->started = connection->stream.buffered() > 0;
    connection->deadline =
        now + (connection->started ? settings_.requestReadLimit : settings_.keepAliveIdle);
    {
        std::lock_guard guard(mutex_);
        returned_.push_back(std::move(connection));
    }
    wake();
}

} // namespace skyglance::catalogue

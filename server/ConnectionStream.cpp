#include "ConnectionStream.h"

#include "RequestScreen.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace skyglance::catalogue {
namespace {

constexpr std::size_t kReadChunk = 16 * 1024;

// Waits for `events` on `sock` until `deadline`; true when they came.
bool pollUntil(int sock, short events, ConnectionStream::Clock::time_point deadline) {
    while (true) {
        const auto now = ConnectionStream::Clock::now();
        long long ms = 0;
        if (deadline == ConnectionStream::Clock::time_point::max()) {
            ms = -1;
        } else if (deadline > now) {
            ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        }
        pollfd fd{sock, events, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(std::min<long long>(ms, 1 << 30)));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

void addressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&address);
        ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&address);
        ::inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
        port = ntohs(in6->sin6_port);
    }
    ip = text;
}

} // namespace

ConnectionStream::ConnectionStream(int sock, std::chrono::milliseconds writeTimeout)
    : sock_(sock), writeTimeout_(writeTimeout) {
    const int flags = ::fcntl(sock_, F_GETFL, 0);
    ::fcntl(sock_, F_SETFL, flags | O_NONBLOCK);
}

ConnectionStream::~ConnectionStream() {
    ::shutdown(sock_, SHUT_RDWR);
    ::close(sock_);
}

bool ConnectionStream::fill(std::size_t upTo) {
    if (offset_ > 0 && offset_ == buffer_.size()) {
        buffer_.clear();
        offset_ = 0;
    }
    char chunk[kReadChunk];
    while (buffered() < upTo) {
        const std::size_t room = std::min(sizeof chunk, upTo - buffered());
        const ssize_t n = ::recv(sock_, chunk, room, MSG_DONTWAIT);
        if (n > 0) {
            buffer_.append(chunk, static_cast<std::size_t>(n));
            if (static_cast<std::size_t>(n) < room) {
                return true;
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

bool ConnectionStream::waitForBytes(std::size_t length, Clock::time_point deadline) {
    while (buffered() < length) {
        if (!pollUntil(sock_, POLLIN, deadline) || !fill(length)) {
            return buffered() >= length;
        }
    }
    return true;
}

void ConnectionStream::drainBeforeClose(std::size_t limit, Clock::time_point deadline) {
    ::shutdown(sock_, SHUT_WR);
    char chunk[kReadChunk];
    std::size_t dropped = 0;
    while (dropped < limit && pollUntil(sock_, POLLIN, deadline)) {
        const ssize_t n = ::recv(sock_, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
            return; // the client has closed too
        }
        dropped += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
}

ConnectionStream::HeadWait ConnectionStream::waitForHead(Clock::time_point deadline) {
    while (!hasRequestHead()) {
        // A full buffer without a head is for the caller to refuse; more
        // would not be read.
        if (buffered() >= kFillLimit || !pollUntil(sock_, POLLIN, deadline)) {
            return HeadWait::TimedOut;
        }
        if (!fill()) {
            return hasRequestHead() ? HeadWait::Whole : HeadWait::Closed;
        }
    }
    return HeadWait::Whole;
}

bool ConnectionStream::hasRequestHead() const {
    return requestHeadLength(pending()) > 0;
}

bool ConnectionStream::isWritable() const {
    return pollUntil(sock_, POLLOUT, Clock::now() + writeTimeout_);
}

void ConnectionStream::consume(std::size_t count) {
    offset_ += std::min(count, buffered());
    if (offset_ == buffer_.size()) {
        buffer_.clear();
        offset_ = 0;
    }
}

// Sends the held bytes and as much of `ptr` as goes with them; the count of
// `ptr`'s bytes sent (0 is fine: the caller writes the rest again), or -1.
ssize_t ConnectionStream::write(const char* ptr, std::size_t size) {
    if (holdNext_) {
        holdNext_ = false;
        held_.assign(ptr, size);
        heldSent_ = 0;
        return static_cast<ssize_t>(size);
    }
    while (true) {
        const std::size_t heldLeft = held_.size() - heldSent_;
        iovec parts[2] = {{held_.data() + heldSent_, heldLeft}, {const_cast<char*>(ptr), size}};
        msghdr message{};
        message.msg_iov = heldLeft > 0 ? parts : parts + 1;
        message.msg_iovlen = heldLeft > 0 ? 2 : 1;
        const ssize_t n = ::sendmsg(sock_, &message, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) {
            const std::size_t ofHeld = std::min(static_cast<std::size_t>(n), heldLeft);
            heldSent_ += ofHeld;
            if (heldSent_ == held_.size()) {
                held_.clear();
                heldSent_ = 0;
            }
            return n - static_cast<ssize_t>(ofHeld);
        }
        if (errno == EINTR) {
            continue;
        }
        if ((errno != EAGAIN && errno != EWOULDBLOCK) ||
            !pollUntil(sock_, POLLOUT, Clock::now() + writeTimeout_)) {
            return -1;
        }
    }
}

bool ConnectionStream::flush() {
    holdNext_ = false;
    while (!held_.empty()) {
        if (write(nullptr, 0) < 0) {
            held_.clear();
            heldSent_ = 0;
            return false;
        }
    }
    return true;
}

bool ConnectionStream::writeAll(const char* ptr, std::size_t size) {
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = write(ptr + sent, size - sent);
        if (n < 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

const std::string& ConnectionStream::remoteAddress() const {
    if (remotePort_ < 0) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        remotePort_ = 0;
        if (::getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            addressOf(address, remoteIp_, remotePort_);
        }
    }
    return remoteIp_;
}

int ConnectionStream::remotePort() const {
    remoteAddress();
    return remotePort_;
}

} // namespace skyglance::catalogue

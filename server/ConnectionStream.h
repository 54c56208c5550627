#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace skyglance::catalogue {

// One client connection as the service reads requests from it and writes
// replies to it: a non-blocking socket with a read buffer that lasts as long
// as the connection (so bytes of a next, pipelined request are kept), and a
// timeout for each write.
class ConnectionStream {
public:
    using Clock = std::chrono::steady_clock;

    ConnectionStream(int sock, std::chrono::milliseconds writeTimeout);
    ~ConnectionStream(); // shuts the socket down and closes it
    ConnectionStream(const ConnectionStream&) = delete;
    ConnectionStream& operator=(const ConnectionStream&) = delete;

    // The next write is held back and goes out with the one after it, or at
    // flush(): a reply's status and headers then leave in one packet with
    // the start of its body, not in a segment of their own.
    void holdNextWrite() { holdNext_ = true; }
    // Sends what is held back; false when the client is gone.
    bool flush();

    // The read buffer holds at most this much unless a caller asks for
    // more: bytes beyond it wait in the socket.
    static constexpr std::size_t kFillLimit = 64 * 1024;
    // Reads what the socket has without waiting, until `upTo` bytes are
    // buffered: false when the peer has closed or the socket failed (what
    // came before is still buffered).
    bool fill(std::size_t upTo = kFillLimit);
    enum class HeadWait { Whole, TimedOut, Closed };
    // Waits until a whole request head is buffered, `deadline` passes or the
    // peer closes.
    HeadWait waitForHead(Clock::time_point deadline);
    // Whether the buffer holds a whole request head (up to the blank line).
    bool hasRequestHead() const;
    std::size_t buffered() const { return buffer_.size() - offset_; }
    std::string_view pending() const { return {buffer_.data() + offset_, buffered()}; }
    // Waits until at least `length` bytes are buffered (a request body),
    // reading no byte beyond them; false when `deadline` passed or the peer
    // closed first.
    bool waitForBytes(std::size_t length, Clock::time_point deadline);
    // Before closing a connection whose request body was left unread: says
    // that no more comes and reads (and drops) what the client still sends,
    // at most `limit` bytes until `deadline`, so that closing with unread
    // bytes does not reset the connection before the client read the reply.
    void drainBeforeClose(std::size_t limit, Clock::time_point deadline);
    // Drops the first `count` buffered bytes (a request that has been read).
    void consume(std::size_t count);
    void setWriteTimeout(std::chrono::milliseconds timeout) { writeTimeout_ = timeout; }

    // Whether the socket takes bytes within the write timeout.
    bool isWritable() const;
    // Sends what it can of `size` bytes (with those held back before them),
    // waiting up to the write timeout for room; the count of `ptr`'s bytes
    // sent, or -1 when the client is gone or too slow.
    ssize_t write(const char* ptr, std::size_t size);
    // Sends all `size` bytes; false when the client is gone or too slow.
    bool writeAll(const char* ptr, std::size_t size);
    // The client's address as text, e.g. 127.0.0.1.
    const std::string& remoteAddress() const;
    int remotePort() const;
    int socket() const { return sock_; }

private:
    int sock_;
    std::chrono::milliseconds writeTimeout_;
    std::string buffer_;
    std::size_t offset_ = 0;
    // Asked of the system once per connection, not per request.
    mutable std::string remoteIp_;
    mutable int remotePort_ = -1;
    bool holdNext_ = false;
    std::string held_; // written, not yet sent
    std::size_t heldSent_ = 0;
};

} // namespace skyglance::catalogue

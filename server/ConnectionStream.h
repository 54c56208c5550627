#pragma once

#include <chrono>
#include <httplib.h>
#include <string>
#include <string_view>

namespace skyglance::catalogue {

// One client connection as httplib reads requests from it and writes
// replies to it: a non-blocking socket with a read buffer that lasts as long
// as the connection (so bytes of a next, pipelined request are kept), a
// deadline for reading the request, and a timeout for each write.
class ConnectionStream : public httplib::Stream {
public:
    using Clock = std::chrono::steady_clock;

    ConnectionStream(int sock, std::chrono::milliseconds writeTimeout);
    ~ConnectionStream() override; // shuts the socket down and closes it
    ConnectionStream(const ConnectionStream&) = delete;
    ConnectionStream& operator=(const ConnectionStream&) = delete;

    // The next write is held back and goes out with the one after it, or at
    // flush(): a reply's status and headers then leave in one packet with
    // the start of its body, not in a segment of their own.
    void holdNextWrite() { holdNext_ = true; }
    // Sends what is held back; false when the client is gone.
    bool flush();

    // Reading gives up (returns -1) once `deadline` has passed.
    void setReadDeadline(Clock::time_point deadline) { readDeadline_ = deadline; }

    // Reads what the socket has without waiting: false when the peer has
    // closed or the socket failed (what came before is still buffered).
    bool fill();
    enum class HeadWait { Whole, TimedOut, Closed };
    // Waits until a whole request head is buffered, `deadline` passes or the
    // peer closes.
    HeadWait waitForHead(Clock::time_point deadline);
    // Waits until bytes are buffered or `deadline` passes; false when none came.
    bool waitForBytes(Clock::time_point deadline);
    // Whether the buffer holds a whole request head (up to the blank line).
    bool hasRequestHead() const;
    std::size_t buffered() const { return buffer_.size() - offset_; }
    std::string_view pending() const { return {buffer_.data() + offset_, buffered()}; }
    void setWriteTimeout(std::chrono::milliseconds timeout) { writeTimeout_ = timeout; }

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    using httplib::Stream::write;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return sock_; }

private:
    int sock_;
    std::chrono::milliseconds writeTimeout_;
    Clock::time_point readDeadline_ = Clock::time_point::max();
    std::string buffer_;
    std::size_t offset_ = 0;
    // Asked of the system once per connection, not per request.
    mutable std::string remoteIp_;
    mutable int remotePort_ = -1;
    mutable std::string localIp_;
    mutable int localPort_ = -1;
    bool holdNext_ = false;
    std::string held_; // written, not yet sent
    std::size_t heldSent_ = 0;
};

} // namespace skyglance::catalogue

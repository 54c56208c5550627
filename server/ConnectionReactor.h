#pragma once

#include "ConnectionStream.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <thread>
#include <unordered_map>
#include <vector>

namespace skyglance::catalogue {

// Accepts connections and reads request heads in a few event loops (epoll,
// one thread each), so that clients sending slowly, or not at all, hold no
// thread: they wait in a loop and are closed when their request has not
// come whole within the read limit. Requests that are answered from memory
// at once (the catalogue) are answered by the loop itself, as nginx would;
// the others (pictures drawn on demand, files, pages held open) go to a
// pool of workers, which wait a moment for the client's next request after
// a reply and then give the connection back to its loop.
class ConnectionReactor {
public:
    using Clock = ConnectionStream::Clock;

    struct Settings {
        int loops = 2;
        int workers = 32;
        std::chrono::milliseconds requestReadLimit{2000}; // whole head, from its first byte
        std::chrono::milliseconds keepAliveIdle{2000};    // before a next request starts
        std::chrono::milliseconds linger{5};              // a worker's wait for the next request
        std::chrono::milliseconds writeTimeout{5000};
        // A loop's reply may wait this long for room in the socket; a client
        // that lets it fill up is closed rather than hold the loop.
        std::chrono::milliseconds loopWriteTimeout{50};
        std::size_t requestsPerConnection = 100;
        std::size_t maxHeadBytes = 16 * 1024;
        // Open connections at most; 0: as many as the descriptor limit
        // allows with some kept for files, the database and the system.
        int maxConnections = 0;
    };
    // Answers the request whose head is buffered on `stream`; false when
    // the connection is to be closed. `last`: say it is the last one.
    using Serve = std::function<bool(ConnectionStream& stream, bool last)>;
    // While true, the service is unreachable: the listening socket is closed
    // (connections are refused) and open connections are closed unanswered.
    using Unreachable = std::function<bool()>;
    // Whether the request starting with this head is answered from memory
    // without waiting on anything, so that a loop may answer it.
    using Quick = std::function<bool(std::string_view head)>;

    ConnectionReactor(Settings settings, Serve serve, Unreachable unreachable, Quick quick);
    ~ConnectionReactor();
    ConnectionReactor(const ConnectionReactor&) = delete;
    ConnectionReactor& operator=(const ConnectionReactor&) = delete;

    // Binds and listens; the port, or -1.
    int bind(const std::string& host, int port);
    // Serves until stop(); call once, on a thread of its own, after bind().
    void run();
    void stop();

private:
    struct Connection;
    using ConnectionPtr = std::unique_ptr<Connection>;
    struct Loop;

    bool openListener();
    void closeListener();
    void runLoop(Loop& loop);
    void watchListener(Loop& loop, Clock::time_point now);
    void acceptAll(Loop& loop);
    void pauseAccepting();
    void resumeAccepting();
    bool atConnectionLimit() const;
    void sayCannotAccept(const std::string& why) const;
    void adopt(Loop& loop, ConnectionPtr connection);
    void readFrom(Loop& loop, int fd);
    void dispatch(Loop& loop, int fd);
    bool serveHere(Connection& connection);
    void forget(Loop& loop, int fd);
    void sweep(Loop& loop, Clock::time_point now);
    void takeBack(Loop& loop);
    void dropAll(Loop& loop);
    void workerLoop();
    void serveOn(ConnectionPtr connection);
    void handBack(ConnectionPtr connection);
    bool unreachable() const { return unreachable_ && unreachable_(); }

    const Settings settings_;
    const Serve serve_;
    const Unreachable unreachable_;
    const Quick quick_;
    sockaddr_storage address_{};
    socklen_t addressLength_ = 0;
    std::atomic<int> listener_{-1};
    bool complained_ = false; // that the port could not be had again
    // Out of descriptors: the listener is not watched (it would wake the
    // loops at once, again and again) until the next tick tries again.
    std::atomic<bool> acceptPaused_{false};
    mutable std::atomic<bool> saidCannotAccept_{false};
    const int maxConnections_;
    std::atomic<int> open_{0}; // connections, in the loops and with the workers
    std::atomic<bool> stopping_{false};
    std::vector<std::unique_ptr<Loop>> loops_;

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<ConnectionPtr> runnable_; // heads whole, for the workers
    std::vector<std::thread> workers_;
};

} // namespace skyglance::catalogue

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
#include <sys/socket.h>
#include <thread>
#include <unordered_map>
#include <vector>

namespace skyglance::catalogue {

// Accepts connections and reads request heads on one thread (epoll), and
// hands a connection to the worker pool only once a whole request head has
// come, so that clients sending slowly, or not at all, hold no worker: they
// wait here, and are closed when their request has not come whole within
// the read limit. After a reply a worker waits a moment for the next request
// of the same client, then gives the connection back.
class ConnectionReactor {
public:
    using Clock = ConnectionStream::Clock;

    struct Settings {
        int workers = 32;
        std::chrono::milliseconds requestReadLimit{2000}; // whole head, from its first byte
        std::chrono::milliseconds keepAliveIdle{2000};    // before a next request starts
        std::chrono::milliseconds linger{5};              // a worker's wait for the next request
        std::chrono::milliseconds writeTimeout{5000};
        std::size_t requestsPerConnection = 100;
        std::size_t maxHeadBytes = 16 * 1024;
    };
    // Answers the request whose head is buffered on `stream`; false when
    // the connection is to be closed. `last`: say it is the last one.
    using Serve = std::function<bool(ConnectionStream& stream, bool last)>;
    // While true, the service is unreachable: the listening socket is closed
    // (connections are refused) and open connections are closed unanswered.
    using Unreachable = std::function<bool()>;

    ConnectionReactor(Settings settings, Serve serve, Unreachable unreachable);
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

    bool openListener();
    void closeListener();
    void acceptAll();
    void readFrom(int fd);
    void sweep(Clock::time_point now);
    void adopt(ConnectionPtr connection);
    void takeBackReturned();
    void dropAll();
    void workerLoop();
    void serveOn(ConnectionPtr connection);
    void handBack(ConnectionPtr connection);
    void wake();

    const Settings settings_;
    const Serve serve_;
    const Unreachable unreachable_;
    sockaddr_storage address_{};
    socklen_t addressLength_ = 0;
    int listener_ = -1;
    int epoll_ = -1;
    int wakeFd_ = -1;
    bool complained_ = false; // that the port could not be had again
    std::atomic<bool> stopping_{false};
    std::unordered_map<int, ConnectionPtr> waiting_; // reactor thread only

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<ConnectionPtr> runnable_;  // heads whole, for the workers
    std::vector<ConnectionPtr> returned_; // from the workers, to wait again
    std::vector<std::thread> workers_;
};

} // namespace skyglance::catalogue

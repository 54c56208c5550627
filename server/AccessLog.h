#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace skyglance::catalogue {

// One answered request as the access log records it.
struct AccessRecord {
    std::chrono::system_clock::time_point arrived;
    std::string client; // the peer's address
    std::string method;
    std::string target; // path and query as the client sent them
    int status = 0;
    std::size_t bytesSent = 0; // body bytes
    std::chrono::milliseconds took{0};
};

// Targets longer than this are cut, so that one client cannot make a line
// of any length.
inline constexpr std::size_t kMaxLoggedTarget = 2000;
inline constexpr std::size_t kMaxLoggedMethod = 16;
inline constexpr std::size_t kMaxLoggedClient = 64;

// "2024-05-01T10:34:56.789Z": UTC, milliseconds.
std::string isoTimeUtc(std::chrono::system_clock::time_point time);

// One line, without its line end: time, client, method, target, status,
// bytes and milliseconds, separated by single blanks. Blanks, control and
// non-ASCII bytes in the fields the client chose are written as %XX, and an
// empty field as "-", so every line splits into the same seven fields.
std::string formatAccessLine(const AccessRecord& record);

// The log file, opened once for appending. write() may be called from any
// thread; each line is appended and flushed whole.
class AccessLog {
public:
    // Null and `error` set when the file cannot be opened.
    static std::unique_ptr<AccessLog> open(const std::string& path, std::string& error);
    ~AccessLog();
    AccessLog(const AccessLog&) = delete;
    AccessLog& operator=(const AccessLog&) = delete;

    void write(const AccessRecord& record);

private:
    explicit AccessLog(std::FILE* file) : file_(file) {}

    std::mutex mutex_;
    std::FILE* file_;
    bool failed_ = false; // a failing log is reported once, not per line
};

} // namespace skyglance::catalogue

#include "AccessLog.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <iostream>

namespace skyglance::catalogue {
namespace {

bool needsEscape(unsigned char c) {
    return c <= ' ' || c >= 0x7f;
}

// The first `limit` bytes of `text`, with bytes that would break the line
// or its fields written as %XX.
std::string loggedField(const std::string& text, std::size_t limit) {
    if (text.empty()) {
        return "-";
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string field;
    const std::size_t length = std::min(text.size(), limit);
    field.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (needsEscape(c)) {
            field += '%';
            field += kHex[c >> 4];
            field += kHex[c & 0x0f];
        } else {
            field += static_cast<char>(c);
        }
    }
    return field;
}

} // namespace

std::string isoTimeUtc(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(time.time_since_epoch());
    auto seconds = static_cast<std::time_t>(sinceEpoch.count() / 1000);
    auto millis = static_cast<int>(sinceEpoch.count() % 1000);
    if (millis < 0) { // before 1970: keep the milliseconds positive
        millis += 1000;
        --seconds;
    }
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    char withMillis[48];
    std::snprintf(withMillis, sizeof withMillis, "%.*s.%03dZ", static_cast<int>(length), text,
                  millis);
    return withMillis;
}

std::string formatAccessLine(const AccessRecord& record) {
    std::string line = isoTimeUtc(record.arrived);
    line += ' ';
    line += loggedField(record.client, kMaxLoggedClient);
    line += ' ';
    line += loggedField(record.method, kMaxLoggedMethod);
    line += ' ';
    line += loggedField(record.target, kMaxLoggedTarget);
    line += ' ';
    line += std::to_string(record.status);
    line += ' ';
    line += std::to_string(record.bytesSent);
    line += ' ';
    line += std::to_string(std::max<long long>(0, record.took.count()));
    return line;
}

std::unique_ptr<AccessLog> AccessLog::open(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file) {
        error = "cannot open the access log " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<AccessLog>(new AccessLog(file));
}

AccessLog::~AccessLog() {
    std::fclose(file_);
}

void AccessLog::write(const AccessRecord& record) {
    const std::string line = formatAccessLine(record) + '\n';
    std::lock_guard guard(mutex_);
    const bool written =
        std::fwrite(line.data(), 1, line.size(), file_) == line.size() && std::fflush(file_) == 0;
    if (!written && !failed_) {
        std::cerr << "skyglance-catalogue: cannot write the access log: " << std::strerror(errno)
                  << "\n";
    }
    failed_ = !written;
}

} // namespace skyglance::catalogue

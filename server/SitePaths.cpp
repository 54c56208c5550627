#include "SitePaths.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace skyglance::catalogue {
namespace {

constexpr std::size_t kMaxPathLength = 512;
constexpr std::size_t kMaxSegmentLength = 128;
constexpr std::size_t kMaxSegments = 12;

bool isSafeSegmentCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

bool isSafeSegment(std::string_view segment) {
    if (segment.empty() || segment.size() > kMaxSegmentLength || segment.front() == '.') {
        return false;
    }
    for (char c : segment) {
        if (!isSafeSegmentCharacter(c)) {
            return false;
        }
    }
    return true;
}

std::string_view extensionOf(std::string_view fileName) {
    const std::size_t slash = fileName.rfind('/');
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return {};
    }
    return fileName.substr(dot + 1);
}

} // namespace

std::optional<std::string> siteRelativePath(std::string_view requestPath) {
    if (requestPath.empty() || requestPath.front() != '/' || requestPath.size() > kMaxPathLength) {
        return std::nullopt;
    }
    std::string relative(requestPath.substr(1));
    if (relative.empty() || relative.back() == '/') {
        relative += "index.html";
    }
    std::size_t segments = 0;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos) {
            end = relative.size();
        }
        if (!isSafeSegment(std::string_view(relative).substr(start, end - start)) ||
            ++segments > kMaxSegments) {
            return std::nullopt;
        }
        start = end + 1;
    }
    return relative;
}

std::optional<std::string> resolveInsideRoot(const std::string& canonicalRoot,
                                             const std::string& relative) {
    const std::string joined = canonicalRoot + "/" + relative;
    std::array<char, PATH_MAX> buffer{};
    if (realpath(joined.c_str(), buffer.data()) == nullptr) {
        return std::nullopt;
    }
    std::string real(buffer.data());
    if (real.size() <= canonicalRoot.size() + 1 ||
        real.compare(0, canonicalRoot.size(), canonicalRoot) != 0 ||
        real[canonicalRoot.size()] != '/') {
        return std::nullopt;
    }
    struct stat info {};
    if (stat(real.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return real;
}

std::string contentTypeFor(std::string_view fileName) {
    const std::string_view ext = extensionOf(fileName);
    if (ext == "html" || ext == "htm" || ext == "asp") {
        return "text/html; charset=utf-8";
    }
    if (ext == "css") {
        return "text/css; charset=utf-8";
    }
    if (ext == "txt") {
        return "text/plain; charset=utf-8";
    }
    if (ext == "jpg" || ext == "jpeg") {
        return "image/jpeg";
    }
    if (ext == "png") {
        return "image/png";
    }
    if (ext == "gif") {
        return "image/gif";
    }
    if (ext == "svg") {
        return "image/svg+xml";
    }
    if (ext == "ico") {
        return "image/x-icon";
    }
    return "application/octet-stream";
}

bool isTemplatePage(std::string_view fileName) {
    const std::string_view ext = extensionOf(fileName);
    return ext == "html" || ext == "htm" || ext == "asp";
}

} // namespace skyglance::catalogue

#include "RequestScreen.h"

#include <algorithm>
#include <cctype>

namespace skyglance::catalogue {
namespace {

constexpr std::string_view kMethodNotAllowed = "HTTP/1.1 405 Method Not Allowed\r\n"
                                               "Allow: GET, HEAD\r\nCache-Control: no-store\r\n"
                                               "Connection: close\r\nContent-Length: 0\r\n\r\n";
constexpr std::string_view kBadRequest = "HTTP/1.1 400 Bad Request\r\nCache-Control: no-store\r\n"
                                         "Connection: close\r\nContent-Length: 0\r\n\r\n";

bool isTokenChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool isToken(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isTokenChar);
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The line starting at `pos`, without its line end; `pos` moves past it.
std::string_view nextLine(std::string_view text, std::size_t& pos) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

// A Content-Length that announces no body: digits, all of them zero.
bool announcesNoBody(std::string_view value) {
    return !value.empty() && value.find_first_not_of('0') == std::string_view::npos;
}

// Whether the header lines of a GET or HEAD frame it without a body, beyond
// doubt: no Transfer-Encoding, at most one Content-Length and that of zero,
// no folded lines or names with blanks (which readers may take differently).
bool framedWithoutBody(std::string_view head, std::size_t pos) {
    bool sawLength = false;
    while (pos < head.size()) {
        const std::string_view line = nextLine(head, pos);
        if (line.empty()) {
            return true;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !isToken(line.substr(0, colon))) {
            return false;
        }
        const std::string_view name = line.substr(0, colon);
        if (sameName(name, "Transfer-Encoding")) {
            return false;
        }
        if (sameName(name, "Content-Length")) {
            if (sawLength || !announcesNoBody(trimmed(line.substr(colon + 1)))) {
                return false;
            }
            sawLength = true;
        }
    }
    return true;
}

// Every line of the head ends in CR LF, and no CR stands alone: readers
// that take a bare LF or CR as a line end would see other header lines.
bool linesEndInCrlf(std::string_view head) {
    for (std::size_t i = 0; i < head.size(); ++i) {
        const bool crWithoutLf = head[i] == '\r' && (i + 1 == head.size() || head[i + 1] != '\n');
        const bool lfWithoutCr = head[i] == '\n' && (i == 0 || head[i - 1] != '\r');
        if (crWithoutLf || lfWithoutCr) {
            return false;
        }
    }
    return true;
}

} // namespace

std::size_t requestHeadLength(std::string_view pending) {
    const std::size_t crlf = pending.find("\r\n\r\n");
    const std::size_t lf = pending.find("\n\n");
    std::size_t end = crlf == std::string_view::npos ? crlf : crlf + 4;
    if (lf != std::string_view::npos) {
        end = std::min(end, lf + 2);
    }
    return end == std::string_view::npos ? 0 : end;
}

bool opensWithRequestLine(std::string_view head) {
    std::size_t pos = 0;
    const std::string_view line = nextLine(head, pos);
    const std::size_t first = line.find(' ');
    const std::size_t second = line.find(' ', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos) {
        return false;
    }
    const std::string_view target = line.substr(first + 1, second - first - 1);
    const std::string_view version = line.substr(second + 1);
    return isToken(line.substr(0, first)) && !target.empty() &&
           (version == "HTTP/1.1" || version == "HTTP/1.0");
}

std::string_view refusalOfHead(std::string_view head) {
    if (!opensWithRequestLine(head)) {
        return {};
    }
    std::size_t pos = 0;
    const std::string_view requestLine = nextLine(head, pos);
    const std::string_view method = requestLine.substr(0, requestLine.find(' '));
    if (method != "GET" && method != "HEAD") {
        return kMethodNotAllowed;
    }
    const std::string_view whole = head.substr(0, requestHeadLength(head));
    return linesEndInCrlf(whole) && framedWithoutBody(whole, pos) ? std::string_view()
                                                                  : kBadRequest;
}

} // namespace skyglance::catalogue

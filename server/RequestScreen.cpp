#include "RequestScreen.h"

#include <algorithm>
#include <cctype>

namespace skyglance::catalogue {
namespace {

constexpr std::string_view kMethodNotAllowed = "HTTP/1.1 405 Method Not Allowed\r\n"
                                               "Allow: GET, HEAD\r\nCache-Control: no-store\r\n"
                                               "Connection: close\r\nContent-Length: 0\r\n\r\n";
constexpr std::string_view kLengthRequired = "HTTP/1.1 411 Length Required\r\n"
                                             "Cache-Control: no-store\r\n"
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

enum class BodyFraming { None, Length, Unknown, Doubtful };

// How the header lines frame a body: without one (no Transfer-Encoding,
// no Content-Length or one of zero), by one Content-Length of digits, by
// something this service does not read (Transfer-Encoding), or beyond
// doubt not at all (two lengths, folded lines, names with blanks: readers
// may take them differently).
BodyFraming bodyFramingOf(std::string_view head, std::size_t pos) {
    bool sawLength = false;
    bool sawBody = false;
    bool sawEncoding = false;
    while (pos < head.size()) {
        const std::string_view line = nextLine(head, pos);
        if (line.empty()) {
            break;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !isToken(line.substr(0, colon))) {
            return BodyFraming::Doubtful;
        }
        const std::string_view name = line.substr(0, colon);
        if (sameName(name, "Transfer-Encoding")) {
            sawEncoding = true;
        } else if (sameName(name, "Content-Length")) {
            const std::string_view value = trimmed(line.substr(colon + 1));
            if (sawLength || value.empty() ||
                value.find_first_not_of("0123456789") != std::string_view::npos) {
                return BodyFraming::Doubtful;
            }
            sawLength = true;
            sawBody = !announcesNoBody(value);
        }
    }
    if (sawEncoding) {
        return sawLength ? BodyFraming::Doubtful : BodyFraming::Unknown;
    }
    return sawBody ? BodyFraming::Length : BodyFraming::None;
}

// A fleet report: POST to its one path, with its length announced. Whether
// its length is within bounds is for the reader of reports to say, after it
// has checked the screen's token.
std::string_view refusalOfReport(std::string_view head, std::size_t pos) {
    if (!linesEndInCrlf(head)) {
        return kBadRequest;
    }
    switch (bodyFramingOf(head, pos)) {
    case BodyFraming::None:
    case BodyFraming::Length:
        return {};
    case BodyFraming::Unknown:
        return kLengthRequired;
    case BodyFraming::Doubtful:
        break;
    }
    return kBadRequest;
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
    const std::size_t firstBlank = requestLine.find(' ');
    const std::string_view method = requestLine.substr(0, firstBlank);
    const std::string_view target =
        requestLine.substr(firstBlank + 1, requestLine.rfind(' ') - firstBlank - 1);
    if (method == "POST" && target == kFleetReportPath) {
        return refusalOfReport(head.substr(0, requestHeadLength(head)), pos);
    }
    if (method != "GET" && method != "HEAD") {
        return kMethodNotAllowed;
    }
    const std::string_view whole = head.substr(0, requestHeadLength(head));
    return linesEndInCrlf(whole) && bodyFramingOf(whole, pos) == BodyFraming::None
               ? std::string_view()
               : kBadRequest;
}

} // namespace skyglance::catalogue

#include "RequestParser.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <set>

namespace skyglance::catalogue {
namespace {

// A request line or header line longer than this (line end included) is refused.
constexpr std::size_t kMaxLineBytes = 8192;

bool isBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlankOrTab(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlankOrTab(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Calls `piece` for each `delimiter`-separated piece of `text`, blanks and
// tabs around it dropped, empty pieces skipped.
template <typename Piece> void splitTrimmed(std::string_view text, char delimiter, Piece piece) {
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t end = text.find(delimiter, from);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view trimmed = trimBlanks(text.substr(from, end - from));
        if (!trimmed.empty()) {
            piece(trimmed);
        }
        from = end + 1;
    }
}

// The line starting at `pos`, with its '\n' when it has one; `pos` moves past it.
std::string_view takeLine(std::string_view text, std::size_t& pos) {
    const std::size_t newline = text.find('\n', pos);
    const std::size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
    const std::string_view line = text.substr(pos, end - pos);
    pos = end;
    return line;
}

bool endsWithCrlf(std::string_view line) {
    return line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n';
}

// Where the head that starts its header lines at `pos` ends: past its
// empty CR LF line, or at the end of `pending` when it has none.
std::size_t headEnd(std::string_view pending, std::size_t pos) {
    while (pos < pending.size()) {
        if (takeLine(pending, pos) == "\r\n") {
            return pos;
        }
    }
    return pending.size();
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// `count` hex digits at `at`, or -1.
int hexNumber(std::string_view text, std::size_t at, int count) {
    if (at + static_cast<std::size_t>(count) > text.size()) {
        return -1;
    }
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = hexValue(text[at + static_cast<std::size_t>(i)]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

// UTF-8 of a code point below 0x10000; nothing for a surrogate.
void appendUtf8(int code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | ((code >> 6) & 0x1F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0xD800 || code >= 0xE000) {
        out += static_cast<char>(0xE0 | ((code >> 12) & 0xF));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool isKnownMethod(const std::string& method) {
    static const std::set<std::string> methods{"GET",     "HEAD",    "POST",  "PUT",   "DELETE",
                                               "CONNECT", "OPTIONS", "TRACE", "PATCH", "PRI"};
    return methods.count(method) > 0;
}

// Method, target and version, then path and parameters from the target.
bool parseRequestLine(std::string_view line, httplib::Request& req) {
    if (!endsWithCrlf(line)) {
        return false;
    }
    line.remove_suffix(2);
    std::size_t words = 0;
    splitTrimmed(line, ' ', [&](std::string_view word) {
        if (words == 0) {
            req.method = std::string(word);
        } else if (words == 1) {
            req.target = std::string(word);
        } else if (words == 2) {
            req.version = std::string(word);
        }
        ++words;
    });
    if (words != 3 || !isKnownMethod(req.method) ||
        (req.version != "HTTP/1.1" && req.version != "HTTP/1.0")) {
        return false;
    }
    std::size_t parts = 0;
    splitTrimmed(req.target, '?', [&](std::string_view part) {
        if (parts == 0) {
            req.path = decodeUrl(part, false);
        } else if (parts == 1) {
            parseQueryText(part, req.params);
        }
        ++parts;
    });
    return parts <= 2;
}

// "Name: value" without its line end; lines without a colon or a value add nothing.
void addHeader(std::string_view line, httplib::Headers& headers) {
    while (!line.empty() && isBlankOrTab(line.back())) {
        line.remove_suffix(1);
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return;
    }
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && isBlankOrTab(value.front())) {
        value.remove_prefix(1);
    }
    if (!value.empty()) {
        headers.emplace(std::string(line.substr(0, colon)), decodeUrl(value, false));
    }
}

// The header lines from `pos` to the empty line; false for a line too long
// or a head that does not end in `pending`.
bool readHeaders(std::string_view pending, std::size_t& pos, httplib::Headers& headers) {
    while (pos < pending.size()) {
        const std::string_view line = takeLine(pending, pos);
        if (!endsWithCrlf(line)) {
            continue; // a line not ended by CR LF is skipped
        }
        if (line.size() == 2) {
            return true;
        }
        if (line.size() > kMaxLineBytes) {
            return false;
        }
        addHeader(line.substr(0, line.size() - 2), headers);
    }
    return false;
}

bool isRangeBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t skipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        ++pos;
    }
    return pos;
}

// DIGITS* '-' DIGITS* from `pos`; the position after it, or npos.
std::size_t skipRange(std::string_view text, std::size_t pos) {
    pos = skipDigits(text, pos);
    if (pos >= text.size() || text[pos] != '-') {
        return std::string_view::npos;
    }
    return skipDigits(text, pos + 1);
}

// A byte position, -1 when empty; false when it does not fit.
bool bytePosition(std::string_view digits, ssize_t& value) {
    if (digits.empty()) {
        value = -1;
        return true;
    }
    const std::string text(digits);
    errno = 0;
    const long long number = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE) {
        return false;
    }
    value = static_cast<ssize_t>(number);
    return true;
}

} // namespace

std::string decodeUrl(std::string_view text, bool plusIsBlank) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size()) {
            const bool wide = text[i + 1] == 'u';
            const int code = wide ? hexNumber(text, i + 2, 4) : hexNumber(text, i + 1, 2);
            if (code < 0) {
                out += c;
            } else if (wide) {
                appendUtf8(code, out);
                i += 5;
            } else {
                out += static_cast<char>(code);
                i += 2;
            }
        } else if (plusIsBlank && c == '+') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

void parseQueryText(std::string_view query, httplib::Params& params) {
    std::set<std::string_view> seen;
    splitTrimmed(query, '&', [&](std::string_view pair) {
        if (!seen.insert(pair).second) {
            return;
        }
        std::string_view name;
        std::string_view value;
        splitTrimmed(pair, '=', [&](std::string_view piece) {
            if (name.empty()) {
                name = piece;
            } else {
                value = piece;
            }
        });
        if (!name.empty()) {
            params.emplace(decodeUrl(name, true), decodeUrl(value, true));
        }
    });
}

bool parseRangeHeader(std::string_view value, httplib::Ranges& ranges) {
    constexpr std::string_view kUnit = "bytes=";
    if (value.substr(0, kUnit.size()) != kUnit) {
        return false;
    }
    const std::string_view list = value.substr(kUnit.size());
    // The whole list must be RANGE (',' BLANKS* RANGE)*.
    std::size_t pos = skipRange(list, 0);
    while (pos != std::string_view::npos && pos < list.size()) {
        if (list[pos] != ',') {
            return false;
        }
        ++pos;
        while (pos < list.size() && isRangeBlank(list[pos])) {
            ++pos;
        }
        pos = skipRange(list, pos);
    }
    if (pos == std::string_view::npos) {
        return false;
    }
    bool valid = true;
    splitTrimmed(list, ',', [&](std::string_view item) {
        while (!item.empty() && isRangeBlank(item.front())) {
            item.remove_prefix(1);
        }
        if (!valid || item.empty()) {
            return;
        }
        const std::size_t dash = item.find('-');
        ssize_t first = -1;
        ssize_t last = -1;
        if (!bytePosition(item.substr(0, dash), first) ||
            !bytePosition(item.substr(dash + 1), last) ||
            (first != -1 && last != -1 && first > last)) {
            valid = false;
            return;
        }
        ranges.emplace_back(first, last);
    });
    return valid;
}

ParsedHead parseRequestHead(std::string_view pending, httplib::Request& req) {
    ParsedHead head;
    std::size_t pos = 0;
    const std::string_view requestLine = takeLine(pending, pos);
    if (requestLine.size() > kMaxLineBytes) {
        head.verdict = HeadVerdict::UriTooLong;
        head.consumed = headEnd(pending, pos);
        return head;
    }
    if (!parseRequestLine(requestLine, req)) {
        head.consumed = headEnd(pending, pos);
        return head;
    }
    if (!readHeaders(pending, pos, req.headers)) {
        head.consumed = headEnd(pending, pos);
        return head;
    }
    head.consumed = pos;
    const std::string connection = req.get_header_value("Connection");
    head.clientCloses =
        connection == "close" || (req.version == "HTTP/1.0" && connection != "Keep-Alive");
    if (req.has_header("Range") && !parseRangeHeader(req.get_header_value("Range"), req.ranges)) {
        head.verdict = HeadVerdict::RangeNotSatisfiable;
        return head;
    }
    head.verdict = HeadVerdict::Request;
    return head;
}

} // namespace skyglance::catalogue

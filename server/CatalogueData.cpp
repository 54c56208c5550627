#include "CatalogueData.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace skyglance::catalogue {
namespace {

std::vector<std::string_view> splitOn(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

bool containsMarker(std::string_view text) {
    // The client finds "<P>" whatever its letter case.
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        if (text[i] == '<' && (text[i + 1] == 'p' || text[i + 1] == 'P') && text[i + 2] == '>') {
            return true;
        }
    }
    return false;
}

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f;
    });
}

bool isValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        if (c < 0x80) {
            extra = 0;
        } else if ((c & 0xe0) == 0xc0 && c >= 0xc2) {
            extra = 1;
        } else if ((c & 0xf0) == 0xe0) {
            extra = 2;
        } else if ((c & 0xf8) == 0xf0 && c <= 0xf4) {
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

} // namespace

std::string itemProblem(std::string_view name, std::string_view value) {
    if (value.size() > kMaxFieldLength) {
        return std::string(name) + " is too long";
    }
    if (hasControlCharacter(value)) {
        return std::string(name) + " holds a control character";
    }
    if (!isValidUtf8(value)) {
        return std::string(name) + " is not UTF-8";
    }
    if (containsMarker(value)) {
        return std::string(name) + " holds the reply marker <P>";
    }
    if (value.substr(0, 3) == "ERR") {
        return std::string(name) + " begins with ERR, which fails a whole reply";
    }
    return {};
}

namespace {

bool parsePictureId(std::string_view text, int& id) {
    if (text.empty() || text.size() > 6) {
        return false;
    }
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, id);
    return ec == std::errc() && ptr == end && id >= kMinPictureId && id <= kMaxPictureId;
}

std::size_t wordCount(std::string_view text) {
    std::size_t count = 0;
    bool inWord = false;
    for (char c : text) {
        if (c == ' ') {
            inWord = false;
        } else if (!inWord) {
            inWord = true;
            ++count;
        }
    }
    return count;
}

} // namespace

std::string rowProblem(const CatalogueRow& row) {
    for (const auto& [name, value] : {std::pair<std::string_view, std::string_view>{"url", row.url},
                                      {"comment", row.comment},
                                      {"copyright record", row.copyright}}) {
        if (auto problem = itemProblem(name, value); !problem.empty()) {
            return problem;
        }
    }
    if (row.url.size() < 8 || row.url.substr(1, 6) != "ttp://") {
        return "url must be a source code followed by ttp://";
    }
    if (row.url.find(' ') != std::string::npos) {
        return "url holds a blank";
    }
    if (row.pictureId < kMinPictureId || row.pictureId > kMaxPictureId) {
        return "picture ID out of range";
    }
    // The entry code is the comment's second word; the first word needs two
    // characters or saving and loading a collection pick different words.
    const std::size_t firstBlank = row.comment.find(' ');
    if (wordCount(row.comment) < 2 || firstBlank == std::string::npos || firstBlank < 2 ||
        row.comment[0] == ' ') {
        return "comment needs a first word of two or more letters and an entry code";
    }
    const std::size_t codeEnd = row.comment.find(' ', firstBlank + 1);
    const std::string_view code =
        std::string_view(row.comment).substr(firstBlank + 1, codeEnd - firstBlank - 1);
    if (code.empty() || code.find('-') != std::string_view::npos || codeEnd == std::string::npos) {
        return "entry code must be a second word without '-', followed by a blank";
    }
    if (std::count(row.copyright.begin(), row.copyright.end(), '-') > 4) {
        return "copyright record has more than five fields";
    }
    return {};
}

TsvParseResult parseCatalogueTsv(std::string_view text) {
    TsvParseResult result;
    std::set<int> seenIds;
    std::set<std::string, std::less<>> seenCodes;
    std::size_t lineNumber = 0;
    for (std::string_view line : splitOn(text, '\n')) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        const auto fields = splitOn(line, '\t');
        if (fields.size() != 4) {
            result.errors.push_back(where + "expected 4 tab-separated fields");
            continue;
        }
        CatalogueRow row;
        row.url = std::string(fields[0]);
        row.comment = std::string(fields[2]);
        row.copyright = std::string(fields[3]);
        if (!parsePictureId(fields[1], row.pictureId)) {
            result.errors.push_back(where + "picture ID is not a whole number in 16-bit range");
            continue;
        }
        if (auto problem = rowProblem(row); !problem.empty()) {
            result.errors.push_back(where + problem);
            continue;
        }
        if (!seenIds.insert(row.pictureId).second) {
            result.errors.push_back(where + "picture ID repeated");
            continue;
        }
        const std::size_t firstBlank = row.comment.find(' ');
        const std::size_t codeEnd = row.comment.find(' ', firstBlank + 1);
        if (!seenCodes.insert(row.comment.substr(firstBlank + 1, codeEnd - firstBlank - 1))
                 .second) {
            result.errors.push_back(where + "entry code repeated");
            continue;
        }
        result.rows.push_back(std::move(row));
    }
    if (result.rows.size() > kMaxRows) {
        result.errors.push_back("more than " + std::to_string(kMaxRows) + " rows");
    }
    return result;
}

std::string withHost(std::string_view storedUrl, std::string_view authority) {
    std::string out;
    out.reserve(storedUrl.size() + authority.size());
    std::size_t start = 0;
    while (true) {
        const std::size_t at = storedUrl.find(kHostPlaceholder, start);
        if (at == std::string_view::npos) {
            out.append(storedUrl.substr(start));
            return out;
        }
        out.append(storedUrl.substr(start, at - start));
        out.append(authority);
        start = at + kHostPlaceholder.size();
    }
}

char sourceCode(std::string_view url) {
    return url.empty() ? '\0' : url.front();
}

Catalogue makeCatalogue(std::vector<CatalogueRow> storedRows, std::string message,
                        std::string authority) {
    Catalogue catalogue;
    catalogue.message = std::move(message);
    catalogue.authority = std::move(authority);
    catalogue.rows = std::move(storedRows);
    for (std::size_t position = 0; position < catalogue.rows.size(); ++position) {
        auto& row = catalogue.rows[position];
        row.url = withHost(row.url, catalogue.authority);
        catalogue.positionById.emplace(row.pictureId, position);
    }
    return catalogue;
}

} // namespace skyglance::catalogue

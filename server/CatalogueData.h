#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skyglance::catalogue {

// One picture of the catalogue, in the form it is stored: the address keeps
// its source-code character in place of the "h" of "http" and names the host
// of the sample site by the placeholder kHostPlaceholder.
struct CatalogueRow {
    std::string url;
    int pictureId = 0;
    std::string comment;
    std::string copyright;
};

inline constexpr std::string_view kHostPlaceholder = "{HOST}";
inline constexpr std::size_t kMaxRows = 2000; // the client's tables end at entry 1999
inline constexpr std::size_t kMaxFieldLength = 1000;
inline constexpr int kMinPictureId = -32768;
inline constexpr int kMaxPictureId = 32767;

struct TsvParseResult {
    std::vector<CatalogueRow> rows;
    std::vector<std::string> errors; // "line N: reason"; any error rejects the file
};

// Reads the tab-separated catalogue: url, picture ID, comment, copyright
// record. Blank lines and lines starting with "#" are skipped. Every field is
// checked so that no row can break the reply format the client splits.
TsvParseResult parseCatalogueTsv(std::string_view text);

// Empty when `value` can stand as a reply item, else the reason (named by
// `name`): bounded, UTF-8, no control character, no "<P>", not "ERR...".
std::string itemProblem(std::string_view name, std::string_view value);

// Empty when the row is fit to be served, else the reason.
std::string rowProblem(const CatalogueRow& row);

// Every occurrence of kHostPlaceholder replaced by `authority` (host:port).
std::string withHost(std::string_view storedUrl, std::string_view authority);

// The source-code character of an address (its first character).
char sourceCode(std::string_view url);

// The immutable snapshot that answers requests: rows with the real host put
// in, and an index by picture ID.
struct Catalogue {
    std::vector<CatalogueRow> rows;
    std::unordered_map<int, std::size_t> positionById;
    std::string message;
    std::string authority;
};

Catalogue makeCatalogue(std::vector<CatalogueRow> storedRows, std::string message,
                        std::string authority);

} // namespace skyglance::catalogue

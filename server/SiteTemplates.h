#pragma once

#include <QDateTime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skyglance::catalogue {

// What a page of the sample site is filled with when it is served.
struct PageContext {
    std::string siteRoot; // e.g. http://127.0.0.1:8080
    QDateTime now;        // the time the page is made
    std::string pageName; // seeds the generated forecast values
    // The value of a query parameter of the request, empty when absent.
    std::function<std::string(std::string_view)> queryValue;
    std::string rawQuery; // the query string as sent, without the "?"
};

// One name=value pair of a query string, percent-decoded ("+" is a blank).
using QueryItem = std::pair<std::string, std::string>;

// The pairs of a query string in the order sent, at most `kMaxQueryItems`;
// a pair without "=" has an empty value, empty pairs are skipped.
inline constexpr std::size_t kMaxQueryItems = 64;
std::vector<QueryItem> parseQuery(std::string_view rawQuery);

// Replaces the placeholders of a page:
//   {{site}}            the site root
//   {{made}}            the time the page is made (yyyy-MM-dd hh:mm:ss)
//   {{query:NAME}}      the query parameter NAME, HTML-escaped, at most 80 characters
//   {{forecast_rows}}   table rows of a five-day forecast, different per page and query
//   {{query_rows}}      a table row per query pair, in order: cells with the ids
//                       name-N and value-N (N from 1), HTML-escaped
//   {{query_count}}     the number of those rows
//   {{query_raw}}       the query string as sent, HTML-escaped
// Unknown placeholders stay as they are.
std::string fillTemplate(std::string_view text, const PageContext& context);

// A page that marks with `kHoldMarker` where the server holds the rest of it
// back (a page that never finishes loading): the text before and after it.
inline constexpr std::string_view kHoldMarker = "{{hold}}";
struct HeldPage {
    std::string head;
    std::string tail;
};
std::optional<HeldPage> splitAtHoldMarker(std::string_view text);

std::string htmlEscape(std::string_view text);

} // namespace skyglance::catalogue

#pragma once

#include <QDateTime>
#include <functional>
#include <string>
#include <string_view>

namespace skyglance::catalogue {

// What a page of the sample site is filled with when it is served.
struct PageContext {
    std::string siteRoot; // e.g. http://127.0.0.1:8080
    QDateTime now;        // the time the page is made
    std::string pageName; // seeds the generated forecast values
    // The value of a query parameter of the request, empty when absent.
    std::function<std::string(std::string_view)> queryValue;
};

// Replaces the placeholders of a page:
//   {{site}}            the site root
//   {{made}}            the time the page is made (yyyy-MM-dd hh:mm:ss)
//   {{query:NAME}}      the query parameter NAME, HTML-escaped, at most 80 characters
//   {{forecast_rows}}   table rows of a five-day forecast, different per page and query
// Unknown placeholders stay as they are.
std::string fillTemplate(std::string_view text, const PageContext& context);

std::string htmlEscape(std::string_view text);

} // namespace skyglance::catalogue

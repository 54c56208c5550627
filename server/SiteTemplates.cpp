#include "SiteTemplates.h"

#include <algorithm>
#include <array>

namespace skyglance::catalogue {
namespace {

constexpr std::size_t kMaxQueryValueLength = 80;

std::uint32_t mix(std::uint32_t h, std::string_view text) {
    for (unsigned char c : text) {
        h = (h ^ c) * 16777619u; // FNV-1a
    }
    return h;
}

std::uint32_t mix(std::uint32_t h, std::uint32_t value) {
    h ^= value + 0x9e3779b9u + (h << 6) + (h >> 2);
    return h * 2654435761u;
}

std::string forecastRows(const PageContext& context) {
    static constexpr std::array<const char*, 8> kConditions = {
        "Sunny", "Partly cloudy", "Cloudy", "Showers", "Rain", "Thunderstorms", "Snow", "Fog"};
    std::uint32_t seed = mix(2166136261u, context.pageName);
    for (const char* name : {"town", "place", "state", "country"}) {
        seed = mix(seed, context.queryValue(name));
    }
    // The forecast moves on every hour, like a real one.
    const auto hour = static_cast<std::uint32_t>(context.now.toSecsSinceEpoch() / 3600);
    std::string rows;
    const QDate today = context.now.date();
    for (int day = 0; day < 5; ++day) {
        const std::uint32_t h = mix(mix(seed, static_cast<std::uint32_t>(day)), hour);
        const int low = static_cast<int>(h % 15) - 3;
        const int high = low + 3 + static_cast<int>((h >> 8) % 10);
        rows += "<tr><td>" + today.addDays(day).toString("dddd d MMMM").toStdString() +
                "</td><td>" + kConditions[(h >> 4) % kConditions.size()] + "</td><td>" +
                std::to_string(low) + " &deg;C</td><td>" + std::to_string(high) +
                " &deg;C</td><td>" + std::to_string((h >> 12) % 60) + " km/h</td></tr>\n";
    }
    return rows;
}

int hexDigit(char c) {
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

// A broken escape stays as it was sent, so that the page shows it.
std::string percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const int high = c == '%' && i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += c == '+' ? ' ' : c;
        }
    }
    return out;
}

std::string queryRows(const PageContext& context) {
    std::string rows;
    int n = 0;
    for (const auto& [name, value] : parseQuery(context.rawQuery)) {
        const std::string number = std::to_string(++n);
        rows += "<tr><td id=\"name-" + number + "\" class=\"name\">" + htmlEscape(name) +
                "</td><td id=\"value-" + number + "\" class=\"value\">" + htmlEscape(value) +
                "</td></tr>\n";
    }
    return rows;
}

std::string valueFor(std::string_view key, const PageContext& context, bool& known) {
    known = true;
    if (key == "site") {
        return context.siteRoot;
    }
    if (key == "made") {
        return context.now.toString("yyyy-MM-dd hh:mm:ss").toStdString();
    }
    if (key == "forecast_rows") {
        return forecastRows(context);
    }
    if (key == "query_rows") {
        return queryRows(context);
    }
    if (key == "query_count") {
        return std::to_string(parseQuery(context.rawQuery).size());
    }
    if (key == "query_raw") {
        return htmlEscape(context.rawQuery);
    }
    if (key.substr(0, 6) == "query:") {
        std::string value = context.queryValue(key.substr(6));
        if (value.size() > kMaxQueryValueLength) {
            value.resize(kMaxQueryValueLength);
        }
        return htmlEscape(value);
    }
    known = false;
    return {};
}

} // namespace

std::string htmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::vector<QueryItem> parseQuery(std::string_view rawQuery) {
    std::vector<QueryItem> items;
    std::size_t start = 0;
    while (start <= rawQuery.size() && items.size() < kMaxQueryItems) {
        const std::size_t end = std::min(rawQuery.find('&', start), rawQuery.size());
        const std::string_view pair = rawQuery.substr(start, end - start);
        if (!pair.empty()) {
            const std::size_t equals = pair.find('=');
            items.emplace_back(percentDecode(pair.substr(0, equals)),
                               equals == std::string_view::npos
                                   ? std::string()
                                   : percentDecode(pair.substr(equals + 1)));
        }
        start = end + 1;
    }
    return items;
}

std::optional<HeldPage> splitAtHoldMarker(std::string_view text) {
    const std::size_t at = text.find(kHoldMarker);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    return HeldPage{std::string(text.substr(0, at)),
                    std::string(text.substr(at + kHoldMarker.size()))};
}

std::string fillTemplate(std::string_view text, const PageContext& context) {
    std::string out;
    out.reserve(text.size() + 512);
    std::size_t start = 0;
    while (true) {
        const std::size_t open = text.find("{{", start);
        const std::size_t close = open == std::string_view::npos ? open : text.find("}}", open + 2);
        if (close == std::string_view::npos) {
            out.append(text.substr(start));
            return out;
        }
        out.append(text.substr(start, open - start));
        bool known = false;
        std::string value = valueFor(text.substr(open + 2, close - open - 2), context, known);
        if (known) {
            out.append(value);
        } else {
            out.append(text.substr(open, close + 2 - open));
        }
        start = close + 2;
    }
}

} // namespace skyglance::catalogue

#include "FaultSchedule.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace skyglance::catalogue {
namespace {

// A day of seconds times a thousand: far beyond any soak run, small enough
// that start + length and the repeat arithmetic never overflow.
constexpr std::int64_t kMaxSeconds = 86400LL * 1000;

constexpr struct {
    FaultKind kind;
    std::string_view name;
} kNames[] = {{FaultKind::Dead, "dead"},         {FaultKind::Stall, "stall"},
              {FaultKind::Truncate, "truncate"}, {FaultKind::NotFound, "404"},
              {FaultKind::Oversize, "oversize"}, {FaultKind::WrongType, "type"},
              {FaultKind::Redirect, "redirect"}};

// Plain decimal digits only: no sign, no blank, no fraction.
bool parseSeconds(std::string_view text, std::int64_t& value) {
    if (text.empty() || text.size() > 12 ||
        text.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value <= kMaxSeconds;
}

std::vector<std::string_view> splitCommas(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t from = 0;
    while (true) {
        const std::size_t comma = text.find(',', from);
        items.push_back(text.substr(from, comma - from));
        if (comma == std::string_view::npos) {
            return items;
        }
        from = comma + 1;
    }
}

std::optional<FaultWindow> parseWindow(std::string_view item, std::string& error) {
    const std::size_t at = item.find('@');
    const std::size_t plus = item.find('+', at == std::string_view::npos ? 0 : at);
    if (at == std::string_view::npos || plus == std::string_view::npos) {
        error = "'" + std::string(item) + "' is not kind@start+length";
        return std::nullopt;
    }
    FaultWindow window;
    const std::string_view name = item.substr(0, at);
    for (const auto& known : kNames) {
        if (known.name == name) {
            window.kind = known.kind;
        }
    }
    if (window.kind == FaultKind::None) {
        error = "unknown fault '" + std::string(name) +
                "' (known: dead, stall, truncate, 404, oversize, type, redirect)";
        return std::nullopt;
    }
    if (!parseSeconds(item.substr(at + 1, plus - at - 1), window.start) ||
        !parseSeconds(item.substr(plus + 1), window.length)) {
        error = "'" + std::string(item) + "': start and length are whole seconds (0 to " +
                std::to_string(kMaxSeconds) + ")";
        return std::nullopt;
    }
    if (window.length == 0) {
        error = "'" + std::string(item) + "': a window lasts at least 1 second";
        return std::nullopt;
    }
    return window;
}

} // namespace

std::string_view faultName(FaultKind kind) {
    for (const auto& known : kNames) {
        if (known.kind == kind) {
            return known.name;
        }
    }
    return "none";
}

std::string FaultWindow::text() const {
    return std::string(faultName(kind)) + "@" + std::to_string(start) + "+" +
           std::to_string(length);
}

std::optional<FaultSchedule> FaultSchedule::parse(std::string_view text, std::string& error) {
    FaultSchedule schedule;
    const auto items = splitCommas(text);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string_view item = items[i];
        if (item.empty()) {
            error = "empty item in the fault list";
            return std::nullopt;
        }
        if (item.rfind("repeat=", 0) == 0) {
            if (i + 1 != items.size() || i == 0) {
                error = "repeat=SECONDS comes last, after at least one window";
                return std::nullopt;
            }
            if (!parseSeconds(item.substr(7), schedule.repeat_) || schedule.repeat_ == 0) {
                error = "'" + std::string(item) + "': repeat is a whole number of seconds, >= 1";
                return std::nullopt;
            }
            continue;
        }
        auto window = parseWindow(item, error);
        if (!window) {
            return std::nullopt;
        }
        schedule.windows_.push_back(*window);
    }
    return schedule;
}

ActiveFault FaultSchedule::activeAt(double secondsSinceStart) const {
    if (!(secondsSinceStart >= 0)) { // also NaN
        return {};
    }
    double t = secondsSinceStart;
    std::int64_t round = 0;
    if (repeat_ > 0) {
        round = static_cast<std::int64_t>(std::floor(t / static_cast<double>(repeat_)));
        t -= static_cast<double>(round) * static_cast<double>(repeat_);
    }
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        const FaultWindow& window = windows_[i];
        if (t >= static_cast<double>(window.start) && t < static_cast<double>(window.end())) {
            const double roundStart = static_cast<double>(round * repeat_);
            // A window reaching past the round is cut where the next begins.
            const std::int64_t end = repeat_ > 0 ? std::min(window.end(), repeat_) : window.end();
            return ActiveFault{window.kind, static_cast<int>(i), round,
                               roundStart + static_cast<double>(end)};
        }
    }
    return {};
}

std::vector<std::string> FaultSchedule::changeLines(const ActiveFault& before,
                                                    const ActiveFault& now) const {
    std::vector<std::string> lines;
    if (before == now) {
        return lines;
    }
    auto line = [this](const ActiveFault& fault, const char* what) {
        std::string text =
            "fault " + windows_.at(static_cast<std::size_t>(fault.window)).text() + " " + what;
        if (repeat_ > 0) {
            text += " (round " + std::to_string(fault.round + 1) + ")";
        }
        return text;
    };
    if (before.window >= 0) {
        lines.push_back(line(before, "ends"));
    }
    if (now.window >= 0) {
        lines.push_back(line(now, "starts"));
    }
    return lines;
}

} // namespace skyglance::catalogue

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyglance::catalogue {

// The faults a soak test can have the service play (see README.md, Faults).
enum class FaultKind { None, Dead, Stall, Truncate, NotFound, Oversize, WrongType, Redirect };

// "dead", "stall", ..., "404"; "none" for None.
std::string_view faultName(FaultKind kind);

// One `kind@start+length` item: active for start <= t < start + length,
// seconds since the service started.
struct FaultWindow {
    FaultKind kind = FaultKind::None;
    std::int64_t start = 0;
    std::int64_t length = 0;

    std::int64_t end() const { return start + length; }
    std::string text() const; // as written in the SCHEDULE
};

// The fault in force at a time: which window of the list (-1 for none) and
// which round of a repeated schedule (0 for the first pass).
struct ActiveFault {
    FaultKind kind = FaultKind::None;
    int window = -1;
    std::int64_t round = 0;
    double until = 0; // when that window ends, in seconds since the start

    bool operator==(const ActiveFault&) const = default;
};

// The --faults SCHEDULE: `kind@start+length[,kind@start+length...][,repeat=SECONDS]`,
// integers only. A repeat shorter than the schedule cuts the windows that
// reach past it at the end of each round. Pure: it only answers which fault
// is active at a time.
class FaultSchedule {
public:
    // Nothing, and `error` says why, when the SCHEDULE is not understood.
    static std::optional<FaultSchedule> parse(std::string_view text, std::string& error);

    // Where windows overlap, the one listed first applies.
    ActiveFault activeAt(double secondsSinceStart) const;

    const std::vector<FaultWindow>& windows() const { return windows_; }
    std::int64_t repeat() const { return repeat_; } // 0: played once

    // What to log when the fault in force goes from `before` to `now`: a
    // "fault KIND@S+L ends" line, a "fault KIND@S+L starts" line, or both.
    std::vector<std::string> changeLines(const ActiveFault& before, const ActiveFault& now) const;

private:
    std::vector<FaultWindow> windows_;
    std::int64_t repeat_ = 0;
};

} // namespace skyglance::catalogue

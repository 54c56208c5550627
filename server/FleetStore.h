#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace skyglance::catalogue {

// One report of a screen, as its program sends it after a slide (at most
// once a minute). Times are UTC, ISO 8601 with a 'Z'; empty when unknown.
struct FleetReport {
    std::string name;      // the screen, as its token names it
    std::string version;   // the program's version
    bool lastGood = false; // showing the last good pictures of an earlier run
    std::string since;     // live (or last good) since
    int slide = -1;        // the slide on the screen
    std::string address;   // that slide's address
    std::string cycleStarted;
    std::int64_t cycleMs = 0;
    int fetched = 0;
    int failed = 0;
    std::string network;       // "up" or "down"
    std::string service;       // the catalogue service as the screen sees it: "reachable" ...
    std::string thumbnailJpeg; // the screen, 480 pixels wide, JPEG bytes
};

// A screen as the fleet page shows it: its last report, when that came, and
// whether it has gone silent (no report for longer than the silence limit).
struct FleetScreen {
    FleetReport last;              // last.name is set even before the first report
    std::int64_t reportedAtMs = 0; // Unix milliseconds; 0: never reported
    bool silent = true;
};

// Where the fleet's screens, tokens and reports are kept: SQLite by default,
// PostgreSQL for several service instances. Every call is safe from any
// worker thread; several processes may share one store.
class FleetStore {
public:
    enum class Outcome { Stored, TooSoon, Failed };

    virtual ~FleetStore() = default;

    // Adds a screen (or gives an existing one a new token) and returns the
    // new token; only its hash is stored. Empty on failure, with `error`.
    virtual std::string addScreen(const std::string& name, std::string& error) = 0;
    // The screen a token belongs to; none for an unknown token.
    virtual std::optional<std::string> screenForToken(const std::string& token) = 0;
    // Stores the report of `report.name` unless its last one came less than
    // `minGapMs` before `nowMs` (the check and the write are one step, so two
    // instances sharing the store agree).
    virtual Outcome storeReport(const FleetReport& report, std::int64_t nowMs,
                                std::int64_t minGapMs) = 0;
    // Every screen, silent when its last report is older than `silentAfterMs`;
    // none when the store could not be read (an empty fleet is an empty list).
    virtual std::optional<std::vector<FleetScreen>> screens(std::int64_t nowMs,
                                                            std::int64_t silentAfterMs) = 0;
    // The last thumbnail of a screen; none when it has none.
    virtual std::optional<std::string> thumbnail(const std::string& name) = 0;
};

// Opens the store `where` names: a "postgresql://" or "postgres://" address,
// else the path of an SQLite file (created when missing). Null with `error`.
std::unique_ptr<FleetStore> openFleetStore(const std::string& where, std::string& error);

// The PostgreSQL store at `url`; null with `error` when it cannot be had (or
// this build has no PostgreSQL support).
std::unique_ptr<FleetStore> openPostgresFleetStore(const std::string& url, std::string& error);

} // namespace skyglance::catalogue

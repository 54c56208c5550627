#pragma once

#include "ContentCoding.h"
#include "FleetStore.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace skyglance::catalogue {

// /fleet.json as it was at one moment: the body, and its compressed forms,
// each made once, by the first request that asks for it.
class FleetSnapshot {
public:
    using Clock = std::chrono::steady_clock;

    FleetSnapshot(std::string json, Clock::time_point readAt);

    // When the store was read (before the query went out).
    Clock::time_point readAt() const { return readAt_; }
    // The body in `coding`; the plain body, with `coding` set to Identity,
    // when it has no such coding or the coder failed.
    const std::string& body(Coding& coding) const;

private:
    const std::string json_;
    const Clock::time_point readAt_;
    // Gzip and Brotli, in that order.
    mutable std::array<std::once_flag, 2> encodedOnce_;
    mutable std::array<std::optional<std::string>, 2> encoded_;
};

// The fleet's list, read from the store at most once per `maxAge` and
// shared by the requests of that time: with thousands of screens, reading
// the list, sorting it and writing its JSON costs far more than sending it.
// A request that comes while the list is being read waits for that read
// rather than start its own. Whatever a request gets was read no more than
// `maxAge` before the request came, so states (and silence) are right to
// within `maxAge`. Safe to call from any worker thread.
class FleetListing {
public:
    FleetListing(FleetStore& store, std::int64_t silentAfterMs, std::chrono::milliseconds maxAge);

    // Null when the store could not be read.
    std::shared_ptr<const FleetSnapshot> current();

private:
    using Shared = std::shared_future<std::shared_ptr<const FleetSnapshot>>;

    bool freshEnough(FleetSnapshot::Clock::time_point readAt,
                     FleetSnapshot::Clock::time_point asked) const;
    std::shared_ptr<const FleetSnapshot> read(FleetSnapshot::Clock::time_point readAt) const;
    void finishReading(std::uint64_t number, const std::shared_ptr<const FleetSnapshot>& snapshot);

    FleetStore& store_;
    const std::int64_t silentAfterMs_;
    const std::chrono::milliseconds maxAge_;
    std::mutex mutex_;
    std::shared_ptr<const FleetSnapshot> latest_;
    Shared reading_; // the read under way, if any
    FleetSnapshot::Clock::time_point readingSince_;
    std::uint64_t readings_ = 0; // reads begun, to tell the latest one
};

} // namespace skyglance::catalogue

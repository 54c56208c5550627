#include "FleetListing.h"

#include "FleetJson.h"

#include <exception>
#include <vector>

namespace skyglance::catalogue {
namespace {

std::int64_t unixNowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

FleetSnapshot::FleetSnapshot(std::string json, Clock::time_point readAt)
    : json_(std::move(json)), readAt_(readAt) {}

const std::string& FleetSnapshot::body(Coding& coding) const {
    if (coding != Coding::Gzip && coding != Coding::Brotli) {
        coding = Coding::Identity;
        return json_;
    }
    const std::size_t slot = coding == Coding::Gzip ? 0 : 1;
    std::call_once(encodedOnce_[slot], [this, coding, slot] {
        std::string encoded;
        if (encodeBody(coding, json_, encoded)) {
            encoded_[slot] = std::move(encoded);
        }
    });
    if (!encoded_[slot]) {
        coding = Coding::Identity;
        return json_;
    }
    return *encoded_[slot];
}

FleetListing::FleetListing(FleetStore& store, std::int64_t silentAfterMs,
                           std::chrono::milliseconds maxAge)
    : store_(store), silentAfterMs_(silentAfterMs), maxAge_(maxAge) {}

std::shared_ptr<const FleetSnapshot> FleetListing::current() {
    const auto asked = FleetSnapshot::Clock::now();
    std::unique_lock lock(mutex_);
    if (latest_ && freshEnough(latest_->readAt(), asked)) {
        return latest_;
    }
    // A read under way that began too long ago (a slow store) is not
    // waited for: this request reads anew.
    if (reading_.valid() && freshEnough(readingSince_, asked)) {
        const Shared pending = reading_;
        lock.unlock();
        return pending.get();
    }
    std::promise<std::shared_ptr<const FleetSnapshot>> promise;
    reading_ = promise.get_future().share();
    readingSince_ = asked;
    const std::uint64_t mine = ++readings_;
    lock.unlock();

    std::shared_ptr<const FleetSnapshot> snapshot;
    try {
        snapshot = read(asked);
    } catch (...) {
        promise.set_exception(std::current_exception());
        finishReading(mine, nullptr);
        throw;
    }
    finishReading(mine, snapshot);
    promise.set_value(snapshot);
    return snapshot;
}

// Keeps `snapshot` unless a newer one is kept already, and forgets the read
// `number` unless another has begun since.
void FleetListing::finishReading(std::uint64_t number,
                                 const std::shared_ptr<const FleetSnapshot>& snapshot) {
    const std::lock_guard lock(mutex_);
    if (snapshot && (!latest_ || latest_->readAt() < snapshot->readAt())) {
        latest_ = snapshot;
    }
    if (readings_ == number) {
        reading_ = {};
    }
}

bool FleetListing::freshEnough(FleetSnapshot::Clock::time_point readAt,
                               FleetSnapshot::Clock::time_point asked) const {
    return asked - readAt <= maxAge_;
}

std::shared_ptr<const FleetSnapshot>
FleetListing::read(FleetSnapshot::Clock::time_point readAt) const {
    const std::optional<std::vector<FleetScreen>> screens =
        store_.screens(unixNowMs(), silentAfterMs_);
    if (!screens) {
        return nullptr; // nothing kept: the next request tries the store again
    }
    return std::make_shared<const FleetSnapshot>(fleetJson(worstFirst(*screens)), readAt);
}

} // namespace skyglance::catalogue

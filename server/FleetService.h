#pragma once

#include "FleetListing.h"
#include "FleetStore.h"
#include "HttpReply.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace skyglance::catalogue {

// The fleet on the service: screens' reports taken (POST /fleet/report with
// the screen's token), and the fleet page, /fleet.json and the thumbnails
// shown to whoever knows the fleet's password (HTTP basic authentication,
// user "fleet"). Safe to call from any worker thread.
class FleetService {
public:
    struct Settings {
        std::string password; // of user "fleet"
        std::int64_t silentAfterMs = 180'000;
        std::int64_t minGapMs = 10'000; // between two reports of one screen
        // How old the list /fleet.json gives may be (see FleetListing).
        std::chrono::milliseconds listMaxAge{1000};
    };
    // Reads the request's body of `length` bytes; none when it did not come
    // whole in time.
    using BodyReader = std::function<std::optional<std::string>(std::size_t length)>;

    FleetService(std::unique_ptr<FleetStore> store, Settings settings);

    // A report: 401 for a missing or unknown token (the body is not read),
    // 413 for a body announced over the bound (not read either), 400 for
    // one that is no report, 429 with Retry-After when the screen's last
    // report came too recently, else stored and 204. `readBody` is called
    // at most once; whether it was tells the caller if the body was read.
    void answerReport(const httplib::Request& req, const BodyReader& readBody, Reply& reply) const;
    // GET /fleet, /fleet.json and /fleet/thumb/NAME.jpg (else 404), each
    // after the password: 401 with a Basic challenge without it.
    void answerPage(const httplib::Request& req, Reply& reply) const;

private:
    bool authorised(const httplib::Request& req) const;

    std::unique_ptr<FleetStore> store_;
    const Settings settings_;
    std::unique_ptr<FleetListing> listing_;
};

} // namespace skyglance::catalogue

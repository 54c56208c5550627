#pragma once

#include "FleetStore.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyglance::catalogue {

// A report's body is at most this long; its thumbnail, decoded, at most
// kMaxThumbnailBytes and a JPEG (it starts with FF D8).
inline constexpr std::size_t kMaxReportBytes = 256 * 1024;
inline constexpr std::size_t kMaxThumbnailBytes = 200 * 1024;

// Reads a report's JSON body: an object whose known fields have their types
// ("name", "version", "since", "address", "cycleStarted", "network",
// "service" and "thumbnail" strings, "lastGood" a boolean, "slide",
// "cycleMs", "fetched" and "failed" whole numbers); unknown fields are
// ignored, "version" and "lastGood" must be there. Texts are bounded.
// Nothing, with `problem` saying why, for any other body.
std::optional<FleetReport> parseFleetReport(std::string_view body, std::string& problem);

// "silent", "last good" or "live".
std::string fleetState(const FleetScreen& screen);

// The screens worst first: silent, then last good, then the most failures,
// then by name. Pointers into `screens`, so that nothing is copied.
std::vector<const FleetScreen*> worstFirst(const std::vector<FleetScreen>& screens);

// The fleet as /fleet.json gives it: an array of one object per screen, in
// the order given, with its name, state, reportedAt (ISO 8601 UTC, or null
// before a first report) and the fields of its last report but the
// thumbnail.
std::string fleetJson(const std::vector<const FleetScreen*>& screens);

} // namespace skyglance::catalogue

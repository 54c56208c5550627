#pragma once

#include <string>
#include <string_view>

namespace skyglance::catalogue {

// A new screen token: 32 bytes from the system's random source, as 64
// lowercase hex digits.
std::string newFleetToken();

// What a store keeps of a token: its SHA-256, as hex. A stolen database
// then gives no token a screen could report with.
std::string fleetTokenHash(std::string_view token);

} // namespace skyglance::catalogue

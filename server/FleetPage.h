#pragma once

#include <string_view>

namespace skyglance::catalogue {

// The fleet page: every screen as a tile, worst first, with a filter by
// name. It holds no data of its own: its script draws the tiles from
// /fleet.json and redraws them every 10 s without reloading, putting every
// text of a report in as text, never as markup.
std::string_view fleetPageHtml();

} // namespace skyglance::catalogue

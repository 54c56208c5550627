#pragma once

#include <QImage>
#include <string>
#include <vector>

namespace skyglance::catalogue {

// Encodes the frames (all of one size) as a GIF89a with one global colour
// table. More than one frame gives an animation that loops forever (the
// NETSCAPE2.0 extension) with `delayCentiseconds` per frame. Returns an
// empty string when encoding fails.
std::string encodeGif(const std::vector<QImage>& frames, int delayCentiseconds);

} // namespace skyglance::catalogue

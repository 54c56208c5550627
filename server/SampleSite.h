#pragma once

#include "PictureFactory.h"

#include <QDateTime>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace skyglance::catalogue {

// Bytes served from memory, with their Content-Type.
struct Resource {
    std::string body;
    std::string contentType;
    std::string etag; // strongEtag(body), where its maker filled it in
};
using ResourceMap = std::unordered_map<std::string, std::shared_ptr<const Resource>>;

enum class PictureKind { Still, Loop, SeriesFrame };

// One generated picture of the sample site, by its request path.
struct PictureRecipe {
    std::string path;
    PictureKind kind = PictureKind::Still;
    MapPlan map;
    QString caption;
    double phaseOffset = 0.0;
};

inline constexpr int kLoopFrames = 8;
inline constexpr int kLoopDelayCentiseconds = 40;

// Every picture the sample site offers: still maps (JPEG, PNG and one still
// GIF), radar loops (animated GIF) and the frames of the numbered series.
const std::vector<PictureRecipe>& samplePictures();

// Draws and encodes one picture as made at `made`. Paints: main thread only.
std::shared_ptr<const Resource> renderPicture(const PictureRecipe& recipe, const QDateTime& made);

} // namespace skyglance::catalogue

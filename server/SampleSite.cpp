#include "SampleSite.h"

#include "GifWriter.h"
#include "HttpCaching.h"

#include <QBuffer>

namespace skyglance::catalogue {
namespace {

PictureRecipe still(std::string path, QString title, MapTheme theme, std::uint32_t seed) {
    PictureRecipe recipe;
    recipe.path = std::move(path);
    recipe.map = MapPlan{std::move(title), theme, seed, QSize(800, 600)};
    recipe.caption = "analysis";
    return recipe;
}

PictureRecipe loop(std::string path, QString title, MapTheme theme, std::uint32_t seed) {
    PictureRecipe recipe;
    recipe.path = std::move(path);
    recipe.kind = PictureKind::Loop;
    recipe.map = MapPlan{std::move(title), theme, seed, QSize(480, 360)};
    return recipe;
}

// A series frame named prefix + number (zero-padded to `width`) + suffix.
void addSeries(std::vector<PictureRecipe>& out, const std::string& prefix,
               const std::string& suffix, int width, std::initializer_list<int> numbers,
               const QString& title, MapTheme theme, std::uint32_t seed, bool past) {
    for (int number : numbers) {
        std::string digits = std::to_string(number);
        if (static_cast<int>(digits.size()) < width) {
            digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
        }
        PictureRecipe recipe;
        recipe.path = prefix + digits + suffix;
        recipe.kind = PictureKind::SeriesFrame;
        recipe.map = MapPlan{title, theme, seed, QSize(640, 480)};
        recipe.caption = past ? QString("%1 h ago").arg(number) : QString("+%1 h").arg(number);
        recipe.phaseOffset = (past ? -number : number) * 0.12;
        out.push_back(std::move(recipe));
    }
}

std::vector<PictureRecipe> makeSamplePictures() {
    std::vector<PictureRecipe> all = {
        still("/site/maps/europe_pressure.jpg", "Europe: surface pressure", MapTheme::Pressure, 11),
        still("/site/maps/alps_temperature.png", "Alps: temperature", MapTheme::Temperature, 12),
        still("/site/maps/satellite_ir.jpg", "Satellite: infrared", MapTheme::Satellite, 13),
        still("/site/maps/satellite_visible.jpg", "Satellite: visible", MapTheme::Cloud, 14),
        still("/site/maps/italy_wind.jpg", "Italy: wind at 10 m", MapTheme::Wind, 15),
        still("/site/maps/france_rain.jpg", "France: rain, last 24 h", MapTheme::Rain, 16),
        still("/site/maps/iberia_sunshine.jpg", "Iberia: sunshine hours", MapTheme::Sunshine, 17),
        still("/site/maps/north_sea_waves.png", "North Sea: wave height", MapTheme::Waves, 18),
        still("/site/maps/alps_snow.png", "Alps: snow depth", MapTheme::Snow, 19),
        still("/site/maps/britain_cloud.jpg", "Britain: cloud cover", MapTheme::Cloud, 20),
        still("/site/maps/europe_fronts.png", "Europe: fronts", MapTheme::Pressure, 21),
        still("/site/maps/lakes_uv.png", "Lakes: UV index", MapTheme::Uv, 22),
        still("/site/maps/uv_index.gif", "Europe: UV index", MapTheme::Uv, 23),
        still("/site/maps/europe_temperature.jpg", "Europe: temperature at noon",
              MapTheme::Temperature, 24),
        still("/site/maps/italy_temperature.png", "Italy: temperature", MapTheme::Temperature, 25),
        still("/site/maps/balkans_storm.jpg", "Balkans: storm warning", MapTheme::Lightning, 26),
        still("/site/maps/scandinavia_snow.jpg", "Scandinavia: snow cover", MapTheme::Snow, 27),
        loop("/site/radar/north_italy.gif", "Radar: northern Italy", MapTheme::Rain, 31),
        loop("/site/radar/south_italy.gif", "Radar: southern Italy", MapTheme::Rain, 32),
        loop("/site/radar/alps.gif", "Radar: Alps", MapTheme::Rain, 33),
        loop("/site/radar/lightning.gif", "Lightning strikes", MapTheme::Lightning, 34),
        loop("/site/radar/clouds.gif", "Satellite cloud loop", MapTheme::Cloud, 35),
    };
    addSeries(all, "/site/series/hour_", ".png", 2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
              "Precipitation forecast", MapTheme::Rain, 41, false);
    addSeries(all, "/site/series/cloud_", ".jpg", 0, {3, 6, 9, 12}, "Cloud cover forecast",
              MapTheme::Cloud, 42, false);
    addSeries(all, "/site/series/temp_", ".png", 2, {12, 8, 4, 0}, "Temperature, past hours",
              MapTheme::Temperature, 43, true);
    return all;
}

bool endsWith(const std::string& text, const char* suffix) {
    const std::string s(suffix);
    return text.size() >= s.size() && text.compare(text.size() - s.size(), s.size(), s) == 0;
}

std::string encodeStill(const QImage& image, const std::string& path, std::string& contentType) {
    if (endsWith(path, ".gif")) {
        contentType = "image/gif";
        return encodeGif({image}, 0);
    }
    const bool png = endsWith(path, ".png");
    contentType = png ? "image/png" : "image/jpeg";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, png ? "PNG" : "JPG", png ? -1 : 85)) {
        return {};
    }
    return bytes.toStdString();
}

} // namespace

const std::vector<PictureRecipe>& samplePictures() {
    static const std::vector<PictureRecipe> pictures = makeSamplePictures();
    return pictures;
}

std::shared_ptr<const Resource> renderPicture(const PictureRecipe& recipe, const QDateTime& made) {
    // The weather drifts slowly with the clock, so each refresh differs.
    const double phase =
        static_cast<double>(made.toSecsSinceEpoch()) / 60.0 * 0.02 + recipe.phaseOffset;
    auto resource = std::make_shared<Resource>();
    if (recipe.kind == PictureKind::Loop) {
        std::vector<QImage> frames;
        for (int frame = 0; frame < kLoopFrames; ++frame) {
            const int minutesAgo = (kLoopFrames - 1 - frame) * 5;
            frames.push_back(
                paintMap(recipe.map, made.addSecs(-60 * minutesAgo), phase + frame * 0.08,
                         minutesAgo == 0 ? QString("now") : QString("-%1 min").arg(minutesAgo)));
        }
        resource->body = encodeGif(frames, kLoopDelayCentiseconds);
        resource->contentType = "image/gif";
    } else {
        resource->body = encodeStill(paintMap(recipe.map, made, phase, recipe.caption), recipe.path,
                                     resource->contentType);
    }
    resource->etag = strongEtag(resource->body);
    return resource;
}

} // namespace skyglance::catalogue

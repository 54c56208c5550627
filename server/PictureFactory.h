#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <cstdint>

namespace skyglance::catalogue {

enum class MapTheme {
    Pressure,
    Temperature,
    Satellite,
    Rain,
    Wind,
    Sunshine,
    Waves,
    Snow,
    Cloud,
    Lightning,
    Uv
};

struct MapPlan {
    QString title;
    MapTheme theme = MapTheme::Pressure;
    std::uint32_t seed = 1;
    QSize size{800, 600};
};

// Draws one weather map: land and sea from the seed, the theme's field moved
// along by `phase`, a title band, the caption (e.g. "+03 h" or "frame 2/8")
// and, in the corner, a clock and the time `made` so that every refresh is
// visibly newer. Paints with QPainter, so call it from one thread only.
QImage paintMap(const MapPlan& plan, const QDateTime& made, double phase, const QString& caption);

} // namespace skyglance::catalogue

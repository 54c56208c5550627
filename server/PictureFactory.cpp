#include "PictureFactory.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <cmath>
#include <numbers>

namespace skyglance::catalogue {
namespace {

constexpr int kGridWidth = 48;
constexpr int kGridHeight = 36;

double lattice(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 374761393u + static_cast<std::uint32_t>(x) * 668265263u +
                      static_cast<std::uint32_t>(y) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<double>(h & 0xffffu) / 65535.0;
}

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

// Value noise in [0, 1] with two octaves: smooth blobs like weather fields.
double noise(double x, double y, std::uint32_t seed) {
    double total = 0.0;
    double weight = 0.0;
    double amplitude = 1.0;
    for (int octave = 0; octave < 2; ++octave) {
        const double fx = std::floor(x);
        const double fy = std::floor(y);
        const int ix = static_cast<int>(fx);
        const int iy = static_cast<int>(fy);
        const double tx = smooth(x - fx);
        const double ty = smooth(y - fy);
        const double top = lattice(ix, iy, seed) * (1 - tx) + lattice(ix + 1, iy, seed) * tx;
        const double bottom =
            lattice(ix, iy + 1, seed) * (1 - tx) + lattice(ix + 1, iy + 1, seed) * tx;
        total += amplitude * (top * (1 - ty) + bottom * ty);
        weight += amplitude;
        amplitude *= 0.45;
        x *= 2.1;
        y *= 2.1;
        seed += 101;
    }
    return total / weight;
}

QColor blend(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QColor ramp(double t, std::initializer_list<QColor> stops) {
    const std::vector<QColor> colours(stops);
    t = std::clamp(t, 0.0, 1.0) * static_cast<double>(colours.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(t), colours.size() - 2);
    return blend(colours[i], colours[i + 1], t - static_cast<double>(i));
}

QColor fieldColour(MapTheme theme, const QColor& ground, double v) {
    switch (theme) {
    case MapTheme::Temperature:
        return blend(ground,
                     ramp(v, {QColor(40, 60, 200), QColor(60, 200, 220), QColor(240, 230, 80),
                              QColor(230, 70, 40)}),
                     0.65);
    case MapTheme::Satellite:
    case MapTheme::Cloud: {
        const QColor dark = theme == MapTheme::Satellite ? QColor(20, 20, 28) : ground;
        return blend(blend(dark, ground, 0.35), QColor(245, 245, 245), (v - 0.35) * 2.2);
    }
    case MapTheme::Rain:
    case MapTheme::Lightning:
        if (v < 0.55) {
            return ground;
        }
        return ramp((v - 0.55) / 0.4, {QColor(120, 220, 120), QColor(30, 160, 60),
                                       QColor(240, 220, 40), QColor(220, 40, 30)});
    case MapTheme::Sunshine:
        return blend(ground, QColor(255, 200, 40), v * 0.8);
    case MapTheme::Waves:
        return blend(ground,
                     ramp(v, {QColor(40, 90, 200), QColor(60, 200, 200), QColor(250, 250, 250)}),
                     0.5);
    case MapTheme::Snow:
        return blend(ground, QColor(250, 250, 255), (v - 0.4) * 2.0);
    case MapTheme::Uv:
        return blend(ground,
                     ramp(v, {QColor(60, 180, 60), QColor(240, 230, 50), QColor(240, 120, 30),
                              QColor(200, 30, 60), QColor(140, 60, 200)}),
                     0.7);
    case MapTheme::Wind:
        return blend(ground,
                     ramp(v, {QColor(200, 230, 255), QColor(80, 130, 220), QColor(160, 40, 160)}),
                     0.5);
    case MapTheme::Pressure:
        return blend(ground, QColor(255, 255, 255), 0.25);
    }
    return ground;
}

// The coarse picture of land, sea and field, smoothed up to the full size.
QImage paintField(const MapPlan& plan, double phase) {
    QImage grid(kGridWidth, kGridHeight, QImage::Format_RGB32);
    for (int y = 0; y < kGridHeight; ++y) {
        for (int x = 0; x < kGridWidth; ++x) {
            const double land = noise(x / 9.0, y / 9.0, plan.seed);
            const bool isLand = land > 0.5;
            const QColor ground =
                isLand ? blend(QColor(110, 160, 90), QColor(170, 150, 110), (land - 0.5) * 3.0)
                       : blend(QColor(40, 90, 160), QColor(70, 130, 190), land * 2.0);
            const double v = noise(x / 7.0 + phase, y / 7.0 + phase * 0.3, plan.seed + 7919);
            grid.setPixelColor(x, y, fieldColour(plan.theme, ground, v));
        }
    }
    return grid.scaled(plan.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QPointF gridPoint(const MapPlan& plan, std::uint32_t k, double phase) {
    const double x =
        lattice(static_cast<int>(k), 3, plan.seed) * 0.8 + 0.1 + std::sin(phase + k) * 0.03;
    const double y =
        lattice(static_cast<int>(k), 5, plan.seed) * 0.6 + 0.2 + std::cos(phase + k) * 0.03;
    return {x * plan.size.width(), y * plan.size.height()};
}

void paintSymbols(QPainter& p, const MapPlan& plan, double phase) {
    QFont font("DejaVu Sans");
    font.setPixelSize(std::max(12, plan.size.height() / 30));
    font.setBold(true);
    p.setFont(font);
    p.setRenderHint(QPainter::Antialiasing);
    switch (plan.theme) {
    case MapTheme::Pressure:
        for (std::uint32_t k = 0; k < 4; ++k) {
            const QPointF c = gridPoint(plan, k, phase);
            const bool high = k % 2 == 0;
            p.setPen(QPen(QColor(60, 60, 60, 170), 1.5));
            p.setBrush(Qt::NoBrush);
            for (int ring = 1; ring <= 4; ++ring) {
                p.drawEllipse(c, ring * plan.size.width() / 28.0, ring * plan.size.height() / 36.0);
            }
            p.setPen(high ? QColor(20, 40, 200) : QColor(200, 30, 30));
            p.drawText(QRectF(c.x() - 20, c.y() - 20, 40, 40), Qt::AlignCenter, high ? "H" : "L");
            p.setPen(Qt::black);
            p.drawText(c + QPointF(18, 26), QString::number(high ? 1020 + k * 3 : 996 - k * 4));
        }
        break;
    case MapTheme::Wind:
        p.setPen(QPen(QColor(30, 30, 60), 2));
        for (int y = 1; y < 6; ++y) {
            for (int x = 1; x < 8; ++x) {
                const QPointF c(x * plan.size.width() / 8.0, y * plan.size.height() / 6.0);
                const double angle =
                    noise(x * 0.4 + phase, y * 0.4, plan.seed + 3) * 2 * std::numbers::pi;
                const QPointF d(std::cos(angle) * 22, std::sin(angle) * 22);
                p.drawLine(c - d, c + d);
                p.drawLine(c + d, c + d * 0.55 + QPointF(-d.y(), d.x()) * 0.3);
            }
        }
        break;
    case MapTheme::Lightning:
        p.setPen(QPen(QColor(255, 240, 0), 3));
        for (std::uint32_t k = 0; k < 6; ++k) {
            const QPointF c = gridPoint(plan, k + static_cast<std::uint32_t>(phase * 3), phase);
            QPainterPath bolt(c + QPointF(4, -14));
            bolt.lineTo(c + QPointF(-4, 0));
            bolt.lineTo(c + QPointF(4, 0));
            bolt.lineTo(c + QPointF(-4, 14));
            p.drawPath(bolt);
        }
        break;
    case MapTheme::Rain:
    case MapTheme::Satellite:
    case MapTheme::Cloud:
        break;
    default:
        // A value at a few places, as on a real chart.
        p.setPen(Qt::black);
        for (std::uint32_t k = 0; k < 7; ++k) {
            const QPointF c = gridPoint(plan, k + 10, 0);
            const double v =
                noise(c.x() / plan.size.width() * 48 / 7.0 + phase,
                      c.y() / plan.size.height() * 36 / 7.0 + phase * 0.3, plan.seed + 7919);
            const int shown = plan.theme == MapTheme::Temperature ? static_cast<int>(v * 40) - 8
                              : plan.theme == MapTheme::Uv        ? static_cast<int>(v * 11)
                                                                  : static_cast<int>(v * 100);
            p.drawText(c, QString::number(shown));
        }
    }
}

void paintClock(QPainter& p, const QPointF& centre, double radius, const QTime& time) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(centre, radius, radius);
    for (int mark = 0; mark < 12; ++mark) {
        const double a = mark * std::numbers::pi / 6;
        p.drawLine(centre + QPointF(std::sin(a), -std::cos(a)) * radius * 0.85,
                   centre + QPointF(std::sin(a), -std::cos(a)) * radius * 0.95);
    }
    auto hand = [&](double turns, double length, double width, const QColor& colour) {
        const double a = turns * 2 * std::numbers::pi;
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(centre, centre + QPointF(std::sin(a), -std::cos(a)) * radius * length);
    };
    const double seconds = time.second();
    const double minutes = time.minute() + seconds / 60.0;
    const double hours = (time.hour() % 12) + minutes / 60.0;
    hand(hours / 12.0, 0.5, 4, Qt::black);
    hand(minutes / 60.0, 0.8, 3, Qt::black);
    hand(seconds / 60.0, 0.85, 1.5, QColor(200, 0, 0));
}

void paintBands(QPainter& p, const MapPlan& plan, const QDateTime& made, const QString& caption) {
    const int w = plan.size.width();
    const int h = plan.size.height();
    const int band = std::max(20, h / 14);
    QFont font("DejaVu Sans");
    font.setPixelSize(band * 6 / 10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 160));
    p.drawRect(0, 0, w, band);
    p.drawRect(0, h - band, w, band);
    p.setPen(Qt::white);
    p.drawText(QRect(8, 0, w - 16, band), Qt::AlignVCenter | Qt::AlignLeft, plan.title);
    p.drawText(QRect(8, 0, w - 16, band), Qt::AlignVCenter | Qt::AlignRight, caption);
    font.setBold(false);
    p.setFont(font);
    p.drawText(QRect(8, h - band, w - 16, band), Qt::AlignVCenter | Qt::AlignLeft,
               "made " + made.toString("yyyy-MM-dd hh:mm:ss") + "  -  Skyglance sample site");
    const double radius = std::min(w, h) / 11.0;
    paintClock(p, QPointF(w - radius - 10, h - band - radius - 10), radius, made.time());
}

} // namespace

QImage paintMap(const MapPlan& plan, const QDateTime& made, double phase, const QString& caption) {
    QImage image = paintField(plan, phase);
    QPainter p(&image);
    paintSymbols(p, plan, phase);
    paintBands(p, plan, made, caption);
    p.end();
    return image;
}

} // namespace skyglance::catalogue

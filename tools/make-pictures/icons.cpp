#include "icons.h"

#include "paint.h"

#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QSvgGenerator>

namespace Icons {
namespace {

namespace Colour = Artwork::Paint::Colour;

// The tile leaves a margin so that the icon lines up with the theme's others.
constexpr qreal tileMargin = 1.0 / 16;
constexpr qreal cornerRadius = 0.18;
constexpr qreal emblemWidth = 0.74;
// Glow, rays and shadow turn to noise below this size.
constexpr int detailedFrom = 64;
// The drawing size of the vector icon, which is drawn in full detail.
constexpr int scalableSize = 256;

void drawSkyTile(QPainter& painter, const QRectF& tile) {
    QLinearGradient sky(tile.topLeft(), tile.bottomLeft());
    sky.setColorAt(0, Colour::daySky);
    sky.setColorAt(1, Colour::nightSky);
    const qreal radius = tile.width() * cornerRadius;
    painter.setPen(QPen(Colour::frame, qMax(1.0, tile.width() / 64)));
    painter.setBrush(sky);
    painter.drawRoundedRect(tile, radius, radius);
}

void drawIcon(QPainter& painter, int size) {
    Artwork::Paint::useSmoothPainting(painter);
    const qreal margin = size * tileMargin;
    const QRectF tile(margin, margin, size - 2 * margin, size - 2 * margin);
    drawSkyTile(painter, tile);
    Artwork::Paint::drawEmblem(painter,
                               Artwork::Paint::emblemBox(tile.center(), tile.width() * emblemWidth),
                               size >= detailedFrom);
}

QString writeScalableIcon(const QString& outDir) {
    const QString folder = outDir + QStringLiteral("/hicolor/scalable/apps");
    const QString path = folder + QStringLiteral("/skyglance.svg");
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot create ") + folder;
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(scalableSize, scalableSize));
    svg.setViewBox(QRect(0, 0, scalableSize, scalableSize));
    svg.setTitle(QStringLiteral("Skyglance"));
    QPainter painter;
    if (!painter.begin(&svg))
        return QStringLiteral("cannot write ") + path;
    drawIcon(painter, scalableSize);
    return painter.end() ? QString() : QStringLiteral("cannot write ") + path;
}

} // namespace

QImage programIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawIcon(painter, size);
    return image;
}

const std::vector<int>& iconSizes() {
    static const std::vector<int> sizes{48, 64, 128, 256};
    return sizes;
}

QString writeIconTheme(const QString& outDir) {
    for (int size : iconSizes()) {
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(outDir).arg(size);
        const QString path = folder + QStringLiteral("/skyglance.png");
        if (!QDir().mkpath(folder) || !programIcon(size).save(path, "PNG"))
            return QStringLiteral("cannot write ") + path;
    }
    return writeScalableIcon(outDir);
}

} // namespace Icons

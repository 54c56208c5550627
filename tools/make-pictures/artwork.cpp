#include "artwork.h"

#include "paint.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <array>
#include <functional>
#include <span>

namespace Artwork {
namespace {

namespace Colour = Paint::Colour;

const QString fontFamily = QStringLiteral("DejaVu Sans");

// ---- painting basics -------------------------------------------------------

QImage blankCanvas(QSize size, const QColor& fill) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void useSmoothPainting(QPainter& painter) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
}

QImage opaque(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

QPen roundPen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont face(int pixelSize, QFont::Weight weight = QFont::Normal) {
    QFont font(fontFamily);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

// The largest size up to `pixelSize` at which `text` fits into `maxWidth`.
QFont fittedFace(const QString& text, int pixelSize, qreal maxWidth,
                 QFont::Weight weight = QFont::Normal) {
    QFont font = face(pixelSize, weight);
    while (pixelSize > 6 && QFontMetricsF(font).horizontalAdvance(text) > maxWidth)
        font = face(--pixelSize, weight);
    return font;
}

qreal textWidth(const QFont& font, const QString& text) {
    return QFontMetricsF(font).horizontalAdvance(text);
}

// Baseline that puts the capital letters of `font` in the middle of `centreY`.
qreal baselineForCapsCentredAt(const QFont& font, qreal centreY) {
    return centreY + QFontMetricsF(font).capHeight() / 2;
}

void drawText(QPainter& painter, const QString& text, const QFont& font, const QColor& colour,
              QPointF baselineLeft) {
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(baselineLeft, text);
}

void drawCentredText(QPainter& painter, const QString& text, const QFont& font,
                     const QColor& colour, qreal centreX, qreal baseline) {
    drawText(painter, text, font, colour, {centreX - textWidth(font, text) / 2, baseline});
}

void fillVerticalGradient(QPainter& painter, const QRectF& area,
                          std::initializer_list<std::pair<qreal, QColor>> stops) {
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    for (const auto& [at, colour] : stops)
        gradient.setColorAt(at, colour);
    painter.fillRect(area, gradient);
}

// Draws through a transparent layer so that overlapping shapes fade as one
// (painter opacity alone would let the sun show through the cloud).
void drawFaded(QPainter& painter, qreal opacity, const std::function<void(QPainter&)>& draw) {
    QImage layer(painter.device()->width(), painter.device()->height(),
                 QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter layerPainter(&layer);
    useSmoothPainting(layerPainter);
    layerPainter.setTransform(painter.transform());
    draw(layerPainter);
    layerPainter.end();
    painter.save();
    painter.resetTransform();
    painter.setOpacity(opacity);
    painter.drawImage(0, 0, layer);
    painter.restore();
}

QPointF onCircle(QPointF centre, qreal radius, qreal degrees) {
    const qreal a = qDegreesToRadians(degrees);
    return centre + QPointF(qCos(a) * radius, -qSin(a) * radius);
}

// ---- the brand -------------------------------------------------------------

const QString nameFirst = QStringLiteral("Sky");
const QString nameSecond = QStringLiteral("glance");

qreal brandNameWidth(const QFont& font) {
    return textWidth(font, nameFirst + nameSecond);
}

void drawBrandName(QPainter& painter, const QFont& font, QPointF baselineLeft,
                   const QColor& first = Colour::ink, const QColor& second = Colour::skyLight) {
    drawText(painter, nameFirst, font, first, baselineLeft);
    drawText(painter, nameSecond, font, second,
             baselineLeft + QPointF(textWidth(font, nameFirst), 0));
}

// The emblem is drawn in a 100 x 80 box: a sun rising behind a cloud.
constexpr QSizeF emblemDesignSize(100, 80);
constexpr QPointF sunCentre(69, 27);
constexpr qreal sunRadius = 19;

QPainterPath cloudShape() {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(QRectF(6, 48, 86, 28), 14, 14);
    path.addEllipse(QPointF(30, 50), 17, 17);
    path.addEllipse(QPointF(54, 40), 24, 24);
    path.addEllipse(QPointF(77, 55), 15, 15);
    return path.simplified();
}

void drawSunGlow(QPainter& painter) {
    QRadialGradient glow(sunCentre, sunRadius * 2.6);
    glow.setColorAt(0, QColor(0xFF, 0xD8, 0x70, 110));
    glow.setColorAt(1, QColor(0xFF, 0xD8, 0x70, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(sunCentre, sunRadius * 2.6, sunRadius * 2.6);
}

void drawSunRays(QPainter& painter) {
    painter.setPen(roundPen(Colour::sun, 3.2));
    for (int ray = 0; ray < 8; ++ray) {
        const qreal degrees = 22.5 + ray * 45;
        painter.drawLine(onCircle(sunCentre, sunRadius + 5, degrees),
                         onCircle(sunCentre, sunRadius + 11, degrees));
    }
}

void drawSunDisc(QPainter& painter) {
    QRadialGradient disc(sunCentre - QPointF(5, 6), sunRadius * 1.4);
    disc.setColorAt(0, Colour::sun.lighter(112));
    disc.setColorAt(1, Colour::sunDeep);
    painter.setPen(Qt::NoPen);
    painter.setBrush(disc);
    painter.drawEllipse(sunCentre, sunRadius, sunRadius);
}

void drawCloud(QPainter& painter, bool withShadow) {
    const QPainterPath shape = cloudShape();
    painter.setPen(Qt::NoPen);
    if (withShadow) {
        painter.setBrush(QColor(0x05, 0x12, 0x2A, 70));
        painter.drawPath(shape.translated(0, 3.5));
    }
    QLinearGradient body(QPointF(0, 16), QPointF(0, 76));
    body.setColorAt(0, Colour::cloud);
    body.setColorAt(1, Colour::cloudShade);
    painter.setBrush(body);
    painter.drawPath(shape);
}

// `detailed` adds the glow, rays and shadow that only show at large sizes.
void drawEmblem(QPainter& painter, const QRectF& box, bool detailed) {
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width() / emblemDesignSize.width(), box.height() / emblemDesignSize.height());
    if (detailed) {
        drawSunGlow(painter);
        drawSunRays(painter);
    }
    drawSunDisc(painter);
    drawCloud(painter, detailed);
    painter.restore();
}

QRectF emblemBox(QPointF centre, qreal width) {
    const qreal height = width * emblemDesignSize.height() / emblemDesignSize.width();
    return {centre.x() - width / 2, centre.y() - height / 2, width, height};
}

// ---- status-bar pieces -----------------------------------------------------

// A raised key marks what can be clicked; signs sit flat on the strip.
void drawKey(QPainter& painter, QSizeF size) {
    const QRectF key(1.5, 2.5, size.width() - 3, size.height() - 5);
    QLinearGradient face(key.topLeft(), key.bottomLeft());
    face.setColorAt(0, Colour::keyTop);
    face.setColorAt(1, Colour::keyBottom);
    painter.setPen(QPen(Colour::keyEdge, 1));
    painter.setBrush(face);
    painter.drawRoundedRect(key, 6, 6);
    painter.setPen(QPen(QColor(255, 255, 255, 46), 1));
    painter.drawLine(QPointF(key.left() + 6, key.top() + 1),
                     QPointF(key.right() - 6, key.top() + 1));
}

QImage barPiece(int width) {
    return blankCanvas({width, barHeight}, Colour::bar);
}

const QFont& captionFace() {
    static const QFont font = face(13, QFont::Bold);
    return font;
}

// Caption of a wide button, centred in the part right of its icon.
void drawCaption(QPainter& painter, const QString& text, qreal left, qreal right) {
    drawCentredText(painter, text, captionFace(), Colour::ink, (left + right) / 2,
                    baselineForCapsCentredAt(captionFace(), barHeight / 2.0));
}

QPainterPath gearShape(QPointF centre, qreal outer, qreal root, int teeth, qreal hole) {
    // Each tooth: flank up, flat top, flank down, then the root between teeth.
    constexpr std::array<std::pair<qreal, bool>, 5> toothProfile{
        {{-0.30, false}, {-0.16, true}, {0.16, true}, {0.30, false}, {0.50, false}}};
    QPolygonF outline;
    const qreal step = 360.0 / teeth;
    for (int tooth = 0; tooth < teeth; ++tooth)
        for (const auto& [fraction, onTop] : toothProfile)
            outline << onCircle(centre, onTop ? outer : root, (tooth + fraction) * step + 90);
    QPainterPath gear;
    gear.addPolygon(outline);
    gear.closeSubpath();
    QPainterPath axle;
    axle.addEllipse(centre, hole, hole);
    return gear.subtracted(axle);
}

void drawHourglass(QPainter& painter, QPointF centre) {
    const qreal cx = centre.x();
    const qreal cy = centre.y();
    QPainterPath sandBelow;
    sandBelow.moveTo(cx - 4.6, cy + 7.2);
    sandBelow.lineTo(cx + 4.6, cy + 7.2);
    sandBelow.lineTo(cx, cy + 2.6);
    sandBelow.closeSubpath();
    QPainterPath sandAbove;
    sandAbove.moveTo(cx - 3.3, cy - 4.2);
    sandAbove.lineTo(cx + 3.3, cy - 4.2);
    sandAbove.lineTo(cx, cy - 1.0);
    sandAbove.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Colour::sun);
    painter.drawPath(sandBelow);
    painter.drawPath(sandAbove);
    painter.setPen(roundPen(Colour::sun, 1.0));
    painter.drawLine(QPointF(cx, cy - 1), QPointF(cx, cy + 3));

    QPainterPath glass;
    glass.moveTo(cx - 5.2, cy - 8.5);
    glass.cubicTo(cx - 5.2, cy - 3.0, cx - 1.2, cy - 1.6, cx - 1.2, cy);
    glass.cubicTo(cx - 1.2, cy + 1.6, cx - 5.2, cy + 3.0, cx - 5.2, cy + 8.5);
    glass.moveTo(cx + 5.2, cy - 8.5);
    glass.cubicTo(cx + 5.2, cy - 3.0, cx + 1.2, cy - 1.6, cx + 1.2, cy);
    glass.cubicTo(cx + 1.2, cy + 1.6, cx + 5.2, cy + 3.0, cx + 5.2, cy + 8.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(roundPen(Colour::ink, 1.6));
    painter.drawPath(glass);
    painter.setPen(roundPen(Colour::ink, 2.2));
    painter.drawLine(QPointF(cx - 7, cy - 9.5), QPointF(cx + 7, cy - 9.5));
    painter.drawLine(QPointF(cx - 7, cy + 9.5), QPointF(cx + 7, cy + 9.5));
}

void drawArrowHead(QPainter& painter, QPointF tip, QPointF direction, qreal size,
                   const QColor& colour) {
    const qreal length = std::hypot(direction.x(), direction.y());
    const QPointF along = direction / length;
    const QPointF across(-along.y(), along.x());
    const QPointF base = tip - along * size;
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(base + across * size * 0.8);
    head.lineTo(base - across * size * 0.8);
    head.closeSubpath();
    painter.setPen(roundPen(colour, 1.2));
    painter.setBrush(colour);
    painter.drawPath(head);
}

void drawSignalBars(QPainter& painter, const QColor& colour) {
    // Whole-pixel edges keep the bars sharp at their only size.
    constexpr std::array<int, 4> heights{7, 11, 16, 20};
    constexpr int bottom = 27;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (std::size_t bar = 0; bar < heights.size(); ++bar) {
        const int left = 6 + static_cast<int>(bar) * 6;
        painter.drawRoundedRect(QRectF(left, bottom - heights[bar], 4, heights[bar]), 1.2, 1.2);
    }
}

// ---- large pictures ----------------------------------------------------------

// A mountain range: its ridge as x, y pairs, closed along the bottom edge.
void drawRange(QPainter& painter, const QColor& colour, std::span<const qreal> ridge, qreal width,
               qreal bottom) {
    QPainterPath range;
    range.moveTo(0, bottom);
    for (std::size_t i = 0; i + 1 < ridge.size(); i += 2)
        range.lineTo(ridge[i], ridge[i + 1]);
    range.lineTo(width, bottom);
    range.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(range);
}

void drawLogoMountains(QPainter& painter) {
    constexpr std::array<qreal, 24> farRidge{0,   652, 120,  622, 230,  642, 380,  588,
                                             470, 622, 560,  606, 700,  638, 840,  580,
                                             960, 622, 1080, 608, 1180, 632, 1280, 610};
    constexpr std::array<qreal, 22> nearRidge{0,    694, 150,  664, 260,  684, 420, 644,
                                              520,  674, 640,  658, 760,  684, 900, 650,
                                              1030, 678, 1160, 660, 1280, 680};
    drawRange(painter, QColor(0x3E, 0x78, 0xB4, 190), farRidge, 1280, 720);
    drawRange(painter, Colour::bar, nearRidge, 1280, 720);
}

// Low, dim hills: a hint of landscape that stays behind the words.
void drawQuietHills(QPainter& painter) {
    constexpr std::array<qreal, 14> farHills{0,   690, 180, 660, 360, 682,  560,
                                             646, 760, 676, 900, 656, 1024, 668};
    constexpr std::array<qreal, 12> nearHills{0,   724, 220, 702, 430,  722,
                                              640, 700, 860, 720, 1024, 706};
    drawRange(painter, QColor(0x1D, 0x48, 0x7A, 120), farHills, 1024, 768);
    drawRange(painter, QColor(0x09, 0x19, 0x33, 150), nearHills, 1024, 768);
}

void drawMissingPictureSign(QPainter& painter) {
    const QRectF photo(398, 136, 228, 172);
    painter.setPen(roundPen(Colour::frame, 8));
    painter.setBrush(QColor(0x8D, 0xB3, 0xDB, 28));
    painter.drawRoundedRect(photo, 20, 20);
    drawFaded(painter, 0.8, [&](QPainter& layer) {
        drawEmblem(layer, emblemBox(photo.center() + QPointF(-6, 4), 136), false);
    });

    const QPointF badge = photo.bottomRight() - QPointF(6, 6);
    constexpr qreal badgeRadius = 38;
    painter.setPen(QPen(Colour::calmTop.lighter(130), 10));
    painter.setBrush(Colour::sun);
    painter.drawEllipse(badge, badgeRadius, badgeRadius);
    painter.setPen(roundPen(Colour::bar, 9));
    painter.drawLine(badge + QPointF(0, -18), badge + QPointF(0, 4));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Colour::bar);
    painter.drawEllipse(badge + QPointF(0, 18), 5.5, 5.5);
}

void drawFooterBrand(QPainter& painter, qreal centreX, qreal baseline, qreal opacity) {
    const QFont font = face(24, QFont::Bold);
    constexpr qreal emblemWidth = 40;
    constexpr qreal gap = 10;
    const qreal groupWidth = emblemWidth + gap + brandNameWidth(font);
    const qreal left = centreX - groupWidth / 2;
    const qreal capsMiddle = baseline - QFontMetricsF(font).capHeight() / 2;
    drawFaded(painter, opacity, [&](QPainter& layer) {
        drawEmblem(layer, emblemBox({left + emblemWidth / 2, capsMiddle}, emblemWidth), false);
        drawBrandName(layer, font, {left + emblemWidth + gap, baseline});
    });
}

// Shared by the error picture and the GIF placeholder: drawn for 1024 x 768
// and scaled to `size` (which should keep the 4:3 shape).
QImage notAvailablePicture(QSize size, const QString& english, const QString& italian) {
    QImage image = blankCanvas(size, Colour::calmTop);
    QPainter painter(&image);
    useSmoothPainting(painter);
    painter.scale(size.width() / 1024.0, size.height() / 768.0);
    fillVerticalGradient(painter, QRectF(0, 0, 1024, 768),
                         {{0, Colour::calmTop}, {1, Colour::calmBottom}});
    drawQuietHills(painter);
    drawMissingPictureSign(painter);

    constexpr qreal textWidthLimit = 900;
    drawCentredText(painter, english, fittedFace(english, 42, textWidthLimit, QFont::Bold),
                    Colour::ink, 512, 432);
    painter.setPen(roundPen(QColor(0x5B, 0xB8, 0xFF, 150), 3));
    painter.drawLine(QPointF(472, 474), QPointF(552, 474));
    drawCentredText(painter, italian, fittedFace(italian, 40, textWidthLimit), Colour::skyLight,
                    512, 532);
    drawFooterBrand(painter, 512, 660, 0.6);
    painter.end();
    return opaque(image);
}

void drawCheckBadge(QPainter& painter, QPointF centre, qreal radius) {
    QLinearGradient disc(centre - QPointF(0, radius), centre + QPointF(0, radius));
    disc.setColorAt(0, Colour::go);
    disc.setColorAt(1, Colour::goDeep);
    painter.setPen(Qt::NoPen);
    painter.setBrush(disc);
    painter.drawEllipse(centre, radius, radius);
    const qreal u = radius / 44;
    QPainterPath tick;
    tick.moveTo(centre + QPointF(-20, 1) * u);
    tick.lineTo(centre + QPointF(-6, 15) * u);
    tick.lineTo(centre + QPointF(21, -13) * u);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(roundPen(Colour::ink, 9 * u));
    painter.drawPath(tick);
}

} // namespace

namespace Paint {
void useSmoothPainting(QPainter& painter) {
    Artwork::useSmoothPainting(painter);
}
QPen roundPen(const QColor& colour, qreal width) {
    return Artwork::roundPen(colour, width);
}
QFont face(int pixelSize, QFont::Weight weight) {
    return Artwork::face(pixelSize, weight);
}
void drawEmblem(QPainter& painter, const QRectF& box, bool detailed) {
    Artwork::drawEmblem(painter, box, detailed);
}
QRectF emblemBox(QPointF centre, qreal width) {
    return Artwork::emblemBox(centre, width);
}
QPainterPath cloudShape() {
    return Artwork::cloudShape();
}
QPainterPath gearShape(QPointF centre, qreal outer, qreal root, int teeth, qreal hole) {
    return Artwork::gearShape(centre, outer, root, teeth, hole);
}
void drawHourglass(QPainter& painter, QPointF centre) {
    Artwork::drawHourglass(painter, centre);
}
void drawArrowHead(QPainter& painter, QPointF tip, QPointF direction, qreal size,
                   const QColor& colour) {
    Artwork::drawArrowHead(painter, tip, direction, size, colour);
}
void drawQuietHills(QPainter& painter) {
    Artwork::drawQuietHills(painter);
}
} // namespace Paint

bool loadFonts() {
    static const std::array files{"DejaVuSans.ttf", "DejaVuSans-Bold.ttf",
                                  "DejaVuSans-ExtraLight.ttf"};
    for (const char* file : files)
        if (QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/fonts/truetype/dejavu/") +
                                              QLatin1String(file)) < 0)
            return false;
    return true;
}

QImage programLogo() {
    QImage image = blankCanvas({1280, 720}, Colour::nightSky);
    QPainter painter(&image);
    useSmoothPainting(painter);
    fillVerticalGradient(painter, QRectF(0, 0, 1280, 720),
                         {{0, Colour::nightSky}, {0.62, Colour::daySky}, {1, Colour::horizon}});
    drawEmblem(painter, emblemBox({640, 196}, 300), true);

    const QFont nameFont = face(132, QFont::Bold);
    const QPointF nameAt(640 - brandNameWidth(nameFont) / 2, 452);
    painter.setOpacity(0.35);
    drawBrandName(painter, nameFont, nameAt + QPointF(0, 4), Colour::bar, Colour::bar);
    painter.setOpacity(1);
    drawBrandName(painter, nameFont, nameAt);

    QFont subtitle = face(38, QFont::ExtraLight);
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 7);
    drawCentredText(painter, QStringLiteral("weather slide show"), subtitle, Colour::ink, 640, 524);
    drawLogoMountains(painter);
    painter.end();
    return opaque(image);
}

QImage setupButton() {
    QImage image = barPiece(wideButtonWidth);
    QPainter painter(&image);
    useSmoothPainting(painter);
    drawKey(painter, image.size());
    painter.setPen(Qt::NoPen);
    painter.setBrush(Colour::ink);
    painter.drawPath(gearShape({18, 16}, 8.8, 6.3, 8, 2.8));
    drawCaption(painter, QStringLiteral("Setup"), 30, wideButtonWidth - 4);
    painter.end();
    return opaque(image);
}

QImage waitSign() {
    QImage image = barPiece(wideButtonWidth);
    QPainter painter(&image);
    useSmoothPainting(painter);
    drawHourglass(painter, {18, 16});
    drawCaption(painter, QStringLiteral("Wait"), 30, wideButtonWidth - 4);
    painter.end();
    return opaque(image);
}

QImage logoBar() {
    QImage image = barPiece(logoBarWidth);
    QPainter painter(&image);
    useSmoothPainting(painter);
    const QFont font = face(19, QFont::Bold);
    constexpr qreal emblemWidth = 36;
    constexpr qreal gap = 8;
    const qreal left = (logoBarWidth - emblemWidth - gap - brandNameWidth(font)) / 2;
    drawEmblem(painter, emblemBox({left + emblemWidth / 2, 16}, emblemWidth), false);
    drawBrandName(painter, font,
                  {left + emblemWidth + gap, baselineForCapsCentredAt(font, barHeight / 2.0)});
    painter.end();
    return opaque(image);
}

QImage exitButton() {
    QImage image = barPiece(barHeight);
    QPainter painter(&image);
    useSmoothPainting(painter);
    drawKey(painter, image.size());
    const QPointF centre(16, 16.5);
    constexpr qreal radius = 7;
    QPainterPath ring;
    ring.arcMoveTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 125);
    ring.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 125, 290);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(roundPen(Colour::stop, 2.4));
    painter.drawPath(ring);
    painter.drawLine(centre + QPointF(0, -9), centre + QPointF(0, -2));
    painter.end();
    return opaque(image);
}

QImage helpButton() {
    QImage image = barPiece(barHeight);
    QPainter painter(&image);
    useSmoothPainting(painter);
    drawKey(painter, image.size());
    const QFont font = face(19, QFont::Bold);
    drawCentredText(painter, QStringLiteral("?"), font, Colour::sky, 16,
                    baselineForCapsCentredAt(font, 16));
    painter.end();
    return opaque(image);
}

QImage animationSign() {
    QImage image = barPiece(barHeight);
    QPainter painter(&image);
    useSmoothPainting(painter);
    const QPointF centre(15.5, 16);
    constexpr qreal radius = 9;
    constexpr qreal start = 70;
    constexpr qreal sweep = 290;
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath loop;
    loop.arcMoveTo(circle, start);
    loop.arcTo(circle, start, sweep - 14);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(roundPen(Colour::sky, 2.2));
    painter.drawPath(loop);
    const qreal end = start + sweep;
    const QPointF tip = onCircle(centre, radius, end);
    const QPointF tangent = onCircle({}, 1, end + 90);
    drawArrowHead(painter, tip, tangent, 4.2, Colour::sky);

    QPainterPath play;
    play.moveTo(centre + QPointF(-3.2, -5));
    play.lineTo(centre + QPointF(-3.2, 5));
    play.lineTo(centre + QPointF(5, 0));
    play.closeSubpath();
    painter.setPen(roundPen(Colour::ink, 1.4));
    painter.setBrush(Colour::ink);
    painter.drawPath(play);
    painter.end();
    return opaque(image);
}

QImage connectedIcon() {
    QImage image = barPiece(barHeight);
    QPainter painter(&image);
    useSmoothPainting(painter);
    drawSignalBars(painter, Colour::go);
    painter.end();
    return opaque(image);
}

QImage disconnectedIcon() {
    QImage image = barPiece(barHeight);
    QPainter painter(&image);
    useSmoothPainting(painter);
    drawSignalBars(painter, Colour::dim);
    const QPointF badge(9.5, 9.5);
    painter.setPen(QPen(Colour::bar, 1.5));
    painter.setBrush(Colour::stop);
    painter.drawEllipse(badge, 6.5, 6.5);
    painter.setPen(roundPen(Colour::ink, 1.8));
    painter.drawLine(badge + QPointF(-2.6, -2.6), badge + QPointF(2.6, 2.6));
    painter.drawLine(badge + QPointF(-2.6, 2.6), badge + QPointF(2.6, -2.6));
    painter.end();
    return opaque(image);
}

QImage resourceNotAvailable() {
    return notAvailablePicture({1024, 768}, QStringLiteral("Image or web resource not available"),
                               QStringLiteral("Immagine o risorsa web non disponibile"));
}

QImage pictureNotAvailable(QSize size) {
    return notAvailablePicture(size, QStringLiteral("Picture not available"),
                               QStringLiteral("Immagine non disponibile"));
}

QImage picturesUpdatedNotice() {
    constexpr QSize size(600, 200);
    QImage image = blankCanvas(size, Colour::bar);
    QPainter painter(&image);
    useSmoothPainting(painter);
    fillVerticalGradient(painter, QRectF(QPointF(0, 0), size),
                         {{0, Colour::keyBottom.lighter(115)}, {1, Colour::bar}});
    painter.setPen(QPen(Colour::keyEdge, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(1, 1, size.width() - 2, size.height() - 2));
    drawCheckBadge(painter, {88, 100}, 48);

    const QString italian = QStringLiteral("Immagini aggiornate");
    const QString english = QStringLiteral("Pictures updated");
    constexpr qreal textLeft = 162;
    const qreal room = size.width() - textLeft - 36;
    drawText(painter, italian, fittedFace(italian, 40, room, QFont::Bold), Colour::ink,
             {textLeft, 92});
    drawText(painter, english, fittedFace(english, 32, room), Colour::skyLight, {textLeft, 142});
    painter.end();
    return opaque(image);
}

} // namespace Artwork

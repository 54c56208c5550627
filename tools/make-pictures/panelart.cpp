#include "panelart.h"

#include "paint.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>
#include <array>

namespace PanelArt {
namespace {

using namespace Artwork::Paint;

constexpr qreal kSide = iconSize;
constexpr QPointF kCentre(kSide / 2, kSide / 2);

// ---- the key every icon sits on -----------------------------------------------

QImage transparentCanvas(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void drawIconKey(QPainter& painter) {
    const QRectF key(4, 5, kSide - 8, kSide - 9);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x03, 0x0C, 0x1C, 110));
    painter.drawRoundedRect(key.translated(0, 3), 20, 20);
    QLinearGradient face(key.topLeft(), key.bottomLeft());
    face.setColorAt(0, Colour::keyTop.lighter(112));
    face.setColorAt(1, Colour::keyBottom);
    painter.setPen(QPen(Colour::keyEdge, 2));
    painter.setBrush(face);
    painter.drawRoundedRect(key, 20, 20);
    painter.setPen(roundPen(QColor(255, 255, 255, 60), 2));
    painter.drawLine(QPointF(key.left() + 18, key.top() + 3),
                     QPointF(key.right() - 18, key.top() + 3));
}

QImage iconWith(const std::function<void(QPainter&)>& glyph) {
    QImage image = transparentCanvas({iconSize, iconSize});
    QPainter painter(&image);
    useSmoothPainting(painter);
    drawIconKey(painter);
    glyph(painter);
    painter.end();
    return image;
}

// The grey twin shown while an action is not available.
QImage greyed(const QImage& colour) {
    QImage grey = colour.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = qGray(line[x]) * 3 / 4 + 20;
            line[x] = qRgba(level, level, level + 8, qAlpha(line[x]));
        }
    }
    return grey;
}

// A small round badge at the key's lower right, for "add", "remove" and the
// like.
void drawBadge(QPainter& painter, const QColor& colour, const std::function<void(QPointF)>& mark) {
    const QPointF at(70, 70);
    painter.setPen(QPen(Colour::keyBottom, 3));
    painter.setBrush(colour);
    painter.drawEllipse(at, 15, 15);
    mark(at);
}

void plusMark(QPainter& painter, QPointF at) {
    painter.setPen(roundPen(Colour::ink, 4.5));
    painter.drawLine(at + QPointF(-7, 0), at + QPointF(7, 0));
    painter.drawLine(at + QPointF(0, -7), at + QPointF(0, 7));
}

void crossMark(QPainter& painter, QPointF at) {
    painter.setPen(roundPen(Colour::ink, 4.5));
    painter.drawLine(at + QPointF(-5.5, -5.5), at + QPointF(5.5, 5.5));
    painter.drawLine(at + QPointF(-5.5, 5.5), at + QPointF(5.5, -5.5));
}

void drawArrow(QPainter& painter, QPointF from, QPointF to, qreal width, const QColor& colour) {
    const QPointF direction = to - from;
    const qreal length = std::hypot(direction.x(), direction.y());
    const QPointF shaftEnd = to - direction / length * (width * 1.6);
    painter.setPen(roundPen(colour, width));
    painter.drawLine(from, shaftEnd);
    drawArrowHead(painter, to, direction, width * 2.2, colour);
}

// ---- glyphs -------------------------------------------------------------------

void drawStopwatch(QPainter& painter, QPointF centre, qreal radius) {
    painter.setPen(roundPen(Colour::ink, 5));
    painter.setBrush(QColor(0xFF, 0xFF, 0xFF, 30));
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(roundPen(Colour::ink, 6));
    painter.drawLine(centre + QPointF(0, -radius - 3), centre + QPointF(0, -radius - 8));
    painter.drawLine(centre + QPointF(-6, -radius - 10), centre + QPointF(6, -radius - 10));
    painter.setPen(roundPen(Colour::skyLight, 2.5));
    for (int tick = 0; tick < 12; ++tick) {
        const qreal a = qDegreesToRadians(tick * 30.0);
        const QPointF direction(qSin(a), -qCos(a));
        painter.drawLine(centre + direction * (radius - 7), centre + direction * (radius - 3));
    }
    painter.setPen(roundPen(Colour::sun, 5));
    painter.drawLine(centre, centre + QPointF(0, -radius + 9));
    painter.drawLine(centre, centre + QPointF(radius * 0.45, radius * 0.2));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Colour::sun);
    painter.drawEllipse(centre, 4.5, 4.5);
}

// A photo: a frame with a sun and a hill inside.
void drawPhoto(QPainter& painter, const QRectF& frame) {
    painter.save();
    QPainterPath clip;
    clip.addRoundedRect(frame, 6, 6);
    painter.setClipPath(clip);
    QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
    sky.setColorAt(0, Colour::daySky);
    sky.setColorAt(1, Colour::horizon);
    painter.fillRect(frame, sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Colour::sun);
    painter.drawEllipse(frame.topLeft() + QPointF(frame.width() * 0.72, frame.height() * 0.32),
                        frame.height() * 0.14, frame.height() * 0.14);
    QPainterPath hills;
    hills.moveTo(frame.bottomLeft());
    hills.lineTo(frame.left(), frame.top() + frame.height() * 0.72);
    hills.quadTo(frame.left() + frame.width() * 0.3, frame.top() + frame.height() * 0.42,
                 frame.left() + frame.width() * 0.55, frame.top() + frame.height() * 0.7);
    hills.quadTo(frame.left() + frame.width() * 0.8, frame.top() + frame.height() * 0.55,
                 frame.right(), frame.top() + frame.height() * 0.68);
    hills.lineTo(frame.bottomRight());
    hills.closeSubpath();
    painter.setBrush(Colour::goDeep);
    painter.drawPath(hills);
    painter.restore();
    painter.setPen(QPen(Colour::ink, 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame, 6, 6);
}

void drawFolder(QPainter& painter) {
    QPainterPath back;
    back.moveTo(20, 32);
    back.lineTo(40, 32);
    back.lineTo(46, 38);
    back.lineTo(76, 38);
    back.lineTo(76, 72);
    back.lineTo(20, 72);
    back.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Colour::sunDeep);
    painter.drawPath(back);
    QLinearGradient front(QPointF(0, 44), QPointF(0, 74));
    front.setColorAt(0, Colour::sun.lighter(110));
    front.setColorAt(1, Colour::sun);
    painter.setBrush(front);
    painter.drawRoundedRect(QRectF(18, 44, 60, 30), 4, 4);
}

void drawScreen(QPainter& painter, const QRectF& screen) {
    painter.setPen(QPen(Colour::ink, 4.5));
    painter.setBrush(QColor(0x0A, 0x22, 0x4C));
    painter.drawRoundedRect(screen, 4, 4);
    painter.setPen(roundPen(Colour::ink, 4.5));
    const qreal middle = screen.center().x();
    painter.drawLine(QPointF(middle, screen.bottom() + 2), QPointF(middle, screen.bottom() + 9));
    painter.drawLine(QPointF(middle - 12, screen.bottom() + 10),
                     QPointF(middle + 12, screen.bottom() + 10));
}

void drawLetter(QPainter& painter, const QString& letter, int pixelSize, const QColor& colour,
                QPointF centre) {
    const QFont font = face(pixelSize, QFont::Bold);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(centre.x() - metrics.horizontalAdvance(letter) / 2,
                             centre.y() + metrics.capHeight() / 2),
                     letter);
}

// ---- icons --------------------------------------------------------------------

QImage timersHub() {
    return iconWith([](QPainter& p) { drawStopwatch(p, {48, 53}, 24); });
}

QImage setupHub() {
    return iconWith([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::ink);
        p.drawPath(gearShape(kCentre, 29, 21.5, 8, 9));
        p.setBrush(Colour::sky);
        p.drawEllipse(kCentre, 5, 5);
    });
}

QImage picturesHub() {
    return iconWith([](QPainter& p) {
        p.save();
        p.translate(48, 48);
        p.rotate(-8);
        p.translate(-48, -48);
        p.setPen(QPen(Colour::frame, 3));
        p.setBrush(Colour::keyBottom);
        p.drawRoundedRect(QRectF(22, 22, 50, 40), 6, 6);
        p.restore();
        drawPhoto(p, QRectF(24, 32, 52, 40));
    });
}

QImage runExitHub() {
    return iconWith([](QPainter& p) {
        QPainterPath play;
        play.moveTo(32, 24);
        play.lineTo(32, 68);
        play.lineTo(68, 46);
        play.closeSubpath();
        p.setPen(roundPen(Colour::go, 6));
        p.setBrush(Colour::go);
        p.drawPath(play);
        drawBadge(p, Colour::stop, [&p](QPointF at) {
            p.setPen(roundPen(Colour::ink, 3));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(at.x() - 7, at.y() - 6, 14, 14), 125 * 16, 290 * 16);
            p.drawLine(at + QPointF(0, -9), at + QPointF(0, -1));
        });
    });
}

QImage toolsHub() {
    return iconWith([](QPainter& p) {
        const std::array<QColor, 4> colours{Colour::sky, Colour::go, Colour::sun, Colour::ink};
        for (int i = 0; i < 4; ++i) {
            const QRectF cell(24 + (i % 2) * 26, 24 + (i / 2) * 26, 22, 22);
            p.setPen(Qt::NoPen);
            p.setBrush(colours[static_cast<std::size_t>(i)]);
            p.drawRoundedRect(cell, 6, 6);
        }
    });
}

QImage remoteHelp() {
    return iconWith([](QPainter& p) {
        p.setPen(roundPen(Colour::ink, 6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(24, 20, 48, 48), 10 * 16, 160 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::sky);
        p.drawRoundedRect(QRectF(19, 42, 14, 24), 6, 6);
        p.drawRoundedRect(QRectF(63, 42, 14, 24), 6, 6);
        p.setPen(roundPen(Colour::ink, 4));
        QPainterPath boom;
        boom.moveTo(70, 64);
        boom.quadTo(68, 76, 54, 76);
        p.drawPath(boom);
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::sun);
        p.drawEllipse(QPointF(51, 76), 5, 5);
    });
}

QImage language() {
    return iconWith([](QPainter& p) {
        const QPointF centre(48, 48);
        constexpr qreal r = 27;
        QRadialGradient sea(centre - QPointF(8, 8), r * 1.4);
        sea.setColorAt(0, Colour::sky);
        sea.setColorAt(1, Colour::daySky);
        p.setPen(Qt::NoPen);
        p.setBrush(sea);
        p.drawEllipse(centre, r, r);
        p.setPen(roundPen(Colour::ink, 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, r, r);
        p.drawEllipse(centre, r * 0.42, r);
        p.drawLine(centre + QPointF(0, -r), centre + QPointF(0, r));
        p.drawLine(centre + QPointF(-r, 0), centre + QPointF(r, 0));
        p.drawLine(centre + QPointF(-r * 0.86, -r * 0.5), centre + QPointF(r * 0.86, -r * 0.5));
        p.drawLine(centre + QPointF(-r * 0.86, r * 0.5), centre + QPointF(r * 0.86, r * 0.5));
    });
}

QImage start() {
    return iconWith([](QPainter& p) {
        QLinearGradient disc(QPointF(0, 20), QPointF(0, 76));
        disc.setColorAt(0, Colour::go);
        disc.setColorAt(1, Colour::goDeep);
        p.setPen(Qt::NoPen);
        p.setBrush(disc);
        p.drawEllipse(kCentre, 29, 29);
        QPainterPath play;
        play.moveTo(40, 33);
        play.lineTo(40, 63);
        play.lineTo(64, 48);
        play.closeSubpath();
        p.setPen(roundPen(Colour::ink, 4));
        p.setBrush(Colour::ink);
        p.drawPath(play);
    });
}

QImage quit() {
    return iconWith([](QPainter& p) {
        p.setPen(roundPen(Colour::stop, 7));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(26, 28, 44, 44), 125 * 16, 290 * 16);
        p.drawLine(QPointF(48, 20), QPointF(48, 46));
    });
}

QImage save() {
    return iconWith([](QPainter& p) {
        QPainterPath body;
        body.moveTo(22, 22);
        body.lineTo(64, 22);
        body.lineTo(74, 32);
        body.lineTo(74, 74);
        body.lineTo(22, 74);
        body.closeSubpath();
        p.setPen(roundPen(Colour::sky.darker(115), 3));
        p.setBrush(Colour::sky);
        p.drawPath(body);
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::keyBottom);
        p.drawRoundedRect(QRectF(32, 22, 28, 18), 2, 2);
        p.setBrush(Colour::sky);
        p.drawRect(QRectF(50, 25, 6, 12));
        p.setBrush(Colour::ink);
        p.drawRoundedRect(QRectF(30, 50, 36, 20), 3, 3);
        p.setPen(roundPen(Colour::frame, 2));
        p.drawLine(QPointF(35, 57), QPointF(61, 57));
        p.drawLine(QPointF(35, 63), QPointF(55, 63));
    });
}

QImage cleanup() {
    return iconWith([](QPainter& p) {
        p.setPen(roundPen(Colour::ink, 5));
        p.drawLine(QPointF(24, 30), QPointF(72, 30));
        p.drawLine(QPointF(40, 30), QPointF(42, 23));
        p.drawLine(QPointF(42, 23), QPointF(54, 23));
        p.drawLine(QPointF(54, 23), QPointF(56, 30));
        QPainterPath can;
        can.moveTo(29, 36);
        can.lineTo(67, 36);
        can.lineTo(63, 75);
        can.lineTo(33, 75);
        can.closeSubpath();
        p.setPen(roundPen(Colour::ink, 4));
        p.setBrush(QColor(0xFF, 0xFF, 0xFF, 28));
        p.drawPath(can);
        p.setPen(roundPen(Colour::skyLight, 3.5));
        for (qreal x : {40.0, 48.0, 56.0}) {
            p.drawLine(QPointF(x, 44), QPointF(x, 67));
        }
        p.setPen(roundPen(Colour::sun, 3));
        const QPointF spark(74, 20);
        p.drawLine(spark + QPointF(-6, 0), spark + QPointF(6, 0));
        p.drawLine(spark + QPointF(0, -6), spark + QPointF(0, 6));
    });
}

QImage connection() {
    return iconWith([](QPainter& p) {
        constexpr std::array<int, 4> heights{14, 24, 34, 44};
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::go);
        for (std::size_t bar = 0; bar < heights.size(); ++bar) {
            const qreal left = 22 + static_cast<qreal>(bar) * 14;
            p.drawRoundedRect(QRectF(left, 72 - heights[bar], 10, heights[bar]), 3, 3);
        }
        p.setPen(roundPen(Colour::ink, 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(56, 16, 24, 24), 0, 360 * 16);
        p.drawLine(QPointF(56, 28), QPointF(80, 28));
        p.drawEllipse(QRectF(63, 16, 10, 24));
    });
}

QImage backupCollection() {
    return iconWith([](QPainter& p) {
        drawFolder(p);
        drawArrow(p, QPointF(48, 20), QPointF(48, 66), 6, Colour::bar);
    });
}

QImage loadCollection() {
    return iconWith([](QPainter& p) {
        drawFolder(p);
        drawArrow(p, QPointF(48, 68), QPointF(48, 22), 6, Colour::bar);
    });
}

QImage waitIcon() {
    return iconWith([](QPainter& p) {
        p.translate(48, 48);
        p.scale(2.6, 2.6);
        drawHourglass(p, QPointF(0, 0));
    });
}

QImage ownPicture() {
    return iconWith([](QPainter& p) {
        drawPhoto(p, QRectF(18, 22, 54, 42));
        drawBadge(p, Colour::go, [&p](QPointF at) { plusMark(p, at); });
    });
}

QImage removeOwnPicture() {
    return iconWith([](QPainter& p) {
        drawPhoto(p, QRectF(18, 22, 54, 42));
        drawBadge(p, Colour::stop, [&p](QPointF at) { crossMark(p, at); });
    });
}

QImage help() {
    return iconWith([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::sky);
        p.drawEllipse(kCentre, 28, 28);
        drawLetter(p, QStringLiteral("?"), 42, Colour::bar, kCentre);
    });
}

QImage info() {
    return iconWith([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::ink);
        p.drawEllipse(kCentre, 28, 28);
        p.setBrush(Colour::daySky);
        p.drawEllipse(QPointF(48, 33), 5, 5);
        p.drawRoundedRect(QRectF(43.5, 42, 9, 26), 3, 3);
    });
}

QImage town() {
    return iconWith([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::frame);
        const std::array<QRectF, 4> houses{QRectF(18, 50, 14, 24), QRectF(32, 40, 12, 34),
                                           QRectF(62, 46, 16, 28), QRectF(50, 56, 12, 18)};
        for (const QRectF& house : houses) {
            p.drawRect(house);
        }
        QPainterPath pin;
        const QPointF head(48, 36);
        pin.addEllipse(head, 16, 16);
        QPainterPath tip;
        tip.moveTo(head + QPointF(-13, 9));
        tip.lineTo(head + QPointF(0, 38));
        tip.lineTo(head + QPointF(13, 9));
        tip.closeSubpath();
        pin = pin.united(tip);
        p.setPen(QPen(Colour::keyBottom, 3));
        p.setBrush(Colour::stop);
        p.drawPath(pin);
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::ink);
        p.drawEllipse(head, 6, 6);
    });
}

QImage slideTimer() {
    return iconWith([](QPainter& p) {
        p.setPen(QPen(Colour::frame, 3));
        p.setBrush(Colour::keyBottom);
        p.drawRoundedRect(QRectF(16, 20, 46, 36), 5, 5);
        drawPhoto(p, QRectF(22, 28, 46, 36));
        p.setPen(QPen(Colour::keyBottom, 3));
        p.setBrush(Colour::ink);
        p.drawEllipse(QPointF(68, 66), 16, 16);
        p.setPen(roundPen(Colour::bar, 3.5));
        p.drawLine(QPointF(68, 66), QPointF(68, 56));
        p.drawLine(QPointF(68, 66), QPointF(75, 69));
    });
}

QImage downloadTimer() {
    return iconWith([](QPainter& p) {
        p.save();
        p.translate(14, 14);
        p.scale(0.68, 0.68);
        p.setPen(Qt::NoPen);
        p.setBrush(Colour::cloud);
        p.drawPath(cloudShape());
        p.restore();
        drawArrow(p, QPointF(48, 38), QPointF(48, 80), 6, Colour::sky);
    });
}

QImage displayMode() {
    return iconWith([](QPainter& p) {
        drawScreen(p, QRectF(18, 20, 60, 42));
        p.setPen(roundPen(Colour::sun, 4));
        const QRectF inner(28, 28, 40, 26);
        const qreal l = 8;
        p.drawLine(inner.topLeft(), inner.topLeft() + QPointF(l, 0));
        p.drawLine(inner.topLeft(), inner.topLeft() + QPointF(0, l));
        p.drawLine(inner.topRight(), inner.topRight() + QPointF(-l, 0));
        p.drawLine(inner.topRight(), inner.topRight() + QPointF(0, l));
        p.drawLine(inner.bottomLeft(), inner.bottomLeft() + QPointF(l, 0));
        p.drawLine(inner.bottomLeft(), inner.bottomLeft() + QPointF(0, -l));
        p.drawLine(inner.bottomRight(), inner.bottomRight() + QPointF(-l, 0));
        p.drawLine(inner.bottomRight(), inner.bottomRight() + QPointF(0, -l));
    });
}

QImage clearList() {
    return iconWith([](QPainter& p) {
        p.setPen(roundPen(Colour::ink, 5));
        for (int row = 0; row < 3; ++row) {
            const qreal y = 30 + row * 14;
            p.drawLine(QPointF(22, y), QPointF(26, y));
            p.drawLine(QPointF(34, y), QPointF(64, y));
        }
        drawBadge(p, Colour::stop, [&p](QPointF at) { crossMark(p, at); });
    });
}

// ---- tab backgrounds ----------------------------------------------------------

// In twips: where the navigation strip starts and where the picture starts.
constexpr qreal kStripTopTwips = 3990;
constexpr qreal kPictureTopTwips = 500;
constexpr qreal kPixelsPerTwip = backgroundWidth / 7095.0;

qreal toPicture(qreal twips) {
    return twips * kPixelsPerTwip;
}

void drawStripBand(QPainter& painter) {
    const qreal top = toPicture(kStripTopTwips - kPictureTopTwips);
    const QRectF band(0, top, backgroundWidth, backgroundHeight - top);
    QLinearGradient shade(band.topLeft(), band.bottomLeft());
    shade.setColorAt(0, QColor(0x06, 0x12, 0x28, 200));
    shade.setColorAt(1, QColor(0x06, 0x12, 0x28, 235));
    painter.fillRect(band, shade);
    painter.setPen(QPen(QColor(0x5B, 0xB8, 0xFF, 110), 2));
    painter.drawLine(band.topLeft(), band.topRight());
}

void drawSoftPanel(QPainter& painter, const QRectF& twips) {
    const QRectF area(toPicture(twips.left()), toPicture(twips.top() - kPictureTopTwips),
                      toPicture(twips.width()), toPicture(twips.height()));
    painter.setPen(QPen(QColor(0x5B, 0xB8, 0xFF, 70), 2));
    painter.setBrush(QColor(0xFF, 0xFF, 0xFF, 14));
    painter.drawRoundedRect(area, 14, 14);
}

QImage background(int tab) {
    QImage image(backgroundWidth, backgroundHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    useSmoothPainting(painter);
    QLinearGradient sky(QPointF(0, 0), QPointF(0, backgroundHeight));
    sky.setColorAt(0, Colour::calmTop);
    sky.setColorAt(1, Colour::calmBottom);
    painter.fillRect(image.rect(), sky);

    painter.save();
    painter.scale(backgroundWidth / 1024.0, backgroundHeight / 768.0);
    drawQuietHills(painter);
    painter.restore();

    painter.save();
    painter.setOpacity(0.07);
    drawEmblem(painter, emblemBox({backgroundWidth - 150.0, 110}, 300), false);
    painter.restore();

    const bool hasStrip = tab == 0 || tab == 1 || tab == 3;
    if (hasStrip) {
        drawStripBand(painter);
    }
    switch (tab) {
    case 2:
        drawSoftPanel(painter, QRectF(4620, 620, 2400, 3820));
        break;
    case 3:
        drawSoftPanel(painter, QRectF(200, 980, 3880, 2900));
        break;
    case 4:
        drawSoftPanel(painter, QRectF(3380, 800, 3620, 4180));
        break;
    default:
        break;
    }
    painter.end();
    return image;
}

} // namespace

std::vector<Picture> pictures() {
    std::vector<Picture> all = {
        {QStringLiteral("IcoSwapSST0.png"), timersHub},
        {QStringLiteral("IcoSwapSST1.png"), setupHub},
        {QStringLiteral("IcoSwapSST2.png"), picturesHub},
        {QStringLiteral("IcoSwapSST3.png"), runExitHub},
        {QStringLiteral("Image3.png"), toolsHub},
        {QStringLiteral("RunTeamViewer.png"), remoteHelp},
        {QStringLiteral("IcoSwapSST6.png"), language},
        {QStringLiteral("SSTCfg_cmdConferma.png"), start},
        {QStringLiteral("SSTCfg_cmdConferma_BW.png"), [] { return greyed(start()); }},
        {QStringLiteral("SSTCfg_ExitProgram.png"), quit},
        {QStringLiteral("SSTCfg_ExitProgram_BW.png"), [] { return greyed(quit()); }},
        {QStringLiteral("SSTCfg_salvaConfig.png"), save},
        {QStringLiteral("Cleanup.png"), cleanup},
        {QStringLiteral("Connection.png"), connection},
        {QStringLiteral("SSTCfg_BackUpcnf.png"), backupCollection},
        {QStringLiteral("SSTCfg_Loadcnf.png"), loadCollection},
        {QStringLiteral("Wait_Ico.png"), waitIcon},
        {QStringLiteral("SSTCfg_FileUser.png"), ownPicture},
        {QStringLiteral("SSTCfg_resetUserImg.png"), removeOwnPicture},
        {QStringLiteral("PanelHelp.png"), help},
        {QStringLiteral("infoStatusBar.png"), info},
        {QStringLiteral("YourTownIco.png"), town},
        {QStringLiteral("SSTCfg_Aggiorna.png"), slideTimer},
        {QStringLiteral("SSTCfg_Download.png"), downloadTimer},
        {QStringLiteral("dyMode.png"), displayMode},
        {QStringLiteral("ClearListDB.png"), clearList},
    };
    for (int tab = 0; tab < 5; ++tab) {
        all.push_back(
            {QStringLiteral("PanelTab%1.png").arg(tab), [tab] { return background(tab); }});
    }
    return all;
}

} // namespace PanelArt

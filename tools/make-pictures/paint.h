#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

class QPainter;

// The palette and the shared shapes of the program's pictures, for the
// drawings that live outside artwork.cpp.
namespace Artwork::Paint {

namespace Colour {
inline const QColor bar(0x0D, 0x1F, 0x3C);
inline const QColor ink(0xEE, 0xF4, 0xFB);
inline const QColor sky(0x5B, 0xB8, 0xFF);
inline const QColor skyLight(0xA6, 0xD6, 0xFF);
inline const QColor sun(0xFF, 0xC8, 0x45);
inline const QColor sunDeep(0xFF, 0x9A, 0x1F);
inline const QColor go(0x3D, 0xD6, 0x86);
inline const QColor goDeep(0x1F, 0xA8, 0x62);
inline const QColor stop(0xFF, 0x5F, 0x5F);
inline const QColor dim(0x4A, 0x61, 0x85);
inline const QColor keyTop(0x27, 0x4E, 0x83);
inline const QColor keyBottom(0x17, 0x33, 0x5C);
inline const QColor keyEdge(0x3C, 0x6C, 0xA8);
inline const QColor cloud(0xFF, 0xFF, 0xFF);
inline const QColor cloudShade(0xD0, 0xE2, 0xF4);
inline const QColor nightSky(0x0A, 0x22, 0x4C);
inline const QColor daySky(0x2E, 0x72, 0xBE);
inline const QColor horizon(0x8A, 0xC6, 0xEE);
inline const QColor calmTop(0x0C, 0x21, 0x43);
inline const QColor calmBottom(0x17, 0x3E, 0x6B);
inline const QColor frame(0x8D, 0xB3, 0xDB);
} // namespace Colour

void useSmoothPainting(QPainter& painter);
QPen roundPen(const QColor& colour, qreal width);
QFont face(int pixelSize, QFont::Weight weight = QFont::Normal);
// The sun-behind-a-cloud emblem in `box` (5:4); `detailed` adds glow and rays.
void drawEmblem(QPainter& painter, const QRectF& box, bool detailed);
QRectF emblemBox(QPointF centre, qreal width);
// The cloud of the emblem alone, in its 100 x 80 design box.
QPainterPath cloudShape();
QPainterPath gearShape(QPointF centre, qreal outer, qreal root, int teeth, qreal hole);
// Drawn for a 32-pixel bar around `centre`; scale the painter for more.
void drawHourglass(QPainter& painter, QPointF centre);
void drawArrowHead(QPainter& painter, QPointF tip, QPointF direction, qreal size,
                   const QColor& colour);
// Low hills along the bottom of a 1024 x 768 picture.
void drawQuietHills(QPainter& painter);

} // namespace Artwork::Paint

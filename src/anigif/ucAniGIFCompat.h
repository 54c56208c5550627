#pragma once

// The compatibility surface of the animated-GIF control: the types and tables
// behind the members of ucAniGIF that a form host uses and the player does
// not need (the design-time picture, help strings, the mouse pointer, the
// colours, the property bag). Those members are in ucAniGIFCompat.cpp.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <Qt>
#include <optional>

class QPalette;

namespace anigif {

// A picture object as the AnimatedGIF property reads and takes it: the GIF
// bytes it was made from and the picture the platform loader made of them.
struct GifPicture {
    QByteArray gif;
    QImage image;
    bool isNull() const { return gif.isEmpty(); }
};

// The help string a property browser shows for a member ("" if none).
QString HelpString(const QString& member);

// The host's mouse-pointer numbers (1..15) as cursor shapes; none for 0
// (the default), 99 (the mouse icon) and unknown numbers.
std::optional<Qt::CursorShape> CursorShape(int pointer);

// A colour value as a QColor: 0x00BBGGRR (a high byte of 2 is a plain colour
// too), or a system colour (the high bit set, its index in the low byte)
// taken from the palette. None for a value that is no colour.
std::optional<QColor> ResolveColor(int value, const QPalette& palette);

// The property bag the control persists with its form: keys in the order
// written; a value equal to its default is not stored.
class PropertyBag {
public:
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    void WriteProperty(const QString& name, const QVariant& value,
                       const QVariant& defaultValue = {});
    bool contains(const QString& name) const;
    QStringList keys() const;
    void clear() { items_.clear(); }

private:
    QList<QPair<QString, QVariant>> items_;
};

} // namespace anigif

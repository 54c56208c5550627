#pragma once

// The animated-GIF control's tables that are no part of its behaviour: the
// help strings of its members, the mouse-pointer numbers as cursor shapes,
// and the property bag it persists with its form.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <Qt>
#include <optional>

namespace anigif {

// The help string a property browser shows for a member ("" if none).
QString HelpString(const QString& member);

// The host's mouse-pointer numbers (1..15) as cursor shapes; none for 0
// (the default), 99 (the mouse icon) and unknown numbers.
std::optional<Qt::CursorShape> CursorShape(int pointer);

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

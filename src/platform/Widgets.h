#pragma once

#include <QGuiApplication>
#include <QString>
#include <QWidget>
#include <cmath>

namespace platform {

// Rounds to the nearest whole number, halves to the even neighbour, as every
// layout and picture-size rule of the program does (the rounding mode of the
// floating-point unit, which is round-to-nearest-even unless changed).
inline double roundHalfEven(double value) {
    return std::nearbyint(value);
}

inline int roundHalfEvenToInt(double value) {
    return static_cast<int>(std::nearbyint(value));
}

// A new child widget that carries its control name, so the panel's layout table,
// the tests and the diagnostics find it by that name.
template <typename W> W* named(QWidget* parent, const QString& name) {
    auto* widget = new W(parent);
    widget->setObjectName(name);
    return widget;
}

// Under Wayland the compositor alone stacks and places top-level windows: a
// client can neither keep a window above the others nor say where it goes,
// and a compositor may keep the full-screen show over every other window of
// the program. What must be seen over the show is then drawn inside its
// window.
inline bool compositorStacksWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace platform

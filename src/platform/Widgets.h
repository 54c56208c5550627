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

// The first browser view shown makes Qt draw the window through the graphics
// stack from then on, and Qt builds the window anew for it: under Wayland the
// new window is no longer full screen. A window drawn that way from the start
// is never built anew. Called once the application is made, before its first
// window; a choice in the environment stands.
inline void drawThroughGraphicsStackUnderWayland() {
    if (compositorStacksWindows() && !qEnvironmentVariableIsSet("QT_WIDGETS_RHI")) {
        qputenv("QT_WIDGETS_RHI", "1");
    }
}

} // namespace platform

#include "platform/Twips.h"

#include <QVariant>
#include <QWidget>
#include <cmath>

namespace platform {

int twipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

void setGeometryTwips(QWidget* widget, int left, int top, int width, int height) {
    const QRect pixels(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                       twipsToPixels(height));
    widget->setGeometry(pixels);
    // Kept for as long as the widget stays where these twips put it.
    widget->setProperty("geometryTwips", QRect(left, top, width, height));
    widget->setProperty("geometryTwipsPixels", pixels);
}

QRect geometryTwips(const QWidget* widget) {
    const QRect g = widget->geometry();
    if (widget->property("geometryTwipsPixels").toRect() == g) {
        return widget->property("geometryTwips").toRect();
    }
    return {g.x() * kTwipsPerPixel, g.y() * kTwipsPerPixel, g.width() * kTwipsPerPixel,
            g.height() * kTwipsPerPixel};
}

// 1440 twips and 2540 HiMetric make an inch; the screen has 96 pixels in one.
double pixelsToHiMetric(double pixels) {
    return pixels * 2540.0 / 96.0;
}
double twipsToHiMetric(double twips) {
    return twips * 2540.0 / 1440.0;
}
double hiMetricToTwips(double hiMetric) {
    return hiMetric * 1440.0 / 2540.0;
}

} // namespace platform

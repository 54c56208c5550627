#pragma once

#include <QRect>

class QWidget;

// Screen positions and sizes of the window layout are in twips; 15 twips make
// one device-independent pixel. Widgets remember the exact twips they were
// given, since pixels are coarser.
namespace platform {

inline constexpr int kTwipsPerPixel = 15;

int twipsToPixels(double twips);
void setGeometryTwips(QWidget* widget, int left, int top, int width, int height);
QRect geometryTwips(const QWidget* widget);

// HiMetric (0.01 mm) at the 96 dots per inch of the screen.
double pixelsToHiMetric(double pixels);
double twipsToHiMetric(double twips);
double hiMetricToTwips(double hiMetric);

} // namespace platform

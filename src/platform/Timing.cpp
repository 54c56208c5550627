#include "Timing.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <cmath>
#include <cstdlib>

namespace platform {
namespace {

double scaleFromEnvironment() {
    const char* text = std::getenv("SKYGLANCE_TIME_SCALE");
    if (text == nullptr || *text == '\0') {
        return 1.0;
    }
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || !std::isfinite(value) || value <= 0.0 || value > 100.0) {
        return 1.0;
    }
    return value;
}

double& scaleSlot() {
    static double scale = scaleFromEnvironment();
    return scale;
}

} // namespace

double timeScale() {
    return scaleSlot();
}

void setTimeScale(double scale) {
    if (std::isfinite(scale) && scale > 0.0) {
        scaleSlot() = scale;
    }
}

int scaledMs(int ms) {
    if (ms <= 0) {
        return 0;
    }
    const double scaled = std::round(ms * timeScale());
    if (scaled < 1.0) {
        return 1;
    }
    if (scaled > 2147483647.0) {
        return 2147483647;
    }
    return static_cast<int>(scaled);
}

void letEventsRun() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void pauseLettingEventsRun(int ms) {
    QDeadlineTimer deadline(scaledMs(ms));
    do {
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        const qint64 left = deadline.remainingTime();
        if (left > 0) {
            QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 10)));
        }
    } while (!deadline.hasExpired());
}

} // namespace platform

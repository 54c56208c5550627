#pragma once

#include <QString>

// The settings the running show reads at every slide, as they stand in the
// panel's boxes. They are kept as typed: each reader parses them as it
// always has (numberIn, DownloadLimit, SlideIntervalMs), so a value that
// one reader takes and another refuses behaves as before.
struct ShowSettings {
    // The slide interval in seconds.
    QString slideSeconds;
    // The download interval in minutes.
    QString downloadMinutes;
    // "Full_Screen" or "Normal".
    QString displayMode;

    bool operator==(const ShowSettings&) const = default;
};

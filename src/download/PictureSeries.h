#pragma once

#include <QString>
#include <functional>
#include <optional>

struct RunState;
namespace platform {
class Dialogs;
}

// A series address: the code and six characters standing for "http://", then
// base*suffix,start,step,count,width.
struct SeriesAddress {
    QString base;
    QString suffix;
    int start = 0;
    int step = 0;
    int count = 0;
    int width = 0;
};

// What the scan of a series address found: the series, or none when a
// delimiter is missing, with the number of characters examined meanwhile.
struct SeriesScan {
    std::optional<SeriesAddress> series;
    int examined = 0;
};

// Numbers longer than this are padded no further: an address is not a place
// for megabytes of zeros.
inline constexpr int kMaxSeriesWidth = 32;

// The first slide position a download cycle never fills: the tables hold
// slides 0 to 1999.
inline constexpr int kSlideLimit = 2000;

// Reads a number the way the series fields are written: leading blanks, an
// optional sign, digits up to the first other character; nothing reads as 0.
// Values beyond the int range stop growing at its ends.
int ReadSeriesNumber(const QString& text);

SeriesScan ScanSeriesAddress(const QString& address);

// The number in decimal, padded on the left with "0" up to width characters
// (a minus sign counts as a character and stays in front of the zeros' place:
// -5 at width 3 is "0-5").
QString SeriesNumberText(int number, int width);

// "http://" + base + number + suffix.
QString SeriesPictureAddress(const SeriesAddress& series, int number);

// The running numbers of the series, in order: count of them, stopping early
// where a number would leave the signed 16-bit range. A count below 1 gives
// none.
QList<int> SeriesNumbers(const SeriesAddress& series);

// How many slides a work-list address gives: the numbers of a well-formed
// series (at most the slides left before kSlideLimit from firstSlide), none
// for a malformed one, one for any other address.
int SlidesOfAddress(const QString& address, int firstSlide);

// Expands a numbered series into consecutive slides, each loaded like a plain
// picture.
class PictureSeries {
public:
    PictureSeries(RunState& state, platform::Dialogs& dialogs);

    // Loads one picture address into a slide (the picture loader).
    std::function<void(const QString& address, int slide)> loadPicture;
    // Appends a progress mark to the countdown line.
    std::function<void()> markProgress;

    // Expands the series held in tmpStrUrl, which stands at work-list entry
    // `entry`, into the slides from `slide` on; every slide takes the entry's
    // catalogue row. Returns the number of slides filled: 0 for a malformed
    // address (after its message), a count below 1, or no room left.
    int ExpandSeries(int entry, int slide);

private:
    RunState& state_;
    platform::Dialogs& dialogs_;
};

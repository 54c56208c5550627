#pragma once

#include "state/Slide.h"

#include <QObject>
#include <QString>
#include <optional>

class SlideSink;
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

// What a series asks to load each of its pictures: one picture address into
// one slide (as it stands before the fetch); the slide as loaded comes back.
// Loop copies are numbered by the sink's slides.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    virtual Slide Load_JPG_GIF_PNG_On_Array(const QString& UrlImageToLoad, Slide slide,
                                            SlideSink& sink) = 0;
};

// Expands a numbered series into consecutive slides, each loaded like a plain
// picture.
class PictureSeries : public QObject {
    Q_OBJECT
public:
    PictureSeries(RunState& state, platform::Dialogs& dialogs, PictureLoader& loader,
                  QObject* parent = nullptr);

    // Expands the series held in tmpStrUrl, which stands at work-list entry
    // `entry`, into the slides from `slide` on, each handed to the sink as it
    // is made; every slide takes the entry's catalogue row. Returns the
    // number of slides filled: 0 for a malformed address (after its
    // message), a count below 1, or no room left.
    int ExpandSeries(int entry, int slide, SlideSink& sink);

signals:
    // One more slide of the series is loaded and mapped to its entry (the
    // countdown line takes a progress mark).
    void slideFilled();

private:
    RunState& state_;
    platform::Dialogs& dialogs_;
    PictureLoader& loader_;
};

#pragma once

#include "state/SlideList.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>

// The decoded pictures of the show share one memory budget: the slides'
// still pictures and the animated-GIF player's frames together. A picture
// that does not fit whole is decoded at the screen's size, and one that
// does not fit even so fails like a picture that could not be fetched.

inline constexpr qint64 kDefaultPictureBudgetMiB = 512;

// The budget in bytes: SKYGLANCE_PICTURE_BUDGET_MB (megabytes, 16 to 65536)
// or the default.
qint64 PictureBudgetBytes();

// The animated-GIF player's share: its frame strip (one byte a pixel) and its
// composed canvas (four bytes a pixel). The slides' pictures get the rest.
qint64 GifStripBytes(qint64 budget);
qint64 GifCanvasPixels(qint64 budget);
qint64 StillPicturesBudget(qint64 budget);
// The most a picture may take while decoded whole on its way to a smaller
// size (beyond the budget, one picture at a time).
qint64 WholeDecodeLimit(qint64 budget);

// What a slide's status line says about how its picture was decoded.
enum PictureNote : int16_t {
    kPictureWhole = 0,
    kPictureScaledForMemory = 1,
    kPictureTooLargeForMemory = 2,
};

// The size to decode a picture of natural size at: whole when it fits room
// (bytes) and is not much larger than the screen, else fitted into the
// screen (aspect kept); an empty size when even that does not fit room.
struct DecodePlan {
    QSize size;
    PictureNote note = kPictureWhole;
};
DecodePlan PlanDecode(QSize natural, QSize screen, qint64 room);

// The bytes the slides' pictures hold, a picture shared by several slides
// counted once, leaving out slide `except` and the uncounted picture.
qint64 HeldPictureBytes(const SlideList& slides, int except);

// How a picture file is decoded.
enum class DecodeStyle {
    ByContent,   // the format the content says (a GIF gives its first frame)
    PngOntoWhite // a PNG drawn onto white, so transparent parts become white
};

struct DecodedPicture {
    QImage image; // null on failure
    PictureNote note = kPictureWhole;
};

// Decodes a file within room bytes for a screen of the given size; a picture
// to be decoded smaller in a format that can only decode it whole first is
// refused when the whole exceeds wholeDecodeLimit bytes. Safe on any thread.
DecodedPicture DecodeWithinRoom(const QString& fileName, DecodeStyle style, QSize screen,
                                qint64 room, qint64 wholeDecodeLimit);

// True when the GIF's frames would not fit the player's share of the budget.
bool GifBeyondPlayerShare(const QString& fileName, qint64 budget);

// The screen the pictures are shown on (1920 x 1080 until set), and a
// picture the program holds anyway (the error picture), which slides share
// without counting it.
void SetBudgetScreen(QSize screen);
void SetUncountedPicture(const QImage& picture);

// Decodes the picture of a slide on a worker thread within the budget left
// by the bytes the other slides hold (HeldPictureBytes), letting events run
// meanwhile.
DecodedPicture DecodeForSlide(qint64 heldByOtherSlides, const QString& fileName, DecodeStyle style);

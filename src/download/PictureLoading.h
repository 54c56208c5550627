#pragma once

#include "download/PictureSeries.h"

#include <QImage>
#include <QObject>
#include <QString>

class FetchPrimitives;
struct RunState;

// Pictures larger than this many megabytes of decoded pixels are refused, so
// a hostile header cannot make the decoder allocate without bound.
inline constexpr int kMaxDecodedPictureMiB = 256;

// Decodes a picture file by the standard loader (a GIF gives its first frame).
// A null image when the file is missing, not a picture or too large.
QImage decodePictureFile(const QString& fileName);

// The n-th animated-GIF copy of a cycle: base, prefix, n and ".gif", in small
// letters whatever the address said, because that is the name the presenter
// opens.
QString animatedGifCopyName(const QString& imgFileBase, const QString& aniGifPrefix, int n);

// True when the file begins like a GIF ("GIF87a" or "GIF89a").
bool isGifFile(const QString& fileName);

// Turns a picture address into a decoded slide: downloads it into the work
// file, decodes it into the slide's picture, notes whether it loaded, and
// leaves the numbered copies of animated GIFs for the presenter. Every
// failure becomes the error picture.
class PictureLoading : public QObject, public PictureLoader {
    Q_OBJECT
public:
    PictureLoading(RunState& state, FetchPrimitives& fetch, QObject* parent = nullptr);

    // The error picture shown for a failed slide.
    void setErrorPicture(const QImage& picture) { errorPicture_ = picture; }
    const QImage& errorPicture() const { return errorPicture_; }

    // The slide as loaded; one outside the slide positions comes back as it
    // was given.
    Slide Load_JPG_GIF_PNG_On_Array(const QString& UrlImageToLoad, Slide slide,
                                    SlideSink& sink) override;

signals:
    // A picture download begins (the window shows its thumbnail area).
    void loadStarted();
    // The slide now holds this picture, decoded or the error picture (the
    // window shows it in the thumbnail).
    void slidePictureReady(const QImage& picture);

private:
    void loadFailed(Slide& slide);
    bool decodeIntoSlide(const QString& file, Slide& slide, const SlideSink& sink,
                         bool pngOntoWhite);
    bool copyToNextAnimatedGif(const QString& source, Slide& slide, SlideSink& sink);
    void keepAsAnimatedGif(const QString& file, Slide& slide, SlideSink& sink);

    RunState& state_;
    FetchPrimitives& fetch_;
    QImage errorPicture_;
};

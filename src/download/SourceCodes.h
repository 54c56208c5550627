#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>

class FetchPrimitives;
class HomeTown;
class PageCapture;
class PictureLoading;
class PictureSeries;
class SlideSink;
struct RunState;
struct Slide;
namespace platform {
class BrowserView;
}

// The number of home-town parameter tags, "<p01>" to "<p14>".
inline constexpr int kParameterTags = 14;

// The parameter number (1 to 14) of the tag at position k of address, or 0
// when no tag starts there.
int ParameterTagAt(const QString& address, qsizetype k);

// A parameter value made fit for an address: characters that cannot stand in
// one (blanks, "&", "#", "?", quotes, angle brackets, control characters and
// anything beyond ASCII) are percent-encoded as UTF-8; everything else, "+"
// and "%" included, stays as typed.
QString EncodeParameterValue(const QString& value);

// The address with "h" in place of its source code: "4ttp://x" is "http://x".
QString WithHttpInFront(const QString& address);

// Rewrites a code-3 address: "h" in place of the code, every tag replaced by
// the (encoded) text of its parameter, any other "<" copied unchanged.
QString ExpandParameters(const QString& address, const std::function<QString(int)>& param);

// Reads the source code of a work-list entry and hands its address, rewritten,
// to the fetcher of that code. Code-3 tags take the home town's parameter
// boxes as they read at the moment of the fetch; a failed slide takes the
// loader's error picture.
class SourceCodes : public QObject {
    Q_OBJECT
public:
    SourceCodes(RunState& state, FetchPrimitives& fetch, PictureLoading& loading,
                PageCapture& capture, PictureSeries& series, platform::BrowserView& webvis,
                const HomeTown& town, QObject* parent = nullptr);

    // Fetches work-list entry d into the slides from `slide` on, handing each
    // to the sink, and returns how many slides it filled: one for a picture
    // or a page, the pictures of a series (none for a malformed or empty
    // one). Every filled slide takes entry d's catalogue row.
    int FetchSlide(int d, int slide, SlideSink& sink);

    void PrepareCapture();
    QString ExpandParameters(const QString& address) const;

signals:
    // A page capture is being prepared (the window parks the animated-GIF
    // control so that it shows nothing).
    void pageCaptureStarting();
    // The slide now holds this picture, captured or the error picture (the
    // window shows it in the thumbnail).
    void slidePictureReady(const QImage& picture);

private:
    bool fetchPageCapture(const QString& address, Slide& slide, const SlideSink& sink);
    bool fetchPageFirstImage(Slide& slide, SlideSink& sink);
    void slideFailed(Slide& slide);

    RunState& state_;
    FetchPrimitives& fetch_;
    PictureLoading& loading_;
    PageCapture& capture_;
    PictureSeries& series_;
    platform::BrowserView& webvis_;
    const HomeTown& town_;
};

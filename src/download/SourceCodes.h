#pragma once

#include <QImage>
#include <QString>
#include <functional>

class FetchPrimitives;
class PageCapture;
class PictureLoading;
class PictureSeries;
struct RunState;
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
// to the fetcher of that code.
class SourceCodes {
public:
    SourceCodes(RunState& state, FetchPrimitives& fetch, PictureLoading& loading,
                PageCapture& capture, PictureSeries& series, platform::BrowserView& webvis);

    // The text of parameter box index (0 to 13).
    std::function<QString(int index)> param;
    // Parks the animated-GIF control so that it shows nothing.
    std::function<void()> parkAniGif;
    // Shows a picture in the thumbnail.
    std::function<void(const QImage&)> showMiniatura;
    // The picture shown for a slide that failed.
    std::function<QImage()> errorPicture;

    // Fetches work-list entry d into the slides from `slide` on and returns
    // how many slides it filled: one for a picture or a page, the pictures of
    // a series (none for a malformed or empty one). Every filled slide takes
    // entry d's catalogue row.
    int FetchSlide(int d, int slide);

    void PrepareCapture();
    QString ExpandParameters(const QString& address) const;

private:
    bool fetchPageCapture(const QString& address, int slide);
    bool fetchPageFirstImage(int slide);
    void slideFailed(int slide);

    RunState& state_;
    FetchPrimitives& fetch_;
    PictureLoading& loading_;
    PageCapture& capture_;
    PictureSeries& series_;
    platform::BrowserView& webvis_;
};

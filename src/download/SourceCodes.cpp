#include "download/SourceCodes.h"

#include "browser/Browser.h"
#include "download/FetchPrimitives.h"
#include "download/PageCapture.h"
#include "download/PictureBudget.h"
#include "download/PictureLoading.h"
#include "download/PictureSeries.h"
#include "download/SlideSink.h"
#include "platform/Timing.h"
#include "settings/HomeTown.h"
#include "state/RunState.h"

namespace {

constexpr qsizetype kTagLength = 5; // "<p01>"

bool mustBeEncoded(char16_t c) {
    if (c < 0x21 || c >= 0x7F) {
        return true; // blanks, control characters, beyond ASCII
    }
    switch (c) {
    case '&':
    case '#':
    case '?':
    case '"':
    case '<':
    case '>':
        return true;
    default:
        return false;
    }
}

} // namespace

QString WithHttpInFront(const QString& address) {
    return QStringLiteral("h") + address.mid(1);
}

int ParameterTagAt(const QString& address, qsizetype k) {
    if (k < 0 || k + kTagLength > address.size() || address.at(k) != QLatin1Char('<') ||
        address.at(k + 1) != QLatin1Char('p') || address.at(k + 4) != QLatin1Char('>')) {
        return 0;
    }
    const QChar tens = address.at(k + 2);
    const QChar units = address.at(k + 3);
    if (!tens.isDigit() || !units.isDigit() || tens.unicode() > '9' || units.unicode() > '9') {
        return 0;
    }
    const int number = (tens.unicode() - '0') * 10 + (units.unicode() - '0');
    return number >= 1 && number <= kParameterTags ? number : 0;
}

QString EncodeParameterValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (!mustBeEncoded(c.unicode())) {
            out += c;
            continue;
        }
        const QByteArray bytes = QString(c).toUtf8();
        for (const char b : bytes) {
            out += QStringLiteral("%%1")
                       .arg(static_cast<unsigned char>(b), 2, 16, QLatin1Char('0'))
                       .toUpper();
        }
    }
    return out;
}

QString ExpandParameters(const QString& address, const std::function<QString(int)>& param) {
    QString result = QStringLiteral("h");
    for (qsizetype k = 1; k < address.size(); ++k) {
        const int tag = ParameterTagAt(address, k);
        if (tag == 0) {
            result += address.at(k);
            continue;
        }
        result += EncodeParameterValue(param ? param(tag - 1) : QString());
        k += kTagLength - 1;
    }
    return result;
}

SourceCodes::SourceCodes(RunState& state, FetchPrimitives& fetch, PictureLoading& loading,
                         PageCapture& capture, PictureSeries& series, platform::BrowserView& webvis,
                         const HomeTown& town, QObject* parent)
    : QObject(parent), state_(state), fetch_(fetch), loading_(loading), capture_(capture),
      series_(series), webvis_(webvis), town_(town) {}

QString SourceCodes::ExpandParameters(const QString& address) const {
    return ::ExpandParameters(address, [this](int index) { return town_.param(index); });
}

void SourceCodes::PrepareCapture() {
    fetch_.CloseBrowserWindows();
    emit pageCaptureStarting();
    state_.IsWebPage = kTrue;
    state_.tmpStrUrl = WithHttpInFront(state_.tmpStrUrl);
}

void SourceCodes::slideFailed(Slide& slide) {
    const QImage picture = loading_.errorPicture();
    slide.loaded = false;
    slide.picture = picture;
    slide.kind = 1;
    slide.loopFile.clear();
    emit slidePictureReady(picture);
    webvis_.hide();
}

bool SourceCodes::fetchPageCapture(const QString& address, Slide& slide, const SlideSink& sink) {
    state_.Http2BmpRunning = kFalse;
    state_.WebPageToImgEnd = kFalse;
    capture_.captureAddress = address;
    capture_.CapturePage();
    const DecodedPicture decoded =
        DecodeForSlide(HeldPictureBytes(sink.slides(), slide.position),
                       CaptureFileName(state_.imgFileBase), DecodeStyle::ByContent);
    slide.pictureNote = decoded.note;
    const QImage& picture = decoded.image;
    if (picture.isNull()) {
        return false;
    }
    slide.picture = picture;
    slide.loaded = true;
    slide.kind = 2;
    emit slidePictureReady(picture);
    return true;
}

bool SourceCodes::fetchPageFirstImage(Slide& slide, SlideSink& sink) {
    webvis_.setSilent(state_.flagSilent != 0);
    webvis_.navigate(state_.tmpStrUrl);
    // The image must be this page's own, so the page is given the time to
    // finish; one that never does is asked for what it holds by then.
    webvis_.waitForNavigation(platform::scaledMs(kPageLoadLimitMs));
    const QString source = webvis_.firstImageSource(platform::scaledMs(kPageLoadLimitMs));
    if (!fetch_.SavePageFirstImage(source.isEmpty() ? QStringList() : QStringList{source})) {
        return false;
    }
    slide.kind = 6;
    slide = loading_.Load_JPG_GIF_PNG_On_Array(state_.tmpStrUrl, slide, sink);
    webvis_.hide();
    return slide.loaded;
}

int SourceCodes::FetchSlide(int d, int position, SlideSink& sink) {
    if (position < 0 || position >= kSlideLimit) {
        return 0;
    }
    state_.tmpStrUrl = state_.listImageSELECTED[d].trimmed();
    const QChar code = state_.tmpStrUrl.isEmpty() ? QChar() : state_.tmpStrUrl.front();
    Slide slide = sink.slides().at(position);
    bool ok = true;
    if (code == QLatin1Char('2') || code == QLatin1Char('3')) {
        const QString original = state_.tmpStrUrl;
        PrepareCapture();
        ok = fetchPageCapture(
            code == QLatin1Char('2') ? state_.tmpStrUrl : ExpandParameters(original), slide, sink);
    } else if (code == QLatin1Char('4')) {
        fetch_.CloseBrowserWindows();
        state_.tmpStrUrl = WithHttpInFront(state_.tmpStrUrl);
        slide.kind = 4;
        slide = loading_.Load_JPG_GIF_PNG_On_Array(state_.tmpStrUrl, slide, sink);
    } else if (code == QLatin1Char('6')) {
        fetch_.CloseBrowserWindows();
        state_.tmpStrUrl = WithHttpInFront(state_.tmpStrUrl);
        ok = fetchPageFirstImage(slide, sink);
    } else if (code == QLatin1Char('5')) {
        const int filled = series_.ExpandSeries(d, position, sink);
        // The progress line counted this entry as one picture.
        state_.cntImagesToLoad =
            static_cast<int16_t>(std::max(0, state_.cntImagesToLoad + filled - 1));
        return filled;
    } else {
        slide = loading_.Load_JPG_GIF_PNG_On_Array(state_.tmpStrUrl, slide, sink);
    }
    if (!ok) {
        slideFailed(slide);
    }
    slide.catalogueRow = sink.slides().catalogueRowOfEntry(d);
    sink.putSlide(slide);
    return 1;
}

#include "download/PictureLoading.h"

#include "download/FetchPrimitives.h"
#include "download/PictureBudget.h"
#include "download/SlideSink.h"
#include "platform/SafeFiles.h"
#include "state/RunState.h"

#include <QDir>
#include <QFile>
#include <QImageReader>

QImage decodePictureFile(const QString& fileName) {
    QImageReader reader(fileName);
    reader.setAllocationLimit(kMaxDecodedPictureMiB);
    reader.setDecideFormatFromContent(true);
    QImage image;
    if (!reader.read(&image)) {
        return {};
    }
    return image;
}

QString animatedGifCopyName(const QString& imgFileBase, const QString& aniGifPrefix, int n) {
    return imgFileBase + aniGifPrefix + QString::number(n) + QStringLiteral(".gif");
}

bool isGifFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(6);
    return head == "GIF87a" || head == "GIF89a";
}

PictureLoading::PictureLoading(RunState& state, FetchPrimitives& fetch, QObject* parent)
    : QObject(parent), state_(state), fetch_(fetch) {}

void PictureLoading::loadFailed(Slide& slide) {
    slide.loaded = false;
    slide.pictureNote = kPictureWhole;
    slide.loopFile.clear();
    slide.picture = errorPicture_;
    slide.kind = 1;
    emit slidePictureReady(errorPicture_);
}

// Decoded on a worker thread within what the other slides leave of the
// budget; a picture too large even at the screen's size fails, saying why.
bool PictureLoading::decodeIntoSlide(const QString& file, Slide& slide, const SlideSink& sink,
                                     bool pngOntoWhite) {
    const DecodedPicture decoded =
        DecodeForSlide(HeldPictureBytes(sink.slides(), slide.position), file,
                       pngOntoWhite ? DecodeStyle::PngOntoWhite : DecodeStyle::ByContent);
    if (decoded.image.isNull()) {
        loadFailed(slide);
        slide.pictureNote = decoded.note;
        return false;
    }
    slide.picture = decoded.image;
    slide.pictureNote = decoded.note;
    emit slidePictureReady(decoded.image);
    return true;
}

bool PictureLoading::copyToNextAnimatedGif(const QString& source, Slide& slide, SlideSink& sink) {
    const QString copy = animatedGifCopyName(state_.imgFileBase, state_.aniGifPrefix,
                                             sink.slides().nextLoopNumber());
    // A copy of an earlier cycle (or whatever stands at the name) is replaced.
    if (!platform::CopyFileReplacing(source, copy)) {
        return false;
    }
    sink.loopFileWritten();
    slide.loopFile = copy;
    return true;
}

// An animated slide plays its own copy in the GIF control. A picture that is
// not a GIF at all (a JPEG behind a page, a PNG named .PNG) is shown as the
// still picture it is, since the control could play nothing of it.
void PictureLoading::keepAsAnimatedGif(const QString& file, Slide& slide, SlideSink& sink) {
    if (!isGifFile(file)) {
        slide.kind = 1;
        return;
    }
    slide.kind = 4;
    if (!copyToNextAnimatedGif(file, slide, sink)) {
        loadFailed(slide);
    }
}

Slide PictureLoading::Load_JPG_GIF_PNG_On_Array(const QString& UrlImageToLoad, Slide slide,
                                                SlideSink& sink) {
    if (!SlideList::inRange(slide.position)) {
        return slide;
    }
    state_.IsWebPage = kFalse;
    QString extension = ExtensionOfAddress(UrlImageToLoad);
    emit loadStarted();
    if (slide.kind == 6) {
        extension = QStringLiteral(".php");
    }
    // An extension that cannot be part of a file name (a query string, a
    // path step) is stored under a safe one and decoded by its content.
    const QString fileExtension = SafeExtension(extension);
    const QString workFile = WorkFileName(state_.imgFileBase, fileExtension);
    if (!fetch_.DownloadFile(UrlImageToLoad, workFile, fileExtension)) {
        loadFailed(slide);
        return slide;
    }
    slide.loaded = true;

    if (extension == QLatin1String(".png")) {
        if (decodeIntoSlide(workFile, slide, sink, true)) {
            slide.kind = 1;
        }
        return slide;
    }
    if (extension == QLatin1String(".php")) {
        if (slide.kind != 6) {
            return slide; // nothing to load: the slide keeps what it held
        }
        const QString pageImage = PageImageFile(state_.Skyglance_PHP_Dir);
        if (decodeIntoSlide(pageImage, slide, sink, false)) {
            keepAsAnimatedGif(pageImage, slide, sink);
        }
        return slide;
    }
    if (!decodeIntoSlide(workFile, slide, sink, false)) {
        return slide;
    }
    if (slide.kind == 0) {
        slide.kind = 1;
    } else if (slide.kind == 4) {
        keepAsAnimatedGif(workFile, slide, sink);
    }
    return slide;
}

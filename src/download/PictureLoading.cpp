#include "download/PictureLoading.h"

#include "download/FetchPrimitives.h"
#include "download/PictureBudget.h"
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

void PictureLoading::loadFailed(int cnt) {
    state_.listIMAGEnotLoaded[cnt] = -1;
    state_.listPictureNote[cnt] = kPictureWhole;
    state_.listAniGifFile[cnt].clear();
    state_.listPicture[cnt] = errorPicture_;
    state_.listImageKind[cnt] = 1;
    emit slidePictureReady(errorPicture_);
}

// Decoded on a worker thread within what the other slides leave of the
// budget; a picture too large even at the screen's size fails, saying why.
bool PictureLoading::decodeIntoSlide(const QString& file, int cnt, bool pngOntoWhite) {
    const DecodedPicture decoded =
        DecodeForSlide(state_.listPicture, cnt, file,
                       pngOntoWhite ? DecodeStyle::PngOntoWhite : DecodeStyle::ByContent);
    if (decoded.image.isNull()) {
        loadFailed(cnt);
        state_.listPictureNote[cnt] = decoded.note;
        return false;
    }
    state_.listPicture[cnt] = decoded.image;
    state_.listPictureNote[cnt] = decoded.note;
    emit slidePictureReady(decoded.image);
    return true;
}

bool PictureLoading::copyToNextAnimatedGif(const QString& source, int cnt) {
    const QString copy =
        animatedGifCopyName(state_.imgFileBase, state_.aniGifPrefix, state_.cntAniGif);
    // A copy of an earlier cycle (or whatever stands at the name) is replaced.
    if (!platform::CopyFileReplacing(source, copy)) {
        return false;
    }
    state_.cntAniGif = static_cast<int16_t>(state_.cntAniGif + 1);
    state_.listAniGifFile[cnt] = copy;
    return true;
}

// An animated slide plays its own copy in the GIF control. A picture that is
// not a GIF at all (a JPEG behind a page, a PNG named .PNG) is shown as the
// still picture it is, since the control could play nothing of it.
void PictureLoading::keepAsAnimatedGif(const QString& file, int cnt) {
    if (!isGifFile(file)) {
        state_.listImageKind[cnt] = 1;
        return;
    }
    state_.listImageKind[cnt] = 4;
    if (!copyToNextAnimatedGif(file, cnt)) {
        loadFailed(cnt);
    }
}

void PictureLoading::Load_JPG_GIF_PNG_On_Array(const QString& UrlImageToLoad, int cnt) {
    if (!PictureTable<int16_t>::inRange(cnt)) {
        return;
    }
    state_.IsWebPage = kFalse;
    QString extension = ExtensionOfAddress(UrlImageToLoad);
    emit loadStarted();
    if (state_.listImageKind[cnt] == 6) {
        extension = QStringLiteral(".php");
    }
    // An extension that cannot be part of a file name (a query string, a
    // path step) is stored under a safe one and decoded by its content.
    const QString fileExtension = SafeExtension(extension);
    const QString workFile = WorkFileName(state_.imgFileBase, fileExtension);
    if (!fetch_.DownloadFile(UrlImageToLoad, workFile, fileExtension)) {
        loadFailed(cnt);
        return;
    }
    state_.listIMAGEnotLoaded[cnt] = 0;

    if (extension == QLatin1String(".png")) {
        if (decodeIntoSlide(workFile, cnt, true)) {
            state_.listImageKind[cnt] = 1;
        }
        return;
    }
    if (extension == QLatin1String(".php")) {
        if (state_.listImageKind[cnt] != 6) {
            return; // nothing to load: the slide keeps what it held
        }
        const QString pageImage = PageImageFile(state_.Skyglance_PHP_Dir);
        if (decodeIntoSlide(pageImage, cnt, false)) {
            keepAsAnimatedGif(pageImage, cnt);
        }
        return;
    }
    if (!decodeIntoSlide(workFile, cnt, false)) {
        return;
    }
    if (state_.listImageKind[cnt] == 0) {
        state_.listImageKind[cnt] = 1;
    } else if (state_.listImageKind[cnt] == 4) {
        keepAsAnimatedGif(workFile, cnt);
    }
}

#include "download/PictureBudget.h"

#include "platform/Timing.h"

#include <QImageReader>
#include <QPainter>
#include <QSet>
#include <algorithm>

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kMinBudgetMiB = 16;
constexpr qint64 kMaxBudgetMiB = 65536;
// Decoding allocates at most this much at once, whatever the budget: the
// whole picture of a format that cannot decode straight to a smaller size.
constexpr int kDecodeAllocationMiB = 256;
// Beyond this many screens in width or height a picture is decoded at the
// screen's size: the show never draws it larger than the screen.
constexpr int kMuchLargerFactor = 2;
constexpr qint64 kBytesPerPixel = 4;

struct BudgetSettings {
    QSize screen{1920, 1080};
    qint64 uncountedKey = 0;
};

BudgetSettings& settings() {
    static BudgetSettings shared;
    return shared;
}

qint64 budgetFromEnvironment() {
    bool ok = false;
    const qint64 mib = qEnvironmentVariable("SKYGLANCE_PICTURE_BUDGET_MB").toLongLong(&ok);
    if (!ok || mib < kMinBudgetMiB || mib > kMaxBudgetMiB) {
        return kDefaultPictureBudgetMiB * kMiB;
    }
    return mib * kMiB;
}

qint64 pixelBytes(QSize size) {
    return qint64(size.width()) * size.height() * kBytesPerPixel;
}

QSize fittedInto(QSize natural, QSize screen) {
    if (natural.width() <= screen.width() && natural.height() <= screen.height()) {
        return natural;
    }
    const QSize fitted = natural.scaled(screen, Qt::KeepAspectRatio);
    return {std::max(1, fitted.width()), std::max(1, fitted.height())};
}

QImage ontoWhite(const QImage& picture) {
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, picture);
    painter.end();
    return flat;
}

// Wide formats (16 bits a channel) are brought to 32 bits a pixel, which is
// what the budget counts.
QImage atMostFourBytesAPixel(QImage image) {
    if (image.depth() <= 32) {
        return image;
    }
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

} // namespace

qint64 PictureBudgetBytes() {
    return budgetFromEnvironment();
}

qint64 GifStripBytes(qint64 budget) {
    return budget / 4;
}

qint64 GifCanvasPixels(qint64 budget) {
    return budget / 16 / kBytesPerPixel;
}

qint64 WholeDecodeLimit(qint64 budget) {
    return budget / 8;
}

qint64 StillPicturesBudget(qint64 budget) {
    return budget - GifStripBytes(budget) - GifCanvasPixels(budget) * kBytesPerPixel;
}

DecodePlan PlanDecode(QSize natural, QSize screen, qint64 room) {
    if (natural.isEmpty()) {
        return {natural, kPictureWhole}; // known only once decoded
    }
    const QSize fitted = fittedInto(natural, screen);
    const bool muchLarger = natural.width() > kMuchLargerFactor * screen.width() ||
                            natural.height() > kMuchLargerFactor * screen.height();
    if (!muchLarger && pixelBytes(natural) <= room) {
        return {natural, kPictureWhole};
    }
    if (pixelBytes(fitted) > room) {
        return {QSize(), kPictureTooLargeForMemory};
    }
    return {fitted, muchLarger ? kPictureWhole : kPictureScaledForMemory};
}

qint64 HeldPictureBytes(const SlideList& slides, int except) {
    QSet<qint64> counted;
    qint64 total = 0;
    for (int s = 0; s < SlideList::kSize; ++s) {
        const QImage& picture = slides.at(s).picture;
        if (s == except || picture.isNull() || picture.cacheKey() == settings().uncountedKey ||
            counted.contains(picture.cacheKey())) {
            continue;
        }
        counted.insert(picture.cacheKey());
        total += picture.sizeInBytes();
    }
    return total;
}

DecodedPicture DecodeWithinRoom(const QString& fileName, DecodeStyle style, QSize screen,
                                qint64 room, qint64 wholeDecodeLimit) {
    QImageReader reader(fileName, style == DecodeStyle::PngOntoWhite ? "png" : QByteArray());
    reader.setAllocationLimit(kDecodeAllocationMiB);
    reader.setDecideFormatFromContent(style == DecodeStyle::ByContent);
    const QSize natural = reader.size();
    const DecodePlan plan = PlanDecode(natural, screen, room);
    if (plan.note == kPictureTooLargeForMemory) {
        return {{}, plan.note};
    }
    if (plan.size != natural) {
        // A format that cannot decode straight to the smaller size (GIF, BMP)
        // decodes it whole first: only a whole that stays small may.
        if (!reader.supportsOption(QImageIOHandler::ScaledSize) &&
            pixelBytes(natural) > wholeDecodeLimit) {
            return {{}, kPictureTooLargeForMemory};
        }
        reader.setScaledSize(plan.size);
    }
    QImage image;
    if (!reader.read(&image)) {
        return {};
    }
    DecodedPicture decoded{atMostFourBytesAPixel(std::move(image)), plan.note};
    if (natural.isEmpty()) {
        // The header did not tell the size: the plan is made now.
        const DecodePlan late = PlanDecode(decoded.image.size(), screen, room);
        if (late.note == kPictureTooLargeForMemory) {
            return {{}, late.note};
        }
        if (late.size != decoded.image.size()) {
            decoded.image =
                decoded.image.scaled(late.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        decoded.note = late.note;
    }
    if (style == DecodeStyle::PngOntoWhite) {
        decoded.image = ontoWhite(decoded.image);
    }
    return decoded;
}

bool GifBeyondPlayerShare(const QString& fileName, qint64 budget) {
    QImageReader reader(fileName, "gif");
    const QSize canvas = reader.size();
    const qint64 pixels = qint64(canvas.width()) * canvas.height();
    return pixels > GifCanvasPixels(budget) ||
           pixels * std::max(1, reader.imageCount()) > GifStripBytes(budget);
}

void SetBudgetScreen(QSize screen) {
    if (!screen.isEmpty()) {
        settings().screen = screen;
    }
}

void SetUncountedPicture(const QImage& picture) {
    settings().uncountedKey = picture.isNull() ? 0 : picture.cacheKey();
}

DecodedPicture DecodeForSlide(qint64 heldByOtherSlides, const QString& fileName,
                              DecodeStyle style) {
    const qint64 room =
        std::max<qint64>(0, StillPicturesBudget(PictureBudgetBytes()) - heldByOtherSlides);
    const QSize screen = settings().screen;
    const qint64 wholeLimit = WholeDecodeLimit(PictureBudgetBytes());
    return platform::runOffUiThread([fileName, style, screen, room, wholeLimit] {
        return DecodeWithinRoom(fileName, style, screen, room, wholeLimit);
    });
}

#pragma once

#include <QImage>
#include <QString>

// Writes `image` as a single-frame GIF89a file: the colours are reduced to a
// 256-entry palette chosen for this image (median cut) and packed with LZW by
// giflib. Returns an empty string on success, otherwise the reason.
QString writeGif(const QImage& image, const QString& path);

// Catalogue addresses come from a server: the series scan and the parameter
// rewriting must take any text, stay within their bounds and never crash.
#include "download/PictureSeries.h"
#include "download/SourceCodes.h"

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype cut = bytes.indexOf('\n');
    const QString address = QString::fromUtf8(cut < 0 ? bytes : bytes.left(cut));
    const QString value = cut < 0 ? QString() : QString::fromUtf8(bytes.mid(cut + 1));

    const SeriesScan scan = ScanSeriesAddress(address);
    if (scan.examined < 0 || scan.examined > address.size()) {
        std::abort();
    }
    if (scan.series) {
        const QList<int> numbers = SeriesNumbers(*scan.series);
        if (numbers.size() > kSlideLimit) {
            std::abort();
        }
        for (int n : numbers) {
            if (n < std::numeric_limits<int16_t>::min() ||
                n > std::numeric_limits<int16_t>::max()) {
                std::abort();
            }
            const QString text = SeriesNumberText(n, scan.series->width);
            if (text.size() > std::max<qsizetype>(kMaxSeriesWidth, 6)) {
                std::abort();
            }
        }
    }
    const int slides = SlidesOfAddress(address, 0);
    if (slides < 0 || slides > kSlideLimit) {
        std::abort();
    }

    const QString encoded = EncodeParameterValue(value);
    for (const QChar c : encoded) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F || c == QLatin1Char('&') ||
            c == QLatin1Char('#') || c == QLatin1Char('?')) {
            std::abort();
        }
    }
    const QString expanded = ExpandParameters(address, [&value](int) { return value; });
    if (!address.isEmpty() && !expanded.startsWith(QLatin1Char('h'))) {
        std::abort();
    }
    return 0;
}

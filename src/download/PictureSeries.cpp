#include "download/PictureSeries.h"

#include "download/SlideSink.h"
#include "platform/Dialogs.h"
#include "state/RunState.h"

#include <QList>
#include <algorithm>
#include <limits>

namespace {

// Characters 1 to 7 stand for "http://" and are skipped.
constexpr int kSeriesBodyStart = 7;

// Walks the address from its body on, counting every character it looks at.
class SeriesScanner {
public:
    explicit SeriesScanner(const QString& address) : text_(address), pos_(kSeriesBodyStart) {}

    // The text up to the delimiter (which is consumed), or nothing when the
    // address ends first.
    std::optional<QString> upTo(QChar delimiter) {
        const qsizetype from = pos_;
        while (pos_ < text_.size()) {
            ++examined_;
            if (text_.at(pos_) == delimiter) {
                const QString field = text_.mid(from, pos_ - from);
                ++pos_;
                return field;
            }
            ++pos_;
        }
        return std::nullopt;
    }

    QString rest() {
        const QString field = pos_ < text_.size() ? text_.mid(pos_) : QString();
        examined_ += static_cast<int>(field.size());
        pos_ = text_.size();
        return field;
    }

    int examined() const { return examined_; }

private:
    const QString& text_;
    qsizetype pos_;
    int examined_ = 0;
};

bool inInt16(long long value) {
    return value >= std::numeric_limits<int16_t>::min() &&
           value <= std::numeric_limits<int16_t>::max();
}

} // namespace

int ReadSeriesNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    constexpr long long kCeiling = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128; ++i) {
        value = std::min(kCeiling, value * 10 + (text.at(i).unicode() - '0'));
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

SeriesScan ScanSeriesAddress(const QString& address) {
    SeriesScanner scanner(address);
    SeriesScan scan;
    const auto base = scanner.upTo(QLatin1Char('*'));
    const auto suffix = base ? scanner.upTo(QLatin1Char(',')) : std::nullopt;
    const auto start = suffix ? scanner.upTo(QLatin1Char(',')) : std::nullopt;
    const auto step = start ? scanner.upTo(QLatin1Char(',')) : std::nullopt;
    const auto count = step ? scanner.upTo(QLatin1Char(',')) : std::nullopt;
    if (!count) {
        scan.examined = scanner.examined();
        return scan;
    }
    SeriesAddress series;
    series.base = *base;
    series.suffix = *suffix;
    series.start = ReadSeriesNumber(*start);
    series.step = ReadSeriesNumber(*step);
    series.count = ReadSeriesNumber(*count);
    series.width = std::clamp(ReadSeriesNumber(scanner.rest()), 0, kMaxSeriesWidth);
    scan.examined = scanner.examined();
    scan.series = series;
    return scan;
}

QString SeriesNumberText(int number, int width) {
    return QString::number(number).rightJustified(std::clamp(width, 0, kMaxSeriesWidth),
                                                  QLatin1Char('0'));
}

QString SeriesPictureAddress(const SeriesAddress& series, int number) {
    return QStringLiteral("http://") + series.base + SeriesNumberText(number, series.width) +
           series.suffix;
}

QList<int> SeriesNumbers(const SeriesAddress& series) {
    QList<int> numbers;
    const int count = std::min(series.count, kSlideLimit);
    long long n = series.start;
    for (int i = 0; i < count && inInt16(n); ++i) {
        numbers.append(static_cast<int>(n));
        n += series.step;
    }
    return numbers;
}

int SlidesOfAddress(const QString& address, int firstSlide) {
    const int room = std::max(0, kSlideLimit - firstSlide);
    if (!address.trimmed().startsWith(QLatin1Char('5'))) {
        return std::min(1, room);
    }
    const SeriesScan scan = ScanSeriesAddress(address.trimmed());
    if (!scan.series) {
        return 0;
    }
    return std::min(static_cast<int>(SeriesNumbers(*scan.series).size()), room);
}

PictureSeries::PictureSeries(RunState& state, platform::Dialogs& dialogs, PictureLoader& loader,
                             QObject* parent)
    : QObject(parent), state_(state), dialogs_(dialogs), loader_(loader) {}

int PictureSeries::ExpandSeries(int entry, int slide, SlideSink& sink) {
    const SeriesScan scan = ScanSeriesAddress(state_.tmpStrUrl);
    if (!scan.series) {
        dialogs_.message(QStringLiteral("Proc ZizozEdezuvu Error ") +
                             QString::number(scan.examined),
                         QStringLiteral("Skyglance"));
        return 0;
    }
    int filled = 0;
    for (int number : SeriesNumbers(*scan.series)) {
        const int s = slide + filled;
        if (s < 0 || s >= kSlideLimit) {
            break;
        }
        Slide made = loader_.Load_JPG_GIF_PNG_On_Array(SeriesPictureAddress(*scan.series, number),
                                                       sink.slides().at(s), sink);
        made.catalogueRow = sink.slides().catalogueRowOfEntry(entry);
        sink.putSlide(made);
        emit slideFilled();
        ++filled;
    }
    return filled;
}

#include "run/LastGood.h"

#include "platform/SafeFiles.h"
#include "platform/Timing.h"
#include "run/DownloadCycle.h"
#include "run/Scheduler.h"
#include "settings/SettingsFile.h"
#include "show/Presenter.h"
#include "state/RunState.h"
#include "ui/Translations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <numeric>
#include <optional>
#include <unistd.h>

namespace {

constexpr auto kFolderName = "LastGood";
constexpr auto kStagingName = "LastGood.new";
constexpr auto kIndexName = "slides.txt";
constexpr auto kIndexHeader = "skyglance last good 1";
constexpr qint64 kIndexLimit = 1024 * 1024;
constexpr int kSlidesLimit = 2000;
// An index of the first version has no address and part.
constexpr int kIndexFieldsWithoutAddress = 7;
constexpr int kIndexFields = 9;
// A kept picture larger than this is not read back.
constexpr qint64 kPictureLimit = 256LL * 1024 * 1024;
// Every file of a set reaches the disk before the set is switched in.
constexpr bool kDurable = true;

QString oneLine(QString text) {
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

void syncFolder(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString indexLine(const StoredSlide& s, const QString& picture, const QString& loop) {
    const QStringList fields{QString::number(s.kind),
                             picture,
                             loop,
                             oneLine(s.timingCode),
                             s.fetched.toUTC().toString(Qt::ISODate),
                             oneLine(s.statusLine1),
                             oneLine(s.statusLine2),
                             oneLine(s.address),
                             QString::number(s.part)};
    return fields.join(QLatin1Char('\t'));
}

// A name in the index must be a plain file of the set's folder.
bool plainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

std::optional<StoredSlide> slideFromLine(const QString& line, const QDir& folder) {
    const QStringList f = line.split(QLatin1Char('\t'));
    if (f.size() != kIndexFields && f.size() != kIndexFieldsWithoutAddress) {
        return std::nullopt;
    }
    StoredSlide s;
    bool ok = false;
    s.kind = f[0].toInt(&ok);
    if (!ok || (s.kind != 1 && s.kind != 2 && s.kind != 4) || !plainName(f[1])) {
        return std::nullopt;
    }
    if (s.kind == 4 && !plainName(f[2])) {
        return std::nullopt;
    }
    s.pictureFile = folder.filePath(f[1]);
    s.loopFile = s.kind == 4 ? folder.filePath(f[2]) : QString();
    s.timingCode = f[3];
    s.fetched = QDateTime::fromString(f[4], Qt::ISODate);
    s.statusLine1 = f[5];
    s.statusLine2 = f[6];
    if (f.size() == kIndexFields) {
        s.address = f[7];
        s.part = f[8].toInt();
    }
    if (!s.fetched.isValid()) {
        return std::nullopt;
    }
    return s;
}

} // namespace

QList<int> SlidesWithinLimit(const QList<qint64>& sizes, const QList<QDateTime>& fetched,
                             qint64 limitBytes) {
    QList<int> order(sizes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const QDateTime& ta = fetched.value(a);
        const QDateTime& tb = fetched.value(b);
        return ta != tb ? ta > tb : a > b;
    });
    QList<int> kept;
    qint64 total = 0;
    for (int i : order) {
        if (sizes[i] >= 0 && sizes[i] <= limitBytes - total) {
            total += sizes[i];
            kept.append(i);
        }
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

QString LastGoodStatusText(int lingua, const QDateTime& fetched) {
    const QString when = fetched.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    return Translations::in(lingua)
        .translate("LastGood", "Picture of %1 - waiting for the network")
        .arg(when);
}

QImage ReadKeptPicture(const QString& path) {
    if (QFileInfo(path).size() > kPictureLimit) {
        return {};
    }
    QImageReader reader(path);
    return reader.read();
}

QString KeptPictureText(int lingua, const QDateTime& fetched) {
    const QString when = fetched.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    return Translations::in(lingua).translate("LastGood", "Picture of %1").arg(when);
}

const StoredSlide* FindStoredSlide(const QList<StoredSlide>& slides, const QString& address,
                                   int part) {
    if (address.isEmpty()) {
        return nullptr;
    }
    for (const StoredSlide& slide : slides) {
        if (slide.address == address && slide.part == part) {
            return &slide;
        }
    }
    return nullptr;
}

LastGoodSet::LastGoodSet(QString workFolder, qint64 limitBytes)
    : workFolder_(std::move(workFolder)), limitBytes_(limitBytes) {}

QString LastGoodSet::folder() const {
    return QDir(workFolder_).filePath(QString::fromLatin1(kFolderName));
}

QString LastGoodSet::stagingFolder() const {
    return QDir(workFolder_).filePath(QString::fromLatin1(kStagingName));
}

bool LastGoodSet::writeStaging(const QList<SlideToKeep>& slides, const QList<int>& kept) {
    QDir staging(stagingFolder());
    QString index = QString::fromLatin1(kIndexHeader) + QLatin1Char('\n');
    for (int i : kept) {
        const SlideToKeep& k = slides[i];
        const QString picture = QStringLiteral("slide-%1.png").arg(i, 4, 10, QLatin1Char('0'));
        QString loop;
        if (!platform::WriteFileReplacing(staging.filePath(picture), k.pictureBytes, kDurable)) {
            return false;
        }
        if (k.slide.kind == 4) {
            loop = QStringLiteral("slide-%1.gif").arg(i, 4, 10, QLatin1Char('0'));
            if (!platform::CopyFileReplacing(k.loopSource, staging.filePath(loop), kDurable)) {
                return false;
            }
        }
        index += indexLine(k.slide, picture, loop) + QLatin1Char('\n');
    }
    // The index goes in last: a set without it is never played.
    const bool written = platform::WriteFileReplacing(
        staging.filePath(QString::fromLatin1(kIndexName)), index.toUtf8(), kDurable);
    syncFolder(staging.path());
    return written;
}

bool LastGoodSet::switchIn() {
    const QByteArray staging = QFile::encodeName(stagingFolder());
    const QByteArray current = QFile::encodeName(folder());
    // One rename: exchanged with the old set when there is one, so that the
    // folder's name always stands for a whole set.
    int result =
        ::renameat2(AT_FDCWD, staging.constData(), AT_FDCWD, current.constData(), RENAME_EXCHANGE);
    if (result != 0 && errno == ENOENT) {
        result = ::rename(staging.constData(), current.constData());
    }
    syncFolder(workFolder_);
    return result == 0;
}

bool LastGoodSet::save(const QList<SlideToKeep>& slides) {
    QList<qint64> sizes;
    QList<QDateTime> fetched;
    for (const SlideToKeep& k : slides) {
        const qint64 loopSize = k.slide.kind == 4 ? QFileInfo(k.loopSource).size() : 0;
        const bool usable =
            !k.pictureBytes.isEmpty() && (k.slide.kind != 4 || QFileInfo(k.loopSource).isFile());
        sizes.append(usable ? k.pictureBytes.size() + loopSize : -1);
        fetched.append(k.slide.fetched);
    }
    const QList<int> kept = SlidesWithinLimit(sizes, fetched, limitBytes_);
    if (kept.isEmpty()) {
        return false;
    }
    // What a crash left of an earlier write, or the set the last switch
    // replaced, goes first; a link at the name goes, never what it points to.
    platform::RemoveTree(stagingFolder());
    if (!QDir().mkpath(workFolder_) || !platform::MakeFreshFolder(stagingFolder()) ||
        !writeStaging(slides, kept) || !switchIn()) {
        platform::RemoveTree(stagingFolder());
        return false;
    }
    platform::RemoveTree(stagingFolder());
    return true;
}

QList<StoredSlide> LastGoodSet::load() const {
    const QDir dir(folder());
    QFile file(dir.filePath(QString::fromLatin1(kIndexName)));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kIndexLimit) {
        return {};
    }
    const QStringList lines = QString::fromUtf8(file.read(kIndexLimit)).split(QLatin1Char('\n'));
    if (lines.isEmpty() || lines.front() != QLatin1String(kIndexHeader)) {
        return {};
    }
    QList<StoredSlide> slides;
    for (qsizetype i = 1; i < lines.size() && slides.size() < kSlidesLimit; ++i) {
        if (lines[i].isEmpty()) {
            continue;
        }
        if (const auto slide = slideFromLine(lines[i], dir)) {
            slides.append(*slide);
        }
    }
    return slides;
}

LastGoodShow::LastGoodShow(RunState& state, const SettingsFile& settings, Presenter& presenter,
                           LastGoodControls controls)
    : state_(state), settings_(settings), presenter_(presenter), c_(controls) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { showNext(); });
}

bool LastGoodShow::start(QList<StoredSlide> slides, int firstDelayMs) {
    stop();
    slides_ = std::move(slides);
    if (slides_.isEmpty()) {
        return false;
    }
    next_ = 0;
    ++starts_;
    lastIntervalMs_ = slideIntervalMs();
    playing_ = true;
    since_ = QDateTime::currentDateTime();
    timer_.start(platform::scaledMs(firstDelayMs));
    return true;
}

void LastGoodShow::stop() {
    timer_.stop();
    playing_ = false;
}

int LastGoodShow::slideIntervalMs() const {
    return SlideIntervalMs(settings_.showSettings().slideSeconds);
}

void LastGoodShow::scheduleNext(const QString& timingCode) {
    const long long settingsMs = slideIntervalMs();
    const long long ms = TimingCodeIntervalMs(timingCode, settingsMs);
    if (ms >= 0) {
        lastIntervalMs_ = ms;
    }
    const double scaled =
        static_cast<double>(std::max(1LL, lastIntervalMs_)) * platform::timeScale();
    timer_.start(static_cast<int>(std::clamp(scaled, 1.0, 2147483647.0)));
}

void LastGoodShow::showNext() {
    if (!playing_ || slides_.isEmpty()) {
        return;
    }
    // A page being captured stays on the screen; the kept slide waits.
    if (state_.Http2BmpRunning != 0) {
        scheduleNext(QString());
        return;
    }
    const int index = next_;
    const StoredSlide slide = slides_[index];
    next_ = (next_ + 1) % static_cast<int>(slides_.size());
    const quint64 starts = starts_;
    const QImage picture =
        platform::runOffUiThread([file = slide.pictureFile] { return ReadKeptPicture(file); });
    if (!playing_ || starts != starts_) {
        return; // stopped or started afresh meanwhile
    }
    if (state_.Http2BmpRunning != 0) {
        next_ = index;
        scheduleNext(QString());
        return;
    }
    Slide shown = slide;
    shown.picture = picture;
    presenter_.showKept(shown);
    state_.statusLine1 = slide.statusLine1;
    state_.statusLine2 = networkAnswered_ ? KeptPictureText(state_.Lingua, slide.fetched)
                                          : LastGoodStatusText(state_.Lingua, slide.fetched);
    emit statusTextChanged();
    if (c_.lCountDown->isVisible()) {
        c_.lCountDown->raise();
    }
    scheduleNext(slide.timingCode);
    emit slideShown(index, slide);
}

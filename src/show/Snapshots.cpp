#include "show/Snapshots.h"

#include "platform/SafeFiles.h"

#include <QDir>

namespace {

constexpr auto kLatest = "latest.png";

// Replaced whole, and never written through a link planted at the name.
bool saveAtomically(const QImage& shot, const QString& path) {
    platform::ReplacingFile file(path);
    if (!file.open() || !shot.save(&file.device(), "PNG")) {
        file.cancel();
        return false;
    }
    return file.commit();
}

} // namespace

QString SnapshotFileName(qint64 number) {
    return QStringLiteral("slide-%1.png").arg(number, 6, 10, QLatin1Char('0'));
}

SnapshotWriter::SnapshotWriter(QString folder) : folder_(std::move(folder)) {
    // A folder used before goes on counting behind its newest file.
    const QStringList old = QDir(folder_).entryList({QStringLiteral("slide-*.png")}, QDir::Files,
                                                    QDir::Name | QDir::Reversed);
    if (!old.isEmpty()) {
        next_ = old.front().mid(6, old.front().size() - 10).toLongLong() + 1;
    }
}

bool SnapshotWriter::write(const QImage& shot) {
    if (shot.isNull() || !QDir().mkpath(folder_)) {
        return false;
    }
    const QDir dir(folder_);
    const bool numbered = saveAtomically(shot, dir.filePath(SnapshotFileName(next_)));
    const bool latest = saveAtomically(shot, dir.filePath(QString::fromLatin1(kLatest)));
    ++next_;
    pruneOldOnes();
    return numbered && latest;
}

void SnapshotWriter::pruneOldOnes() {
    QDir dir(folder_);
    const QStringList all = dir.entryList({QStringLiteral("slide-*.png")}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + kSnapshotsKept < all.size(); ++i) {
        dir.remove(all.at(i));
    }
}

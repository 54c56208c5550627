#pragma once

#include <QImage>
#include <QString>

// How many numbered snapshots a folder keeps.
inline constexpr int kSnapshotsKept = 200;

// "slide-000042.png".
QString SnapshotFileName(qint64 number);

// What the window shows after every slide, for a screen nobody looks at:
// latest.png, replaced atomically, and numbered files of which the newest
// kSnapshotsKept stay.
class SnapshotWriter {
public:
    explicit SnapshotWriter(QString folder);

    // False when the folder could not be made or a file not written.
    bool write(const QImage& shot);

    const QString& folder() const { return folder_; }
    qint64 written() const { return next_ - 1; }

private:
    void pruneOldOnes();

    QString folder_;
    qint64 next_ = 1;
};

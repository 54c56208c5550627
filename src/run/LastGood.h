#pragma once

#include "state/Slide.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class Presenter;
class QLabel;
class SettingsFile;
struct RunState;

// The last good pictures: a copy of every slide of the last download cycle
// that loaded well, kept in the work folder so that a screen restarted
// without network shows them instead of a black screen.

inline constexpr qint64 kLastGoodDefaultLimit = 200LL * 1024 * 1024;

// One slide of the set as it is kept: a slide whose picture waits in a
// file. Of the slide it keeps the kind, loop file (kind 4, a full path once
// loaded), status texts, timing code, fetch time, and the work-list entry and
// part by which a later cycle finds it again; the picture is read when shown.
struct StoredSlide : Slide {
    StoredSlide() { kind = 1; }
    QString pictureFile; // the still picture, a full path once loaded
};

// A kept still picture, or a null picture when it is missing or too large.
QImage ReadKeptPicture(const QString& path);

// The kept slide of entry address, part; nullptr when the set has none.
const StoredSlide* FindStoredSlide(const QList<StoredSlide>& slides, const QString& address,
                                   int part);

// A slide about to be kept: its still picture already encoded, the loop (if
// any) still in its working file.
struct SlideToKeep {
    StoredSlide slide;
    QByteArray pictureBytes; // PNG
    QString loopSource;      // kind 4: the working copy of the loop
};

// The slides the set keeps within limitBytes: the newest first (ties: the
// later slide first), in the show's order. sizes and fetched run parallel.
QList<int> SlidesWithinLimit(const QList<qint64>& sizes, const QList<QDateTime>& fetched,
                             qint64 limitBytes);

// The second status line of a kept slide while the network is awaited.
QString LastGoodStatusText(int lingua, const QDateTime& fetched);
// The second status line of a slide whose fetch failed and that shows the
// picture an earlier cycle kept of it.
QString KeptPictureText(int lingua, const QDateTime& fetched);

// The set on disk: Skyglance7_Work/LastGood. A new set is written beside it
// and swapped in with one rename, so a crash mid-write leaves the old set.
class LastGoodSet {
public:
    explicit LastGoodSet(QString workFolder, qint64 limitBytes = kLastGoodDefaultLimit);

    QString folder() const;
    // Writes the slides that fit and switches them in; false when nothing
    // could be written (the previous set then stays).
    bool save(const QList<SlideToKeep>& slides);
    // The kept slides in the show's order, with full paths; empty when there
    // is no set or its index is unreadable.
    QList<StoredSlide> load() const;

private:
    QString stagingFolder() const;
    bool writeStaging(const QList<SlideToKeep>& slides, const QList<int>& kept);
    bool switchIn();

    QString workFolder_;
    qint64 limitBytes_;
};

// The controls the kept slides touch.
struct LastGoodControls {
    // The countdown line, kept above the pictures while it shows.
    QLabel* lCountDown = nullptr;
};

// Plays the kept slides from the start until the first live slide: while
// the first catalogue reply is awaited and behind the first pass.
class LastGoodShow : public QObject {
    Q_OBJECT

public:
    LastGoodShow(RunState& state, const SettingsFile& settings, Presenter& presenter,
                 LastGoodControls controls);

    // Starts with the first slide after firstDelayMs (scaled); false when
    // there is nothing to play.
    bool start(QList<StoredSlide> slides, int firstDelayMs);
    void stop();
    // The service answered: the slides no longer say they wait for it.
    void networkAnswered() { networkAnswered_ = true; }
    bool playing() const { return playing_; }
    // When the set began to play.
    QDateTime since() const { return since_; }

signals:
    // The status lines in the state changed.
    void statusTextChanged();
    // After each kept slide is on the screen, with its place in the set.
    void slideShown(int index, const StoredSlide& slide);

private:
    int slideIntervalMs() const;
    void showNext();
    void scheduleNext(const QString& timingCode);

    RunState& state_;
    const SettingsFile& settings_;
    Presenter& presenter_;
    LastGoodControls c_;
    QList<StoredSlide> slides_;
    int next_ = 0;
    quint64 starts_ = 0;
    long long lastIntervalMs_ = 0;
    bool playing_ = false;
    bool networkAnswered_ = false;
    QDateTime since_;
    QTimer timer_;
};

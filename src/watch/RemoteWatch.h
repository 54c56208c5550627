#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// What the screen is doing, as the program publishes it after each slide.
struct WatchStatus {
    qint64 slidesShown = 0;
    int slide = -1; // the position of the slide on the screen, -1 before any
    int kind = 0;
    QString address;
    QString statusLine1;
    QString statusLine2;
    QDateTime shownAt;
    // Live pictures, or the last good ones of an earlier run.
    bool lastGood = false;
    QDateTime showingSince;
    // The last download cycle; no start before the first one ends.
    QDateTime cycleStarted;
    qint64 cycleDurationMs = 0;
    int picturesFetched = 0;
    int failures = 0;
    bool networkUp = false;
    QString service; // "waiting", "reachable" or "out of reach"
    // Why the show waits (for the service, for an answer ...); empty while
    // it runs.
    QString waiting;
    // The last quiet refresh: when it ended and the addresses it could not
    // fetch (the catalogue service's failure first, when it had one).
    QDateTime quietRefreshAt;
    QStringList quietRefreshFailed;
    QImage screen;
};

// Why the show waits, told by several sources at once (the first reply, a
// message box, a choice on the screen): the newest reason still standing is
// the one to tell.
class WaitReasons {
public:
    // Sets the reason of one source; an empty reason withdraws it. True when
    // the reason to tell has changed.
    bool set(const QString& source, const QString& reason);
    QString current() const;

private:
    QList<std::pair<QString, QString>> reasons_; // oldest first
};

// "host:port", or a port alone (then loopback). Empty on anything else.
struct WatchAddress {
    std::string host;
    int port = 0;
};
std::optional<WatchAddress> ParseWatchAddress(const QString& text);

QByteArray WatchStatusJson(const WatchStatus& status);
// The page's line on the last quiet refresh.
QString QuietRefreshText(const WatchStatus& status);
// The page; its links carry the token when one is given.
QByteArray WatchStatusPage(const WatchStatus& status, const QByteArray& token = {});

// A small read-only status page served on a thread of its own (see
// PageServer: a bounded number of connections, deadlines for slow clients).
// The UI thread publishes a copy of the status; the server only ever reads
// copies, so the UI thread never waits on it beyond swapping one pointer.
class RemoteWatch {
public:
    // Listens on the address; null with the reason in error when it cannot.
    // Beyond loopback every request must carry the token (in the query as
    // token=, as "Authorization: Bearer" or as "X-Skyglance-Token"); without
    // a token the page is served on loopback only.
    static std::unique_ptr<RemoteWatch> start(const QString& address, const QString& token,
                                              QString* error);
    ~RemoteWatch();
    RemoteWatch(const RemoteWatch&) = delete;
    RemoteWatch& operator=(const RemoteWatch&) = delete;

    // The status after a slide; it keeps the reason for waiting last told.
    void publish(WatchStatus status);
    // Tells the watchers why the show waits (empty: it no longer does), with
    // the rest of the status as last published.
    void setWaiting(const QString& reason);
    int port() const;

private:
    struct Impl;
    explicit RemoteWatch(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

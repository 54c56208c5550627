#pragma once

#include "watch/RemoteWatch.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThread>
#include <QUrl>
#include <optional>

// Who the screen is to the fleet service and where its reports go.
struct FleetSettings {
    QUrl service;     // the service's root, http or https
    QByteArray token; // sent as a bearer; the service knows the screen by it
    QString name;     // informative only
    QString version;
    int intervalMs = 60000;  // the least time from one report to the next
    int timeLimitMs = 10000; // for a whole transfer, from connecting to the reply's end
};

// The settings from SKYGLANCE_FLEET (the service's address),
// SKYGLANCE_FLEET_TOKEN and SKYGLANCE_SCREEN_NAME (default: the host name).
// nullopt when SKYGLANCE_FLEET is unset or empty, and also, with the reason in
// error, when it is not an http or https address.
std::optional<FleetSettings> FleetSettingsFromEnvironment(const QString& version, QString* error);

// Whether the token would cross the network unencrypted: plain http to a
// host other than this machine.
bool FleetTokenInClear(const FleetSettings& settings);

inline constexpr int kFleetThumbnailWidth = 480;
// The service reads no further than this.
inline constexpr qsizetype kFleetReportMaxBytes = 256 * 1024;

// The report of a status as the service takes it: a JSON object with the
// screen's name and version, live or last good and since when (ISO 8601, UTC,
// "" when unknown), the slide's number as the screen shows it and its
// address, the last cycle, the network and service states and the screen as
// a base64 JPEG 480 px wide. The picture's quality is lowered until the whole
// report stays below kFleetReportMaxBytes; a report that cannot carries no
// picture.
QByteArray FleetReportJson(const FleetSettings& settings, const WatchStatus& status);

// What became of one report.
struct FleetOutcome {
    int httpStatus = 0; // 0 when no answer came
    bool timedOut = false;
    QString error;           // the network's reason when no answer came
    qint64 retryAfterMs = 0; // from a 429's Retry-After
    bool stored() const { return httpStatus >= 200 && httpStatus < 300; }
};

// Sends the fleet service a report after a slide, at most once per interval,
// on a thread of its own: the picture's scaling and encoding, the JSON and
// the transfer never hold up the show. At most one report is in flight; one
// due meanwhile is dropped, not queued, as is one the service does not take
// or that finds it away. Each kind of refusal or failure is told once on
// standard error.
class FleetReport : public QObject {
    Q_OBJECT

public:
    explicit FleetReport(FleetSettings settings, QObject* parent = nullptr);
    ~FleetReport() override;
    FleetReport(const FleetReport&) = delete;
    FleetReport& operator=(const FleetReport&) = delete;

    // Whether a status offered now would be sent, so the screen needs to be
    // grabbed for it.
    bool wantsScreen() const;
    // Offers the status after a slide; returns at once. True when a report
    // went off; false when none was due or one is still in flight (then the
    // status is dropped). Statuses before the first slide are never sent.
    bool offer(const WatchStatus& status);

    bool inFlight() const { return inFlight_; }
    int reportsSent() const { return sent_; }
    int reportsDropped() const { return dropped_; }

signals:
    // The report in flight has ended, stored or not.
    void reportEnded(const FleetOutcome& outcome);

private:
    class Sender;
    void onEnded(const FleetOutcome& outcome);
    void tellOnce(const FleetOutcome& outcome);

    FleetSettings settings_;
    QThread thread_;
    Sender* sender_ = nullptr; // lives on thread_, deleted when it ends
    QElapsedTimer sinceLast_;
    qint64 waitMs_ = 0;
    bool inFlight_ = false;
    int sent_ = 0;
    int dropped_ = 0;
    QSet<QString> told_;
};

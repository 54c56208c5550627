#include "watch/FleetReport.h"

#include "platform/Timing.h"

#include <QBuffer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSysInfo>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kReportIntervalMs = 60000;
// Lower qualities keep a busy screen's report below the service's bound.
constexpr int kThumbnailQualities[] = {75, 55, 35, 15};
// The name and the address are informative; long ones are cut.
constexpr qsizetype kMaxNameChars = 200;
constexpr qsizetype kMaxAddressChars = 2000;
// The service answers with a status and little else: Qt holds no more of a
// reply than this, the rest is read and let go.
constexpr qint64 kReplyBufferBytes = 16 * 1024;
// A service asking for a longer pause than this is asked again after it.
constexpr qint64 kMaxRetryAfterMs = qint64{3600} * 1000;

QString isoOrEmpty(const QDateTime& t) {
    return t.isValid() ? t.toUTC().toString(Qt::ISODate) : QString();
}

QImage thumbnailPicture(const QImage& screen) {
    if (screen.isNull()) {
        return {};
    }
    return screen.scaledToWidth(kFleetThumbnailWidth, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

QByteArray jpeg(const QImage& picture, int quality) {
    if (picture.isNull()) {
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG", quality);
    return bytes;
}

// A token goes into a header line: visible ASCII only.
bool isHeaderSafe(const QByteArray& token) {
    return std::all_of(token.begin(), token.end(), [](char c) { return c > 0x20 && c < 0x7f; });
}

QUrl reportUrl(QUrl service) {
    QString path = service.path();
    while (path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    service.setPath(path + QStringLiteral("/fleet/report"));
    service.setQuery(QString());
    service.setFragment(QString());
    return service;
}

qint64 retryAfterMs(const QNetworkReply& reply) {
    bool ok = false;
    const qint64 seconds = reply.rawHeader("Retry-After").trimmed().toLongLong(&ok);
    return ok && seconds > 0 ? std::min(seconds * 1000, kMaxRetryAfterMs) : 0;
}

// What the person reading the log makes of a report that was not stored.
QString describeFailure(const FleetOutcome& outcome) {
    switch (outcome.httpStatus) {
    case 0:
        return outcome.timedOut ? QStringLiteral("no answer within the time limit")
                                : QStringLiteral("service out of reach: ") + outcome.error;
    case 401:
        return QStringLiteral("401, the service does not know the token (SKYGLANCE_FLEET_TOKEN)");
    case 404:
        return QStringLiteral("404, the service keeps no fleet (started without --fleet?)");
    case 413:
        return QStringLiteral("413, the report is too large for the service");
    case 429:
        return QStringLiteral("429, reports come too often (another screen with the same token?)");
    default:
        return QStringLiteral("HTTP status %1").arg(outcome.httpStatus);
    }
}

} // namespace

std::optional<FleetSettings> FleetSettingsFromEnvironment(const QString& version, QString* error) {
    const QString address = qEnvironmentVariable("SKYGLANCE_FLEET").trimmed();
    if (address.isEmpty()) {
        return std::nullopt;
    }
    FleetSettings settings;
    settings.service = QUrl(address, QUrl::StrictMode);
    const QString scheme = settings.service.scheme();
    if (!settings.service.isValid() || settings.service.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        *error = QStringLiteral("SKYGLANCE_FLEET is not an http or https address: ") + address;
        return std::nullopt;
    }
    settings.token = qgetenv("SKYGLANCE_FLEET_TOKEN").trimmed();
    if (!isHeaderSafe(settings.token)) {
        *error = QStringLiteral("SKYGLANCE_FLEET_TOKEN holds characters no token has");
        return std::nullopt;
    }
    settings.name = qEnvironmentVariable("SKYGLANCE_SCREEN_NAME").trimmed();
    if (settings.name.isEmpty()) {
        settings.name = QSysInfo::machineHostName();
    }
    settings.version = version;
    settings.intervalMs = platform::scaledMs(kReportIntervalMs);
    return settings;
}

bool FleetTokenInClear(const FleetSettings& settings) {
    const QString host = settings.service.host();
    return settings.service.scheme() == QLatin1String("http") &&
           host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0 &&
           !QHostAddress(host).isLoopback();
}

QByteArray FleetReportJson(const FleetSettings& settings, const WatchStatus& s) {
    QJsonObject report{
        {QStringLiteral("name"), settings.name.left(kMaxNameChars)},
        {QStringLiteral("version"), settings.version},
        {QStringLiteral("lastGood"), s.lastGood},
        {QStringLiteral("since"), isoOrEmpty(s.showingSince)},
        // From 0, as status.json numbers it; the fleet page shows it from 1.
        {QStringLiteral("slide"), s.slide},
        {QStringLiteral("address"), s.address.left(kMaxAddressChars)},
        {QStringLiteral("cycleStarted"), isoOrEmpty(s.cycleStarted)},
        {QStringLiteral("cycleMs"), s.cycleDurationMs},
        {QStringLiteral("fetched"), s.picturesFetched},
        {QStringLiteral("failed"), s.failures},
        {QStringLiteral("network"), s.networkUp ? QStringLiteral("up") : QStringLiteral("down")},
        {QStringLiteral("service"), s.service},
        {QStringLiteral("thumbnail"), QString()},
    };
    const QImage picture = thumbnailPicture(s.screen);
    if (!picture.isNull()) {
        for (const int quality : kThumbnailQualities) {
            report[QStringLiteral("thumbnail")] =
                QString::fromLatin1(jpeg(picture, quality).toBase64());
            QByteArray body = QJsonDocument(report).toJson(QJsonDocument::Compact);
            if (body.size() <= kFleetReportMaxBytes) {
                return body;
            }
        }
        report[QStringLiteral("thumbnail")] = QString();
    }
    return QJsonDocument(report).toJson(QJsonDocument::Compact);
}

// Builds and sends the reports on the report's thread, one at a time.
class FleetReport::Sender : public QObject {
    static constexpr const char* kTimedOut = "skyglanceTimedOut";

public:
    Sender(FleetReport& owner, const FleetSettings& settings)
        : owner_(owner), settings_(settings), url_(reportUrl(settings.service)) {}

    void send(const WatchStatus& status) {
        if (!manager_) {
            // Made on this thread, so its connections belong to it.
            manager_ = new QNetworkAccessManager(this);
            manager_->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
        }
        QNetworkReply* reply = manager_->post(request(), FleetReportJson(settings_, status));
        reply->setReadBufferSize(kReplyBufferBytes);
        auto* limit = new QTimer(reply);
        limit->setSingleShot(true);
        connect(limit, &QTimer::timeout, reply, [reply] {
            reply->setProperty(kTimedOut, true);
            reply->abort();
        });
        limit->start(settings_.timeLimitMs);
        connect(reply, &QNetworkReply::readyRead, reply,
                [reply] { reply->skip(reply->bytesAvailable()); });
        connect(reply, &QNetworkReply::finished, this, [this, reply] {
            FleetOutcome outcome;
            outcome.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            outcome.timedOut = reply->property(kTimedOut).toBool();
            outcome.error = reply->errorString();
            outcome.retryAfterMs = retryAfterMs(*reply);
            reply->deleteLater();
            ended(outcome);
        });
    }

private:
    QNetworkRequest request() const {
        QNetworkRequest request(url_);
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/json"));
        if (!settings_.token.isEmpty()) {
            request.setRawHeader("Authorization", "Bearer " + settings_.token);
        }
        // A report goes where it was told, never on to another address.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::ManualRedirectPolicy);
        request.setRawHeader("Accept-Encoding", "identity");
        return request;
    }

    void ended(const FleetOutcome& outcome) {
        FleetReport* owner = &owner_;
        QMetaObject::invokeMethod(
            owner, [owner, outcome] { owner->onEnded(outcome); }, Qt::QueuedConnection);
    }

    FleetReport& owner_;
    const FleetSettings settings_;
    const QUrl url_;
    QNetworkAccessManager* manager_ = nullptr;
};

FleetReport::FleetReport(FleetSettings settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)), waitMs_(settings_.intervalMs) {
    sender_ = new Sender(*this, settings_);
    sender_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, sender_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("fleet report"));
    thread_.start(QThread::LowPriority);
}

FleetReport::~FleetReport() {
    // A transfer still running is let go with its thread; what the thread
    // posted back dies with this object.
    thread_.quit();
    thread_.wait();
}

bool FleetReport::wantsScreen() const {
    return !inFlight_ && (!sinceLast_.isValid() || sinceLast_.elapsed() >= waitMs_);
}

bool FleetReport::offer(const WatchStatus& status) {
    if (status.slide < 0) {
        return false;
    }
    if (inFlight_) {
        if (sinceLast_.elapsed() >= waitMs_) {
            ++dropped_;
        }
        return false;
    }
    if (!wantsScreen()) {
        return false;
    }
    inFlight_ = true;
    ++sent_;
    sinceLast_.start();
    Sender* sender = sender_;
    QMetaObject::invokeMethod(
        sender, [sender, status] { sender->send(status); }, Qt::QueuedConnection);
    return true;
}

void FleetReport::onEnded(const FleetOutcome& outcome) {
    inFlight_ = false;
    waitMs_ = std::max<qint64>(settings_.intervalMs, outcome.retryAfterMs);
    if (!outcome.stored()) {
        tellOnce(outcome);
    }
    emit reportEnded(outcome);
}

void FleetReport::tellOnce(const FleetOutcome& outcome) {
    const QString failure = describeFailure(outcome);
    if (told_.contains(failure)) {
        return;
    }
    told_.insert(failure);
    std::fprintf(stderr, "skyglance: fleet report not stored: %s\n", qPrintable(failure));
}

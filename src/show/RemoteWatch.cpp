#include "show/RemoteWatch.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <httplib.h>
#include <mutex>
#include <thread>

namespace {

constexpr int kServerThreads = 2;
constexpr int kTimeoutSeconds = 5;
constexpr int kPreviewWidth = 960;
constexpr int kPageRefreshSeconds = 10;

QString isoOrEmpty(const QDateTime& t) {
    return t.isValid() ? t.toUTC().toString(Qt::ISODate) : QString();
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString row(const char* label, const QString& value, const char* id) {
    return QStringLiteral("<tr><th>%1</th><td id=\"%2\">%3</td></tr>\n")
        .arg(QLatin1String(label), QLatin1String(id), escaped(value));
}

QString localTime(const QDateTime& t) {
    return t.isValid() ? t.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))
                       : QStringLiteral("-");
}

QByteArray previewJpeg(const QImage& screen) {
    if (screen.isNull()) {
        return {};
    }
    const QImage small = screen.width() > kPreviewWidth
                             ? screen.scaledToWidth(kPreviewWidth, Qt::SmoothTransformation)
                             : screen;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    small.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPG", 80);
    return bytes;
}

} // namespace

std::optional<WatchAddress> ParseWatchAddress(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^(?:([A-Za-z0-9.:\\-]+|\\[[0-9a-fA-F:]+\\]):)?"
                       "([0-9]{1,5})$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    const int port = m.captured(2).toInt();
    if (port < 0 || port > 65535) {
        return std::nullopt;
    }
    QString host = m.captured(1);
    if (host.startsWith(QLatin1Char('['))) {
        host = host.mid(1, host.size() - 2);
    }
    return WatchAddress{host.isEmpty() ? std::string("127.0.0.1") : host.toStdString(), port};
}

QByteArray WatchStatusJson(const WatchStatus& s) {
    QJsonObject cycle{{QStringLiteral("started"), isoOrEmpty(s.cycleStarted)},
                      {QStringLiteral("durationMs"), s.cycleDurationMs},
                      {QStringLiteral("picturesFetched"), s.picturesFetched},
                      {QStringLiteral("failures"), s.failures}};
    QJsonObject slide{{QStringLiteral("number"), s.slide},
                      {QStringLiteral("kind"), s.kind},
                      {QStringLiteral("address"), s.address},
                      {QStringLiteral("statusLine1"), s.statusLine1},
                      {QStringLiteral("statusLine2"), s.statusLine2},
                      {QStringLiteral("shownAt"), isoOrEmpty(s.shownAt)}};
    QJsonObject root{
        {QStringLiteral("slidesShown"), s.slidesShown},
        {QStringLiteral("slide"), slide},
        {QStringLiteral("showing"),
         s.lastGood ? QStringLiteral("last good") : QStringLiteral("live")},
        {QStringLiteral("showingSince"), isoOrEmpty(s.showingSince)},
        {QStringLiteral("lastCycle"), cycle},
        {QStringLiteral("network"), s.networkUp ? QStringLiteral("up") : QStringLiteral("down")},
        {QStringLiteral("service"), s.service},
        {QStringLiteral("waiting"), s.waiting},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray WatchStatusPage(const WatchStatus& s) {
    QString html = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                                  "<meta http-equiv=\"refresh\" content=\"%1\">"
                                  "<title>Skyglance screen</title>"
                                  "<style>body{font-family:sans-serif;margin:1em}"
                                  "th{text-align:left;padding-right:1em}img{max-width:100%}</style>"
                                  "</head><body>\n<h1>Skyglance screen</h1>\n")
                       .arg(kPageRefreshSeconds);
    if (!s.screen.isNull()) {
        html +=
            QStringLiteral("<p><img id=\"screen\" alt=\"the screen\" src=\"/screen.jpg?%1\"></p>\n")
                .arg(s.slidesShown);
    }
    const QString showing = s.lastGood ? QStringLiteral("last good pictures (no network yet)")
                                       : QStringLiteral("live pictures");
    const QString cycle = s.cycleStarted.isValid()
                              ? QStringLiteral("%1, %2 s, %3 pictures fetched, %4 failed")
                                    .arg(localTime(s.cycleStarted))
                                    .arg(static_cast<double>(s.cycleDurationMs) / 1000.0, 0, 'f', 1)
                                    .arg(s.picturesFetched)
                                    .arg(s.failures)
                              : QStringLiteral("none yet");
    html += QStringLiteral("<table>\n");
    html +=
        row("Showing", showing + QStringLiteral(" since ") + localTime(s.showingSince), "showing");
    html += row("Slide", s.slide < 0 ? QStringLiteral("-") : QString::number(s.slide + 1), "slide");
    html += row("Address", s.address, "address");
    html += row("Status", s.statusLine1 + QStringLiteral(" | ") + s.statusLine2, "status");
    html += row("Shown at", localTime(s.shownAt), "shown");
    html += row("Last download", cycle, "cycle");
    html += row("Network", s.networkUp ? QStringLiteral("up") : QStringLiteral("down"), "network");
    html += row("Catalogue service", s.service, "service");
    html += row("Waiting", s.waiting.isEmpty() ? QStringLiteral("-") : s.waiting, "waiting");
    html += QStringLiteral("</table>\n<p><a href=\"/status.json\">status.json</a></p>\n"
                           "</body></html>\n");
    return html.toUtf8();
}

struct RemoteWatch::Impl {
    struct Published {
        qint64 sequence = 0;
        QByteArray json;
        QByteArray page;
        QImage screen;
    };

    httplib::Server server;
    std::thread thread;
    int port = 0;
    // The UI thread's own: the last status, told again with a new reason.
    WatchStatus last;
    QString waiting;
    std::mutex publishedMutex; // held only to copy or swap the pointer
    std::shared_ptr<const Published> published = std::make_shared<Published>();
    qint64 sequence = 0;
    std::mutex jpegMutex; // the server's own cache; never taken by the UI thread
    qint64 jpegSequence = -1;
    QByteArray jpeg;

    std::shared_ptr<const Published> current() {
        const std::lock_guard lock(publishedMutex);
        return published;
    }

    QByteArray jpegOf(const Published& p) {
        const std::lock_guard lock(jpegMutex);
        if (jpegSequence != p.sequence) {
            jpeg = previewJpeg(p.screen);
            jpegSequence = p.sequence;
        }
        return jpeg;
    }

    void route() {
        server.Get("/", [this](const httplib::Request&, httplib::Response& res) {
            const auto p = current();
            res.set_header("Cache-Control", "no-store");
            res.set_content(p->page.constData(), static_cast<size_t>(p->page.size()),
                            "text/html; charset=utf-8");
        });
        server.Get("/status.json", [this](const httplib::Request&, httplib::Response& res) {
            const auto p = current();
            res.set_header("Cache-Control", "no-store");
            res.set_content(p->json.constData(), static_cast<size_t>(p->json.size()),
                            "application/json");
        });
        server.Get("/screen.jpg", [this](const httplib::Request&, httplib::Response& res) {
            const QByteArray bytes = jpegOf(*current());
            if (bytes.isEmpty()) {
                res.status = 404;
                return;
            }
            res.set_header("Cache-Control", "no-store");
            res.set_content(bytes.constData(), static_cast<size_t>(bytes.size()), "image/jpeg");
        });
        // Read-only: anything else is refused.
        server.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
            if (req.method != "GET" && req.method != "HEAD") {
                res.status = 405;
                return httplib::Server::HandlerResponse::Handled;
            }
            return httplib::Server::HandlerResponse::Unhandled;
        });
        server.new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
        server.set_read_timeout(kTimeoutSeconds, 0);
        server.set_write_timeout(kTimeoutSeconds, 0);
        server.set_keep_alive_timeout(kTimeoutSeconds);
        server.set_payload_max_length(1024);
    }
};

RemoteWatch::RemoteWatch(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

RemoteWatch::~RemoteWatch() {
    impl_->server.stop();
    if (impl_->thread.joinable()) {
        impl_->thread.join();
    }
}

std::unique_ptr<RemoteWatch> RemoteWatch::start(const QString& address, QString* error) {
    const auto where = ParseWatchAddress(address);
    if (!where) {
        if (error) {
            *error =
                QStringLiteral("not an address: \"%1\" (use host:port or a port)").arg(address);
        }
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->route();
    const int port = where->port == 0
                         ? impl->server.bind_to_any_port(where->host)
                         : (impl->server.bind_to_port(where->host, where->port) ? where->port : -1);
    if (port <= 0) {
        if (error) {
            *error = QStringLiteral("cannot listen on %1").arg(address);
        }
        return nullptr;
    }
    impl->port = port;
    Impl* raw = impl.get();
    impl->thread = std::thread([raw] { raw->server.listen_after_bind(); });
    return std::unique_ptr<RemoteWatch>(new RemoteWatch(std::move(impl)));
}

bool WaitReasons::set(const QString& source, const QString& reason) {
    // A reason told again keeps its place: a newer one still speaks.
    if (reasons_.contains(std::pair{source, reason})) {
        return false;
    }
    const QString before = current();
    reasons_.removeIf([&source](const auto& r) { return r.first == source; });
    if (!reason.isEmpty()) {
        reasons_.append({source, reason});
    }
    return current() != before;
}

QString WaitReasons::current() const {
    return reasons_.isEmpty() ? QString() : reasons_.last().second;
}

void RemoteWatch::setWaiting(const QString& reason) {
    impl_->waiting = reason;
    publish(impl_->last);
}

void RemoteWatch::publish(WatchStatus status) {
    status.waiting = impl_->waiting;
    impl_->last = status;
    auto next = std::make_shared<Impl::Published>();
    next->sequence = ++impl_->sequence;
    next->json = WatchStatusJson(status);
    next->page = WatchStatusPage(status);
    next->screen = std::move(status.screen);
    const std::lock_guard lock(impl_->publishedMutex);
    impl_->published = std::move(next);
}

int RemoteWatch::port() const {
    return impl_->port;
}

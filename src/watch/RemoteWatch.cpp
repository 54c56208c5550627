#include "watch/RemoteWatch.h"

#include "watch/PageServer.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <mutex>

namespace {

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
        {QStringLiteral("quietRefresh"),
         QJsonObject{{QStringLiteral("ended"), isoOrEmpty(s.quietRefreshAt)},
                     {QStringLiteral("failed"), QJsonArray::fromStringList(s.quietRefreshFailed)}}},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QString QuietRefreshText(const WatchStatus& s) {
    // A refresh with many failures names the first few; the JSON has all.
    constexpr int kNamed = 5;
    QString text = localTime(s.quietRefreshAt);
    if (s.quietRefreshFailed.isEmpty()) {
        return text + QStringLiteral(", nothing failed");
    }
    text += QStringLiteral(", %1 failed: ").arg(s.quietRefreshFailed.size());
    text += s.quietRefreshFailed.mid(0, kNamed).join(QStringLiteral(", "));
    if (s.quietRefreshFailed.size() > kNamed) {
        text += QStringLiteral(", ...");
    }
    return text;
}

QByteArray WatchStatusPage(const WatchStatus& s, const QByteArray& token) {
    // Links carry the token the page was asked with, so the browser may
    // follow them.
    const QString withToken =
        token.isEmpty() ? QString()
                        : QStringLiteral("token=") + QString::fromLatin1(token.toPercentEncoding());
    QString html = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                                  "<meta http-equiv=\"refresh\" content=\"%1\">"
                                  "<title>Skyglance screen</title>"
                                  "<style>body{font-family:sans-serif;margin:1em}"
                                  "th{text-align:left;padding-right:1em}img{max-width:100%}</style>"
                                  "</head><body>\n<h1>Skyglance screen</h1>\n")
                       .arg(kPageRefreshSeconds);
    if (!s.screen.isNull()) {
        html += QStringLiteral(
                    "<p><img id=\"screen\" alt=\"the screen\" src=\"/screen.jpg?%1%2\"></p>\n")
                    .arg(s.slidesShown)
                    .arg(withToken.isEmpty() ? QString() : QStringLiteral("&amp;") + withToken);
    }
    const QString showing = s.lastGood ? QStringLiteral("last good pictures (no live ones yet)")
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
    if (s.quietRefreshAt.isValid()) {
        html += row("Last quiet refresh", QuietRefreshText(s), "quiet");
    }
    html += QStringLiteral("</table>\n<p><a href=\"/status.json%1\">status.json</a></p>\n"
                           "</body></html>\n")
                .arg(withToken.isEmpty() ? QString() : QStringLiteral("?") + withToken);
    return html.toUtf8();
}

namespace {

bool sameInConstantTime(const QByteArray& a, const QByteArray& b) {
    // Digests of equal length: the time says nothing of where they differ.
    const QByteArray x = QCryptographicHash::hash(a, QCryptographicHash::Sha256);
    const QByteArray y = QCryptographicHash::hash(b, QCryptographicHash::Sha256);
    unsigned char differ = 0;
    for (qsizetype i = 0; i < x.size(); ++i) {
        differ |= static_cast<unsigned char>(x[i] ^ y[i]);
    }
    return differ == 0;
}

QByteArray queryValue(const std::string& query, const QByteArray& name) {
    for (const QByteArray& pair : QByteArray::fromStdString(query).split('&')) {
        if (pair.startsWith(name + '=')) {
            return QByteArray::fromPercentEncoding(pair.mid(name.size() + 1));
        }
    }
    return {};
}

// The tokens a request offers: in its query, as a bearer or in a header of
// its own.
QList<QByteArray> offeredTokens(const PageRequest& request) {
    QList<QByteArray> offered;
    if (const QByteArray inQuery = queryValue(request.query, "token"); !inQuery.isEmpty()) {
        offered << inQuery;
    }
    const QByteArray authorization = QByteArray::fromStdString(request.header("authorization"));
    if (authorization.toLower().startsWith("bearer ")) {
        offered << authorization.mid(7).trimmed();
    }
    if (const std::string own = request.header("x-skyglance-token"); !own.empty()) {
        offered << QByteArray::fromStdString(own);
    }
    return offered;
}

PageReply content(const char* type, QByteArray body) {
    PageReply reply;
    reply.contentType = type;
    reply.body = std::move(body);
    reply.headers = {{"Cache-Control", "no-store"}};
    return reply;
}

PageReply refusal(int status) {
    PageReply reply;
    reply.status = status;
    if (status == 401) {
        reply.headers = {{"WWW-Authenticate", "Bearer realm=\"skyglance\""}};
    }
    return reply;
}

} // namespace

struct RemoteWatch::Impl {
    struct Published {
        qint64 sequence = 0;
        QByteArray json;
        WatchStatus status; // the page is written per request: its links carry the token
    };

    std::unique_ptr<PageServer> server;
    QByteArray token; // empty: none asked
    // The UI thread's own: the last status, told again with a new reason.
    WatchStatus last;
    QString waiting;
    std::mutex publishedMutex; // held only to copy or swap the pointer
    std::shared_ptr<const Published> published = std::make_shared<Published>();
    qint64 sequence = 0;
    // The server thread's own cache.
    qint64 jpegSequence = -1;
    QByteArray jpeg;

    std::shared_ptr<const Published> current() {
        const std::lock_guard lock(publishedMutex);
        return published;
    }

    QByteArray jpegOf(const Published& p) {
        if (jpegSequence != p.sequence) {
            jpeg = previewJpeg(p.status.screen);
            jpegSequence = p.sequence;
        }
        return jpeg;
    }

    bool admitted(const PageRequest& request) const {
        if (token.isEmpty()) {
            return true;
        }
        bool any = false;
        for (const QByteArray& offered : offeredTokens(request)) {
            any |= sameInConstantTime(offered, token);
        }
        return any;
    }

    // Read-only: GET and HEAD of the page, its JSON and the screen.
    PageReply serve(const PageRequest& request) {
        if (!admitted(request)) {
            return refusal(401);
        }
        if (request.method != "GET" && request.method != "HEAD") {
            return refusal(405);
        }
        const auto p = current();
        if (request.path == "/") {
            const QByteArray inQuery = queryValue(request.query, "token");
            return content("text/html; charset=utf-8", WatchStatusPage(p->status, inQuery));
        }
        if (request.path == "/status.json") {
            return content("application/json", p->json);
        }
        if (request.path == "/screen.jpg") {
            const QByteArray bytes = jpegOf(*p);
            return bytes.isEmpty() ? refusal(404) : content("image/jpeg", bytes);
        }
        return refusal(404);
    }
};

RemoteWatch::RemoteWatch(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

RemoteWatch::~RemoteWatch() {
    impl_->server.reset(); // its thread serves from the rest of impl_
}

std::unique_ptr<RemoteWatch> RemoteWatch::start(const QString& address, const QString& token,
                                                QString* error) {
    const auto fail = [error](const QString& why) {
        if (error) {
            *error = why;
        }
        return nullptr;
    };
    const auto where = ParseWatchAddress(address);
    if (!where) {
        return fail(
            QStringLiteral("not an address: \"%1\" (use host:port or a port)").arg(address));
    }
    auto impl = std::make_unique<Impl>();
    Impl* raw = impl.get();
    std::string why;
    impl->server = PageServer::listen(
        where->host, where->port, PageServer::Limits{},
        [raw](const PageRequest& request) { return raw->serve(request); }, &why);
    if (!impl->server) {
        return fail(
            QStringLiteral("cannot listen on %1: %2").arg(address, QString::fromStdString(why)));
    }
    if (!impl->server->onLoopback()) {
        if (token.isEmpty()) {
            return fail(QStringLiteral("%1 is reachable beyond this machine; set "
                                       "SKYGLANCE_STATUS_TOKEN to serve it there, or listen on "
                                       "127.0.0.1")
                            .arg(address));
        }
        impl->token = token.toUtf8();
    }
    impl->server->serve();
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
    next->status = std::move(status);
    const std::lock_guard lock(impl_->publishedMutex);
    impl_->published = std::move(next);
}

int RemoteWatch::port() const {
    return impl_->server->port();
}

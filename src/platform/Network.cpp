#include "Network.h"

#include "platform/SafeFiles.h"
#include "platform/Timing.h"

#include <QEventLoop>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStringDecoder>
#include <QTimer>
#include <memory>
#include <utility>

namespace platform {
namespace {

// Qt buffers at most this much of a body ahead of us, so the size cap also
// bounds memory.
constexpr qint64 kReadBufferBytes = 256 * 1024;

// A text reply of kTextReplyMaxChars characters never needs more bytes than
// this (at most four bytes per character in UTF-8).
constexpr qsizetype kTextReplyMaxBytes = qsizetype{4} * kTextReplyMaxChars;

// The proxy of the system's internet settings, asked per request.
class SystemProxyFactory : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        return systemProxyForQuery(query);
    }
};

QNetworkRequest makeRequest(const QUrl& url) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    // Also tells proxies on the way not to answer from their caches.
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    // Bodies come as sent: Qt 6.4 crashes decompressing the brotli body of a
    // redirect in a redirect loop, and pictures gain nothing from it anyway.
    request.setRawHeader("Accept-Encoding", "identity");
    return request;
}

bool isDowngrade(const QUrl& from, const QUrl& to) {
    return from.scheme() == QLatin1String("https") && to.scheme() == QLatin1String("http");
}

QByteArray charsetOf(const QByteArray& contentType) {
    const QList<QByteArray> parts = contentType.split(';');
    for (const QByteArray& part : parts) {
        const QByteArray item = part.trimmed();
        if (item.toLower().startsWith("charset=")) {
            QByteArray name = item.mid(8).trimmed();
            if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"')) {
                name = name.mid(1, name.size() - 2);
            }
            return name;
        }
    }
    return {};
}

// A body stopped at the byte limit may end inside a UTF-8 sequence; without
// those bytes it is judged (and decoded) on what did arrive.
QByteArrayView withoutCutSequence(QByteArrayView bytes) {
    const auto isContinuation = [](char c) { return (static_cast<uchar>(c) & 0xC0) == 0x80; };
    qsizetype lead = bytes.size() - 1;
    while (lead >= 0 && bytes.size() - lead < 4 && isContinuation(bytes[lead])) {
        --lead;
    }
    if (lead < 0) {
        return bytes;
    }
    const auto first = static_cast<uchar>(bytes[lead]);
    const qsizetype needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    return bytes.size() - lead < needed ? bytes.first(lead) : bytes;
}

// A declared charset that Qt knows is honoured. Without one (or with one it
// does not know) the text is UTF-8 when it is valid UTF-8, else Latin-1, as
// the settings files are: old servers send their own 8-bit texts unlabelled.
QString decodeText(const QByteArray& bytes, const QByteArray& contentType, bool bodyWasCut) {
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid()) {
            return decoder.decode(bytes);
        }
    }
    const QByteArrayView whole = bodyWasCut ? withoutCutSequence(bytes) : QByteArrayView(bytes);
    if (whole.isValidUtf8()) {
        return QString::fromUtf8(whole);
    }
    return QString::fromLatin1(bytes);
}

// Cuts to the character limit without leaving half of a surrogate pair.
QString cutToLimit(QString text, bool* cut) {
    *cut = text.size() > kTextReplyMaxChars;
    if (*cut) {
        qsizetype keep = kTextReplyMaxChars;
        if (text.at(keep - 1).isHighSurrogate()) {
            --keep;
        }
        text.truncate(keep);
    }
    return text;
}

} // namespace

QString describe(TransferOutcome outcome) {
    switch (outcome) {
    case TransferOutcome::Complete:
        return QStringLiteral("complete");
    case TransferOutcome::HttpError:
        return QStringLiteral("HTTP error status");
    case TransferOutcome::NetworkError:
        return QStringLiteral("network error");
    case TransferOutcome::TimedOut:
        return QStringLiteral("time limit reached");
    case TransferOutcome::TooLarge:
        return QStringLiteral("body larger than the size cap");
    case TransferOutcome::WriteFailed:
        return QStringLiteral("file could not be written");
    case TransferOutcome::UnsupportedAddress:
        return QStringLiteral("not an http or https address");
    }
    return {};
}

bool isFetchableUrl(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) {
        return false;
    }
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QUrl parseAddress(const QString& address) {
    return QUrl(address.trimmed(), QUrl::TolerantMode);
}

// One GET with its time limit and size cap. It hands the body to a sink as it
// arrives and reports its end once, then deletes itself.
class Transfer : public QObject {
public:
    enum class SinkAnswer { More, Enough, Failed };
    using Sink = std::function<SinkAnswer(const QByteArray&)>;

    struct End {
        TransferOutcome outcome = TransferOutcome::NetworkError;
        int httpStatus = 0;
        qint64 bytes = 0;
        QString error;
        QByteArray contentType;
    };
    using Finish = std::function<void(const End&)>;

    Transfer(NetworkAccess& owner, const QUrl& url, TransferLimits limits, Sink sink, Finish finish)
        : QObject(&owner), owner_(owner), limits_(limits), sink_(std::move(sink)),
          finish_(std::move(finish)), currentUrl_(url) {
        ++owner_.inFlight_;
        reply_ = owner_.manager_.get(makeRequest(url));
        reply_->setReadBufferSize(kReadBufferBytes);
        connect(reply_, &QNetworkReply::metaDataChanged, this, &Transfer::onMetaData);
        connect(reply_, &QNetworkReply::readyRead, this, &Transfer::onReadyRead);
        connect(reply_, &QNetworkReply::redirected, this, &Transfer::onRedirected);
        connect(reply_, &QNetworkReply::finished, this, &Transfer::onFinished);
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, [this] {
            end(TransferOutcome::TimedOut, QStringLiteral("no complete answer in time"));
        });
        timer_.start(scaledMs(limits_.timeLimitMs));
    }

    ~Transfer() override {
        if (!ended_) {
            // The owner goes away first: drop the transfer. Only a blocking
            // fetch is told, so that its local event loop ends.
            --owner_.inFlight_;
            if (reply_ != nullptr) {
                reply_->disconnect(this);
                reply_->abort();
            }
            if (reportWhenDropped_ && finish_) {
                End report;
                report.error = QStringLiteral("network access closed during the transfer");
                finish_(report);
            }
        }
    }

    // The finish callback also runs when the owner is destroyed first.
    void reportWhenDropped() { reportWhenDropped_ = true; }

private:
    int httpStatus() const {
        return reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

    void onMetaData() {
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limits_.maxBytes && httpStatus() < 300) {
            end(TransferOutcome::TooLarge, QStringLiteral("announced body too large"));
        }
    }

    void onRedirected(const QUrl& target) {
        // reply_->url() already names the target here, so the address we
        // come from is our own record.
        if (!isFetchableUrl(target) || isDowngrade(currentUrl_, target)) {
            end(TransferOutcome::UnsupportedAddress,
                QStringLiteral("redirect refused: %1").arg(target.toString()));
            return;
        }
        currentUrl_ = target;
        emit reply_->redirectAllowed();
    }

    void onReadyRead() {
        if (httpStatus() >= 400) {
            // The error page is of no use; the status is the answer, reported
            // when the reply has wound down (aborting it now would make Qt
            // report a second error). Its bytes still count against the cap.
            discardErrorPage();
            return;
        }
        drain();
    }

    void discardErrorPage() {
        while (!ended_ && reply_->bytesAvailable() > 0) {
            bytes_ += reply_->read(kReadBufferBytes).size();
            if (bytes_ > limits_.maxBytes) {
                end(TransferOutcome::TooLarge, QStringLiteral("error page larger than the cap"));
            }
        }
    }

    // Passes what has arrived to the sink; false when the transfer ended.
    bool drain() {
        while (!ended_ && reply_->bytesAvailable() > 0) {
            const QByteArray chunk = reply_->read(kReadBufferBytes);
            if (bytes_ + chunk.size() > limits_.maxBytes) {
                end(TransferOutcome::TooLarge, QStringLiteral("body larger than the size cap"));
                return false;
            }
            bytes_ += chunk.size();
            switch (sink_(chunk)) {
            case SinkAnswer::More:
                break;
            case SinkAnswer::Enough:
                end(TransferOutcome::Complete, {});
                return false;
            case SinkAnswer::Failed:
                end(TransferOutcome::WriteFailed, QStringLiteral("could not store the body"));
                return false;
            }
        }
        return !ended_;
    }

    void onFinished() {
        if (ended_) {
            return;
        }
        const int status = httpStatus();
        if (reply_->error() != QNetworkReply::NoError) {
            end(status >= 400 ? TransferOutcome::HttpError : TransferOutcome::NetworkError,
                reply_->errorString());
            return;
        }
        if (status >= 400) {
            end(TransferOutcome::HttpError, reply_->errorString());
            return;
        }
        if (drain()) {
            end(TransferOutcome::Complete, {});
        }
    }

    void end(TransferOutcome outcome, const QString& error) {
        if (ended_) {
            return;
        }
        ended_ = true;
        timer_.stop();
        End report;
        report.outcome = outcome;
        report.bytes = bytes_;
        report.error = error;
        if (reply_ != nullptr) {
            report.httpStatus = httpStatus();
            report.contentType = reply_->header(QNetworkRequest::ContentTypeHeader).toByteArray();
            reply_->disconnect(this);
            // A reply that has already failed winds itself down; aborting it
            // again would report a second error.
            if (reply_->isRunning() && reply_->error() == QNetworkReply::NoError) {
                reply_->abort();
            }
            reply_->deleteLater();
        }
        --owner_.inFlight_;
        deleteLater();
        Finish finish = std::move(finish_);
        finish(report);
    }

    NetworkAccess& owner_;
    TransferLimits limits_;
    Sink sink_;
    Finish finish_;
    QUrl currentUrl_;
    QPointer<QNetworkReply> reply_;
    QTimer timer_;
    qint64 bytes_ = 0;
    bool ended_ = false;
    bool reportWhenDropped_ = false;
};

NetworkAccess::NetworkAccess(QObject* parent) : QObject(parent) {
    manager_.setCache(nullptr);
    manager_.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
}

NetworkAccess::~NetworkAccess() {
    // Transfers first: they hold replies of the manager.
    const auto transfers = findChildren<Transfer*>(Qt::FindDirectChildrenOnly);
    for (Transfer* transfer : transfers) {
        delete transfer;
    }
}

void NetworkAccess::setProxy(const ProxySetting& setting) {
    manager_.setProxyFactory(nullptr);
    manager_.setProxy(makeNetworkProxy(setting));
}

void NetworkAccess::useSystemProxy() {
    manager_.setProxyFactory(new SystemProxyFactory);
}

void NetworkAccess::startTextRequest(const QString& address, TextHandler onDone, int timeLimitMs) {
    const QUrl url = parseAddress(address);
    if (!isFetchableUrl(url)) {
        QTimer::singleShot(0, this, [onDone = std::move(onDone), address] {
            TextReply reply;
            reply.outcome = TransferOutcome::UnsupportedAddress;
            reply.error = QStringLiteral("not an http or https address: %1").arg(address);
            onDone(reply);
        });
        return;
    }
    auto body = std::make_shared<QByteArray>();
    auto sink = [body](const QByteArray& chunk) {
        body->append(chunk);
        return body->size() >= kTextReplyMaxBytes ? Transfer::SinkAnswer::Enough
                                                  : Transfer::SinkAnswer::More;
    };
    auto finish = [body, onDone = std::move(onDone)](const Transfer::End& end) {
        TextReply reply;
        reply.outcome = end.outcome;
        reply.httpStatus = end.httpStatus;
        reply.error = end.error;
        if (end.outcome == TransferOutcome::Complete) {
            const bool bodyWasCut = body->size() >= kTextReplyMaxBytes;
            reply.text = cutToLimit(decodeText(*body, end.contentType, bodyWasCut), &reply.cut);
        }
        onDone(reply);
    };
    TransferLimits limits;
    limits.timeLimitMs = timeLimitMs;
    new Transfer(*this, url, limits, std::move(sink), std::move(finish));
}

FetchResult NetworkAccess::fetchToFile(const QString& address, const QString& fileName,
                                       TransferLimits limits) {
    FetchResult result;
    const QUrl url = parseAddress(address);
    if (!isFetchableUrl(url)) {
        result.outcome = TransferOutcome::UnsupportedAddress;
        result.error = QStringLiteral("not an http or https address: %1").arg(address);
        return result;
    }
    // Never written through a link planted at the name.
    ReplacingFile file(fileName);
    if (!file.open()) {
        result.outcome = TransferOutcome::WriteFailed;
        result.error = file.errorString();
        return result;
    }

    QEventLoop loop;
    bool done = false;
    auto sink = [&file](const QByteArray& chunk) {
        return file.device().write(chunk) == chunk.size() ? Transfer::SinkAnswer::More
                                                          : Transfer::SinkAnswer::Failed;
    };
    auto finish = [&](const Transfer::End& end) {
        result.outcome = end.outcome;
        result.bytes = end.bytes;
        result.httpStatus = end.httpStatus;
        result.error = end.error;
        done = true;
        loop.quit();
    };
    auto* transfer = new Transfer(*this, url, limits, std::move(sink), std::move(finish));
    transfer->reportWhenDropped();
    if (!done) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

    // The last bytes wait in the buffer: only the flush sees a full disk.
    if (result.ok() && !file.commit()) {
        result.outcome = TransferOutcome::WriteFailed;
        result.error = file.errorString();
    }
    if (!result.ok()) {
        file.cancel();
    }
    return result;
}

} // namespace platform

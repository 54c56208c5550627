#pragma once

#include "platform/NetProxy.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

namespace platform {

// Bounds of every transfer: nothing from outside can hang the program or fill
// memory or disk.
inline constexpr int kTextReplyMaxChars = 200000;
inline constexpr int kTextRequestTimeLimitMs = 30000;
inline constexpr int kFetchTimeLimitMs = 60000;
inline constexpr qint64 kFetchMaxBytes = qint64{32} * 1024 * 1024;
inline constexpr int kMaxRedirects = 10;

enum class TransferOutcome {
    Complete,           // the whole body arrived (a text reply may have been cut)
    HttpError,          // the server answered with a status of 400 or more
    NetworkError,       // refused, reset, unknown host, TLS failure, proxy refusal ...
    TimedOut,           // the time limit ran out first
    TooLarge,           // the body passed the size cap
    WriteFailed,        // the target file could not be written
    UnsupportedAddress, // not an http or https address (also after a redirect)
};

QString describe(TransferOutcome outcome);

struct TransferLimits {
    int timeLimitMs = kFetchTimeLimitMs; // before the time scale
    qint64 maxBytes = kFetchMaxBytes;
};

struct TextReply {
    TransferOutcome outcome = TransferOutcome::NetworkError;
    QString text; // at most kTextReplyMaxChars characters
    bool cut = false;
    int httpStatus = 0;
    QString error;
    bool ok() const { return outcome == TransferOutcome::Complete; }
};

struct FetchResult {
    TransferOutcome outcome = TransferOutcome::NetworkError;
    qint64 bytes = 0;
    int httpStatus = 0;
    QString error;
    bool ok() const { return outcome == TransferOutcome::Complete; }
};

// Only these schemes are ever fetched; anything else fails like an
// unreachable address.
bool isFetchableUrl(const QUrl& url);

// Parses an address as typed or as found in a catalogue; invalid text gives an
// invalid QUrl.
QUrl parseAddress(const QString& address);

// One owner of network access: a single QNetworkAccessManager with its proxy.
// Nothing is ever read from or stored into a cache. Redirects are followed
// (at most kMaxRedirects, never to another scheme than http or https, never
// from https down to http). All time limits pass through scaledMs().
class NetworkAccess : public QObject {
public:
    explicit NetworkAccess(QObject* parent = nullptr);
    ~NetworkAccess() override;

    // The proxy of the connection settings.
    void setProxy(const ProxySetting& setting);
    // The system's own internet settings (the http_proxy family of
    // environment variables here).
    void useSystemProxy();
    QNetworkProxy proxy() const { return manager_.proxy(); }

    using TextHandler = std::function<void(const TextReply&)>;

    // Starts a GET and returns at once. onDone runs exactly once, from the
    // event loop, never inside this call: with the reply cut to
    // kTextReplyMaxChars characters, or with the failure. The body is read in
    // its declared charset; without one, as UTF-8 when it is valid UTF-8,
    // else as Latin-1.
    void startTextRequest(const QString& address, TextHandler onDone,
                          int timeLimitMs = kTextRequestTimeLimitMs);

    // GETs address into fileName and returns when the transfer has ended; a
    // local event loop keeps the windows painting meanwhile (user input waits).
    // The file is replaced only on success; on failure an older file stays as
    // it was and no partial file is left.
    FetchResult fetchToFile(const QString& address, const QString& fileName,
                            TransferLimits limits = {});

    int transfersInFlight() const { return inFlight_; }

private:
    friend class Transfer;
    QNetworkAccessManager manager_;
    int inFlight_ = 0;
};

} // namespace platform

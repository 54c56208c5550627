#pragma once

#include "platform/Network.h"

#include <QString>
#include <QStringList>
#include <memory>

struct RunState;

// The page-image file that the page-image path writes and the loader reads.
inline constexpr auto kPageImageFileName = "PHP.gif";
// Stands in for an extension that is unsafe in a file name.
inline constexpr auto kReplacementExtension = ".img";

// The extension of a picture address: from its last "." to the end, the dot
// included; empty when there is no dot. Taken from the text as it stands, so
// it may hold anything (see SafeExtension).
QString ExtensionOfAddress(const QString& url);

// True for an empty extension or a "." followed by 1 to 15 letters, digits,
// "_" or "-": nothing that could leave the work folder or upset a file system.
bool IsSafeExtension(const QString& extension);

// The extension itself when it is safe, else kReplacementExtension. An address
// such as "http://evil.example/../../x" yields ".example/../../x", which must
// never become part of a file name.
QString SafeExtension(const QString& extension);

// The work file for a downloaded picture: the base followed directly by the
// (safe) extension.
QString WorkFileName(const QString& imgFileBase, const QString& extension);

// True when the extension, blanks removed, is exactly ".php": such pictures
// come from the page-image path and are never downloaded under their address.
bool IsPageImageExtension(const QString& Estensione);

// The address fetched for an image source as written in a page: trimmed, with
// "http://" put in front unless it already starts with "http://" or
// "https://" (any letter case); "//host/x" becomes "http://host/x".
QString PageImageAddress(const QString& source);

// The page-image file in a folder, whatever separator the folder ends with.
QString PageImageFile(const QString& folder);

// "address: how it failed" for the waiting line and the log, each part cut
// to a readable length (a reply or a list of IDs can be long).
QString RequestFailureText(const QString& address, const QString& how);

// What happened to the text request started last.
struct TextRequestTicket {
    QString address; // as asked
    bool finished = false;
    platform::TextReply reply;
    bool failed() const { return finished && !reply.ok(); }
    // "address: what went wrong", for a failed request.
    QString failureText() const;
};

// Every byte the program takes from the network passes through here. Owns two
// network accesses: Inet1, which carries the proxy of the connection settings
// (catalogue requests and page images), and the picture downloader, which
// follows the system's own internet settings.
class FetchPrimitives {
public:
    explicit FetchPrimitives(RunState& state);

    // The proxy of the connection settings, for Inet1.
    void setProxy(const platform::ProxySetting& setting);

    // Copies url into LOCALFILENAME from the network, never from a cache. True
    // when the file was written, or when no transfer was needed (".php");
    // false on any failure, the extension being unsafe included. Blocks (the
    // windows keep painting) for at most 60 s and stores at most 32 MiB. On
    // failure an older file of that name is left as it was.
    bool DownloadFile(const QString& url, const QString& LOCALFILENAME, const QString& Estensione);

    // Writes the image behind source (see PageImageAddress) into "PHP.gif" in
    // folder, through Inet1 with the same limits. False on any failure.
    bool FetchImageToFile(const QString& folder, const QString& source);

    // Stores the first of the images of a page (their sources in document
    // order) as "PHP.gif" in Skyglance_PHP_Dir, with the hourglass shown
    // meanwhile and a beep at the end. The file of an earlier page is removed
    // first, so it can never pass for this page's image. False when the page
    // has no image or the fetch failed.
    bool SavePageFirstImage(const QStringList& imageSourcesInDocumentOrder);

    // Pages are loaded and captured in our own browser view, so there are no
    // stray system browser windows to close: nothing to do.
    void CloseBrowserWindows() {}

    // Starts the text request of Inet1 and returns at once: its reply is
    // awaited from now on. When it ends, Inet1_StateChanged stores the reply;
    // the ticket tells the caller that it has ended and whether it failed.
    std::shared_ptr<const TextRequestTicket> StartTextRequest(const QString& address);

    // The end of a text request: a complete reply goes to replyText; either
    // way the reply counts as arrived, because no request is outstanding any
    // more. A failed transfer leaves replyText empty.
    void Inet1_StateChanged(const platform::TextReply& reply);

    // False from the start of a text request until its end (or until the
    // wait is ended): the supervisor and the panel wait on it.
    bool replyArrived() const { return replyArrived_; }
    // No reply is awaited any more, whatever is outstanding: at the start of
    // the program, and when the start command opens the panel again.
    void endReplyWait();

    bool textRequestOutstanding() const { return current_ != nullptr && !current_->finished; }
    const platform::FetchResult& lastFetch() const { return lastFetch_; }

    platform::NetworkAccess& inet() { return inet_; }
    platform::NetworkAccess& downloads() { return downloads_; }

private:
    RunState& state_;
    platform::NetworkAccess inet_;
    platform::NetworkAccess downloads_;
    std::shared_ptr<TextRequestTicket> current_;
    platform::FetchResult lastFetch_;
    bool replyArrived_ = true;
};

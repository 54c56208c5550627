#include "FetchPrimitives.h"

#include "platform/Timing.h"
#include "state/RunState.h"

#include <QApplication>
#include <QDir>
#include <QFile>

namespace {

constexpr int kMaxExtensionLength = 16; // the dot included

bool isExtensionCharacter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_') ||
           c == QLatin1Char('-');
}

bool startsWithCaseInsensitive(const QString& text, const char* prefix) {
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

// A ".." step in either separator style.
bool hasParentDirectoryStep(const QString& path) {
    QString unified = path;
    unified.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList steps = unified.split(QLatin1Char('/'));
    return steps.contains(QStringLiteral(".."));
}

platform::TransferLimits fetchLimits() {
    return {platform::kFetchTimeLimitMs, platform::kFetchMaxBytes};
}

} // namespace

QString ExtensionOfAddress(const QString& url) {
    const qsizetype dot = url.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : url.mid(dot);
}

bool IsSafeExtension(const QString& extension) {
    if (extension.isEmpty()) {
        return true;
    }
    if (extension.size() < 2 || extension.size() > kMaxExtensionLength ||
        extension.front() != QLatin1Char('.')) {
        return false;
    }
    for (qsizetype i = 1; i < extension.size(); ++i) {
        if (!isExtensionCharacter(extension.at(i))) {
            return false;
        }
    }
    return true;
}

QString SafeExtension(const QString& extension) {
    return IsSafeExtension(extension) ? extension : QString::fromLatin1(kReplacementExtension);
}

QString WorkFileName(const QString& imgFileBase, const QString& extension) {
    return imgFileBase + SafeExtension(extension);
}

bool IsPageImageExtension(const QString& Estensione) {
    return Estensione.trimmed() == QLatin1String(".php");
}

QString PageImageAddress(const QString& source) {
    const QString address = source.trimmed();
    if (startsWithCaseInsensitive(address, "http://") ||
        startsWithCaseInsensitive(address, "https://")) {
        return address;
    }
    if (address.startsWith(QLatin1String("//"))) {
        return QStringLiteral("http:") + address;
    }
    return QStringLiteral("http://") + address;
}

QString PageImageFile(const QString& folder) {
    QString base = folder;
    while (base.size() > 1 &&
           (base.endsWith(QLatin1Char('/')) || base.endsWith(QLatin1Char('\\')))) {
        base.chop(1);
    }
    return QDir(base).filePath(QString::fromLatin1(kPageImageFileName));
}

FetchPrimitives::FetchPrimitives(RunState& state) : state_(state) {
    downloads_.useSystemProxy();
}

void FetchPrimitives::setProxy(const platform::ProxySetting& setting) {
    inet_.setProxy(setting);
}

bool FetchPrimitives::DownloadFile(const QString& url, const QString& LOCALFILENAME,
                                   const QString& Estensione) {
    // Nothing is ever cached, so there is no cache entry to remove first.
    if (IsPageImageExtension(Estensione)) {
        return true;
    }
    if (!IsSafeExtension(Estensione) || hasParentDirectoryStep(LOCALFILENAME)) {
        lastFetch_ = {platform::TransferOutcome::WriteFailed, 0, 0,
                      QStringLiteral("unsafe file name: %1").arg(LOCALFILENAME)};
        return false;
    }
    lastFetch_ = downloads_.fetchToFile(url, LOCALFILENAME, fetchLimits());
    return lastFetch_.ok();
}

bool FetchPrimitives::FetchImageToFile(const QString& folder, const QString& source) {
    lastFetch_ = inet_.fetchToFile(PageImageAddress(source), PageImageFile(folder), fetchLimits());
    return lastFetch_.ok();
}

bool FetchPrimitives::SavePageFirstImage(const QStringList& imageSourcesInDocumentOrder) {
    const bool withWindows = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    if (withWindows) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    platform::letEventsRun();
    QFile::remove(PageImageFile(state_.Skyglance_PHP_Dir));
    bool stored = false;
    if (!imageSourcesInDocumentOrder.isEmpty() &&
        !imageSourcesInDocumentOrder.front().trimmed().isEmpty()) {
        stored = FetchImageToFile(state_.Skyglance_PHP_Dir, imageSourcesInDocumentOrder.front());
        platform::letEventsRun();
    }
    if (withWindows) {
        QApplication::restoreOverrideCursor();
        QApplication::beep();
    }
    return stored;
}

QString RequestFailureText(const QString& address, const QString& how) {
    constexpr qsizetype kMostChars = 200;
    const auto cut = [](const QString& text) {
        return text.size() <= kMostChars ? text : text.left(kMostChars) + QStringLiteral("...");
    };
    return cut(address) + QStringLiteral(": ") + cut(how);
}

QString TextRequestTicket::failureText() const {
    // Qt's text for an error status repeats the address: the status says it.
    const QLatin1String serverReplied(" - server replied: ");
    QString how = reply.error;
    if (const qsizetype at = how.indexOf(serverReplied); at >= 0 && reply.httpStatus != 0) {
        how = QStringLiteral("HTTP %1 %2")
                  .arg(reply.httpStatus)
                  .arg(how.mid(at + serverReplied.size()));
    } else if (how.isEmpty()) {
        how = reply.httpStatus != 0 ? QStringLiteral("HTTP %1").arg(reply.httpStatus)
                                    : QStringLiteral("no reply");
    }
    return RequestFailureText(address, how);
}

std::shared_ptr<const TextRequestTicket> FetchPrimitives::StartTextRequest(const QString& address) {
    replyArrived_ = false;
    auto ticket = std::make_shared<TextRequestTicket>();
    ticket->address = address;
    current_ = ticket;
    inet_.startTextRequest(address, [this, ticket](const platform::TextReply& reply) {
        ticket->reply = reply;
        ticket->finished = true;
        // A request that a newer one has replaced no longer speaks for Inet1.
        if (current_ == ticket) {
            Inet1_StateChanged(reply);
        }
    });
    return ticket;
}

void FetchPrimitives::Inet1_StateChanged(const platform::TextReply& reply) {
    state_.replyText = reply.ok() ? reply.text : QString();
    replyArrived_ = true;
}

void FetchPrimitives::endReplyWait() {
    replyArrived_ = true;
}

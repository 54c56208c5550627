#include "CatalogueService.h"

#include "download/FetchPrimitives.h"
#include "platform/Timing.h"
#include "state/RunState.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qsizetype kMarkerLength = 3;

// "<P>" or "<p>" at position i.
bool isMarkerAt(QStringView text, qsizetype i) {
    return i + kMarkerLength <= text.size() && text[i] == QLatin1Char('<') &&
           (text[i + 1] == QLatin1Char('P') || text[i + 1] == QLatin1Char('p')) &&
           text[i + 2] == QLatin1Char('>');
}

qsizetype findMarker(QStringView text, qsizetype from) {
    for (qsizetype i = text.indexOf(QLatin1Char('<'), from); i >= 0;
         i = text.indexOf(QLatin1Char('<'), i + 1)) {
        if (isMarkerAt(text, i)) {
            return i;
        }
    }
    return -1;
}

QString messageFromItem(const QString& item) {
    return item.left(6) == QLatin1String("outmsg") ? item.mid(7) : QString();
}

} // namespace

QString RequestCode(CatalogueRequest request) {
    switch (request) {
    case CatalogueRequest::AllUrls:
        return QStringLiteral("x4444");
    case CatalogueRequest::TickedUrls:
        return QStringLiteral("y2222");
    case CatalogueRequest::AllIds:
        return QStringLiteral("x6666");
    case CatalogueRequest::AllComments:
        return QStringLiteral("x7777");
    case CatalogueRequest::AllCopyrights:
        return QStringLiteral("x9999");
    case CatalogueRequest::Message:
        return QStringLiteral("x5555");
    }
    return {};
}

ReplyKind ReplyKindOf(CatalogueRequest request) {
    switch (request) {
    case CatalogueRequest::AllUrls:
    case CatalogueRequest::TickedUrls:
        return ReplyKind::Urls;
    case CatalogueRequest::AllIds:
        return ReplyKind::Ids;
    case CatalogueRequest::AllComments:
        return ReplyKind::Comments;
    case CatalogueRequest::AllCopyrights:
        return ReplyKind::Copyrights;
    case CatalogueRequest::Message:
        return ReplyKind::Message;
    }
    return ReplyKind::Message;
}

QString CatalogueQuery(const QString& serviceAddress, CatalogueRequest request,
                       const QString& strIdForBrowser) {
    QString query = serviceAddress + QStringLiteral("p=1&x00=") + RequestCode(request);
    if (request == CatalogueRequest::TickedUrls) {
        query += strIdForBrowser;
    }
    return query;
}

QStringList SplitCatalogueReply(QStringView reply, int maxItems) {
    QStringList items;
    qsizetype open = findMarker(reply, 0);
    while (open >= 0 && items.size() < maxItems) {
        const qsizetype start = open + kMarkerLength;
        const qsizetype close = findMarker(reply, start);
        if (close < 0) {
            break;
        }
        items.append(reply.mid(start, close - start).toString());
        open = close; // each closing marker opens the next item
    }
    return items;
}

QString FirstErrItem(const QStringList& items) {
    const qsizetype count = std::min<qsizetype>(items.size(), kMaxCatalogueItems);
    for (qsizetype k = 0; k < count; ++k) {
        if (items.at(k).startsWith(QLatin1String("ERR"))) {
            return items.at(k);
        }
    }
    return {};
}

bool ReplyHasErrItem(const QStringList& items) {
    const qsizetype count = std::min<qsizetype>(items.size(), kMaxCatalogueItems);
    for (qsizetype k = 0; k < count; ++k) {
        if (items.at(k).startsWith(QLatin1String("ERR"))) {
            return true;
        }
    }
    return false;
}

QString Extract_Name_Only(const QString& url) {
    const qsizetype slash = url.lastIndexOf(QLatin1Char('/'));
    return url.mid(slash + 1);
}

QString BuildStrIdForBrowser(const QList<int16_t>& ids) {
    QString text = QStringLiteral("[_");
    for (const int16_t id : ids) {
        text += QString::number(id) + QLatin1Char('_');
    }
    return text + QLatin1Char(']');
}

int16_t PictureIdFromItem(const QString& item) {
    bool ok = false;
    const int value = item.trimmed().toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<int16_t>::min() ||
        value > std::numeric_limits<int16_t>::max()) {
        return 0;
    }
    return static_cast<int16_t>(value);
}

void StoreListData(RunState& state, const QStringList& items) {
    state.listData.clearForReset();
    const int count = static_cast<int>(std::min<qsizetype>(items.size(), kMaxCatalogueItems));
    for (int k = 0; k < count; ++k) {
        state.listData[k] = items.at(k);
    }
}

void StoreReplyItems(RunState& state, const QStringList& items, int replyKind) {
    const int count = static_cast<int>(std::min<qsizetype>(items.size(), kMaxCatalogueItems));
    switch (static_cast<ReplyKind>(replyKind)) {
    case ReplyKind::Urls:
        state.listURL.clearForReset();
        state.listURLnameOnly.clearForReset();
        for (int k = 0; k < count; ++k) {
            state.listURL[k] = items.at(k);
            state.listURLnameOnly[k] = Extract_Name_Only(items.at(k));
        }
        return;
    case ReplyKind::Message:
        if (!items.isEmpty() && items.front().size() >= 8) {
            state.serverMessage = messageFromItem(items.front());
        }
        return;
    case ReplyKind::Ids:
        for (int k = 0; k < count; ++k) {
            state.listIdPicture[k] = PictureIdFromItem(items.at(k));
        }
        return;
    case ReplyKind::Comments:
        for (int k = 0; k < count; ++k) {
            state.listURLcomment[k] = items.at(k);
        }
        return;
    case ReplyKind::Copyrights:
        for (int k = 0; k < count; ++k) {
            state.listCopyright[k] = items.at(k);
        }
        return;
    }
    // Any other kind stores nothing.
}

const VendorServices& DefaultVendorServices() {
    static const VendorServices defaultSite;
    return defaultSite;
}

CatalogueService::CatalogueService(RunState& state, FetchPrimitives& fetch,
                                   const VendorServices& vendor)
    : state_(state), fetch_(fetch), vendor_(vendor) {}

QString CatalogueService::serviceAddress() const {
    return vendor_.serviceAddress(state_.cmdParams);
}

bool CatalogueService::RequestCatalogue(const QString& query, int replyKind) {
    return RequestCatalogueOutcome(query, replyKind) == CatalogueResult::Ok;
}

void CatalogueService::WaitForOutstandingReply() {
    while (fetch_.textRequestOutstanding()) {
        platform::pauseLettingEventsRun(kReplyPollMs);
    }
}

CatalogueResult CatalogueService::RequestCatalogueOutcome(const QString& query, int replyKind) {
    WaitForOutstandingReply();
    state_.listData.clearForReset();
    lastItemCount_ = 0;
    const auto ticket = fetch_.StartTextRequest(query);
    while (!ticket->finished) {
        platform::pauseLettingEventsRun(kReplyPollMs);
    }
    if (ticket->failed()) {
        lastFailure_ = ticket->failureText();
        lastResult_ = CatalogueResult::TransportFailed;
        return lastResult_;
    }

    // This request's own reply: a request made by an event handler during
    // the wait may have replaced replyText since.
    const QStringList items = SplitCatalogueReply(ticket->reply.text);
    lastItemCount_ = static_cast<int>(items.size());
    StoreListData(state_, items);
    if (ReplyHasErrItem(items)) {
        lastFailure_ = RequestFailureText(query, FirstErrItem(items));
        lastResult_ = CatalogueResult::ErrReply;
        return lastResult_;
    }
    StoreReplyItems(state_, items, replyKind);
    lastResult_ = CatalogueResult::Ok;
    return lastResult_;
}

CatalogueResult CatalogueService::Ask(CatalogueRequest request) {
    return RequestCatalogueOutcome(
        CatalogueQuery(serviceAddress(), request, state_.strIdForBrowser),
        static_cast<int>(ReplyKindOf(request)));
}

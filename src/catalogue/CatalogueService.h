#pragma once

#include "catalogue/VendorServices.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>

struct RunState;
class FetchPrimitives;

// Where a reply goes: the column tables and the message.
enum class ReplyKind : int16_t {
    Urls = 2,       // listURL and listURLnameOnly
    Message = 3,    // serverMessage
    Ids = 4,        // listIdPicture
    Comments = 5,   // listURLcomment
    Copyrights = 6, // listCopyright
};

// The six questions the catalogue service answers.
enum class CatalogueRequest {
    AllUrls,       // "x4444"
    TickedUrls,    // "y2222" followed by strIdForBrowser
    AllIds,        // "x6666"
    AllComments,   // "x7777"
    AllCopyrights, // "x9999"
    Message,       // "x5555"
};

// How a request ended. A transfer that failed (refused, timed out, HTTP error
// status) is not an "ERR" reply: only an "ERR" reply may trigger the rules
// that delete the settings.
enum class CatalogueResult { Ok, ErrReply, TransportFailed };

// The catalogue has at most 2000 rows; table entry 2000 stays empty.
inline constexpr int kMaxCatalogueItems = 2000;
// The wait for a reply sleeps this long between looks, letting events run.
inline constexpr int kReplyPollMs = 200;

QString RequestCode(CatalogueRequest request);
ReplyKind ReplyKindOf(CatalogueRequest request);

// The full request text: the service address, "p=1&x00=" and the code; for
// TickedUrls directly followed by strIdForBrowser.
QString CatalogueQuery(const QString& serviceAddress, CatalogueRequest request,
                       const QString& strIdForBrowser = {});

// The items of a reply: the texts between consecutive "<P>" markers (found in
// any letter case). Text before the first and after the last marker belongs
// to no item. At most maxItems items are returned.
QStringList SplitCatalogueReply(QStringView reply, int maxItems = kMaxCatalogueItems);

// True when one of the items begins with "ERR" (capital letters).
bool ReplyHasErrItem(const QStringList& items);
// The first item beginning with "ERR"; empty when there is none.
QString FirstErrItem(const QStringList& items);

// The text after the last "/" of url; empty when url ends in "/".
QString Extract_Name_Only(const QString& url);

// "[_" followed by every ID and "_", then "]": 12, 345, 7 give [_12_345_7_].
QString BuildStrIdForBrowser(const QList<int16_t>& ids);

// An ID item read as a whole number; an item that is not a whole number from
// -32768 to 32767 (blanks around it allowed) gives 0.
int16_t PictureIdFromItem(const QString& item);

// listData becomes the items (entries 0 to 1999 cleared first).
void StoreListData(RunState& state, const QStringList& items);

// Stores the items of a reply that did not fail into the table of its kind:
// Urls clears entries 0 to 1999 of listURL and listURLnameOnly first; Ids,
// Comments and Copyrights overwrite only the entries of the items received;
// Message sets serverMessage from a first item "outmsg" + one character +
// text (a first item of 7 characters or fewer changes nothing).
void StoreReplyItems(RunState& state, const QStringList& items, int replyKind);

// The vendor addresses of the default site, for a client given none.
const VendorServices& DefaultVendorServices();

// The catalogue service client over RunState. One request at a time: a
// request made while another is outstanding first waits for that one.
class CatalogueService {
public:
    // vendor is the program's one set of vendor addresses; it must outlive
    // the service. Without it, the default site serves.
    CatalogueService(RunState& state, FetchPrimitives& fetch,
                     const VendorServices& vendor = DefaultVendorServices());

    // Asks query (the full address and query text) and stores the reply by
    // replyKind. True when the reply arrived and has no "ERR" item. Returns
    // only when the request has ended: the transfer has a time limit (30 s).
    bool RequestCatalogue(const QString& query, int replyKind);

    // The same, telling a failed transfer apart from an "ERR" reply. On
    // ErrReply only listData has changed; on TransportFailed no table has.
    CatalogueResult RequestCatalogueOutcome(const QString& query, int replyKind);

    // One of the six questions, at serviceAddress(); TickedUrls appends
    // strIdForBrowser of the run state.
    CatalogueResult Ask(CatalogueRequest request);

    // Waits, letting events run, until no request is outstanding.
    void WaitForOutstandingReply();

    CatalogueResult lastResult() const { return lastResult_; }
    // The number of items of the last reply that arrived.
    int lastItemCount() const { return lastItemCount_; }
    // For the last request that failed: its address and what went wrong
    // (the transport's error, or the "ERR" item the service answered).
    QString lastFailure() const { return lastFailure_; }

    // Where the questions go: the site, moved by LOCALHOST on the command
    // line of the run state.
    QString serviceAddress() const;

private:
    RunState& state_;
    FetchPrimitives& fetch_;
    const VendorServices& vendor_;
    CatalogueResult lastResult_ = CatalogueResult::Ok;
    int lastItemCount_ = 0;
    QString lastFailure_;
};

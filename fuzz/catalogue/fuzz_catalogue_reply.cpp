// Feeds arbitrary bytes to the catalogue reply splitter and stores the items
// as each reply kind would, checking what the rest of the program relies on.

#include "catalogue/CatalogueService.h"
#include "platform/Network.h"
#include "state/RunState.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {

bool holdsMarker(const QString& item) {
    return item.contains(QLatin1String("<P>"), Qt::CaseSensitive) ||
           item.contains(QLatin1String("<p>"), Qt::CaseSensitive);
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    static RunState state;
    const int kinds[] = {2, 3, 4, 5, 6, 7};
    const int kind = kinds[data[0] % 6];
    const QString received = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                               static_cast<qsizetype>(size - 1));
    // The client never holds more of a reply than this.
    const QStringView reply = QStringView(received).left(platform::kTextReplyMaxChars);

    const QStringList items = SplitCatalogueReply(reply);
    check(items.size() <= kMaxCatalogueItems);
    qsizetype total = items.isEmpty() ? 0 : 3 * (items.size() + 1);
    for (const QString& item : items) {
        check(!holdsMarker(item));
        total += item.size();
    }
    check(total <= reply.size());

    StoreListData(state, items);
    const bool failed = ReplyHasErrItem(items);
    if (!failed) {
        StoreReplyItems(state, items, kind);
    }
    for (const QString& item : items) {
        check(!Extract_Name_Only(item).contains(QLatin1Char('/')));
        (void)PictureIdFromItem(item);
    }
    check(state.listData[kMaxCatalogueItems].isEmpty());
    check(state.listURL[kMaxCatalogueItems].isEmpty());
    return 0;
}

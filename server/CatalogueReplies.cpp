#include "CatalogueReplies.h"

#include <charconv>

namespace skyglance::catalogue {
namespace {

constexpr std::string_view kMarker = "<P>";

template <typename Field>
std::string columnReply(const std::vector<CatalogueRow>& rows, Field field) {
    std::vector<std::string> items;
    items.reserve(rows.size());
    for (const CatalogueRow& row : rows) {
        items.push_back(field(row));
    }
    return joinReplyItems(items);
}

} // namespace

std::string joinReplyItems(const std::vector<std::string>& items) {
    std::size_t size = kMarker.size();
    for (const auto& item : items) {
        size += item.size() + kMarker.size();
    }
    std::string reply;
    reply.reserve(size);
    reply.append(kMarker);
    for (const auto& item : items) {
        reply.append(item);
        reply.append(kMarker);
    }
    return reply;
}

std::optional<std::vector<int>> parseIdList(std::string_view list) {
    if (list.size() < 3 || list.substr(0, 2) != "[_" || list.back() != ']') {
        return std::nullopt;
    }
    std::string_view rest = list.substr(2, list.size() - 3);
    std::vector<int> ids;
    while (!rest.empty()) {
        const std::size_t end = rest.find('_');
        if (end == std::string_view::npos || end == 0 || end > 6) {
            return std::nullopt;
        }
        int id = 0;
        const char* first = rest.data();
        const char* last = rest.data() + end;
        const auto [ptr, ec] = std::from_chars(first, last, id);
        if (ec != std::errc() || ptr != last || id < kMinPictureId || id > kMaxPictureId) {
            return std::nullopt;
        }
        if (ids.size() == kMaxRequestedIds) {
            return std::nullopt;
        }
        ids.push_back(id);
        rest.remove_prefix(end + 1);
    }
    return ids;
}

std::string missingPictureUrl(std::string_view authority, int pictureId) {
    return "http://" + std::string(authority) + "/site/missing/picture_" +
           std::to_string(pictureId) + ".jpg";
}

CatalogueReplies::CatalogueReplies(Catalogue catalogue) : catalogue_(std::move(catalogue)) {
    const auto& rows = catalogue_.rows;
    urls_ = columnReply(rows, [](const CatalogueRow& r) { return r.url; });
    ids_ = columnReply(rows, [](const CatalogueRow& r) { return std::to_string(r.pictureId); });
    comments_ = columnReply(rows, [](const CatalogueRow& r) { return r.comment; });
    copyrights_ = columnReply(rows, [](const CatalogueRow& r) { return r.copyright; });
    // One separator character between "outmsg" and the text. "outmsg=" alone
    // would be too short to count and leave the client's old message up, so
    // no message is said with an item that clears it.
    message_ = joinReplyItems(
        {catalogue_.message.empty() ? std::string("nomessage") : "outmsg=" + catalogue_.message});
}

std::string CatalogueReplies::errorReply(std::string_view why) {
    return joinReplyItems({"ERR " + std::string(why)});
}

std::string CatalogueReplies::answer(const std::vector<std::string>& requestCodes) const {
    if (requestCodes.size() != 1) {
        return errorReply(requestCodes.empty() ? "missing request code"
                                               : "more than one request code");
    }
    const std::string_view code = requestCodes.front();
    if (code == "x4444") {
        return urls_;
    }
    if (code == "x6666") {
        return ids_;
    }
    if (code == "x7777") {
        return comments_;
    }
    if (code == "x9999") {
        return copyrights_;
    }
    if (code == "x5555") {
        return message_;
    }
    if (code.substr(0, 5) == "y2222") {
        return selectionReply(code.substr(5));
    }
    return errorReply("unknown request code");
}

std::string CatalogueReplies::selectionReply(std::string_view idList) const {
    const auto ids = parseIdList(idList);
    if (!ids) {
        return errorReply("malformed picture ID list");
    }
    std::vector<std::string> items;
    items.reserve(ids->size());
    for (int id : *ids) {
        const auto found = catalogue_.positionById.find(id);
        items.push_back(found != catalogue_.positionById.end()
                            ? catalogue_.rows[found->second].url
                            : missingPictureUrl(catalogue_.authority, id));
    }
    return joinReplyItems(items);
}

} // namespace skyglance::catalogue

#pragma once

#include "CatalogueData.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyglance::catalogue {

inline constexpr std::size_t kMaxRequestedIds = 2000;

// The items of a reply, each behind a "<P>" marker and the last one closed by
// one: {"a", "b"} gives "<P>a<P>b<P>"; no item gives "<P>".
std::string joinReplyItems(const std::vector<std::string>& items);

// The ID list of a selection request: "[_", each ID followed by "_", then "]".
// "[_12_345_7_]" gives {12, 345, 7}; "[_]" gives no ID. Anything else, an ID
// outside the 16-bit range or more than kMaxRequestedIds IDs gives nothing.
std::optional<std::vector<int>> parseIdList(std::string_view list);

// The address given for a picture ID that the catalogue does not have: a
// picture address on the sample site that answers "not found", so the
// client's slide keeps its position and shows its missing-picture notice.
std::string missingPictureUrl(std::string_view authority, int pictureId);

// Answers the catalogue requests. The whole-column replies are built once;
// only the selection request is built per call.
class CatalogueReplies {
public:
    explicit CatalogueReplies(Catalogue catalogue);

    // `requestCodes` are the values of every "x00" parameter of the query.
    std::string answer(const std::vector<std::string>& requestCodes) const;

    const Catalogue& catalogue() const { return catalogue_; }

    static std::string errorReply(std::string_view why);

private:
    std::string selectionReply(std::string_view idList) const;

    Catalogue catalogue_;
    std::string urls_;
    std::string ids_;
    std::string comments_;
    std::string copyrights_;
    std::string message_;
};

} // namespace skyglance::catalogue

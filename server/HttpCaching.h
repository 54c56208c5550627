#pragma once

#include <string>
#include <string_view>

namespace skyglance::catalogue {

// A strong entity tag for exactly these bytes, quoted as it goes into the
// ETag header: the same bytes give the same tag, in any run of the service.
std::string strongEtag(std::string_view bytes);

// The tag of the same content sent with a content coding ("gzip", "br"):
// other bytes on the wire, so another strong tag. Empty coding: unchanged.
std::string etagForCoding(const std::string& etag, std::string_view coding);

// Whether an If-None-Match value names `etag`: "*", or a comma-separated list
// of tags, each compared weakly (a W/ prefix on either side is ignored), as
// RFC 9110 has it for If-None-Match. Bounded: a value longer than 8 KiB
// never matches.
bool noneMatchHits(std::string_view ifNoneMatch, std::string_view etag);

} // namespace skyglance::catalogue

#pragma once

#include <httplib.h>
#include <string>
#include <string_view>

namespace skyglance::catalogue {

// The content codings the service compresses text replies with.
enum class Coding { Identity, Gzip, Brotli };

// Whether replies of this type are compressed: text (but event streams),
// SVG, JavaScript, JSON and XML.
bool compressibleType(std::string_view contentType);

// The coding a reply of `contentType` goes to this client with: brotli when
// its Accept-Encoding names "br", else gzip when it names "gzip" (the names
// are looked for, weights are not read: clients that can decode a coding
// say so without q=0).
Coding codingFor(const httplib::Request& req, std::string_view contentType);

// "gzip", "br", or empty for Identity.
std::string_view codingName(Coding coding);

// `body` in `coding` (gzip: zlib's default level; brotli: its default
// quality and window, quality 5 for a body over 64 KiB), or nothing when the
// coder failed.
bool encodeBody(Coding coding, std::string_view body, std::string& encoded);

} // namespace skyglance::catalogue

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skyglance::catalogue {

// The site-relative file name for a (percent-decoded) request path, or
// nothing when the path could reach outside the site folder or names a
// hidden file: every segment must be made of letters, digits, ".", "_" and
// "-" and must not begin with "."; a path ending in "/" names its index.html.
std::optional<std::string> siteRelativePath(std::string_view requestPath);

// The real path of `relative` below `canonicalRoot` (itself a real path),
// or nothing unless it is a regular file that stays inside the root once
// every symbolic link is followed.
std::optional<std::string> resolveInsideRoot(const std::string& canonicalRoot,
                                             const std::string& relative);

// The Content-Type header for a file name, by its extension.
std::string contentTypeFor(std::string_view fileName);

// Whether files of this name are filled in (placeholders) before serving.
bool isTemplatePage(std::string_view fileName);

} // namespace skyglance::catalogue

// The first image of a captured page: the browser resolves the image's
// address against the page and hands over its source, which the page itself
// controls. Whatever that text is, the address fetched must be an http or
// https address with a host or be refused before any transfer; a source the
// browser already resolved to an http or https address is fetched as it is.
#include "download/FetchPrimitives.h"
#include "platform/Network.h"

#include <QString>
#include <QUrl>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool hasWebScheme(const QString& text) {
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString source =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString address = PageImageAddress(source);
    check(hasWebScheme(address));
    check(PageImageAddress(address) == address);

    const QUrl url = platform::parseAddress(address);
    if (platform::isFetchableUrl(url)) {
        const QString scheme = url.scheme().toLower();
        check(scheme == QLatin1String("http") || scheme == QLatin1String("https"));
        check(!url.host().isEmpty());
        // A source without a scheme of its own is fetched over plain http.
        check(hasWebScheme(source.trimmed()) || scheme == QLatin1String("http"));
    }
    if (hasWebScheme(source.trimmed())) {
        check(url == platform::parseAddress(source));
    }
    return 0;
}

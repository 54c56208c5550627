#include "VendorServices.h"

#include <QUrl>

namespace {

constexpr int kLastOptionEntry = 9; // options are looked for in entries 0 to 9

QString localhostOption() {
    return QStringLiteral("LOCALHOST");
}

} // namespace

QString NormalizedSiteRoot(const QString& root) {
    QString result = root.trimmed();
    while (result.endsWith(QLatin1Char('/'))) {
        result.chop(1);
    }
    return result;
}

QString RootOnThisMachine(const QString& root) {
    QUrl url(NormalizedSiteRoot(root), QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) {
        return QStringLiteral("http://") + QString::fromLatin1(kThisMachineHost);
    }
    url.setHost(QString::fromLatin1(kThisMachineHost));
    url.setUserInfo(QString());
    return NormalizedSiteRoot(url.toString());
}

bool CatalogueOnThisMachine(const std::array<QString, 11>& cmdParams) {
    for (int i = 0; i <= kLastOptionEntry; ++i) {
        if (cmdParams[static_cast<std::size_t>(i)] == localhostOption()) {
            return true;
        }
    }
    return false;
}

bool UpdatesOnThisMachine(const std::array<QString, 11>& cmdParams) {
    return cmdParams[1] == localhostOption();
}

VendorServices::VendorServices(const QString& configuredSiteRoot)
    : configured_(NormalizedSiteRoot(configuredSiteRoot)) {}

void VendorServices::setConfiguredSiteRoot(const QString& root) {
    configured_ = NormalizedSiteRoot(root);
}

QString VendorServices::siteRoot(bool onThisMachine) const {
    const QString fromEnvironment =
        NormalizedSiteRoot(qEnvironmentVariable(kSiteEnvironmentVariable));
    const QString root = fromEnvironment.isEmpty() ? configured_ : fromEnvironment;
    return onThisMachine ? RootOnThisMachine(root) : root;
}

QString VendorServices::serviceAddress(bool onThisMachine) const {
    return siteRoot(onThisMachine) + QLatin1String(kCatalogueServicePath);
}

QString VendorServices::versionFileAddress(bool onThisMachine) const {
    return siteRoot(onThisMachine) + QLatin1String(kVersionFilePath);
}

QString VendorServices::collectionsAddress(bool onThisMachine) const {
    return siteRoot(onThisMachine) + QLatin1String(kCollectionsPackagePath);
}

QString VendorServices::helpPageAddress(const QString& pagePath) const {
    const QString path =
        pagePath.startsWith(QLatin1Char('/')) ? pagePath : QLatin1Char('/') + pagePath;
    return siteRoot() + path;
}

QString VendorServices::sponsorPageAddress() const {
    return siteRoot() + QLatin1String(kSponsorPagePath);
}

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
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty() || url.port() < 0) {
        return QString::fromLatin1(kPackagedServiceRoot);
    }
    url.setHost(QString::fromLatin1(kThisMachineHost));
    url.setUserInfo(QString());
    return NormalizedSiteRoot(url.toString());
}

bool CatalogueOnThisMachine(const CommandLineParams& cmdParams) {
    for (int i = 0; i <= kLastOptionEntry; ++i) {
        if (cmdParams[static_cast<std::size_t>(i)] == localhostOption()) {
            return true;
        }
    }
    return false;
}

bool UpdatesOnThisMachine(const CommandLineParams& cmdParams) {
    return cmdParams[1] == localhostOption();
}

QString SiteOptionOf(const CommandLineParams& cmdParams) {
    const QLatin1String prefix(kSiteOptionPrefix);
    for (int i = 0; i <= kLastOptionEntry; ++i) {
        const QString& param = cmdParams[static_cast<std::size_t>(i)];
        if (param.startsWith(prefix)) {
            return param.mid(prefix.size()).trimmed();
        }
    }
    return QString();
}

VendorServices::VendorServices(const QString& configuredSiteRoot)
    : configured_(NormalizedSiteRoot(configuredSiteRoot)) {}

void VendorServices::setConfiguredSiteRoot(const QString& root) {
    configured_ = NormalizedSiteRoot(root);
}

QString VendorServices::siteRoot() const {
    const QString fromEnvironment =
        NormalizedSiteRoot(qEnvironmentVariable(kSiteEnvironmentVariable));
    return fromEnvironment.isEmpty() ? configured_ : fromEnvironment;
}

QString VendorServices::rootFor(bool onThisMachine) const {
    return onThisMachine ? RootOnThisMachine(siteRoot()) : siteRoot();
}

QString VendorServices::serviceAddress(const CommandLineParams& cmdParams) const {
    return rootFor(CatalogueOnThisMachine(cmdParams)) + QLatin1String(kCatalogueServicePath);
}

QString VendorServices::catalogueAddressInUse(const CommandLineParams& cmdParams) const {
    QString address = serviceAddress(cmdParams);
    if (address.endsWith(QLatin1Char('?'))) {
        address.chop(1);
    }
    return address;
}

QString VendorServices::versionFileAddress(const CommandLineParams& cmdParams) const {
    return rootFor(UpdatesOnThisMachine(cmdParams)) + QLatin1String(kVersionFilePath);
}

QString VendorServices::collectionsAddress(const CommandLineParams& cmdParams) const {
    return rootFor(UpdatesOnThisMachine(cmdParams)) + QLatin1String(kCollectionsPackagePath);
}

QString VendorServices::helpPageAddress(const QString& pagePath) const {
    const QString path =
        pagePath.startsWith(QLatin1Char('/')) ? pagePath : QLatin1Char('/') + pagePath;
    return siteRoot() + path;
}

QString VendorServices::sponsorPageAddress() const {
    return siteRoot() + QLatin1String(kSponsorPagePath);
}

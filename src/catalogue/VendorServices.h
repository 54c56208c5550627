#pragma once

#include <QString>
#include <array>

// The vendor's web site: the catalogue service, the version file, the
// collections package, the help pages and the sponsor page all hang off one
// site root. The root is a setting with a placeholder default; the
// environment variable SKYGLANCE_SITE (for example http://127.0.0.1:8080)
// overrides it, which is how the bundled catalogue service is reached.

inline constexpr auto kPlaceholderSiteRoot = "http://www.skyglance.example";
inline constexpr auto kSiteEnvironmentVariable = "SKYGLANCE_SITE";

inline constexpr auto kCatalogueServicePath = "/service/catalogue?";
inline constexpr auto kVersionFilePath = "/currentversion.html";
inline constexpr auto kCollectionsPackagePath = "/collections.exe";
inline constexpr auto kSponsorPagePath = "/public/rovuradidiviz.html";

// The address of this machine that LOCALHOST points the services at.
inline constexpr auto kThisMachineHost = "127.0.0.1";

// The root without blanks and without trailing "/".
QString NormalizedSiteRoot(const QString& root);

// The same root with its host replaced by this machine; scheme and port stay.
QString RootOnThisMachine(const QString& root);

// LOCALHOST anywhere among the parameters moves the catalogue service to this
// machine; as the first parameter (entry 1) it moves the version file and the
// collections package too. Exact letter case, each entry as a whole.
bool CatalogueOnThisMachine(const std::array<QString, 11>& cmdParams);
bool UpdatesOnThisMachine(const std::array<QString, 11>& cmdParams);

class VendorServices {
public:
    explicit VendorServices(
        const QString& configuredSiteRoot = QString::fromLatin1(kPlaceholderSiteRoot));

    void setConfiguredSiteRoot(const QString& root);
    QString configuredSiteRoot() const { return configured_; }

    // SKYGLANCE_SITE when set and not blank, else the setting; on this
    // machine when asked.
    QString siteRoot(bool onThisMachine = false) const;

    // The address a catalogue query such as "p=1&x00=x4444" is appended to.
    QString serviceAddress(bool onThisMachine = false) const;
    QString versionFileAddress(bool onThisMachine = false) const;
    QString collectionsAddress(bool onThisMachine = false) const;
    // pagePath as the help table names it, e.g. "/eng_help1.asp".
    QString helpPageAddress(const QString& pagePath) const;
    QString sponsorPageAddress() const;

private:
    QString configured_;
};

#pragma once

#include "ui/OnlineHelp.h"

#include <QString>
#include <array>

// The vendor's web site: the catalogue service, the version file, the
// collections package, the help pages and the sponsor page all hang off one
// site root. The root is a setting with a placeholder default; the
// environment variable SKYGLANCE_SITE (for example http://127.0.0.1:8080)
// overrides it, which is how the bundled catalogue service is reached. The
// command-line option SITE=ADDRESS is handed on as that variable at start.

inline constexpr auto kPlaceholderSiteRoot = "http://www.skyglance.example";
inline constexpr auto kSiteEnvironmentVariable = "SKYGLANCE_SITE";
inline constexpr auto kSiteOptionPrefix = "SITE=";
// Where the packaged catalogue service listens (its system unit says so).
inline constexpr auto kPackagedServiceRoot = "http://127.0.0.1:8080";

inline constexpr auto kCatalogueServicePath = "/service/catalogue?";
inline constexpr auto kVersionFilePath = "/currentversion.html";
inline constexpr auto kCollectionsPackagePath = "/collections.exe";
inline constexpr auto kSponsorPagePath = "/public/rovuradidiviz.html";

// The address of this machine that LOCALHOST points the services at.
inline constexpr auto kThisMachineHost = "127.0.0.1";

// The root without blanks and without trailing "/".
QString NormalizedSiteRoot(const QString& root);

// The same root with its host replaced by this machine; scheme and port stay.
// A root that names no port (or no host) gives the packaged service: port 80
// of this machine serves nothing of ours.
QString RootOnThisMachine(const QString& root);

// The command line as Splitta10 leaves it: entries 0 to 9, then the text
// behind a tenth "-".
using CommandLineParams = std::array<QString, 11>;

// LOCALHOST anywhere among the parameters moves the catalogue service to this
// machine; as the first parameter (entry 1) it moves the version file and the
// collections package too. Exact letter case, each entry as a whole.
bool CatalogueOnThisMachine(const CommandLineParams& cmdParams);
bool UpdatesOnThisMachine(const CommandLineParams& cmdParams);

// The address of the first SITE= option among the parameters, trimmed; empty
// without one. Exact letter case, like the other options.
QString SiteOptionOf(const CommandLineParams& cmdParams);

// The one place that turns the site root (SKYGLANCE_SITE or the setting) and
// the LOCALHOST option into the addresses the program asks. The addresses
// that LOCALHOST may move take the command line, so no caller can ask one
// without the option deciding where it goes.
class VendorServices : public HelpPages {
public:
    explicit VendorServices(
        const QString& configuredSiteRoot = QString::fromLatin1(kPlaceholderSiteRoot));

    void setConfiguredSiteRoot(const QString& root);
    QString configuredSiteRoot() const { return configured_; }

    // SKYGLANCE_SITE when set and not blank, else the setting.
    QString siteRoot() const;

    // The address a catalogue query such as "p=1&x00=x4444" is appended to.
    QString serviceAddress(const CommandLineParams& cmdParams) const;
    // The same without the query mark, for naming the service in messages,
    // e.g. "http://127.0.0.1:8080/service/catalogue".
    QString catalogueAddressInUse(const CommandLineParams& cmdParams) const;
    QString versionFileAddress(const CommandLineParams& cmdParams) const;
    QString collectionsAddress(const CommandLineParams& cmdParams) const;
    // pagePath as the help table names it, e.g. "/eng_help1.asp".
    QString helpPageAddress(const QString& pagePath) const override;
    QString sponsorPageAddress() const;

private:
    // siteRoot(), on this machine when asked.
    QString rootFor(bool onThisMachine) const;

    QString configured_;
};

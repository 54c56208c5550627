#pragma once

#include "AccessLog.h"
#include "CatalogueReplies.h"
#include "FaultSchedule.h"
#include "FleetService.h"
#include "PictureCache.h"
#include "SampleSite.h"

#include <chrono>
#include <memory>
#include <string>

namespace skyglance::catalogue {

// The HTTP front: the catalogue requests, the resources made in memory
// (version file, collections package), the drawn sample pictures and the pages of the site
// folder. Requests run on a pool of worker threads; the catalogue and the
// resources are immutable snapshots that the owner swaps as a whole.
class CatalogueServer {
public:
    struct Config {
        std::string siteRoot; // real path of the site folder
        std::string siteUrl;  // e.g. http://127.0.0.1:8080
        int threads = 32;
        PictureCache* pictures = nullptr;              // the drawn sample pictures, if any
        AccessLog* accessLog = nullptr;                // one line per answered request, if any
        const FaultSchedule* faults = nullptr;         // faults to play, if any (--faults)
        std::chrono::steady_clock::time_point started; // time 0 of the schedule
        const FleetService* fleet = nullptr;           // the fleet's reports and page, if on
    };

    explicit CatalogueServer(Config config);
    ~CatalogueServer();
    CatalogueServer(const CatalogueServer&) = delete;
    CatalogueServer& operator=(const CatalogueServer&) = delete;

    // Binds the listening socket; the bound port, or -1.
    int bind(const std::string& address, int port);
    // Serves until stop(); call on a thread of its own after bind().
    bool listen();
    void stop();
    void setSiteUrl(const std::string& siteUrl);

    void setCatalogue(std::shared_ptr<const CatalogueReplies> replies);
    // Replaces the resources whose paths `resources` holds; others stay.
    void putResources(const ResourceMap& resources);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace skyglance::catalogue

// skyglance-catalogue: serves the picture catalogue, the version file, the
// collections package, the help and sponsor pages and a sample weather site
// whose pictures are drawn anew as the clock moves on.
#include "AccessLog.h"
#include "CatalogueDatabase.h"
#include "CatalogueServer.h"
#include "CollectionsPackage.h"
#include "FleetStartup.h"
#include "HttpCaching.h"
#include "SampleSite.h"
#include "ServerOptions.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>
#include <unistd.h>

using namespace skyglance::catalogue;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto ignored = ::write(signalPipe[1], &byte, 1);
}

// The bundled catalogue and site: beside the executable in the build tree, or
// in the shared data folder of an installation (the package's own folder).
QString bundledDataDir() {
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& candidate :
         {appDir + "/catalogue-data", appDir + "/../share/skyglance/catalogue-data",
          appDir + "/../share/skyglance-catalogue"}) {
        if (QFileInfo::exists(candidate + "/catalogue.tsv")) {
            return QDir(candidate).canonicalPath();
        }
    }
    return {};
}

// Beside the build tree's copy of the catalogue; an installed data folder is
// left as its package put it, even for root.
QString defaultDatabase(const QString& dataDir) {
    const QString buildTreeData =
        QDir(QCoreApplication::applicationDirPath() + "/catalogue-data").canonicalPath();
    if (!dataDir.isEmpty() && dataDir == buildTreeData && QFileInfo(dataDir).isWritable()) {
        return dataDir + "/catalogue.sqlite";
    }
    const QString cache =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/skyglance";
    QDir().mkpath(cache);
    return cache + "/catalogue.sqlite";
}

std::string urlAuthority(const ServerOptions& options, int port) {
    if (!options.publicHost.empty()) {
        return options.publicHost;
    }
    std::string host = options.bind;
    if (host.empty() || host == "0.0.0.0") {
        host = "127.0.0.1";
    } else if (host == "::") {
        host = "::1";
    }
    if (host.find(':') != std::string::npos) {
        host = "[" + host + "]";
    }
    return host + ":" + std::to_string(port);
}

struct Paths {
    std::string catalogue;
    std::string site;
    std::string database;
};

bool resolvePaths(const ServerOptions& options, Paths& paths, std::string& error) {
    const QString dataDir = bundledDataDir();
    if ((options.catalogue.empty() || options.site.empty()) && dataDir.isEmpty()) {
        error = "the bundled catalogue was not found; give --catalogue and --site";
        return false;
    }
    paths.catalogue =
        options.catalogue.empty() ? (dataDir + "/catalogue.tsv").toStdString() : options.catalogue;
    const QString site =
        options.site.empty() ? dataDir + "/site" : QString::fromStdString(options.site);
    if (!QFileInfo(site).isDir()) {
        error = "site folder " + site.toStdString() + " does not exist";
        return false;
    }
    paths.site = QDir(site).canonicalPath().toStdString();
    paths.database =
        options.database.empty() ? defaultDatabase(dataDir).toStdString() : options.database;
    return true;
}

std::shared_ptr<const Resource> taggedResource(std::string body, std::string contentType) {
    std::string etag = strongEtag(body);
    return std::make_shared<const Resource>(
        Resource{std::move(body), std::move(contentType), std::move(etag)});
}

// Holds the database and turns its rows into the snapshot the server answers
// from; run on the main thread only.
class CatalogueKeeper {
public:
    CatalogueKeeper(CatalogueServer& server, const ServerOptions& options, Paths paths,
                    std::string authority)
        : server_(server), options_(options), paths_(std::move(paths)),
          authority_(std::move(authority)) {}

    bool start(std::string& error) {
        db_ = CatalogueDatabase::open(paths_.database, error);
        if (!db_) {
            return false;
        }
        std::string importError;
        if (db_->importIfStale(paths_.catalogue, importError) ==
            CatalogueDatabase::ImportOutcome::Failed) {
            // A database filled before still serves; an empty one cannot.
            if (db_->rowCount() == 0) {
                error = importError;
                return false;
            }
            std::cerr << "skyglance-catalogue: " << importError << "; serving the database\n";
        }
        return reload(error);
    }

    // Picks up an edited catalogue file; a bad edit keeps the old catalogue.
    void refreshIfChanged() {
        std::string error;
        const auto outcome = db_->importIfStale(paths_.catalogue, error);
        if (outcome == CatalogueDatabase::ImportOutcome::Imported) {
            if (!reload(error)) {
                std::cerr << "skyglance-catalogue: " << error << "\n";
            } else {
                std::cerr << "skyglance-catalogue: catalogue re-imported\n";
            }
        } else if (outcome == CatalogueDatabase::ImportOutcome::Failed && error != lastError_) {
            std::cerr << "skyglance-catalogue: " << error << "\n";
        }
        lastError_ = error;
    }

    std::size_t rowCount() const { return rows_; }

private:
    bool reload(std::string& error) {
        std::vector<CatalogueRow> rows = db_->loadRows(error);
        if (rows.empty()) {
            if (error.empty()) {
                error = "the catalogue is empty";
            }
            return false;
        }
        rows_ = rows.size();
        auto replies = std::make_shared<const CatalogueReplies>(
            makeCatalogue(std::move(rows), options_.message, authority_));
        const QDateTime now = QDateTime::currentDateTime();
        ResourceMap fixed;
        fixed["/collections.exe"] =
            taggedResource(collectionsPackage(replies->catalogue(), options_.collectionsSet, now),
                           "application/zip");
        fixed["/currentversion.html"] = taggedResource(
            options_.versionName + "," + options_.collectionsSet, "text/html; charset=utf-8");
        server_.putResources(fixed);
        server_.setCatalogue(std::move(replies));
        return true;
    }

    CatalogueServer& server_;
    const ServerOptions& options_;
    Paths paths_;
    std::string authority_;
    std::unique_ptr<CatalogueDatabase> db_;
    std::size_t rows_ = 0;
    std::string lastError_;
};

bool validOptions(const ServerOptions& options, std::string& error) {
    if (auto problem = itemProblem("message", "outmsg=" + options.message); !problem.empty()) {
        error = problem;
        return false;
    }
    for (const std::string& name : {options.versionName, options.collectionsSet}) {
        if (name.empty() || name.find_first_of(",\"\r\n") != std::string::npos) {
            error = "version and collections names must be non-empty, without commas or quotes";
            return false;
        }
    }
    return true;
}

} // namespace

// Logs each fault window's start and end, stamped, on stderr.
class FaultLogger {
public:
    FaultLogger(const FaultSchedule& schedule, std::chrono::steady_clock::time_point started)
        : schedule_(schedule), started_(started) {}

    void check() {
        const double t =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        const ActiveFault now = schedule_.activeAt(t);
        for (const std::string& line : schedule_.changeLines(last_, now)) {
            std::cerr << isoTimeUtc(std::chrono::system_clock::now())
                      << " skyglance-catalogue: " << line << std::endl;
        }
        last_ = now;
    }

private:
    const FaultSchedule& schedule_;
    const std::chrono::steady_clock::time_point started_;
    ActiveFault last_;
};

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = parseServerOptions(args, error);
    if (!options || !validOptions(*options, error)) {
        std::cerr << "skyglance-catalogue: " << error << "\n" << serverUsage();
        return 2;
    }
    if (options->help) {
        std::cout << serverUsage();
        return 0;
    }
    if (options->version) {
        std::cout << serverVersion();
        return 0;
    }
    // Pictures are drawn without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    if (options->addScreen && !options->fleetDb.empty()) {
        return addScreenAndPrintToken(*options->addScreen, options->fleetDb);
    }
    Paths paths;
    if (!resolvePaths(*options, paths, error)) {
        std::cerr << "skyglance-catalogue: " << error << "\n";
        return 1;
    }
    const std::string fleetWhere = fleetStoreAddress(*options, paths.database);
    if (options->addScreen) {
        return addScreenAndPrintToken(*options->addScreen, fleetWhere);
    }
    std::unique_ptr<FleetService> fleet; // outlives the server's workers
    if (options->fleet) {
        fleet = startFleet(*options, fleetWhere, error);
        if (!fleet) {
            std::cerr << "skyglance-catalogue: " << error << "\n";
            return 1;
        }
    }
    // Workers hand the drawing of pictures to this (main) thread.
    PictureCache pictures(options->refreshSeconds, [&app](std::function<void()> draw) {
        QMetaObject::invokeMethod(&app, std::move(draw), Qt::QueuedConnection);
    });
    std::unique_ptr<AccessLog> accessLog; // outlives the server's workers
    if (!options->accessLog.empty()) {
        accessLog = AccessLog::open(options->accessLog, error);
        if (!accessLog) {
            std::cerr << "skyglance-catalogue: " << error << "\n";
            return 1;
        }
    }
    CatalogueServer server(CatalogueServer::Config{
        paths.site, "", options->threads, &pictures, accessLog.get(),
        options->faults ? &*options->faults : nullptr, started, fleet.get()});
    const int port = server.bind(options->bind, options->port);
    if (port <= 0) {
        std::cerr << "skyglance-catalogue: cannot listen on " << options->bind << " port "
                  << options->port << "\n";
        return 1;
    }
    const std::string authority = urlAuthority(*options, port);
    const std::string siteUrl = "http://" + authority;
    server.setSiteUrl(siteUrl);

    CatalogueKeeper keeper(server, *options, paths, authority);
    if (!keeper.start(error)) {
        std::cerr << "skyglance-catalogue: " << error << "\n";
        return 1;
    }

    if (::pipe(signalPipe) != 0) {
        std::cerr << "skyglance-catalogue: cannot create a pipe\n";
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    QSocketNotifier quitNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&quitNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    std::atomic<bool> listenerDone{false};
    std::thread listener([&server, &listenerDone] {
        server.listen();
        listenerDone = true;
    });

    std::cerr << "skyglance-catalogue: " << keeper.rowCount() << " pictures from "
              << paths.catalogue << " (database " << paths.database << "), site " << paths.site
              << "\n";
    std::cout << "service: " << siteUrl << "/service/catalogue?" << std::endl;
    std::cout << "site: " << siteUrl << std::endl;

    QTimer catalogueWatch;
    catalogueWatch.callOnTimeout([&keeper] { keeper.refreshIfChanged(); });
    catalogueWatch.start(2000);

    std::optional<FaultLogger> faultLogger;
    QTimer faultWatch;
    if (options->faults) {
        faultLogger.emplace(*options->faults, started);
        faultLogger->check();
        faultWatch.callOnTimeout([&faultLogger] { faultLogger->check(); });
        faultWatch.start(100);
    }

    const int rc = app.exec();
    pictures.shutdown();
    server.stop();
    // Workers finish their requests, but a client may keep an idle connection
    // open for a while; do not make the one who stops us wait for it.
    for (int waited = 0; waited < 100 && !listenerDone; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!listenerDone) {
        std::cout.flush();
        std::cerr.flush();
        std::_Exit(rc);
    }
    listener.join();
    return rc;
}

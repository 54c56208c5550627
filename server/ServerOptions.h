#pragma once

#include "FaultSchedule.h"

#include <optional>
#include <string>
#include <vector>

namespace skyglance::catalogue {

struct ServerOptions {
    int port = 8080;
    std::string bind = "127.0.0.1";
    std::string publicHost; // host:port put into the catalogue's addresses; derived when empty
    std::string database;   // default: beside the bundled catalogue, else the user's cache
    std::string site;       // default: the bundled site
    std::string catalogue;  // default: the bundled catalogue.tsv
    std::string accessLog;  // file a line per request is appended to; none when empty
    std::string message = "Skyglance sample catalogue - pictures drawn live by the service";
    std::string versionName = "Skyglance_7.8.12";
    std::string collectionsSet = "Collection_002";
    int refreshSeconds = 60;
    int threads = 32;
    std::optional<FaultSchedule> faults; // --faults SCHEDULE, for soak tests
    bool fleet = false;                  // take screens' reports, serve the fleet page
    std::string fleetDb;           // SQLite path or postgresql:// address; default beside --db
    std::string fleetPasswordFile; // first line: the fleet page's password
    int fleetSilentAfterSeconds = 180;
    int fleetMinGapSeconds = 10;          // between two reports of one screen
    std::optional<std::string> addScreen; // --add-screen NAME: print its new token and exit
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name; nothing and `error` set when
// they are not understood.
std::optional<ServerOptions> parseServerOptions(const std::vector<std::string>& args,
                                                std::string& error);

std::string serverUsage();
// "skyglance-catalogue" and the project's version, on one line.
std::string serverVersion();

} // namespace skyglance::catalogue

#include "FleetStartup.h"

#include <QString>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace skyglance::catalogue {
namespace {

constexpr std::size_t kMaxScreenName = 100;
constexpr std::size_t kMaxPasswordLine = 1024;

// The first line of `path`, without its line end; empty when the file
// cannot be read or its first line is empty or too long.
std::string firstLineOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line(kMaxPasswordLine + 1, '\0');
    in.read(line.data(), static_cast<std::streamsize>(line.size()));
    line.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t end = line.find_first_of("\r\n");
    if (end == std::string::npos && line.size() > kMaxPasswordLine) {
        return {};
    }
    return line.substr(0, end);
}

} // namespace

std::string fleetStoreAddress(const ServerOptions& options, const std::string& catalogueDb) {
    if (!options.fleetDb.empty()) {
        return options.fleetDb;
    }
    return (std::filesystem::path(catalogueDb).parent_path() / "fleet.sqlite").string();
}

bool validScreenName(const std::string& name) {
    if (name.empty() || name.size() > kMaxScreenName ||
        QString::fromStdString(name).toStdString() != name) { // not UTF-8
        return false;
    }
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '/') {
            return false;
        }
    }
    return true;
}

int addScreenAndPrintToken(const std::string& name, const std::string& where) {
    if (!validScreenName(name)) {
        std::cerr
            << "skyglance-catalogue: a screen name is 1 to 100 bytes of UTF-8, without control "
               "characters or '/'\n";
        return 2;
    }
    std::string error;
    const auto store = openFleetStore(where, error);
    const std::string token = store ? store->addScreen(name, error) : std::string();
    if (token.empty()) {
        std::cerr << "skyglance-catalogue: " << error << "\n";
        return 1;
    }
    std::cout << token << std::endl;
    return 0;
}

bool loopbackAddress(const std::string& address) {
    return address.rfind("127.", 0) == 0 || address == "::1" || address == "localhost";
}

std::unique_ptr<FleetService> startFleet(const ServerOptions& options, const std::string& where,
                                         std::string& error) {
    if (!loopbackAddress(options.bind)) {
        // Basic authentication and bearer tokens are only as safe as the
        // connection: plain HTTP is meant for loopback, behind a TLS front.
        std::cerr << "skyglance-catalogue: warning: the fleet's password and tokens cross "
                  << options.bind
                  << " in clear; put the HTTPS front of deploy/nginx-fleet.conf before it\n";
    }
    if (options.fleetPasswordFile.empty()) {
        error = "--fleet needs --fleet-password-file";
        return nullptr;
    }
    FleetService::Settings settings;
    settings.password = firstLineOf(options.fleetPasswordFile);
    if (settings.password.empty()) {
        error = "the fleet password file " + options.fleetPasswordFile +
                " cannot be read or its first line is empty (or over 1024 bytes)";
        return nullptr;
    }
    settings.silentAfterMs = std::int64_t{options.fleetSilentAfterSeconds} * 1000;
    settings.minGapMs = std::int64_t{options.fleetMinGapSeconds} * 1000;
    auto store = openFleetStore(where, error);
    if (!store) {
        return nullptr;
    }
    return std::make_unique<FleetService>(std::move(store), std::move(settings));
}

} // namespace skyglance::catalogue

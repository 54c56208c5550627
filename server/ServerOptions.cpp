#include "ServerOptions.h"

#include <charconv>

namespace skyglance::catalogue {
namespace {

bool parseInt(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value >= low && value <= high;
}

} // namespace

std::string serverUsage() {
    return "usage: skyglance-catalogue [options]\n"
           "  --port N            port to listen on (0 picks a free one; default 8080)\n"
           "  --bind ADDR         address to listen on (default 127.0.0.1)\n"
           "  --public-host H:P   host and port written into catalogue addresses\n"
           "                      (default: the bound address and port)\n"
           "  --db FILE           SQLite database (created and filled on first use)\n"
           "  --catalogue FILE    tab-separated catalogue to import\n"
           "  --site DIR          folder of the site's pages\n"
           "  --message TEXT      message of the day (empty for none)\n"
           "  --version-name N    program version named by /currentversion.html\n"
           "  --collections-set N collections set named by /currentversion.html\n"
           "  --refresh SECONDS   how often the pictures are drawn anew (default 60)\n"
           "  --threads N         request worker threads (default 32)\n"
           "  --access-log FILE   append one line per request to FILE\n"
           "  --faults SCHEDULE   play faults for soak tests: kind@start+length,...\n"
           "                      [,repeat=SECONDS]; seconds since the start; kinds:\n"
           "                      dead stall truncate 404 oversize type redirect\n"
           "  --fleet             take screens' reports and serve the fleet page /fleet\n"
           "  --fleet-db WHERE    the fleet's SQLite file (default fleet.sqlite beside the\n"
           "                      catalogue database) or a postgresql:// address\n"
           "  --fleet-password-file FILE\n"
           "                      the fleet page's password (user fleet): first line\n"
           "  --fleet-silent-after SECONDS\n"
           "                      a screen without a report this long is silent (180)\n"
           "  --fleet-min-gap SECONDS\n"
           "                      a screen's reports closer than this get 429 (10)\n"
           "  --add-screen NAME   add a screen (or give it a new token), print its\n"
           "                      token on one line and exit\n"
           "  --help, -h          print this help and exit\n"
           "  --version, -V       print the program name and version and exit\n"
           "On start it prints the lines 'service: URL' and 'site: URL'.\n";
}

std::string serverVersion() {
    return std::string("skyglance-catalogue ") + SKYGLANCE_VERSION + "\n";
}

std::optional<ServerOptions> parseServerOptions(const std::vector<std::string>& args,
                                                std::string& error) {
    ServerOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--version" || name == "-V") {
            options.version = true;
            continue;
        }
        if (name == "--fleet") {
            options.fleet = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = name.rfind("--", 0) == 0 ? "option " + name + " needs a value"
                                             : "unknown argument " + name;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (name == "--port") {
            ok = parseInt(value, 0, 65535, options.port);
        } else if (name == "--bind") {
            options.bind = value;
        } else if (name == "--public-host") {
            options.publicHost = value;
        } else if (name == "--db") {
            options.database = value;
        } else if (name == "--catalogue") {
            options.catalogue = value;
        } else if (name == "--site") {
            options.site = value;
        } else if (name == "--message") {
            options.message = value;
        } else if (name == "--version-name") {
            options.versionName = value;
        } else if (name == "--collections-set") {
            options.collectionsSet = value;
        } else if (name == "--refresh") {
            ok = parseInt(value, 1, 86400, options.refreshSeconds);
        } else if (name == "--access-log") {
            options.accessLog = value;
            ok = !value.empty();
        } else if (name == "--faults") {
            std::string problem;
            options.faults = FaultSchedule::parse(value, problem);
            if (!options.faults) {
                error = "bad --faults " + value + ": " + problem;
                return std::nullopt;
            }
        } else if (name == "--fleet-db") {
            options.fleetDb = value;
            ok = !value.empty();
        } else if (name == "--fleet-password-file") {
            options.fleetPasswordFile = value;
            ok = !value.empty();
        } else if (name == "--fleet-silent-after") {
            ok = parseInt(value, 1, 30 * 86400, options.fleetSilentAfterSeconds);
        } else if (name == "--fleet-min-gap") {
            ok = parseInt(value, 0, 86400, options.fleetMinGapSeconds);
        } else if (name == "--add-screen") {
            options.addScreen = value;
        } else if (name == "--threads") {
            ok = parseInt(value, 1, 256, options.threads);
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (!ok) {
            error = "bad value for " + name + ": " + value;
            return std::nullopt;
        }
    }
    return options;
}

} // namespace skyglance::catalogue

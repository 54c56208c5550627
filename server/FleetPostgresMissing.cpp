// Stands in for the PostgreSQL store in a build without it.
#include "FleetStore.h"

namespace skyglance::catalogue {

std::unique_ptr<FleetStore> openPostgresFleetStore(const std::string&, std::string& error) {
    error = "PostgreSQL support is not built";
    return nullptr;
}

} // namespace skyglance::catalogue

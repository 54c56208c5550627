#include "FleetStore.h"

#include "FleetSqlite.h"

namespace skyglance::catalogue {

std::unique_ptr<FleetStore> openFleetStore(const std::string& where, std::string& error) {
    for (const char* scheme : {"postgresql://", "postgres://"}) {
        if (where.rfind(scheme, 0) == 0) {
            return openPostgresFleetStore(where, error);
        }
    }
    return openSqliteFleetStore(where, error);
}

} // namespace skyglance::catalogue

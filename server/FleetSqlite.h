#pragma once

#include "FleetStore.h"

namespace skyglance::catalogue {

// The fleet kept in an SQLite file (created when missing), in WAL mode with
// a busy timeout so that several service processes may share it.
std::unique_ptr<FleetStore> openSqliteFleetStore(const std::string& path, std::string& error);

} // namespace skyglance::catalogue

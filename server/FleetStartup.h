#pragma once

#include "FleetService.h"
#include "ServerOptions.h"

#include <memory>
#include <string>

namespace skyglance::catalogue {

// Where the fleet is kept: --fleet-db, else fleet.sqlite in the folder of
// the catalogue database `catalogueDb`.
std::string fleetStoreAddress(const ServerOptions& options, const std::string& catalogueDb);

// A screen name as --add-screen takes it: 1 to 100 bytes of UTF-8, no control
// characters and no '/' (the name is part of its thumbnail's path).
bool validScreenName(const std::string& name);

// --add-screen: adds the screen to the store at `where` and prints its new
// token on one line; the exit status.
int addScreenAndPrintToken(const std::string& name, const std::string& where);

// The fleet as --fleet and its options set it up; null with `error` when
// the password file or the store cannot be had.
std::unique_ptr<FleetService> startFleet(const ServerOptions& options, const std::string& where,
                                         std::string& error);

} // namespace skyglance::catalogue

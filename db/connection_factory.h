// NewDefaultConnectionFactory: where this build's connections come from. The
// SQLite stand-in (db/sqlite/sqlite_connection_factory.cpp) and ADO
// (db/ado/ado_connection_factory.cpp) each define it; CMake builds exactly one.
// Every connection it makes starts closed. ADO's need the caller's thread
// inside a ComApartment (platform/windows/com_apartment.h).
#pragma once

#include <string>

#include "db/connection.h"

namespace telo {

struct ConnectionOptions {
  // The stand-in only: the Wine-style prefix whose drives Data Source paths
  // name, loaded once, when the factory is made. Empty means $WINEPREFIX, or
  // ~/.wine when that is unset. ADO opens the machine's own paths.
  std::string wine_prefix;
};

ConnectionFactory NewDefaultConnectionFactory(const ConnectionOptions& options);

}  // namespace telo

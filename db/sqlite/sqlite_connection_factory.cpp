// The stand-in's connection factory: SqliteConnections that share one
// loaded Wine-style prefix.
#include <memory>

#include "db/connection_factory.h"
#include "db/sqlite/sqlite_connection.h"

namespace telo {

ConnectionFactory NewDefaultConnectionFactory(const ConnectionOptions& options) {
  auto prefix = std::make_shared<const WinePrefix>(WinePrefix::Load(options.wine_prefix));
  return [prefix] { return std::make_unique<SqliteConnection>(prefix); };
}

}  // namespace telo

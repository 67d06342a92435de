// The shipped console program's connections: this build's own.
#include "app/cli/program_connections.h"

namespace telo {

ConnectionFactory ProgramConnections(const ConnectionOptions& options) {
  return NewDefaultConnectionFactory(options);
}

}  // namespace telo

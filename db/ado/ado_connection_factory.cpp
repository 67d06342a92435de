// ADO's connection factory: a new ADODB.Connection each time; the Wine
// prefix of the options means nothing here.
#include "db/ado/ado_connection.h"
#include "db/connection_factory.h"

namespace telo {

ConnectionFactory NewDefaultConnectionFactory(const ConnectionOptions& /*options*/) {
  return &NewAdoConnection;
}

}  // namespace telo

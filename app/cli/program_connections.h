// ProgramConnections: where the console program's connections come from. The
// shipped program gets this build's own (program_connections.cpp); its test
// build, telo-cli-testing, gets them wrapped so that a test can stop the run
// at a fixed statement (testing/program_connections_testing.cpp), so that no
// test switch is in what ships.
#pragma once

#include "db/connection_factory.h"

namespace telo {

ConnectionFactory ProgramConnections(const ConnectionOptions& options);

}  // namespace telo

// ProgramEnv: the Env that the console program runs on. The shipped program
// gets the platform's own (program_env.cpp); the test build of the program,
// telo-cli-testing, gets one whose connections a test can stop at a fixed
// statement
// (program_env_testing.cpp), so that no test switch is in what ships.
#pragma once

#include <memory>

#include "platform/env.h"

namespace telo {

std::unique_ptr<Env> ProgramEnv(const EnvOptions& options);

}  // namespace telo

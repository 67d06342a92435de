// The shipped console program's Env: the platform's own.
#include "app/cli/program_env.h"

namespace telo {

std::unique_ptr<Env> ProgramEnv(const EnvOptions& options) { return NewDefaultEnv(options); }

}  // namespace telo

// Linked into every test program: the registries are filled before main, as the composition root
// fills them, so that tests which open simulated devices or load archives without the process's
// manager find the simulated bus and the command classes.
#include "api/built_ins.h"

namespace {

[[maybe_unused]] const bool builtInsRegistered = (kelcmd::RegisterBuiltIns(), true);

}  // namespace

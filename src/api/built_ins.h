#pragma once

namespace kelcmd {

// Fills the registries of the lower layers with what this library brings: the simulated bus as a
// kind of device, the command classes as classes archives may name. Communication() calls it
// before the manager is built; programs and tests that reach the lower layers without the manager
// call it first. Only the first call registers; later calls are cheap. Thread-safe.
void RegisterBuiltIns();

}  // namespace kelcmd

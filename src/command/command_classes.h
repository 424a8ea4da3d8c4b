#pragma once

namespace kelcmd {

// Makes the command layer's serialisable classes creatable by name, as archives name them (the
// members of a batch, the items of a command tree). Only the first call registers; every later
// one, from any thread, returns once the classes are there.
void RegisterCommandClasses();

}  // namespace kelcmd

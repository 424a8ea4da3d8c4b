#pragma once

#include <string_view>

#include "archive/object.h"

namespace kelcmd {

// Makes a class creatable by name when an archive is loaded. Registering the same class again, or
// null, does nothing; a second class under a name already taken is refused (false).
bool RegisterClass(const CRuntimeClass* runtimeClass);

// The registered class of exactly that name, or null. The library's own serialisable classes are
// registered on the first call, so that no lookup depends on static initialisers (the core is
// also linked as a static library, where unreferenced object files are dropped).
const CRuntimeClass* FindClass(std::string_view name);

}  // namespace kelcmd

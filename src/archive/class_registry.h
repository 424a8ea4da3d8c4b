#pragma once

#include <string_view>

#include "archive/object.h"

namespace kelcmd {

// Makes a class creatable by name when an archive is loaded. The layers whose classes archives
// name register them here at start-up (the registry knows none of them itself). Registering the
// same class again does nothing; null, or a second class under a name already taken, is refused
// (false). Thread-safe.
bool RegisterClass(const CRuntimeClass* runtimeClass);

// The registered class of exactly that name, or null.
const CRuntimeClass* FindClass(std::string_view name);

}  // namespace kelcmd

#pragma once

#include <cstdint>
#include <exception>
#include <utility>

#include "api/system_parameter_family.h"
#include "api/user_parameter_family.h"

namespace kelcmd {

// The manager's system and user parameter families, which the exports use.
CSystemParameterFamily& SystemParameters();
CUserParameterFamily& UserParameters();

// Runs an export's body with nothing thrown across the C boundary: a failed allocation is a
// failed call.
template <class Body>
int32_t GuardedExport(Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return 0;
    }
}

}  // namespace kelcmd

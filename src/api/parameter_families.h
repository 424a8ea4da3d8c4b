#pragma once

#include "api/system_parameter_family.h"
#include "api/user_parameter_family.h"

namespace kelcmd {

// The manager's system and user parameter families, which the exports use.
CSystemParameterFamily& SystemParameters() noexcept;
CUserParameterFamily& UserParameters() noexcept;

}  // namespace kelcmd

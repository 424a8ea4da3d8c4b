#include "api/parameter_families.h"

#include "transport/kel_communication.h"

namespace kelcmd {

CSystemParameterFamily& SystemParameters() {
    static CSystemParameterFamily family;
    static const bool linked = (family.SetLinks(&Communication(), nullptr), true);
    (void)linked;
    return family;
}

CUserParameterFamily& UserParameters() {
    static CUserParameterFamily family;
    static const bool linked = (family.SetLinks(&Communication(), nullptr), true);
    (void)linked;
    return family;
}

}  // namespace kelcmd

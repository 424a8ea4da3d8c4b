#include "api/built_ins.h"

#include "command/command_classes.h"
#include "sim/sim_device.h"

namespace kelcmd {

void RegisterBuiltIns() {
    sim::RegisterSimulatedDevices();
    RegisterCommandClasses();
}

}  // namespace kelcmd

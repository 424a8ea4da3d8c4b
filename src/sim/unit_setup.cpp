#include "sim/unit_setup.h"

#include <mutex>

#include "sim/drive/drive_model.h"
#include "sim/params/parameter_unit.h"

namespace kelcmd::sim {
namespace {

std::mutex& SetupMutex() {
    static std::mutex mutex;
    return mutex;
}

UnitSetup& CurrentSetup() {
    static UnitSetup setup;
    return setup;
}

}  // namespace

void SetDefaultUnitSetup(UnitSetup setup) {
    std::lock_guard lock(SetupMutex());
    CurrentSetup() = std::move(setup);
}

void ApplyDefaultUnitSetup(SimUnit& unit) {
    UnitSetup setup;
    {
        std::lock_guard lock(SetupMutex());
        setup = CurrentSetup();
    }
    // Without a setup of their own, units are positioning drives with a parameter memory.
    // Referring to them from here also makes sure a statically linked program contains them.
    if (setup) {
        setup(unit);
    } else {
        InstallDriveModel(unit);
        InstallParameterMemory(unit);
    }
}

}  // namespace kelcmd::sim

#include "sim/unit_setup.h"

#include <mutex>

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

const std::vector<UnitPart>& BuiltInUnitParts() {
    static const std::vector<UnitPart> parts = {
        &InstallParameterMemory,
    };
    return parts;
}

void ApplyDefaultUnitSetup(SimUnit& unit) {
    for (UnitPart part : BuiltInUnitParts()) part(unit);
    UnitSetup setup;
    {
        std::lock_guard lock(SetupMutex());
        setup = CurrentSetup();
    }
    if (setup) setup(unit);
}

}  // namespace kelcmd::sim

#include "sim/unit_setup.h"

#include <mutex>

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
    if (setup) setup(unit);
}

}  // namespace kelcmd::sim

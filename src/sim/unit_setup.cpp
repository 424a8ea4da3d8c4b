#include "sim/unit_setup.h"

#include <mutex>
#include <vector>

#include "sim/batch/batch_handler.h"

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

// Built in rather than registered by static initialisers, which a static library may drop.
std::vector<UnitSetup>& Installers() {
    static std::vector<UnitSetup> installers{&InstallBatchHandler};
    return installers;
}

}  // namespace

void SetDefaultUnitSetup(UnitSetup setup) {
    std::lock_guard lock(SetupMutex());
    CurrentSetup() = std::move(setup);
}

void AddUnitInstaller(UnitSetup installer) {
    if (!installer) return;
    std::lock_guard lock(SetupMutex());
    Installers().push_back(std::move(installer));
}

void ApplyDefaultUnitSetup(SimUnit& unit) {
    std::vector<UnitSetup> installers;
    UnitSetup setup;
    {
        std::lock_guard lock(SetupMutex());
        installers = Installers();
        setup = CurrentSetup();
    }
    for (const UnitSetup& installer : installers) installer(unit);
    if (setup) setup(unit);
}

}  // namespace kelcmd::sim

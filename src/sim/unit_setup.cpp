#include "sim/unit_setup.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "sim/batch/batch_handler.h"
#include "sim/drive/drive_model.h"
#include "sim/params/parameter_unit.h"
#include "sim/recorder/recorder_peripherals.h"
#include "sim/unit_wiring.h"

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

std::vector<std::pair<std::string, UnitSetup>>& KeyedSetups() {
    static std::vector<std::pair<std::string, UnitSetup>> setups;
    return setups;
}

}  // namespace

void SetDefaultUnitSetup(UnitSetup setup) {
    std::lock_guard lock(SetupMutex());
    CurrentSetup() = std::move(setup);
}

void AddUnitSetup(const std::string& key, UnitSetup setup) {
    std::lock_guard lock(SetupMutex());
    auto& setups = KeyedSetups();
    const auto found = std::find_if(setups.begin(), setups.end(),
                                    [&key](const auto& entry) { return entry.first == key; });
    if (!setup) {
        if (found != setups.end()) setups.erase(found);
    } else if (found != setups.end()) {
        found->second = std::move(setup);
    } else {
        setups.emplace_back(key, std::move(setup));
    }
}

void ApplyDefaultUnitSetup(SimUnit& unit) {
    UnitSetup setup;
    std::vector<std::pair<std::string, UnitSetup>> keyed;
    {
        std::lock_guard lock(SetupMutex());
        setup = CurrentSetup();
        keyed = KeyedSetups();
    }
    // Without a setup of their own, units are positioning drives with a parameter memory, a
    // recorder, a serial line and tuning runs. Referring to them from here also makes sure a
    // statically linked program contains them.
    InstallBatchHandler(unit);  // every unit runs batches of whatever commands it knows
    if (setup) {
        setup(unit);
    } else {
        InstallDriveModel(unit);
        InstallParameterMemory(unit);
        InstallRecorderPeripherals(unit);
    }
    for (const auto& entry : keyed) entry.second(unit);
    // Whichever installer brought them, a drive and a recorder on one unit work together.
    ConnectUnitParts(unit);
}

}  // namespace kelcmd::sim

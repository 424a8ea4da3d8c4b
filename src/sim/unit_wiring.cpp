#include "sim/unit_wiring.h"

#include <memory>

#include "sim/drive/drive_model.h"
#include "sim/recorder/recorder_peripherals.h"
#include "sim/sim_unit.h"

namespace kelcmd::sim {

void ConnectUnitParts(SimUnit& unit) {
    DriveModel* drive = unit.ModelAs<DriveModel>();
    const std::shared_ptr<RecorderPeripherals> peripherals = PeripheralsOf(unit);
    if (!drive || !peripherals) return;
    peripherals->recorder.SetSource(drive->SampleSourceView());
    // Weak: the handlers own the peripherals, and the drive must not keep them alive.
    drive->SetMovementListener([weak = std::weak_ptr<RecorderPeripherals>(peripherals)] {
        if (const auto live = weak.lock()) live->recorder.NotifyMovement();
    });
}

}  // namespace kelcmd::sim

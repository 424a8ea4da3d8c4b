#pragma once

#include <cstdint>

namespace kelcmd::sim {

// Where the simulated machine has what a home search looks for, in encoder counts as counted since
// power-on (before any DefinePosition or homing moved the unit's position frame).
struct MachineLayout {
    double homeSwitch = 0;  // the reference switch (input HOME)
    double leftSwitch = -1'000'000;
    double rightSwitch = 1'000'000;
    double leftStop = -1'010'000;  // mechanical ends, found by the rise of the motor current
    double rightStop = 1'010'000;
    double indexPeriod = 4000;  // one encoder index pulse per revolution...
    double indexPhase = 500;    // ...at indexPhase + k * indexPeriod
    int stallCurrent = 1500;    // mA the motor draws when it pushes against a mechanical end
};

// The parameters of a home search as FindHome sends them.
struct HomingRequest {
    uint8_t type = 8;
    uint16_t current = 200;
    float velocity = 10.0f;
    int32_t offset = 0;
    uint32_t timeout = 5000;
    int32_t homePosition = 0;
};

// Where a home search ends up, in encoder counts.
struct HomingPlan {
    bool found = false;        // false: the axis runs to `end` and the search fails there
    double reference = 0;      // where the reference event is
    double end = 0;            // reference + offset: the point that becomes the home position
    double indexDistance = 0;  // from the switch or end to the index, for the index variants
    uint16_t failError = 0;    // the unit error when the search does not succeed
};

// The plan of home search `request` (type 1 to 9) started at encoder count `position`.
HomingPlan PlanHoming(const MachineLayout& machine, const HomingRequest& request, double position);

// The first index pulse strictly beyond `position` in `direction` (+1 or -1).
double NextIndex(const MachineLayout& machine, double position, double direction);

}  // namespace kelcmd::sim

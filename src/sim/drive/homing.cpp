#include "sim/drive/homing.h"

#include <cmath>

#include "sim/drive/drive_codes.h"

namespace kelcmd::sim {
namespace {

double DirectionTowards(double from, double to, double fallback) {
    if (to > from) return 1;
    if (to < from) return -1;
    return fallback;
}

}  // namespace

double NextIndex(const MachineLayout& machine, double position, double direction) {
    const double revolutions = (position - machine.indexPhase) / machine.indexPeriod;
    const double k = direction > 0 ? std::floor(revolutions) + 1 : std::ceil(revolutions) - 1;
    return machine.indexPhase + k * machine.indexPeriod;
}

HomingPlan PlanHoming(const MachineLayout& machine, const HomingRequest& request, double position) {
    const double direction = request.velocity < 0 ? -1 : 1;
    HomingPlan plan;
    plan.found = true;
    plan.failError = drive::kErrorHome;
    // The index variants search the next index after leaving the switch or the end.
    const auto thenIndex = [&](double from, double away) {
        plan.reference = NextIndex(machine, from, away);
        plan.indexDistance = plan.reference - from;
    };
    switch (request.type) {
        case 1:
            plan.reference = NextIndex(machine, position, direction);
            plan.failError = drive::kErrorIndex;
            break;
        case 2:
            plan.reference = machine.homeSwitch;
            break;
        case 3:
            thenIndex(machine.homeSwitch,
                      DirectionTowards(position, machine.homeSwitch, direction));
            break;
        case 4:
            plan.reference = machine.leftSwitch;
            break;
        case 5:
            thenIndex(machine.leftSwitch, 1);
            break;
        case 6:
            plan.reference = machine.rightSwitch;
            break;
        case 7:
            thenIndex(machine.rightSwitch, -1);
            break;
        case 8:
        case 9: {
            const double stop = direction < 0 ? machine.leftStop : machine.rightStop;
            // The end is recognised only if the current threshold lies below the stall current.
            plan.found = request.current > 0 && request.current <= machine.stallCurrent;
            if (!plan.found) {
                plan.reference = plan.end = stop;
                return plan;
            }
            if (request.type == 8) {
                plan.reference = stop;
            } else {
                thenIndex(stop, -direction);
            }
            break;
        }
        default:
            plan.found = false;
            plan.reference = plan.end = position;
            return plan;
    }
    plan.end = plan.reference + request.offset;
    return plan;
}

}  // namespace kelcmd::sim

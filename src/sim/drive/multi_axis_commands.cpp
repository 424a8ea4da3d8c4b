// Prepared motions that StartMovement sets going, on one unit or on every unit of a group.
#include <cmath>

#include "sim/drive/drive_codes.h"
#include "sim/drive/drive_model.h"
#include "sim/drive/wire_fields.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {

using namespace drive;

namespace {

SimAnswer WrongLength() {
    return RefusalAnswer(BAD_LEN, WARN_SYNTAX);
}

uint32_t DurationMs(double duration) {
    return static_cast<uint32_t>(std::clamp(std::llround(duration), 0LL, 0xFFFFFFFFLL));
}

SimAnswer PreparedAnswer(uint8_t code, bool info, const PlannedMotion& plan) {
    // Nothing moves yet, so the plan is never "Done".
    if (!info) return PositiveAnswer(code);
    const auto flags = static_cast<uint8_t>(plan.flags & ~kFlagDone);
    return PositiveAnswer(code, FieldWriter().Byte(flags).LWord(DurationMs(plan.duration)).Take());
}

}  // namespace

SimAnswer DriveModel::InitMove(uint8_t code, std::span<const uint8_t> data, bool relative) {
    if (data.size() != 4 && data.size() != 5) return WrongLength();
    const int32_t value = FieldReader(data).LInt();
    const int64_t target = relative ? static_cast<int64_t>(RelativeBase()) + value : value;
    const double here = ToUnitFrame(MustAt(now_).position);
    const double direction = target > here ? 1 : (target < here ? -1 : 0);
    if (auto refusal = CheckMayMove(direction)) return *refusal;
    if (auto refusal = CheckTarget(target)) return *refusal;
    prepared_ = Prepared::Position;
    preparedValue_ = static_cast<double>(target);
    return PreparedAnswer(code, data.size() == 5, PlanMove(now_, target));
}

SimAnswer DriveModel::OnInitMoveAbsolute(std::span<const uint8_t> data) {
    return InitMove(kInitMoveAbsolute, data, false);
}

SimAnswer DriveModel::OnInitMoveRelative(std::span<const uint8_t> data) {
    return InitMove(kInitMoveRelative, data, true);
}

SimAnswer DriveModel::OnInitSetVelocity(std::span<const uint8_t> data) {
    if (data.size() != 4 && data.size() != 5) return WrongLength();
    const float velocity = FieldReader(data).Float();
    if (!std::isfinite(velocity)) return Refuse(BAD_PRM, WARN_RANGE);
    if (auto refusal = CheckMayMove(velocity > 0 ? 1 : (velocity < 0 ? -1 : 0))) return *refusal;
    prepared_ = Prepared::Velocity;
    preparedValue_ = velocity;
    return PreparedAnswer(kInitSetVelocity, data.size() == 5, PlanVelocity(now_, velocity));
}

SimAnswer DriveModel::OnStartMovement(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    if (prepared_ == Prepared::None) return Refuse(CMD_FAIL, WARN_NOMOVE);
    // The unit's state may have changed since the motion was prepared: check it again.
    const double here = ToUnitFrame(MustAt(now_).position);
    const double direction =
        prepared_ == Prepared::Velocity ? preparedValue_ : preparedValue_ - here;
    if (auto refusal = CheckMayMove(direction > 0 ? 1 : (direction < 0 ? -1 : 0))) {
        return *refusal;
    }
    PlannedMotion plan{Trajectory(now_, 0)};
    if (prepared_ == Prepared::Position) {
        const auto target = static_cast<int64_t>(preparedValue_);
        if (auto refusal = CheckTarget(target)) return *refusal;
        plan = PlanMove(now_, target);
        StartMotionLocked(MotionKind::Position, plan);
    } else {
        plan = PlanVelocity(now_, preparedValue_);
        StartMotionLocked(MotionKind::Velocity, plan);
    }
    prepared_ = Prepared::None;
    return MotionAnswer(kStartMovement, false, plan, true);
}

}  // namespace kelcmd::sim

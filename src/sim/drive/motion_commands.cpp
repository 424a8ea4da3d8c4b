// Motion control: regulation mode, profile, wait mode, point-to-point and velocity moves, waits
// for the trajectory, stops and the position frame.
#include <cmath>

#include "sim/drive/drive_codes.h"
#include "sim/drive/drive_model.h"
#include "sim/drive/wire_fields.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {

using namespace drive;

namespace {

// A waiting command answers this long after the motion ended: the drive checks it has settled.
constexpr double kSettleMs = 1;

SimAnswer WrongLength() {
    return RefusalAnswer(BAD_LEN, WARN_SYNTAX);
}

double Direction(double from, double to) {
    return to > from ? 1 : (to < from ? -1 : 0);
}

uint32_t DurationMs(double duration) {
    return static_cast<uint32_t>(std::clamp(std::llround(duration), 0LL, 0xFFFFFFFFLL));
}

}  // namespace

// --- Shared by the motion commands ---

SimAnswer DriveModel::Refuse(uint8_t reason, int16_t warning) {
    warning_ = warning;
    return RefusalAnswer(reason, warning);
}

SimAnswer DriveModel::HoldUntil(SimAnswer answer, double until) {
    if (until <= now_) return answer;
    answer.simulatedDelay =
        std::chrono::microseconds(std::llround(std::ceil((until - now_) * 1000)));
    heldUntil_ = until;
    return answer;
}

SimAnswer DriveModel::RefuseAfter(double until, int16_t warning) {
    return HoldUntil(Refuse(CMD_FAIL, warning), until);
}

std::optional<SimAnswer> DriveModel::CheckMayMove(double direction) {
    if (error_ != kNoError) return Refuse(CMD_FAIL, WARN_ERROR);
    if (regMode_ != kRegPosition) return Refuse(CMD_FAIL, WARN_POSREFOFF);
    if (!io_.Input(kInputEnable)) return Refuse(CMD_FAIL, WARN_AMPDISAB);
    if (io_.Input(kInputStop)) return Refuse(CMD_FAIL, WARN_STOP);
    if (direction < 0 && io_.Input(kInputLeft)) return Refuse(CMD_FAIL, WARN_LEFT);
    if (direction > 0 && io_.Input(kInputRight)) return Refuse(CMD_FAIL, WARN_RIGHT);
    return std::nullopt;
}

std::optional<SimAnswer> DriveModel::CheckTarget(int64_t target) {
    const Limits limits = LimitsLocked();
    if (limits.upper && target > *limits.upper) {
        limitBits_ = kStatusHiLimit;
        return Refuse(CMD_FAIL, WARN_UPLIMIT);
    }
    if (limits.lower && target < *limits.lower) {
        limitBits_ = kStatusLoLimit;
        return Refuse(CMD_FAIL, WARN_LOLIMIT);
    }
    return std::nullopt;
}

double DriveModel::RelativeBase() const {
    // A relative move adds to the target of a move under way, else to where the axis is.
    const double encoder = motion_.kind == MotionKind::Position ? motion_.trajectory.FinalPosition()
                                                                : MustAt(now_).position;
    return static_cast<double>(std::llround(encoder) + frameOffset_);
}

void DriveModel::StartMotionLocked(MotionKind kind, const PlannedMotion& plan) {
    motion_ = Motion{kind, plan.trajectory};
    limitBits_ = 0;
    movementStarted_ = true;
    // A velocity move that runs into a limit shows it once it stands there.
    if (kind == MotionKind::Velocity) {
        motion_.limitBits = (plan.flags & kFlagUpLimit)   ? kStatusHiLimit
                            : (plan.flags & kFlagLoLimit) ? kStatusLoLimit
                                                          : 0;
    }
}

PlannedMotion DriveModel::PlanMove(double now, int64_t target) const {
    const auto must = MustAt(now);
    return PlanPositionMove(now, must.position, must.velocity, ToEncoder(target), profile_);
}

PlannedMotion DriveModel::PlanVelocity(double now, double velocity) const {
    const auto must = MustAt(now);
    const Limits limits = LimitsLocked();
    PlannedMotion plan = PlanVelocityMove(now, must.position, must.velocity, velocity, profile_,
                                          ToEncoder(limits.lower.value_or(INT32_MIN)),
                                          ToEncoder(limits.upper.value_or(INT32_MAX)));
    // The ends of the position range are no limits worth reporting.
    if (!limits.upper) plan.flags &= static_cast<uint8_t>(~kFlagUpLimit);
    if (!limits.lower) plan.flags &= static_cast<uint8_t>(~kFlagLoLimit);
    return plan;
}

SimAnswer DriveModel::MotionAnswer(uint8_t code, bool info, const PlannedMotion& plan,
                                   bool started) {
    const bool hold = started && TrajectoryWaits() && plan.duration > 0;
    SimAnswer answer = PositiveAnswer(code);
    if (info) {
        uint8_t flags = plan.flags;
        if (hold || plan.duration <= 0) flags |= kFlagDone;
        answer.data = FieldWriter().Byte(flags).LWord(DurationMs(plan.duration)).Take();
    }
    return hold ? HoldUntil(std::move(answer), now_ + plan.duration + kSettleMs) : answer;
}

SimAnswer DriveModel::RunMove(uint8_t code, std::span<const uint8_t> data, bool relative) {
    if (data.size() != 4 && data.size() != 5) return WrongLength();
    FieldReader reader(data);
    const int32_t value = reader.LInt();
    const bool info = data.size() == 5;
    const uint8_t option = info ? reader.Byte() : 0;
    const int64_t target = relative ? static_cast<int64_t>(RelativeBase()) + value : value;
    const double here = static_cast<double>(ToUnitFrame(MustAt(now_).position));
    if (auto refusal = CheckMayMove(Direction(here, static_cast<double>(target)))) return *refusal;
    if (auto refusal = CheckTarget(target)) return *refusal;
    const PlannedMotion plan = PlanMove(now_, target);
    // Option bit 0 asks only for the plan: flags and duration, without moving.
    const bool start = !(option & 1);
    if (start) StartMotionLocked(MotionKind::Position, plan);
    return MotionAnswer(code, info, plan, start);
}

SimAnswer DriveModel::RunVelocity(uint8_t code, std::span<const uint8_t> data) {
    if (data.size() != 4 && data.size() != 5) return WrongLength();
    FieldReader reader(data);
    const float velocity = reader.Float();
    const bool info = data.size() == 5;
    const uint8_t option = info ? reader.Byte() : 0;
    if (!std::isfinite(velocity)) return Refuse(BAD_PRM, WARN_RANGE);
    if (auto refusal = CheckMayMove(Direction(0, velocity))) return *refusal;
    const PlannedMotion plan = PlanVelocity(now_, velocity);
    const bool start = !(option & 1);
    if (start) StartMotionLocked(MotionKind::Velocity, plan);
    return MotionAnswer(code, info, plan, start);
}

// --- The commands ---

SimAnswer DriveModel::OnSetRegMode(std::span<const uint8_t> data) {
    if (data.size() != 1) return WrongLength();
    const uint8_t mode = data[0];
    if (mode > kRegFollowEncoder) return Refuse(BAD_PRM, WARN_RANGE);
    if (mode != kRegOff && error_ != kNoError) return Refuse(CMD_FAIL, WARN_ERROR);
    if (mode != kRegOff && !io_.Input(kInputEnable)) return Refuse(CMD_FAIL, WARN_AMPDISAB);
    if (mode != regMode_) {
        StopAbruptLocked(now_);
        currentSetting_ = 0;
    }
    regMode_ = mode;
    return PositiveAnswer(kSetRegMode);
}

SimAnswer DriveModel::OnSetProfile(std::span<const uint8_t> data) {
    if (data.size() != 9) return WrongLength();
    FieldReader reader(data);
    const uint8_t type = reader.Byte();
    const float accel = reader.Float();
    const float decel = reader.Float();
    const auto positive = [](float value) { return std::isfinite(value) && value > 0; };
    if ((type != 1 && type != 2) || !positive(accel) || !positive(decel)) {
        return Refuse(BAD_PRM, WARN_RANGE);
    }
    profile_.type = type;
    profile_.accel = accel;
    profile_.decel = decel;
    return PositiveAnswer(kSetProfile);
}

SimAnswer DriveModel::OnSetPosVelocity(std::span<const uint8_t> data) {
    if (data.size() != 4) return WrongLength();
    const float velocity = FieldReader(data).Float();
    // The sign does not matter: moves take the magnitude as their ceiling.
    if (!std::isfinite(velocity) || velocity == 0) return Refuse(BAD_PRM, WARN_RANGE);
    profile_.ceilingVelocity = velocity;
    return PositiveAnswer(kSetPosVelocity);
}

SimAnswer DriveModel::OnSetWaitMode(std::span<const uint8_t> data) {
    if (data.size() != 1) return WrongLength();
    if (data[0] > 3) return Refuse(BAD_PRM, WARN_RANGE);
    waitMode_ = data[0];
    return PositiveAnswer(kSetWaitMode);
}

SimAnswer DriveModel::OnMoveAbsolute(std::span<const uint8_t> data) {
    return RunMove(kMoveAbsolute, data, false);
}

SimAnswer DriveModel::OnMoveRelative(std::span<const uint8_t> data) {
    return RunMove(kMoveRelative, data, true);
}

SimAnswer DriveModel::OnSetVelocity(std::span<const uint8_t> data) {
    return RunVelocity(kSetVelocity, data);
}

SimAnswer DriveModel::OnWaitForTargetPos(std::span<const uint8_t> data) {
    if (data.size() != 4) return WrongLength();
    const uint32_t timeout = FieldReader(data).LWord();
    if (!MovingAt(now_)) return PositiveAnswer(kWaitForTargetPos);
    // A velocity move has no target to wait for.
    if (motion_.kind == MotionKind::Velocity) return Refuse(CMD_FAIL, WARN_NOMOVE);
    const double end = motion_.trajectory.End();
    if (timeout != 0 && end - now_ > timeout) return RefuseAfter(now_ + timeout, WARN_TIMEOUT);
    return HoldUntil(PositiveAnswer(kWaitForTargetPos), end + kSettleMs);
}

SimAnswer DriveModel::OnWaitForPosition(std::span<const uint8_t> data) {
    if (data.size() != 8) return WrongLength();
    FieldReader reader(data);
    const int32_t position = reader.LInt();
    const uint32_t timeout = reader.LWord();
    if (ToUnitFrame(MustAt(now_).position) == position) {
        return PositiveAnswer(kWaitForPosition);
    }
    const auto reached = motion_.trajectory.TimeReaching(ToEncoder(position), now_);
    if (reached && (timeout == 0 || *reached - now_ <= timeout)) {
        return HoldUntil(PositiveAnswer(kWaitForPosition), *reached);
    }
    if (timeout != 0) return RefuseAfter(now_ + timeout, WARN_TIMEOUT);
    // Waiting without limit for a position the motion never passes would never end.
    return Refuse(CMD_FAIL, WARN_UNREACHABLE);
}

SimAnswer DriveModel::OnStopMotion(std::span<const uint8_t> data) {
    if (data.size() != 1) return WrongLength();
    if (data[0] > 1) return Refuse(BAD_PRM, WARN_RANGE);
    if (data[0] == 0) {
        StopAbruptLocked(now_);
    } else if (MovingAt(now_)) {
        const auto must = MustAt(now_);
        motion_ =
            Motion{MotionKind::Position, PlanStop(now_, must.position, must.velocity, profile_)};
    }
    return PositiveAnswer(kStopMotion);
}

SimAnswer DriveModel::OnHalt(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    StopWithErrorLocked(now_, kErrorHalt);
    return PositiveAnswer(kHaltFunction);
}

SimAnswer DriveModel::OnBrake(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    // Braking brings the axis to rest with the profile's deceleration rather than at once.
    const auto must = MustAt(now_);
    motion_ = Motion{MotionKind::Position, PlanStop(now_, must.position, must.velocity, profile_)};
    error_ = kErrorBrake;
    return PositiveAnswer(kBrakeFunction);
}

SimAnswer DriveModel::OnDefinePosition(std::span<const uint8_t> data) {
    if (data.size() != 4) return WrongLength();
    const int32_t position = FieldReader(data).LInt();
    frameOffset_ = position - std::llround(MustAt(now_).position);
    return PositiveAnswer(kDefinePosition);
}

SimAnswer DriveModel::OnReadProfile(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    return PositiveAnswer(kReadProfile, FieldWriter()
                                            .Byte(profile_.type)
                                            .Float(static_cast<float>(profile_.accel))
                                            .Float(static_cast<float>(profile_.decel))
                                            .Float(static_cast<float>(profile_.ceilingVelocity))
                                            .Take());
}

}  // namespace kelcmd::sim

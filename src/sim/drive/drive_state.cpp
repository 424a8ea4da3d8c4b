// How the drive's state evolves in simulated time: motions ending, input changes taking effect,
// and what the measured values look like at a given time.
#include <algorithm>
#include <cmath>
#include <limits>

#include "sim/drive/drive_codes.h"
#include "sim/drive/drive_model.h"

namespace kelcmd::sim {

using namespace drive;

namespace {

// The measured values trail the commanded ones by this much while the axis moves: a small,
// repeatable following error instead of noise.
constexpr double kLagMs = 0.5;
// Mean values are taken over this window.
constexpr double kMeanWindowMs = 16;
// Motor current: proportional to the acceleration, plus friction while moving.
constexpr double kCurrentPerAccel = 600;  // mA per qc/ms^2
constexpr double kFrictionCurrent = 40;   // mA

int16_t ClampCurrent(double milliamps) {
    return static_cast<int16_t>(std::clamp(std::lround(milliamps), -32768L, 32767L));
}

}  // namespace

void DriveModel::CatchUpLocked(double now) {
    for (;;) {
        const double motionEnd = motion_.kind != MotionKind::Idle
                                     ? motion_.trajectory.End()
                                     : std::numeric_limits<double>::infinity();
        // An input change due before the motion ends acts first: it may stop the motion.
        if (const auto change = io_.TakeDue(std::min(now, motionEnd))) {
            ApplyInputLocked(change->input, change->active, change->at);
            continue;
        }
        if (motionEnd > now) return;
        FinishMotionLocked();
    }
}

void DriveModel::FinishMotionLocked() {
    const Motion& ended = motion_;
    if (ended.failError != kNoError) error_ = ended.failError;
    if (ended.definesHome) {
        frameOffset_ = ended.homePosition - std::llround(ended.trajectory.FinalPosition());
        referenced_ = true;
        homePosition_ = ended.homePosition;
    }
    if (ended.setsIndexDistance) indexDistance_ = static_cast<int32_t>(ended.indexDistance);
    limitBits_ |= ended.limitBits;
    motion_ = Motion{MotionKind::Idle, ended.trajectory};
}

void DriveModel::ApplyInputLocked(uint8_t number, bool active, double at) {
    io_.SetInput(number, active);
    const bool regulating = regMode_ != kRegOff;
    const double velocity = MustAt(at).velocity;
    const bool searching =
        motion_.kind == MotionKind::Homing || motion_.kind == MotionKind::IndexSearch;
    switch (number) {
        case kInputStop:
            if (active && regulating) StopWithErrorLocked(at, kErrorStop);
            break;
        case kInputEnable:
            if (!active && regulating) StopWithErrorLocked(at, kErrorAmpDisab);
            break;
        case kInputLeft:
            if (active && MovingAt(at) && velocity < 0 && !searching) {
                StopWithErrorLocked(at, kErrorLeft);
            }
            break;
        case kInputRight:
            if (active && MovingAt(at) && velocity > 0 && !searching) {
                StopWithErrorLocked(at, kErrorRight);
            }
            break;
        case kInputDigOvld:
            if (active) {
                // The unit protects its outputs by switching them off.
                error_ = kErrorDigOvld;
                io_.SetOutputs(0);
            }
            break;
        default:
            break;
    }
}

void DriveModel::StopAbruptLocked(double at) {
    // A stop cancels whatever the motion would have brought at its end.
    motion_ = Motion{MotionKind::Idle, motion_.trajectory.CutAt(at)};
}

void DriveModel::StopWithErrorLocked(double at, uint16_t error) {
    StopAbruptLocked(at);
    error_ = error;
}

void DriveModel::ResetLocked(double now) {
    const double encoder = MustAt(now).position;
    motion_ = Motion{MotionKind::Idle, Trajectory(now, encoder)};
    regMode_ = kRegPosition;
    waitMode_ = 0;
    profile_ = ProfileSettings{};
    currentSetting_ = 0;
    // The position counter restarts at 0 where the axis stands.
    frameOffset_ = -std::llround(encoder);
    referenced_ = false;
    homePosition_.reset();
    indexDistance_ = 0;
    limitBits_ = 0;
    error_ = kNoError;
    warning_ = 0;
    heldUntil_ = -1;
    epoch_ = now;
    prepared_ = Prepared::None;
    io_.ResetOutputs();
}

Trajectory::Sample DriveModel::MustAt(double time) const {
    return motion_.trajectory.At(time);
}

bool DriveModel::MovingAt(double time) const {
    return motion_.trajectory.Moving(time);
}

int32_t DriveModel::ToUnitFrame(double encoderCount) const {
    const int64_t position = std::llround(encoderCount) + frameOffset_;
    return static_cast<int32_t>(std::clamp<int64_t>(position, INT32_MIN, INT32_MAX));
}

double DriveModel::ToEncoder(int64_t position) const {
    return static_cast<double>(position - frameOffset_);
}

int32_t DriveModel::PositionIsAt(double time) const {
    return ToUnitFrame(MustAt(time - kLagMs).position);
}

float DriveModel::VelocityIsAt(double time) const {
    return static_cast<float>(MustAt(time - kLagMs).velocity);
}

float DriveModel::VelocityMeanAt(double time) const {
    const double travelled = MustAt(time).position - MustAt(time - kMeanWindowMs).position;
    return static_cast<float>(travelled / kMeanWindowMs);
}

int16_t DriveModel::CurrentAt(double time) const {
    if (regMode_ == kRegOff) return 0;
    if (regMode_ == kRegCurrent) return currentSetting_;
    const auto must = MustAt(time);
    const double friction = must.velocity == 0 ? 0 : std::copysign(kFrictionCurrent, must.velocity);
    return ClampCurrent(kCurrentPerAccel * must.acceleration + friction);
}

int16_t DriveModel::CurrentIsAt(double time) const {
    return CurrentAt(time - kLagMs);
}

int16_t DriveModel::CurrentMeanAt(double time) const {
    if (regMode_ != kRegPosition && regMode_ != kRegFollowEncoder) return CurrentAt(time);
    const double meanAccel =
        (MustAt(time).velocity - MustAt(time - kMeanWindowMs).velocity) / kMeanWindowMs;
    const double meanVelocity = VelocityMeanAt(time);
    const double friction = meanVelocity == 0 ? 0 : std::copysign(kFrictionCurrent, meanVelocity);
    return ClampCurrent(kCurrentPerAccel * meanAccel + friction);
}

uint16_t DriveModel::StatusAt(double time) const {
    uint16_t status = 0;
    const auto set = [&status](bool condition, uint16_t bit) {
        if (condition) status |= bit;
    };
    const bool moving = MovingAt(time);
    set(moving, kStatusMoving);
    set(motion_.trajectory.CruisingAt(time), kStatusCteVel);
    set(profile_.type == 2, kStatusSinus);
    set(moving && motion_.kind == MotionKind::Velocity, kStatusVelMode);
    set(motion_.kind == MotionKind::Homing || motion_.kind == MotionKind::IndexSearch,
        kStatusCmdActive);
    set(time < heldUntil_, kStatusWaitEnd);
    status |= limitBits_;
    set(error_ != kNoError, kStatusError);
    set(warning_ != 0, kStatusWarning);
    set(regMode_ != kRegOff, kStatusCurReg);
    set(regMode_ == kRegPosition || regMode_ == kRegFollowEncoder, kStatusPosReg);
    set(referenced_, kStatusReferenced);
    set(homePosition_ && !moving && ToUnitFrame(MustAt(time).position) == *homePosition_,
        kStatusHome);
    set(io_.Input(kInputRight), kStatusRight);
    set(io_.Input(kInputLeft), kStatusLeft);
    return status;
}

}  // namespace kelcmd::sim

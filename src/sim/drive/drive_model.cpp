#include "sim/drive/drive_model.h"

#include <cmath>
#include <memory>

#include "sim/drive/drive_codes.h"
#include "sim/drive/drive_sample_source.h"
#include "sim/sim_answer.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {

using namespace drive;

DriveModel::DriveModel() : sampleSource_(std::make_shared<DriveSampleSource>(this)) {}

DriveModel::~DriveModel() {
    sampleSource_->Detach();
}

template <class Read>
auto DriveModel::Inspect(Read read) const {
    std::lock_guard lock(mutex_);
    const double now = NowMs();
    // Catching up only does what the next command would do anyway.
    const_cast<DriveModel*>(this)->CatchUpLocked(now);
    return read(now);
}

void DriveModel::Register(SimUnit& unit, uint8_t code, Handler handler) {
    unit.SetHandler(code, [this, handler](SimUnit&, std::span<const uint8_t> data) {
        std::function<void()> listener;
        SimAnswer answer;
        {
            std::lock_guard lock(mutex_);
            now_ = NowMs();
            CatchUpLocked(now_);
            movementStarted_ = false;
            answer = (this->*handler)(data);
            if (movementStarted_) listener = movementListener_;
        }
        // Outside the lock: the listener's recorder samples the drive under its own lock.
        if (listener) listener();
        return answer;
    });
}

void DriveModel::SetMovementListener(std::function<void()> listener) {
    std::lock_guard lock(mutex_);
    movementListener_ = std::move(listener);
}

std::shared_ptr<const SampleSource> DriveModel::SampleSourceView() const {
    return sampleSource_;
}

void DriveModel::Install(SimUnit& unit) {
    {
        std::lock_guard lock(mutex_);
        unit_ = &unit;
        epoch_ = NowMs();
        motion_.trajectory = Trajectory(epoch_, 0);
    }
    const std::pair<uint8_t, Handler> handlers[] = {
        {kResetSlave, &DriveModel::OnResetSlave},
        {kHaltFunction, &DriveModel::OnHalt},
        {kBrakeFunction, &DriveModel::OnBrake},
        {kReadAxisStatus, &DriveModel::OnReadAxisStatus},
        {kReadError, &DriveModel::OnReadError},
        {kClearError, &DriveModel::OnClearError},
        {kReadWarning, &DriveModel::OnReadWarning},
        {kClearWarning, &DriveModel::OnClearWarning},
        {kSetRegMode, &DriveModel::OnSetRegMode},
        {kSetProfile, &DriveModel::OnSetProfile},
        {kSetPosVelocity, &DriveModel::OnSetPosVelocity},
        {kSetWaitMode, &DriveModel::OnSetWaitMode},
        {kMoveAbsolute, &DriveModel::OnMoveAbsolute},
        {kMoveRelative, &DriveModel::OnMoveRelative},
        {kWaitForTargetPos, &DriveModel::OnWaitForTargetPos},
        {kSetVelocity, &DriveModel::OnSetVelocity},
        {kStopMotion, &DriveModel::OnStopMotion},
        {kFindHomeSys, &DriveModel::OnFindHomeSys},
        {kFindHome, &DriveModel::OnFindHome},
        {kFindIndex, &DriveModel::OnFindIndex},
        {kDefinePosition, &DriveModel::OnDefinePosition},
        {kWaitForPosition, &DriveModel::OnWaitForPosition},
        {kReadIndexDistance, &DriveModel::OnReadIndexDistance},
        {kReadProfile, &DriveModel::OnReadProfile},
        {kReadInput, &DriveModel::OnReadInput},
        {kReadInputByte, &DriveModel::OnReadInputByte},
        {kWaitForInput, &DriveModel::OnWaitForInput},
        {kSetOutput, &DriveModel::OnSetOutput},
        {kSetOutputByte, &DriveModel::OnSetOutputByte},
        {kReadAnalogInput, &DriveModel::OnReadAnalogInput},
        {kSetUserPwm, &DriveModel::OnSetUserPwm},
        {kReadSysTime, &DriveModel::OnReadSysTime},
        {kWaitTime, &DriveModel::OnWaitTime},
        {kSetCurrent, &DriveModel::OnSetCurrent},
        {kReadEcStatus, &DriveModel::OnReadEcStatus},
        {kReadMaxStack, &DriveModel::OnReadMaxStack},
        {kInitMoveAbsolute, &DriveModel::OnInitMoveAbsolute},
        {kInitMoveRelative, &DriveModel::OnInitMoveRelative},
        {kInitSetVelocity, &DriveModel::OnInitSetVelocity},
        {kStartMovement, &DriveModel::OnStartMovement},
    };
    for (const auto& [code, handler] : handlers) Register(unit, code, handler);
    for (uint8_t code = kReadPosition; code <= kReadAxisInfo; ++code) {
        unit.SetHandler(code, [this, code](SimUnit&, std::span<const uint8_t> data) {
            std::lock_guard lock(mutex_);
            now_ = NowMs();
            CatchUpLocked(now_);
            if (!data.empty()) return RefusalAnswer(BAD_LEN, WARN_SYNTAX);
            return OnMotionInfo(code);
        });
    }
}

void InstallDriveModel(SimUnit& unit) {
    unit.AttachModel(std::make_unique<DriveModel>());
}

double DriveModel::NowMs() const {
    const auto simulated = (unit_ ? unit_->Now() : std::chrono::microseconds(0)) + advanced_;
    return static_cast<double>(simulated.count()) / 1000.0;
}

// --- The machine around the unit ---

void DriveModel::SetMachine(const MachineLayout& machine) {
    std::lock_guard lock(mutex_);
    machine_ = machine;
}

MachineLayout DriveModel::Machine() const {
    std::lock_guard lock(mutex_);
    return machine_;
}

void DriveModel::SetHomeSwitchPosition(int32_t encoderCount) {
    std::lock_guard lock(mutex_);
    machine_.homeSwitch = encoderCount;
}

void DriveModel::SetInput(uint8_t number, bool active) {
    if (!DriveIo::ValidInput(number)) return;
    std::lock_guard lock(mutex_);
    const double now = NowMs();
    CatchUpLocked(now);
    ApplyInputLocked(number, active, now);
}

void DriveModel::ScheduleInput(uint8_t number, bool active, std::chrono::milliseconds after) {
    if (!DriveIo::ValidInput(number)) return;
    std::lock_guard lock(mutex_);
    io_.Schedule({NowMs() + static_cast<double>(after.count()), number, active});
}

bool DriveModel::Input(uint8_t number) const {
    if (!DriveIo::ValidInput(number)) return false;
    return Inspect([&](double) { return io_.Input(number); });
}

bool DriveModel::Output(uint8_t number) const {
    if (!DriveIo::ValidOutput(number)) return false;
    std::lock_guard lock(mutex_);
    return io_.Output(number);
}

uint8_t DriveModel::Outputs() const {
    std::lock_guard lock(mutex_);
    return io_.Outputs();
}

void DriveModel::SetAnalogInput(uint8_t channel, uint16_t value) {
    if (channel >= kAnalogChannels) return;
    std::lock_guard lock(mutex_);
    io_.SetAnalog(channel, value);
}

int16_t DriveModel::PwmDutyCycle() const {
    std::lock_guard lock(mutex_);
    return io_.Pwm();
}

void DriveModel::SetPowerStage(uint8_t status, uint8_t temperature) {
    std::lock_guard lock(mutex_);
    ecStatus_ = status;
    temperature_ = temperature;
}

void DriveModel::AdvanceTime(std::chrono::microseconds step) {
    if (step.count() <= 0) return;
    std::lock_guard lock(mutex_);
    advanced_ += step;
}

// --- Inspection: each brings the state up to now first, as a command would ---

std::chrono::microseconds DriveModel::Now() const {
    std::lock_guard lock(mutex_);
    return std::chrono::microseconds(std::llround(NowMs() * 1000));
}

int32_t DriveModel::Position() const {
    return Inspect([&](double now) { return ToUnitFrame(MustAt(now).position); });
}

int32_t DriveModel::PositionIs() const {
    return Inspect([&](double now) { return PositionIsAt(now); });
}

double DriveModel::Velocity() const {
    return Inspect([&](double now) { return MustAt(now).velocity; });
}

bool DriveModel::Moving() const {
    return Inspect([&](double now) { return MovingAt(now); });
}

std::chrono::microseconds DriveModel::MotionEnd() const {
    return Inspect([&](double now) {
        return std::chrono::microseconds(
            std::llround(std::max(now, motion_.trajectory.End()) * 1000));
    });
}

uint16_t DriveModel::Status() const {
    return Inspect([&](double now) { return StatusAt(now); });
}

uint16_t DriveModel::Error() const {
    return Inspect([&](double) { return error_; });
}

int16_t DriveModel::Warning() const {
    std::lock_guard lock(mutex_);
    return warning_;
}

uint8_t DriveModel::RegulationMode() const {
    std::lock_guard lock(mutex_);
    return regMode_;
}

uint8_t DriveModel::WaitMode() const {
    std::lock_guard lock(mutex_);
    return waitMode_;
}

ProfileSettings DriveModel::Profile() const {
    std::lock_guard lock(mutex_);
    return profile_;
}

int16_t DriveModel::CurrentMust() const {
    return Inspect([&](double now) { return CurrentAt(now); });
}

}  // namespace kelcmd::sim

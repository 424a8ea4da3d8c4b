#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>

#include "sim/drive/drive_io.h"
#include "sim/drive/homing.h"
#include "sim/drive/profile_planner.h"
#include "sim/drive/trajectory.h"
#include "sim/recorder/sample_source.h"
#include "sim/sim_unit.h"

namespace kelcmd::sim {

// A simulated positioning drive: regulation modes, trajectory profiles, point-to-point and
// velocity moves, home searches, position limits, status, error and warning registers, inputs
// and outputs, and the multi-axes start. It runs in the bus's simulated time, lazily: a command or
// a query first brings the state up to the current simulated time.
//
// Positions are in the unit's position frame (qc); MachineLayout is in encoder counts as counted
// since power-on, which is the same frame until DefinePosition or a home search shifts it.
//
// Thread-safe: the bus runs the handlers while test threads set inputs and inspect the state.
class DriveSampleSource;

class DriveModel : public UnitModel {
  public:
    // What a move request that the unit refuses is answered with: mtype CMD_FAIL and the warning.
    // Requests with a value out of range get BAD_PRM / WARN_RANGE, requests of a wrong length
    // BAD_LEN / WARN_SYNTAX.
    DriveModel();
    ~DriveModel() override;
    void Install(SimUnit& unit) override;

    // --- Wiring to the unit's other parts ---

    // Called after a command has set the axis moving (not for refused or plan-only requests),
    // outside the drive's lock, so that a recorder can start with the move.
    void SetMovementListener(std::function<void()> listener);
    // The drive as a recorder's sample source. It stays valid after the drive is gone (every
    // signal 0 then).
    std::shared_ptr<const SampleSource> SampleSourceView() const;
    // A signal's value (SampleSource numbering) at `time` of the drive's clock.
    double SignalAt(int signal, std::chrono::microseconds time) const;

    // --- The machine around the unit (test side) ---

    // Targets beyond these are refused with WARN_UPLIMIT / WARN_LOLIMIT; velocity moves stop at
    // them. Without limits the whole 32-bit range is allowed. On a unit with a parameter memory
    // the limits are its temporary system parameters 21 to 24 (read when a move is checked), and
    // these write them; otherwise the drive keeps them itself.
    void SetLimits(int32_t lower, int32_t upper);
    void ClearLimits();
    void SetMachine(const MachineLayout& machine);
    MachineLayout Machine() const;
    void SetHomeSwitchPosition(int32_t encoderCount);
    // The search FindHomeSys runs (its timeout comes with the command). With a parameter memory
    // it is kept in the temporary system parameters 30 to 33, 38 and 39, and this writes them.
    void SetSystemHoming(const HomingRequest& request);

    // Input numbers 1 to 15 as the unit numbers them (9 ENABLE ... 15 DIG_OVLD). A change acts
    // at once: STOP, a limit switch in the direction of travel or a disabled power stage stop
    // the axis and set the unit's error.
    void SetInput(uint8_t number, bool active);
    // The same change `after` the current simulated time, so that waits can see it coming.
    void ScheduleInput(uint8_t number, bool active, std::chrono::milliseconds after);
    bool Input(uint8_t number) const;
    bool Output(uint8_t number) const;  // outputs 1 to 6
    uint8_t Outputs() const;            // bit i = output i + 1
    void SetAnalogInput(uint8_t channel, uint16_t value);
    int16_t PwmDutyCycle() const;
    void SetPowerStage(uint8_t status, uint8_t temperature);

    // Moves this unit's time forward without waiting (on top of the bus's clock).
    void AdvanceTime(std::chrono::microseconds step);

    // --- Inspection ---
    std::chrono::microseconds Now() const;
    int32_t Position() const;    // commanded ("Must")
    int32_t PositionIs() const;  // measured, with the following error of a moving axis
    double Velocity() const;     // commanded
    bool Moving() const;
    // Simulated time at which the current motion ends (now when the axis stands).
    std::chrono::microseconds MotionEnd() const;
    uint16_t Status() const;
    uint16_t Error() const;
    int16_t Warning() const;
    uint8_t RegulationMode() const;
    uint8_t WaitMode() const;
    ProfileSettings Profile() const;
    int16_t CurrentMust() const;

  private:
    enum class MotionKind { Idle, Position, Velocity, Homing, IndexSearch };
    struct Motion {
        MotionKind kind = MotionKind::Idle;
        Trajectory trajectory{0, 0};
        // What the end of the trajectory brings.
        bool definesHome = false;
        int32_t homePosition = 0;
        bool setsIndexDistance = false;
        double indexDistance = 0;
        uint16_t failError = 0;  // set as the unit's error when the trajectory ends
        uint8_t limitBits = 0;   // status limit bits once a velocity move stopped at its limit
    };
    enum class Prepared { None, Position, Velocity };
    using Handler = SimAnswer (DriveModel::*)(std::span<const uint8_t> data);

    // Time and state (all *Locked functions expect the mutex held).
    double NowMs() const;
    template <class Read>
    auto Inspect(Read read) const;
    void CatchUpLocked(double now);
    void FinishMotionLocked();
    void ApplyInputLocked(uint8_t number, bool active, double at);
    void StopAbruptLocked(double at);
    void StopWithErrorLocked(double at, uint16_t error);
    void ResetLocked(double now);
    Trajectory::Sample MustAt(double time) const;
    bool MovingAt(double time) const;
    int32_t ToUnitFrame(double encoderCount) const;
    double ToEncoder(int64_t position) const;
    // The enabled position limits, in the unit frame.
    struct Limits {
        std::optional<int32_t> lower;
        std::optional<int32_t> upper;
    };
    Limits LimitsLocked() const;
    HomingRequest SystemHomingLocked() const;
    int32_t PositionIsAt(double time) const;
    float VelocityIsAt(double time) const;
    float VelocityMeanAt(double time) const;
    int16_t CurrentAt(double time) const;
    int16_t CurrentIsAt(double time) const;
    int16_t CurrentMeanAt(double time) const;
    uint16_t StatusAt(double time) const;

    // Answers.
    SimAnswer Refuse(uint8_t reason, int16_t warning);
    SimAnswer RefuseAfter(double until, int16_t warning);
    SimAnswer HoldUntil(SimAnswer answer, double until);
    std::optional<SimAnswer> CheckMayMove(double direction);
    std::optional<SimAnswer> CheckTarget(int64_t target);
    bool TrajectoryWaits() const { return waitMode_ == 1 || waitMode_ == 3; }
    bool HomingWaits() const { return waitMode_ == 0 || waitMode_ == 1; }
    double RelativeBase() const;
    void StartMotionLocked(MotionKind kind, const PlannedMotion& plan);
    SimAnswer MotionAnswer(uint8_t code, bool info, const PlannedMotion& plan, bool started);
    SimAnswer StartHoming(uint8_t code, const HomingRequest& request);
    SimAnswer RunMove(uint8_t code, std::span<const uint8_t> data, bool relative);
    SimAnswer RunVelocity(uint8_t code, std::span<const uint8_t> data);
    PlannedMotion PlanMove(double now, int64_t target) const;
    PlannedMotion PlanVelocity(double now, double velocity) const;
    SimAnswer InitMove(uint8_t code, std::span<const uint8_t> data, bool relative);

    // Exception and status commands.
    SimAnswer OnResetSlave(std::span<const uint8_t> data);
    SimAnswer OnHalt(std::span<const uint8_t> data);
    SimAnswer OnBrake(std::span<const uint8_t> data);
    SimAnswer OnReadAxisStatus(std::span<const uint8_t> data);
    SimAnswer OnReadError(std::span<const uint8_t> data);
    SimAnswer OnClearError(std::span<const uint8_t> data);
    SimAnswer OnReadWarning(std::span<const uint8_t> data);
    SimAnswer OnClearWarning(std::span<const uint8_t> data);
    // Motion control.
    SimAnswer OnSetRegMode(std::span<const uint8_t> data);
    SimAnswer OnSetProfile(std::span<const uint8_t> data);
    SimAnswer OnSetPosVelocity(std::span<const uint8_t> data);
    SimAnswer OnSetWaitMode(std::span<const uint8_t> data);
    SimAnswer OnMoveAbsolute(std::span<const uint8_t> data);
    SimAnswer OnMoveRelative(std::span<const uint8_t> data);
    SimAnswer OnWaitForTargetPos(std::span<const uint8_t> data);
    SimAnswer OnSetVelocity(std::span<const uint8_t> data);
    SimAnswer OnStopMotion(std::span<const uint8_t> data);
    SimAnswer OnFindHomeSys(std::span<const uint8_t> data);
    SimAnswer OnFindHome(std::span<const uint8_t> data);
    SimAnswer OnFindIndex(std::span<const uint8_t> data);
    SimAnswer OnDefinePosition(std::span<const uint8_t> data);
    SimAnswer OnWaitForPosition(std::span<const uint8_t> data);
    SimAnswer OnReadIndexDistance(std::span<const uint8_t> data);
    SimAnswer OnReadProfile(std::span<const uint8_t> data);
    // Motion info (one handler for the whole family, by code).
    SimAnswer OnMotionInfo(uint8_t code);
    // Inputs and outputs.
    SimAnswer OnReadInput(std::span<const uint8_t> data);
    SimAnswer OnReadInputByte(std::span<const uint8_t> data);
    SimAnswer OnWaitForInput(std::span<const uint8_t> data);
    SimAnswer OnSetOutput(std::span<const uint8_t> data);
    SimAnswer OnSetOutputByte(std::span<const uint8_t> data);
    SimAnswer OnReadAnalogInput(std::span<const uint8_t> data);
    SimAnswer OnSetUserPwm(std::span<const uint8_t> data);
    // Miscellaneous.
    SimAnswer OnReadSysTime(std::span<const uint8_t> data);
    SimAnswer OnWaitTime(std::span<const uint8_t> data);
    SimAnswer OnSetCurrent(std::span<const uint8_t> data);
    SimAnswer OnReadEcStatus(std::span<const uint8_t> data);
    SimAnswer OnReadMaxStack(std::span<const uint8_t> data);
    // Multi-axes.
    SimAnswer OnInitMoveAbsolute(std::span<const uint8_t> data);
    SimAnswer OnInitMoveRelative(std::span<const uint8_t> data);
    SimAnswer OnInitSetVelocity(std::span<const uint8_t> data);
    SimAnswer OnStartMovement(std::span<const uint8_t> data);

    void Register(SimUnit& unit, uint8_t code, Handler handler);

    mutable std::mutex mutex_;
    const SimUnit* unit_ = nullptr;
    std::function<void()> movementListener_;
    bool movementStarted_ = false;  // set by the handler running; the listener hears it after
    std::shared_ptr<DriveSampleSource> sampleSource_;
    std::chrono::microseconds advanced_{0};
    double now_ = 0;  // the time of the handler running, ms

    // Settings.
    uint8_t regMode_ = 2;
    uint8_t waitMode_ = 0;
    ProfileSettings profile_;
    int16_t currentSetting_ = 0;  // current mode
    HomingRequest systemHoming_;
    MachineLayout machine_;
    Limits ownLimits_;  // used only on a unit without a parameter memory

    // State.
    Motion motion_;
    int64_t frameOffset_ = 0;  // unit position = encoder count + frameOffset_
    bool referenced_ = false;
    std::optional<int32_t> homePosition_;
    int32_t indexDistance_ = 0;
    uint8_t limitBits_ = 0;  // LoLimit / HiLimit: the last target hit a limit
    uint16_t error_ = 0;
    int16_t warning_ = 0;
    double heldUntil_ = -1;  // an answer is held back until then (status WaitEnd)
    double epoch_ = 0;       // the unit's system time counts from here
    Prepared prepared_ = Prepared::None;
    double preparedValue_ = 0;  // target in the unit frame, or velocity
    DriveIo io_;
    uint8_t ecStatus_ = 0;
    uint8_t temperature_ = 32;
};

// Attaches a drive model to a unit: what every simulated unit gets by default.
void InstallDriveModel(SimUnit& unit);

}  // namespace kelcmd::sim

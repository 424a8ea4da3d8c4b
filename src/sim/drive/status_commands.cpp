// The status word, the error and warning registers, reset, and the motion info family.
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

}  // namespace

SimAnswer DriveModel::OnResetSlave(std::span<const uint8_t> data) {
    // Whatever the boot mode, the unit comes back in its power-on state; it never answers.
    if (data.size() == 1) ResetLocked(now_);
    return NoAnswerFrame();
}

SimAnswer DriveModel::OnReadAxisStatus(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    return PositiveAnswer(kReadAxisStatus, FieldWriter().Word(StatusAt(now_)).Take());
}

SimAnswer DriveModel::OnReadError(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    return PositiveAnswer(kReadError, FieldWriter().Int(static_cast<int16_t>(error_)).Take());
}

SimAnswer DriveModel::OnClearError(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    // An error whose cause is still there comes straight back; the unit says why instead.
    if (error_ == kErrorStop && io_.Input(kInputStop)) return Refuse(CMD_FAIL, WARN_STOP);
    if (error_ == kErrorAmpDisab && !io_.Input(kInputEnable)) {
        return Refuse(CMD_FAIL, WARN_AMPDISAB);
    }
    error_ = kNoError;
    return PositiveAnswer(kClearError);
}

SimAnswer DriveModel::OnReadWarning(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    return PositiveAnswer(kReadWarning, FieldWriter().Int(warning_).Take());
}

SimAnswer DriveModel::OnClearWarning(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    warning_ = 0;
    limitBits_ = 0;
    return PositiveAnswer(kClearWarning);
}

SimAnswer DriveModel::OnMotionInfo(uint8_t code) {
    const auto must = MustAt(now_);
    const int32_t positionIs = PositionIsAt(now_);
    const int32_t positionMust = ToUnitFrame(must.position);
    const float velocityIs = VelocityIsAt(now_);
    const auto velocityMust = static_cast<float>(must.velocity);
    const float velocityMean = VelocityMeanAt(now_);
    const int16_t currentIs = CurrentIsAt(now_);
    const int16_t currentMust = CurrentAt(now_);
    const int16_t currentMean = CurrentMeanAt(now_);

    FieldWriter out;
    switch (code) {
        case kReadPosition:
            out.LInt(positionIs);
            break;
        case kReadPositionMust:
            out.LInt(positionMust);
            break;
        case kReadPositionIsMust:
            out.LInt(positionIs).LInt(positionMust);
            break;
        case kReadVelocity:
            out.Float(velocityIs);
            break;
        case kReadVelocityMean:
            out.Float(velocityMean);
            break;
        case kReadVelocityMust:
            out.Float(velocityMust);
            break;
        case kReadVelocityIsMust:
            out.Float(velocityIs).Float(velocityMust);
            break;
        case kReadCurrent:
            out.Int(currentIs);
            break;
        case kReadCurrentMean:
            out.Int(currentMean);
            break;
        case kReadCurrentMust:
            out.Int(currentMust);
            break;
        case kReadCurrentIsMust:
            out.Int(currentIs).Int(currentMust);
            break;
        case kReadPosVelCur:
            out.LInt(positionIs).Float(velocityIs).Int(currentIs);
            break;
        case kReadPosVelCurMean:
            out.LInt(positionIs).Float(velocityMean).Int(currentMean);
            break;
        case kReadPosVelCurMust:
            out.LInt(positionMust).Float(velocityMust).Int(currentMust);
            break;
        case kReadPosVelCurIsMust:
            out.LInt(positionIs).Float(velocityIs).Int(currentIs);
            out.LInt(positionMust).Float(velocityMust).Int(currentMust);
            break;
        case kReadAxisInfo:
            out.Word(StatusAt(now_)).Byte(io_.UserInputs()).Byte(io_.PredefinedInputs());
            out.LInt(positionIs).Float(velocityMean).Int(currentMean);
            break;
        default:
            return Refuse(UNKNOWN, WARN_UNKNOWN);
    }
    return PositiveAnswer(code, out.Take());
}

}  // namespace kelcmd::sim

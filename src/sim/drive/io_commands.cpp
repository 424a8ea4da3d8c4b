// Digital inputs and outputs, the analog inputs and the user PWM output.
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

constexpr int16_t kMaxDutyCycle = 1000;  // per mille

}  // namespace

SimAnswer DriveModel::OnReadInput(std::span<const uint8_t> data) {
    if (data.size() != 1) return WrongLength();
    if (!DriveIo::ValidInput(data[0])) return Refuse(BAD_PRM, WARN_RANGE);
    return PositiveAnswer(kReadInput, {static_cast<uint8_t>(io_.Input(data[0]) ? 1 : 0)});
}

SimAnswer DriveModel::OnReadInputByte(std::span<const uint8_t> data) {
    if (data.size() != 1) return WrongLength();
    if (data[0] > 1) return Refuse(BAD_PRM, WARN_RANGE);
    return PositiveAnswer(kReadInputByte,
                          {data[0] == 0 ? io_.UserInputs() : io_.PredefinedInputs()});
}

SimAnswer DriveModel::OnWaitForInput(std::span<const uint8_t> data) {
    if (data.size() != 6) return WrongLength();
    FieldReader reader(data);
    const uint8_t input = reader.Byte();
    const uint8_t state = reader.Byte();
    const uint32_t timeout = reader.LWord();
    if (!DriveIo::ValidInput(input) || state > 1) return Refuse(BAD_PRM, WARN_RANGE);
    const bool wanted = state == 1;
    if (io_.Input(input) == wanted) return PositiveAnswer(kWaitForInput);
    const auto when = io_.WhenLevel(input, wanted);
    if (when && (timeout == 0 || *when - now_ <= timeout)) {
        return HoldUntil(PositiveAnswer(kWaitForInput), *when);
    }
    if (timeout != 0) return RefuseAfter(now_ + timeout, WARN_TIMEOUT);
    // An endless wait for a level nothing will bring: the unit keeps waiting and never answers.
    heldUntil_ = std::numeric_limits<double>::infinity();
    return NoAnswerFrame();
}

SimAnswer DriveModel::OnSetOutput(std::span<const uint8_t> data) {
    if (data.size() != 2) return WrongLength();
    if (!DriveIo::ValidOutput(data[0]) || data[1] > 1) return Refuse(BAD_PRM, WARN_RANGE);
    io_.SetOutput(data[0], data[1] == 1);
    return PositiveAnswer(kSetOutput);
}

SimAnswer DriveModel::OnSetOutputByte(std::span<const uint8_t> data) {
    if (data.size() != 1) return WrongLength();
    io_.SetOutputs(data[0]);  // bits 6 and 7 drive nothing
    return PositiveAnswer(kSetOutputByte);
}

SimAnswer DriveModel::OnReadAnalogInput(std::span<const uint8_t> data) {
    if (data.size() != 1) return WrongLength();
    if (data[0] >= kAnalogChannels) return Refuse(BAD_PRM, WARN_RANGE);
    return PositiveAnswer(kReadAnalogInput, FieldWriter().Word(io_.Analog(data[0])).Take());
}

SimAnswer DriveModel::OnSetUserPwm(std::span<const uint8_t> data) {
    if (data.size() != 2) return WrongLength();
    const int16_t dutyCycle = FieldReader(data).Int();
    if (dutyCycle < 0 || dutyCycle > kMaxDutyCycle) return Refuse(BAD_PRM, WARN_RANGE);
    io_.SetPwm(dutyCycle);
    return PositiveAnswer(kSetUserPwm);
}

}  // namespace kelcmd::sim

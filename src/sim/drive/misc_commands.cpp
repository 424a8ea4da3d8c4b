// System time, timed waits, current mode, power stage status and the stack level.
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

// The highest stack level the simulated processor has reached.
constexpr uint16_t kStackLevel = 0x0140;

}  // namespace

SimAnswer DriveModel::OnReadSysTime(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    // A 32-bit millisecond counter since the unit started; it wraps like the unit's own.
    const auto elapsed = static_cast<uint64_t>(std::llround(std::floor(now_ - epoch_)));
    return PositiveAnswer(kReadSysTime, FieldWriter().LWord(static_cast<uint32_t>(elapsed)).Take());
}

SimAnswer DriveModel::OnWaitTime(std::span<const uint8_t> data) {
    if (data.size() != 4) return WrongLength();
    const uint32_t time = FieldReader(data).LWord();
    return HoldUntil(PositiveAnswer(kWaitTime), now_ + time);
}

SimAnswer DriveModel::OnSetCurrent(std::span<const uint8_t> data) {
    if (data.size() != 2) return WrongLength();
    const int16_t current = FieldReader(data).Int();
    if (error_ != kNoError) return Refuse(CMD_FAIL, WARN_ERROR);
    if (regMode_ != kRegCurrent) return Refuse(CMD_FAIL, WARN_CURREGOFF);
    currentSetting_ = current;
    return PositiveAnswer(kSetCurrent);
}

SimAnswer DriveModel::OnReadEcStatus(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    return PositiveAnswer(kReadEcStatus, {ecStatus_, temperature_});
}

SimAnswer DriveModel::OnReadMaxStack(std::span<const uint8_t> data) {
    if (!data.empty()) return WrongLength();
    return PositiveAnswer(kReadMaxStack, FieldWriter().Word(kStackLevel).Take());
}

}  // namespace kelcmd::sim

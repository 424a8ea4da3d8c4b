// The settings the drive keeps in the unit's system parameters: position limits and the stored
// home search. They are read when a command needs them, so that writing a parameter (singly, as
// a whole set or by resetting the temporary copy) acts on the next move.
#include <cstring>

#include "sim/drive/drive_model.h"
#include "sim/params/parameter_unit.h"

namespace kelcmd::sim {

namespace {

enum ParameterNumber : uint32_t {
    kUpperLimit = 21,
    kUpperLimitOn = 22,
    kLowerLimit = 23,
    kLowerLimitOn = 24,
    kHomeType = 30,
    kHomeVelocity = 31,
    kHomeCurrent = 32,
    kHomeOffset = 33,
    kHomePositionHi = 38,
    kHomePositionLo = 39,
};

uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float BitsFloat(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::optional<int32_t> EnabledLimit(const ParameterMemory& memory, uint32_t value,
                                    uint32_t enable) {
    if (memory.TemporaryValue(enable).value_or(0) == 0) return std::nullopt;
    return static_cast<int32_t>(memory.TemporaryValue(value).value_or(0));
}

}  // namespace

DriveModel::Limits DriveModel::LimitsLocked() const {
    const auto memory = unit_ ? ParameterMemoryOf(*unit_) : nullptr;
    if (!memory) return ownLimits_;
    return {EnabledLimit(*memory, kLowerLimit, kLowerLimitOn),
            EnabledLimit(*memory, kUpperLimit, kUpperLimitOn)};
}

void DriveModel::SetLimits(int32_t lower, int32_t upper) {
    std::lock_guard lock(mutex_);
    const auto memory = unit_ ? ParameterMemoryOf(*unit_) : nullptr;
    if (!memory) {
        ownLimits_ = {lower, upper};
        return;
    }
    memory->SetTemporaryBits(kLowerLimit, static_cast<uint32_t>(lower));
    memory->SetTemporaryBits(kLowerLimitOn, 1);
    memory->SetTemporaryBits(kUpperLimit, static_cast<uint32_t>(upper));
    memory->SetTemporaryBits(kUpperLimitOn, 1);
}

void DriveModel::ClearLimits() {
    std::lock_guard lock(mutex_);
    ownLimits_ = {};
    if (const auto memory = unit_ ? ParameterMemoryOf(*unit_) : nullptr) {
        // The limit values stay; only their switches go off, as on the unit's parameter page.
        memory->SetTemporaryBits(kLowerLimitOn, 0);
        memory->SetTemporaryBits(kUpperLimitOn, 0);
    }
}

HomingRequest DriveModel::SystemHomingLocked() const {
    const auto memory = unit_ ? ParameterMemoryOf(*unit_) : nullptr;
    if (!memory) return systemHoming_;
    const auto value = [&memory](uint32_t number) {
        return memory->TemporaryValue(number).value_or(0);
    };
    HomingRequest request;
    request.type = static_cast<uint8_t>(value(kHomeType));
    request.velocity = BitsFloat(memory->TemporaryBits(kHomeVelocity).value_or(0));
    request.current = static_cast<uint16_t>(value(kHomeCurrent));
    request.offset = static_cast<int32_t>(value(kHomeOffset));
    // The home position is kept as two 16-bit halves.
    request.homePosition =
        static_cast<int32_t>((static_cast<uint32_t>(value(kHomePositionHi)) << 16) |
                             (static_cast<uint32_t>(value(kHomePositionLo)) & 0xFFFF));
    return request;
}

void DriveModel::SetSystemHoming(const HomingRequest& request) {
    std::lock_guard lock(mutex_);
    systemHoming_ = request;
    const auto memory = unit_ ? ParameterMemoryOf(*unit_) : nullptr;
    if (!memory) return;
    const auto home = static_cast<uint32_t>(request.homePosition);
    memory->SetTemporaryBits(kHomeType, request.type);
    memory->SetTemporaryBits(kHomeVelocity, FloatBits(request.velocity));
    memory->SetTemporaryBits(kHomeCurrent, request.current);
    memory->SetTemporaryBits(kHomeOffset, static_cast<uint32_t>(request.offset));
    memory->SetTemporaryBits(kHomePositionHi, home >> 16);
    memory->SetTemporaryBits(kHomePositionLo, home & 0xFFFF);
}

}  // namespace kelcmd::sim

#include "sim/params/parameter_memory.h"

#include <algorithm>

#include "command/parameter_types.h"
#include "command/system_parameter_table.h"
#include "transport/frame.h"

namespace kelcmd::sim {

namespace {

constexpr size_t kFirmwareBytes = 4096;

std::vector<uint8_t> FirmwareImage() {
    std::vector<uint8_t> image(kFirmwareBytes);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 31 + 7);
    return image;
}

bool ValidSet(int set) {
    return set == 1 || set == 2;
}

}  // namespace

ParameterMemory::ParameterMemory() : firmware_(FirmwareImage()) {
    const auto defaults = SysParamExToWire(DefaultSysParamEx());
    std::copy(defaults.begin(), defaults.end(), temporary_.begin());
    permanent_ = temporary_;
    for (MemoryArea area : {MemoryArea::kFirmware, MemoryArea::kSystemParameter, MemoryArea::kUser1,
                            MemoryArea::kUser2}) {
        RenewSum(area);
    }
}

ParameterMemory::SetImage ParameterMemory::Temporary() const {
    std::lock_guard lock(mutex_);
    return temporary_;
}

ParameterMemory::SetImage ParameterMemory::Permanent() const {
    std::lock_guard lock(mutex_);
    return permanent_;
}

void ParameterMemory::WriteTemporary(std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    std::copy_n(bytes.begin(), std::min(bytes.size(), kSetBytes), temporary_.begin());
}

void ParameterMemory::WritePermanent(std::span<const uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    std::copy_n(bytes.begin(), std::min(bytes.size(), kSetBytes), permanent_.begin());
    RenewSum(MemoryArea::kSystemParameter);
}

void ParameterMemory::ResetTemporary() {
    std::lock_guard lock(mutex_);
    temporary_ = permanent_;
}

void ParameterMemory::UpdatePermanent() {
    std::lock_guard lock(mutex_);
    permanent_ = temporary_;
    RenewSum(MemoryArea::kSystemParameter);
}

std::optional<uint32_t> ParameterMemory::ReadBits(const SetImage& set, uint32_t number) {
    const SystemParameterInfo* info = FindSystemParameter(number);
    if (info == nullptr) return std::nullopt;
    uint32_t bits = 0;
    for (uint32_t i = 0; i < SystemParameterWidth(number); ++i) {
        bits = (bits << 8) | set[info->offset + i];
    }
    return bits;
}

std::optional<uint32_t> ParameterMemory::TemporaryBits(uint32_t number) const {
    std::lock_guard lock(mutex_);
    return ReadBits(temporary_, number);
}

std::optional<uint32_t> ParameterMemory::PermanentBits(uint32_t number) const {
    std::lock_guard lock(mutex_);
    return ReadBits(permanent_, number);
}

std::optional<int64_t> ParameterMemory::TemporaryValue(uint32_t number) const {
    const std::optional<uint32_t> bits = TemporaryBits(number);
    if (!bits) return std::nullopt;
    switch (FindSystemParameter(number)->type) {
        case TYPE_INT:
            return static_cast<int16_t>(*bits);
        case TYPE_LINT:
            return static_cast<int32_t>(*bits);
        default:
            return *bits;
    }
}

bool ParameterMemory::SetTemporaryBits(uint32_t number, uint32_t bits) {
    const SystemParameterInfo* info = FindSystemParameter(number);
    if (info == nullptr) return false;
    const uint32_t width = SystemParameterWidth(number);
    std::lock_guard lock(mutex_);
    for (uint32_t i = 0; i < width; ++i) {
        temporary_[info->offset + i] = static_cast<uint8_t>(bits >> (8 * (width - 1 - i)));
    }
    return true;
}

int16_t ParameterMemory::CurrentGain3() const {
    std::lock_guard lock(mutex_);
    return gain3_;
}

void ParameterMemory::SetCurrentGain3(int16_t gain) {
    std::lock_guard lock(mutex_);
    gain3_ = gain;
}

VersionWords ParameterMemory::Versions() const {
    std::lock_guard lock(mutex_);
    return versions_;
}

void ParameterMemory::SetVersions(const VersionWords& versions) {
    std::lock_guard lock(mutex_);
    versions_ = versions;
}

std::vector<uint8_t> ParameterMemory::UserArea(int set, bool permanent) const {
    if (!ValidSet(set)) return {};
    std::lock_guard lock(mutex_);
    return user_[set - 1][permanent ? 1 : 0];
}

bool ParameterMemory::WriteUserArea(int set, bool permanent, std::span<const uint8_t> bytes) {
    if (!ValidSet(set) || bytes.size() > kMaxUserBytes) return false;
    std::lock_guard lock(mutex_);
    user_[set - 1][permanent ? 1 : 0].assign(bytes.begin(), bytes.end());
    if (permanent) RenewSum(set == 1 ? MemoryArea::kUser1 : MemoryArea::kUser2);
    return true;
}

std::vector<uint8_t> ParameterMemory::AreaBytes(MemoryArea area) const {
    switch (area) {
        case MemoryArea::kFirmware:
            return firmware_;
        case MemoryArea::kSystemParameter:
            return {permanent_.begin(), permanent_.end()};
        case MemoryArea::kUser1:
            return user_[0][1];
        case MemoryArea::kUser2:
            return user_[1][1];
    }
    return {};
}

void ParameterMemory::RenewSum(MemoryArea area) {
    storedSums_[static_cast<size_t>(area)] = FrameCrc(AreaBytes(area));
}

std::optional<ParameterMemory::CheckResult> ParameterMemory::Check(uint8_t area) const {
    if (area > static_cast<uint8_t>(MemoryArea::kUser2)) return std::nullopt;
    std::lock_guard lock(mutex_);
    const uint16_t computed = FrameCrc(AreaBytes(static_cast<MemoryArea>(area)));
    return CheckResult{computed == storedSums_[area], computed};
}

bool ParameterMemory::DamagePermanentByte(MemoryArea area, size_t offset) {
    std::lock_guard lock(mutex_);
    uint8_t* byte = nullptr;
    switch (area) {
        case MemoryArea::kFirmware:
            if (offset < firmware_.size()) byte = &firmware_[offset];
            break;
        case MemoryArea::kSystemParameter:
            if (offset < permanent_.size()) byte = &permanent_[offset];
            break;
        case MemoryArea::kUser1:
        case MemoryArea::kUser2: {
            std::vector<uint8_t>& bytes = user_[area == MemoryArea::kUser1 ? 0 : 1][1];
            if (offset < bytes.size()) byte = &bytes[offset];
            break;
        }
    }
    if (byte == nullptr) return false;
    *byte ^= 0xFF;
    return true;
}

}  // namespace kelcmd::sim

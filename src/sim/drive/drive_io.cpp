#include "sim/drive/drive_io.h"

#include <algorithm>

namespace kelcmd::sim {

DriveIo::DriveIo() {
    // The power stage is enabled unless the machine says otherwise.
    inputs_[drive::kInputEnable] = true;
}

uint8_t DriveIo::UserInputs() const {
    uint8_t bits = 0;
    for (uint8_t i = drive::kFirstUserInput; i <= drive::kLastUserInput; ++i) {
        if (inputs_[i]) bits |= static_cast<uint8_t>(1 << (i - drive::kFirstUserInput));
    }
    return bits;
}

uint8_t DriveIo::PredefinedInputs() const {
    uint8_t bits = 0;
    for (uint8_t i = drive::kInputEnable; i <= drive::kInputDigOvld; ++i) {
        if (inputs_[i]) bits |= static_cast<uint8_t>(1 << (i - drive::kInputEnable));
    }
    return bits;
}

void DriveIo::Schedule(const InputChange& change) {
    const auto at =
        std::upper_bound(scheduled_.begin(), scheduled_.end(), change.at,
                         [](double time, const InputChange& other) { return time < other.at; });
    scheduled_.insert(at, change);
}

std::optional<InputChange> DriveIo::TakeDue(double time) {
    if (scheduled_.empty() || scheduled_.front().at > time) return std::nullopt;
    const InputChange due = scheduled_.front();
    scheduled_.erase(scheduled_.begin());
    return due;
}

std::optional<double> DriveIo::WhenLevel(uint8_t input, bool active) const {
    for (const InputChange& change : scheduled_) {
        if (change.input == input && change.active == active) return change.at;
    }
    return std::nullopt;
}

void DriveIo::SetOutput(uint8_t number, bool active) {
    const auto bit = static_cast<uint8_t>(1 << (number - 1));
    outputs_ = active ? (outputs_ | bit) : (outputs_ & ~bit);
}

void DriveIo::ResetOutputs() {
    outputs_ = 0;
    pwm_ = 0;
}

}  // namespace kelcmd::sim

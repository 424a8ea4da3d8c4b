#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/drive/drive_codes.h"

namespace kelcmd::sim {

// A level change of an input that test code ordered for a simulated time (ms).
struct InputChange {
    double at = 0;
    uint8_t input = 0;
    bool active = false;
};

// The digital and analog inputs and outputs of a unit. Not guarded: the drive model guards it.
class DriveIo {
  public:
    DriveIo();

    static bool ValidInput(uint8_t number) { return number >= 1 && number <= drive::kInputDigOvld; }
    static bool ValidOutput(uint8_t number) { return number >= 1 && number <= drive::kOutputCount; }

    bool Input(uint8_t number) const { return inputs_.at(number); }
    void SetInput(uint8_t number, bool active) { inputs_.at(number) = active; }
    // Bit i is user input i + 1.
    uint8_t UserInputs() const;
    // Bit 0 ENABLE ... bit 6 DIG_OVLD.
    uint8_t PredefinedInputs() const;

    void Schedule(const InputChange& change);
    // The earliest scheduled change, if any is due by `time`.
    std::optional<InputChange> TakeDue(double time);
    // When `input` first takes `active` by a scheduled change, if it ever does.
    std::optional<double> WhenLevel(uint8_t input, bool active) const;

    bool Output(uint8_t number) const { return (outputs_ >> (number - 1)) & 1; }
    void SetOutput(uint8_t number, bool active);
    uint8_t Outputs() const { return outputs_; }
    void SetOutputs(uint8_t bits) { outputs_ = bits & 0x3F; }

    uint16_t Analog(uint8_t channel) const { return analog_.at(channel); }
    void SetAnalog(uint8_t channel, uint16_t value) { analog_.at(channel) = value; }

    int16_t Pwm() const { return pwm_; }
    void SetPwm(int16_t permille) { pwm_ = permille; }

    // What a reset of the unit clears; the inputs are the machine's and stay.
    void ResetOutputs();

  private:
    std::array<bool, drive::kInputDigOvld + 1> inputs_{};  // index = input number
    std::vector<InputChange> scheduled_;                   // ordered by time
    uint8_t outputs_ = 0;
    std::array<uint16_t, drive::kAnalogChannels> analog_{};
    int16_t pwm_ = 0;
};

}  // namespace kelcmd::sim

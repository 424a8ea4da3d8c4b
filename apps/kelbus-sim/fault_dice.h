#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sim/fault.h"
#include "sim/sim_unit.h"

namespace kelcmd::simserver {

// One kind of misbehaviour that strikes a share of the frames: "lost-ack:0.05" or, with the
// fault's parameter, "late-answer:0.1:500".
struct FaultRate {
    sim::Fault fault = sim::Fault::DropAck;
    double rate = 0;  // above 0, at most 1
    std::optional<uint32_t> parameter;
};

// Parses "KIND:RATE[:PARAMETER]"; on failure returns nullopt and says why in `error`.
std::optional<FaultRate> ParseFaultRate(std::string_view text, std::string& error);

// "  lost-ack        no acknowledge; the command still runs and answers\n..." for --help.
std::string FaultKindsHelp();

// Decides, frame by frame, which of the configured faults strike.
class FaultDice {
  public:
    FaultDice(std::vector<FaultRate> rates, uint32_t seed);

    // Orders on `unit` the faults that strike the frame it is about to take.
    void Roll(sim::SimUnit& unit);

  private:
    std::vector<FaultRate> rates_;
    std::mt19937 engine_;
};

}  // namespace kelcmd::simserver

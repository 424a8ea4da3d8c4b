#pragma once

#include <cstdint>
#include <string>

namespace kelcmd {

// The process-wide current port name ("Com1" at start) and slave address (1 at start) that the
// plain exports use. Guarded so that threads never see a torn name.
std::string CurrentPortName();
void SetCurrentPortName(const std::string& name);
uint8_t CurrentSlave();
void SetCurrentSlave(uint8_t address);

}  // namespace kelcmd

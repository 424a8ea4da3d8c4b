#pragma once

namespace kelcmd::app {

// The names of the axis status word's bits, bit 0 first.
inline constexpr const char* kAxisStatusBits[16] = {
    "Moving", "CteVel",  "Sinus",  "VelMode", "CmdActive",  "WaitEnd", "LoLimit", "HiLimit",
    "Error",  "Warning", "CurReg", "PosReg",  "Referenced", "Home",    "Right",   "Left"};

}  // namespace kelcmd::app

#pragma once

#include <string>

#include "platform/device_options.h"

namespace kelcmd {

// How a line produces the ninth bit that marks the address byte of a frame.
enum class NinthBitSource {
    kNone,        // a pseudo-terminal: a line without a ninth bit
    kMarkSpace,   // mark parity for the address byte, space parity for the rest
    kAddressBit,  // the driver's nine-bit addressing (ADDRB) sends the address byte
    kOddEven,     // odd or even parity per byte, whichever gives its ninth bit
};

// The way a device takes: nine-bit addressing where the driver offers it, unless an option asks
// for parity, and unless it would take RTS away from whoever must keep it. The driver's
// addressing lives in the kernel's RS485 mode, which switches the transmitter by RTS itself:
// `kernelMaySwitch` says whether that is allowed (the kernel's RS485 mode is on already, or the
// line would switch RTS itself anyway).
NinthBitSource ChooseNinthBit(const DeviceOptions& options, bool pseudoTerminal,
                              bool addressBitOffered, bool kernelMaySwitch);

// "the ninth bit by the driver's nine-bit addressing (ADDRB)" and the like.
std::string NinthBitText(NinthBitSource source);

}  // namespace kelcmd

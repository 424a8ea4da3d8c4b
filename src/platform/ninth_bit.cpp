#include "platform/ninth_bit.h"

namespace kelcmd {

NinthBitSource ChooseNinthBit(const DeviceOptions& options, bool pseudoTerminal,
                              bool addressBitOffered, bool kernelMaySwitch) {
    if (pseudoTerminal) return NinthBitSource::kNone;
    switch (options.ninthBit) {
        case NinthBitChoice::kOddEven:
            return NinthBitSource::kOddEven;
        case NinthBitChoice::kMarkSpace:
            return NinthBitSource::kMarkSpace;
        case NinthBitChoice::kDriversBest:
            break;
    }
    return addressBitOffered && kernelMaySwitch ? NinthBitSource::kAddressBit
                                                : NinthBitSource::kMarkSpace;
}

std::string NinthBitText(NinthBitSource source) {
    switch (source) {
        case NinthBitSource::kNone:
            return "no ninth bit (a pseudo-terminal)";
        case NinthBitSource::kMarkSpace:
            return "the ninth bit by mark/space parity";
        case NinthBitSource::kAddressBit:
            return "the ninth bit by the driver's nine-bit addressing (ADDRB)";
        case NinthBitSource::kOddEven:
            return "the ninth bit by odd or even parity per byte";
    }
    return {};
}

}  // namespace kelcmd

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelcmd {

// How a tty is driven, from the options after its path in a device text:
// "/dev/ttyS1?rs485=kernel,rts=low". The options, one line each:
//   rts=high        RTS is raised while a frame is sent (the default)
//   rts=low         RTS is lowered while a frame is sent (a transceiver's DE wired to a UART pin
//                   that is active low)
//   lines=keep      DTR and RTS are never touched (converters powered from them, or a kernel or
//                   adapter that switches the transmitter by itself)
//   echo=discard    the adapter hears its own transmission: as many bytes as were sent are taken
//                   from the input and dropped before the answer is read
//   rs485=kernel    the kernel's RS485 mode switches the transmitter (RTS on send, its delays
//                   from the bus gaps); the library then never drives RTS itself
//   ninth=oddeven   for drivers without mark/space parity: each byte goes out with odd or even
//                   parity, whichever gives it the ninth bit it needs
//   ninth=markspace the ninth bit by mark/space parity even where the driver offers nine-bit
//                   addressing (ADDRB), which is taken by default where it is offered
enum class NinthBitChoice { kDriversBest, kMarkSpace, kOddEven };

struct DeviceOptions {
    bool rtsActiveLow = false;
    bool keepModemLines = false;
    bool discardEcho = false;
    bool kernelRs485 = false;
    NinthBitChoice ninthBit = NinthBitChoice::kDriversBest;
};

// A device text split into the path and its options.
struct DeviceText {
    std::string path;
    DeviceOptions options;
};

// Splits `text` at its first '?' and reads the comma-separated options behind it. Null with
// `error` set ("unknown device option 'speed=fast'") for an option or value not listed above.
std::optional<DeviceText> ParseDeviceText(const std::string& text, std::string& error);

// Whether `option` ("rts=low") names one of the options above, whatever its value: lists of
// device texts separated by commas use it to keep a text's options together.
bool IsDeviceOption(std::string_view option);

}  // namespace kelcmd

// Arbitrary bytes arriving on a line while an answer is awaited: Receive and ReceiveWithResend
// must report a result code and never read or write outside the command's buffers.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "command/kel_command.h"
#include "sim/bus_registry.h"
#include "sim/sim_bus.h"
#include "sim/sim_device.h"
#include "transport/packet_protocol.h"
#include "transport/result_codes.h"
#include "transport/serial_line.h"

namespace {

constexpr const char* kSpec = "sim:1,bus=fuzz-receive";

kelcmd::CSerialLine& Line() {
    static kelcmd::CSerialLine line;
    kelcmd::sim::RegisterSimulatedDevices();
    if (!line.IsOpen()) line.Open(19200, kSpec, kelcmd::AUTO_CONTROL, 1, 2);
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelcmd;
    if (size == 0) return 0;
    CSerialLine& line = Line();
    const auto bus = sim::FindBus("fuzz-receive");
    if (!bus) return 0;

    // The first byte chooses the plain or the resending reception.
    const bool resend = (data[0] & 1) != 0;
    bus->InjectInput(std::vector<uint8_t>(data + 1, data + size));
    CKelCommand command;
    CFrameExchange& exchange = command.Exchange();
    exchange.answerTimeout = 1;
    const uint8_t result = resend ? ReceiveWithResend(line, exchange) : Receive(line, exchange);
    if (result == RESULT_OK && command.GetAnswerLength() > kMaxDataLength) __builtin_trap();
    line.Purge();
    bus->ClearWireLog();
    return 0;
}

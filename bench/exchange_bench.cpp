// One full exchange (request, acknowledge, answer) with a simulated unit: the host CPU time that
// the protocol layers spend per command.
#include <benchmark/benchmark.h>

#include "command/kel_command.h"
#include "sim/bus_registry.h"
#include "sim/sim_device.h"
#include "sim/test_commands.h"
#include "transport/packet_protocol.h"
#include "transport/serial_line.h"

static void SimulatedExchange(benchmark::State& state) {
    using namespace kelcmd;
    sim::RegisterSimulatedDevices();
    CSerialLine line;
    if (line.Open(57600, "sim:1,bus=bench-exchange", AUTO_CONTROL, 100, 4) != 0) {
        state.SkipWithError("cannot open the simulated bus");
        return;
    }
    CKelCommand command;
    FrameBuffer& message = command.GetMessageBuffer();
    message[0] = 1;
    message[4] = sim::kTestEcho;
    const auto dataLength = static_cast<uint16_t>(state.range(0));
    for (uint16_t i = 0; i < dataLength; ++i) message[kDataOffset + i] = static_cast<uint8_t>(i);
    command.BuildFrame(dataLength);
    for (auto _ : state) {
        if (Transfer(line, 4, command.Exchange()) != 0) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    line.Close();
    sim::RemoveBus("bench-exchange");
}
BENCHMARK(SimulatedExchange)->Arg(0)->Arg(16)->Arg(1023)->MeasureProcessCPUTime()->UseRealTime();

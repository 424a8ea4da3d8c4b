// Feeds arbitrary requests to a simulated unit's parameter memory: the first input byte picks one
// of the memory's command codes, the rest is the request's data. Nothing may crash or read outside
// the request, every request must be answered, and the system parameter set must keep its size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sim/params/parameter_unit.h"
#include "sim/sim_clock.h"
#include "sim/sim_unit.h"
#include "transport/frame.h"

namespace {

constexpr uint8_t kCodes[] = {0x10, 0x11, 0x12, 0x14, 0x15, 0x16, 0x17, 0x18,
                              0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1F, 0x70, 0x71,
                              0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78};

std::vector<uint8_t> RequestFrame(uint8_t code, const uint8_t* data, size_t size) {
    const uint16_t word = kelcmd::LengthWord(static_cast<uint16_t>(size));
    std::vector<uint8_t> frame{1, static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word), 0,
                               code};
    frame.insert(frame.end(), data, data + size);
    const uint16_t crc = kelcmd::FrameCrc(frame);
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc));
    return frame;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size - 1 > 1023) return 0;
    static kelcmd::sim::SimClock clock;
    kelcmd::sim::SimUnit unit(1, clock);
    kelcmd::sim::InstallParameterMemory(unit);
    const uint8_t code = kCodes[data[0] % sizeof kCodes];
    const std::vector<uint8_t> frame = RequestFrame(code, data + 1, size - 1);
    bool answered = false;
    for (size_t i = 0; i < frame.size(); ++i) {
        if (unit.OnLineByte(frame[i], i == 0).has_value()) answered = true;
    }
    if (!answered) std::abort();
    if (kelcmd::sim::ParameterMemoryOf(unit)->Temporary().size() != 256) std::abort();
    return 0;
}

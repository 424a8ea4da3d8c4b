#include "sim/test_commands.h"

#include <string>

#include "sim/sim_unit.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {
namespace {

constexpr const char* kCountKey = "testCount";

std::vector<uint8_t> BigEndian32(uint32_t value) {
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

SimAnswer WrongLength() {
    return RefusalAnswer(BAD_LEN, WARN_SYNTAX);
}

SimAnswer Echo(SimUnit&, std::span<const uint8_t> data) {
    return PositiveAnswer(kTestEcho, {data.begin(), data.end()});
}

SimAnswer Refuse(SimUnit&, std::span<const uint8_t> data) {
    if (data.size() < 3) return WrongLength();
    return RefusalAnswer(data[0], static_cast<int16_t>((data[1] << 8) | data[2]));
}

SimAnswer NoAnswer(SimUnit&, std::span<const uint8_t>) {
    return NoAnswerFrame();
}

SimAnswer DelayedEcho(SimUnit&, std::span<const uint8_t> data) {
    if (data.size() < 2) return WrongLength();
    SimAnswer answer = PositiveAnswer(kTestDelayedEcho, {data.begin(), data.end()});
    answer.simulatedDelay = std::chrono::milliseconds((data[0] << 8) | data[1]);
    return answer;
}

SimAnswer StoreRegister(SimUnit& unit, std::span<const uint8_t> data) {
    if (data.size() != 5) return WrongLength();
    const auto value = static_cast<int32_t>((uint32_t{data[1]} << 24) | (uint32_t{data[2]} << 16) |
                                            (uint32_t{data[3]} << 8) | data[4]);
    unit.SetValue(TestRegisterKey(data[0]), value);
    return PositiveAnswer(kTestStoreRegister);
}

SimAnswer LoadRegister(SimUnit& unit, std::span<const uint8_t> data) {
    if (data.size() != 1) return WrongLength();
    const auto value = static_cast<uint32_t>(unit.Value(TestRegisterKey(data[0])));
    return PositiveAnswer(kTestLoadRegister, BigEndian32(value));
}

SimAnswer Count(SimUnit& unit, std::span<const uint8_t>) {
    // Only the bus's writing thread runs handlers, so read-then-write is not a race.
    const int64_t count = unit.Value(kCountKey) + 1;
    unit.SetValue(kCountKey, count);
    return PositiveAnswer(kTestCount, BigEndian32(static_cast<uint32_t>(count)));
}

}  // namespace

std::string TestRegisterKey(uint8_t number) {
    return "reg" + std::to_string(number);
}

void InstallTestCommands(SimUnit& unit) {
    unit.SetHandler(kTestEcho, Echo);
    unit.SetHandler(kTestRefuse, Refuse);
    unit.SetHandler(kTestNoAnswer, NoAnswer);
    unit.SetHandler(kTestDelayedEcho, DelayedEcho);
    unit.SetHandler(kTestStoreRegister, StoreRegister);
    unit.SetHandler(kTestLoadRegister, LoadRegister);
    unit.SetHandler(kTestCount, Count);
}

}  // namespace kelcmd::sim

// An answer that comes after its request gave up belongs to that request. It must not be taken for
// the answer of the next request, even one of the same message type.
#include <gtest/gtest.h>

#include <optional>

#include "kelcmd/kelcmd.h"
#include "sim/fault.h"
#include "sim_port.h"

namespace kelcmd::testing {
namespace {

constexpr uint8_t kPositionGainP = 25;  // an Int parameter

int16_t ReadGain(const SimPort& port) {
    int16_t value = 0;
    EXPECT_EQ(MP_ReadTempParam(port.name.c_str(), 1, kPositionGainP, &value), 1);
    return value;
}

TEST(StaleAnswer, ALateAnswerIsNeverTakenForTheNextRequest) {
    struct Case {
        const char* what;
        sim::Fault fault;
        int count;
        std::optional<uint32_t> parameter;
        bool firstReachesTheUnit;
    };
    const Case cases[] = {
        // Acknowledged and run, but answered 300 ms late: after the wait for the first answer byte
        // (answer timeout and one character timeout, 200 ms) has given up.
        {"answer late", sim::Fault::LateAnswer, 1, 300, true},
        // Never heard in any of the four transmissions.
        {"request lost", sim::Fault::Silent, 4, std::nullopt, false},
    };
    int number = 57;
    for (const Case& c : cases) {
        SimPort port(number++, "1", 100);
        ASSERT_EQ(port.openResult, 0);
        const int16_t before = ReadGain(port);
        ASSERT_NE(before, 111);

        port.Unit(1).Misbehave(c.fault, c.count, c.parameter);
        EXPECT_EQ(MP_SetTempParam(port.name.c_str(), 1, kPositionGainP, 111), 0) << c.what;
        // The unit hears none of the next request's transmissions; whatever the first request's
        // answer does meanwhile, the second fails.
        port.Unit(1).Misbehave(sim::Fault::Silent, 4);
        EXPECT_EQ(MP_SetTempParam(port.name.c_str(), 1, kPositionGainP, 222), 0) << c.what;

        EXPECT_EQ(ReadGain(port), c.firstReachesTheUnit ? 111 : before) << c.what;
    }
}

}  // namespace
}  // namespace kelcmd::testing

// An answer shorter than its command's return values never passes stale bytes off as values.
#include <gtest/gtest.h>

#include <cstring>

#include "kelcmd/kelcmd.h"
#include "sim/sim_answer.h"
#include "support/sim_port.h"
#include "transport/result_codes.h"

namespace kelcmd {
namespace {

using testing::SimPort;

uint8_t reportedError = 0;
void RecordError(uint8_t, uint8_t error, int16_t, uint32_t) {
    reportedError = error;
}

TEST(ShortAnswer, FailsWithoutWritingTheVariables) {
    SimPort port(88);
    ASSERT_EQ(port.openResult, 0);
    MP_InitKelCommander(port.name.c_str(), RecordError);
    // A full answer first, so that the answer buffer holds plausible old bytes.
    port.Unit(1).SetHandler(48, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::PositiveAnswer(48, {0x00, 0x00, 0x12, 0x34});
    });
    int32_t position = 0;
    ASSERT_EQ(MP_ReadPosition(port.name.c_str(), 1, &position), 1);
    EXPECT_EQ(position, 0x1234);

    port.Unit(1).SetHandler(48, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::PositiveAnswer(48, {0x00, 0x01});
    });
    position = -7;
    EXPECT_EQ(MP_ReadPosition(port.name.c_str(), 1, &position), 0);
    EXPECT_EQ(position, -7);
    EXPECT_EQ(reportedError, BAD_LEN);

    // Of several values none is written when the last one is missing.
    port.Unit(1).SetHandler(50, [](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::PositiveAnswer(50, {0, 0, 0, 5, 0, 0});
    });
    int32_t is = -1, must = -1;
    EXPECT_EQ(MP_ReadPositionIsMust(port.name.c_str(), 1, &is, &must), 0);
    EXPECT_EQ(is, -1);
    EXPECT_EQ(must, -1);
}

}  // namespace
}  // namespace kelcmd

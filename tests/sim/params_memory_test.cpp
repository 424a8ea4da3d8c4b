// The simulated unit's parameter memory as a host sees it on the line: answers to well-formed
// requests, refusals of malformed ones, and the accessor the other simulated parts use.
#include <gtest/gtest.h>

#include "command/system_parameter_table.h"
#include "sim/params/parameter_unit.h"
#include "sim/sim_host.h"
#include "transport/result_codes.h"

namespace kelcmd::sim {
namespace {

using testing::Answer;
using testing::Bytes;
using testing::Concat;
using testing::Request;
using testing::SimHost;

constexpr uint8_t kAck = 0x01;

TEST(SimParameterMemory, RefusesMalformedRequests) {
    SimHost host("sim:1,bus=params_refusals");
    struct Case {
        uint8_t code;
        Bytes data;
        uint8_t reason;
        uint8_t warning;
    };
    const Case cases[] = {
        {0x10, {79}, BAD_PRM, WARN_RANGE},        {0x11, {255}, BAD_PRM, WARN_RANGE},
        {0x10, {}, BAD_LEN, WARN_SYNTAX},         {0x12, {3, 0, 0}, BAD_LEN, WARN_SYNTAX},
        {0x12, {80, 0}, BAD_PRM, WARN_RANGE},     {0x16, {0, 0}, BAD_LEN, WARN_SYNTAX},
        {0x18, Bytes(111), BAD_LEN, WARN_SYNTAX}, {0x1B, {0, 1}, BAD_LEN, WARN_SYNTAX},
        {0x14, {1}, BAD_LEN, WARN_SYNTAX},        {0x1F, {0}, BAD_LEN, WARN_SYNTAX},
        {0x78, {4}, BAD_PRM, WARN_RANGE},         {0x70, {1}, BAD_LEN, WARN_SYNTAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(host.Exchange(Request(1, c.code, c.data)),
                  Concat({kAck}, Answer(1, c.reason, {0, c.warning})))
            << int(c.code);
    }
}

TEST(SimParameterMemory, AnswersCarryTheParameterWidthAndTheSetForm) {
    SimHost host("sim:1,bus=params_answers");
    EXPECT_EQ(host.Exchange(Request(1, 0x10, {3})),
              Concat({kAck}, Answer(1, 0x10, {3, 0x00, 0x00, 0x4B, 0x00})));
    EXPECT_EQ(host.Exchange(Request(1, 0x11, {6})), Concat({kAck}, Answer(1, 0x11, {6, 0x80})));
    const auto defaults = SysParamExToWire(DefaultSysParamEx());
    EXPECT_EQ(host.Exchange(Request(1, 0x16)),
              Concat({kAck}, Answer(1, 0x16, Bytes(defaults.begin(), defaults.begin() + 110))));
    EXPECT_EQ(host.Exchange(Request(1, 0x17, {0})),
              Concat({kAck}, Answer(1, 0x17, Bytes(defaults.begin(), defaults.end()))));
}

TEST(SimParameterMemory, OtherPartsReadTheTemporarySet) {
    SimHost host("sim:1,bus=params_accessor");
    std::shared_ptr<ParameterMemory> memory = ParameterMemoryOf(*host.bus->Unit(1));
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(memory->TemporaryValue(21), 100000);
    EXPECT_EQ(memory->TemporaryValue(23), -100000);
    EXPECT_EQ(memory->TemporaryValue(79), std::nullopt);
    // SetTempParam of the lower limit, -5 as an LInt.
    ASSERT_EQ(host.Exchange(Request(1, 0x12, {23, 0xFF, 0xFF, 0xFF, 0xFB})),
              Concat({kAck}, Answer(1, 0x12)));
    EXPECT_EQ(memory->TemporaryValue(23), -5);
    EXPECT_EQ(memory->PermanentBits(23), static_cast<uint32_t>(-100000));
    ASSERT_EQ(host.Exchange(Request(1, 0x14)), Concat({kAck}, Answer(1, 0x14)));
    EXPECT_EQ(memory->TemporaryValue(23), -100000);
}

}  // namespace
}  // namespace kelcmd::sim

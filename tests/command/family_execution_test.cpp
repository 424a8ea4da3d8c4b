// Catalogue and customer commands executed end to end on a simulated bus: the bytes on the wire,
// the decoded answer in the caller's variables, and what a failure leaves behind.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "api/communication.h"
#include "api/catalogue_call.h"
#include "command/command_family.h"
#include "command/kel_customer_command.h"
#include "command/parameter_types.h"
#include "sim/test_commands.h"
#include "support/sim_port.h"
#include "transport/frame.h"

namespace kelcmd {
namespace {

using testing::SimPort;

// Commands on the simulated units' test codes: the echo answers with the request's data, so the
// return parameters read back exactly what the send parameters wrote.
class EchoFamily : public CCommandFamily {
  public:
    EchoFamily()
        : CCommandFamily(
              "Echo",
              {
                  {.name = "EchoMixed",
                   .code = sim::kTestEcho,
                   .send = {{"b", TYPE_BYTE}, {"i", TYPE_INT}, {"f", TYPE_FLOAT}, {"l", TYPE_LINT}},
                   .returns =
                       {{"b", TYPE_BYTE}, {"i", TYPE_INT}, {"f", TYPE_FLOAT}, {"l", TYPE_LINT}},
                   .answerTimeout = 500},
                  {.name = "EchoStrange",
                   .code = sim::kTestEcho,
                   .send = {{"w", TYPE_WORD}, {"x", TYPE_WORD}},
                   .returns = {{"w", TYPE_WORD}, {"x", 14, 2}}},
                  {.name = "Refuse",
                   .code = sim::kTestRefuse,
                   .send = {{"reason", TYPE_BYTE}, {"warning", TYPE_WORD}},
                   .returns = {{"never", TYPE_WORD}}},
              }) {
        SetLinks(&Communication(), nullptr);
    }
    std::span<const CodeRange> GetCodeRanges() const override { return kRanges; }

  private:
    static constexpr std::array<CodeRange, 1> kRanges{{{200, 206}}};
};

std::vector<uint8_t> FirstFrameData(const SimPort& port) {
    std::vector<uint8_t> frame;
    for (const sim::WireByte& byte : port.bus->WireLog()) {
        if (byte.ninthBit && !frame.empty()) break;
        frame.push_back(byte.value);
    }
    if (frame.size() < kHeaderSize + 2) return {};
    return {frame.begin() + kHeaderSize, frame.end() - 2};
}

TEST(FamilyExecutionTest, EchoRoundTripPutsValuesOnTheWireAndIntoVariables) {
    SimPort port(81);
    ASSERT_EQ(port.openResult, 0);
    EchoFamily family;
    uint8_t b = 0;
    int16_t i = 0;
    float f = 0;
    int32_t l = 0;
    const int result = CallCatalogue(
        &family, "COM81", 1, "EchoMixed",
        {Value(uint32_t{0x1FE}), Value(int16_t{-2}), Value(1.0f), Value(int32_t{1000})},
        {Out(&b), Out(&i), Out(&f), Out(&l)});
    ASSERT_EQ(result, 1);
    // A 4-byte argument into the Byte parameter sends its first byte only.
    EXPECT_EQ(FirstFrameData(port), (std::vector<uint8_t>{0xFE, 0xFF, 0xFE, 0x3F, 0x80, 0x00, 0x00,
                                                          0x00, 0x00, 0x03, 0xE8}));
    EXPECT_EQ(b, 0xFE);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(l, 1000);
}

TEST(FamilyExecutionTest, RefusalFailsAndWritesNothing) {
    SimPort port(83);
    EchoFamily family;
    uint16_t never = 0x4242;
    auto call = PrepareCatalogueCall(&family, "com83", 1, "Refuse",
                                     {Value(uint8_t{2}), Value(uint16_t{170})}, {Out(&never)});
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(ExecuteCatalogueCall(call.get()), 0);
    EXPECT_EQ(never, 0x4242);
    EXPECT_EQ(call->GetStatus(), STATUS_FAILED);
    EXPECT_EQ(call->GetError(), 2u);
    EXPECT_EQ(call->GetWarning(), 170);
}

TEST(FamilyExecutionTest, CustomerCommandSucceedsOnlyWithACompleteDecode) {
    SimPort port(85);
    CKelCustomerCommand echo;
    echo.SetCommand("Echo", sim::kTestEcho, 0, 0);
    echo.SetDestination(1);
    ASSERT_EQ(echo.SetPortName("Com85"), 1);
    echo.SetPortList(&Communication());
    echo.Parameters().AddSendParameter("v", TYPE_LWORD, 4);
    echo.Parameters().AddReturnParameter("v", TYPE_LWORD, 4);
    const uint32_t value = 0xCAFE0001;
    echo.Parameters().SetSendValue(0, &value, 4);
    uint32_t out = 0;
    echo.Parameters().BindReturnValue(0, &out);
    EXPECT_EQ(echo.Execute(), 1);
    EXPECT_EQ(out, value);
    EXPECT_EQ(echo.ShowResults(), 0);  // valid results, but no dialog here

    CKelCustomerCommand strange(echo);
    strange.Parameters().ChangeReturnType(0, 14, 4);
    EXPECT_EQ(strange.Execute(), 0);  // exchange fine, decode stopped

    CKelCustomerCommand broadcast(echo);
    broadcast.SetDestination(255);
    EXPECT_EQ(broadcast.Execute(), 0);  // no answer to decode

    CKelCustomerCommand nowhere(echo);
    nowhere.SetPortName("Com86");
    EXPECT_EQ(nowhere.Execute(), 0);
}

}  // namespace
}  // namespace kelcmd

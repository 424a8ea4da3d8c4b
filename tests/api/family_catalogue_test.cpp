// The families as the manager holds them: defaults told apart by name where commands share a code,
// commands from files adopted by code, and the declared parameter links.
#include <gtest/gtest.h>

#include <vector>

#include "api/families.h"
#include "command/kel_customer_command.h"
#include "command/parameter_codec.h"
#include "command/parameter_types.h"
#include "family_test_support.h"

namespace kelcmd {
namespace {

using testing::Requests;
using testing::SimPort;

// The data bytes a command's send values would put on the wire.
std::vector<uint8_t> WireData(CKelStandardCommand& command) {
    if (!BuildCatalogueMessage(command, &command.Wire())) return {0xDE, 0xAD};
    const FrameBuffer& message = command.GetMessageBuffer();
    return {message.begin() + kDataOffset,
            message.begin() + kDataOffset + command.GetMessageLength()};
}

struct DefaultsCase {
    CCommandFamily* family;
    const char* command;
    std::vector<uint8_t> data;
    uint32_t answerTimeout;  // 7: the routine leaves the timeout alone
};

// A copy of the prototype with every send value zeroed and a timeout of 7 ms gets the family's
// defaults back: the row is found by code and, where codes are shared, by name.
TEST(FamilyCatalogue, SetDefaultsTellsCommandsWithASharedCodeApart) {
    CKelFamilies& f = Families();
    const std::vector<DefaultsCase> cases = {
        {&f.MotionControl(), "SetRegMode", {0x02}, 7},
        {&f.MotionControl(), "SetProfile", {0x01, 0x3F, 0, 0, 0, 0x3F, 0, 0, 0}, 7},
        {&f.MotionControl(), "MoveAbsolute", {0, 0, 0, 0}, 5000},
        {&f.MotionControl(), "MoveAbsoluteInfo", {0, 0, 0, 0, 0}, 5000},
        {&f.MotionControl(), "MoveRelative", {0, 0, 0, 100}, 5000},
        {&f.MotionControl(), "MoveRelativeInfo", {0, 0, 0, 100, 0}, 5000},
        {&f.MotionControl(), "SetVelocity", {0x41, 0x20, 0, 0}, 7},
        {&f.MotionControl(), "SetVelocityInfo", {0x41, 0x20, 0, 0, 0}, 7},
        {&f.MotionControl(), "StopMotion", {0x00}, 7},
        {&f.MotionControl(),
         "FindHome",
         {8, 0, 200, 0x41, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0x13, 0x88},
         5000},
        {&f.MotionControl(),
         "FindHomeEx",
         {8, 0, 200, 0x41, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0x13, 0x88, 0, 0, 0, 0},
         5000},
        {&f.MotionControl(), "ReadProfile", {}, 7},
        {&f.MultiAxes(), "InitMoveRelative", {0, 0, 0, 100}, 7},
        {&f.MultiAxes(), "InitMoveRelativeInfo", {0, 0, 0, 100, 0}, 7},
        {&f.MultiAxes(), "InitSetVelocityInfo", {0x41, 0x20, 0, 0, 0}, 7},
        {&f.Exception(), "ResetSlave", {0x01}, 7},
        {&f.Miscellaneous(), "WaitTime", {0, 0, 0x03, 0xE8}, 7},
        {&f.Miscellaneous(), "SetCurrent", {0x01, 0xF4}, 7},
        {&f.Miscellaneous(), "ReadMaxStack", {}, 7},
        {&f.InputOutput(), "WaitForInput", {1, 0, 0, 0, 0x13, 0x88}, 7},
        {&f.InputOutput(), "SetOutput", {1, 0}, 7},
        {&f.MotionInfo(), "ReadAxisInfo", {}, 7},
    };
    for (const DefaultsCase& c : cases) {
        SCOPED_TRACE(c.command);
        const CKelStandardCommand* prototype = c.family->GetPrototype(c.command);
        ASSERT_NE(prototype, nullptr);
        CKelStandardCommand command(*prototype);
        for (size_t i = 0; i < command.Wire().GetSendCount(); ++i) {
            const std::vector<uint8_t> zero(command.Wire().GetSendSize(i), 0);
            command.SetSendValue(i, zero.data(), static_cast<uint32_t>(zero.size()));
        }
        command.SetAnswerTimeout(7);
        ASSERT_EQ(c.family->SetDefaults(command), 1);
        EXPECT_EQ(WireData(command), c.data);
        EXPECT_EQ(command.GetAnswerTimeout(), c.answerTimeout);
        // Each stored value keeps its type's width (StopMotion's default included).
        for (size_t i = 0; i < command.Wire().GetSendCount(); ++i) {
            EXPECT_EQ(command.Wire().GetSendSize(i),
                      ParameterTypeSize(command.Wire().GetSendType(i)));
        }
    }
}

TEST(FamilyCatalogue, SetDefaultsRefusesCommandsItDoesNotKnow) {
    CKelStandardCommand stranger;
    stranger.SetCommand("MoveSomewhere", 36, 0, 0);
    EXPECT_EQ(Families().MotionControl().SetDefaults(stranger), 0);
    CKelStandardCommand other;
    other.SetCommand("ReadPosition", 48, 0, 0);
    EXPECT_EQ(Families().MotionControl().SetDefaults(other), 0);
    EXPECT_EQ(Families().MotionInfo().SetDefaults(other), 1);
}

// A command loaded from a file goes to the family whose codes include its code, whatever its name.
TEST(FamilyCatalogue, AttachCommandAdoptsByCode) {
    const std::vector<std::pair<uint8_t, const char*>> cases = {
        {8, "Exception"},
        {10, "Exception"},
        {11, "Status"},
        {15, "Status"},
        {32, "MotionControl"},
        {47, "MotionControl"},
        {48, "MotionInfo"},
        {63, "MotionInfo"},
        {64, "InputOutput"},
        {70, "InputOutput"},
        {71, "Miscellanous Functions"},
        {74, "Miscellanous Functions"},
        {79, "Miscellanous Functions"},
        {80, "Multi Axes"},
        {83, "Multi Axes"},
    };
    for (const auto& [code, family] : cases) {
        SCOPED_TRACE(static_cast<int>(code));
        CKelStandardCommand command;
        command.SetCommand("Loaded", code, 0, 0);
        ASSERT_EQ(Communication().AttachCommand(&command), 1);
        ASSERT_NE(command.GetOwner(), nullptr);
        EXPECT_EQ(command.GetOwner()->GetDisplayName(), family);
    }

    CKelStandardCommand unknown;
    unknown.SetCommand("Loaded", 255, 0, 0);
    EXPECT_EQ(Communication().AttachCommand(&unknown), 0);
    EXPECT_EQ(unknown.GetOwner(), nullptr);
    CKelCustomerCommand customer;
    customer.SetCommand("Custom", 36, 0, 0);
    EXPECT_EQ(Communication().AttachCommand(&customer), 1);  // joins the customer command sets
    EXPECT_EQ(Communication().AttachCommand(nullptr), 0);

    CKelCommunication bare;  // a port table without families
    CKelStandardCommand command;
    command.SetCommand("Loaded", 36, 0, 0);
    EXPECT_EQ(bare.AttachCommand(&command), 0);
}

TEST(FamilyCatalogue, AdoptedCommandExecutesThroughItsFamily) {
    SimPort port(51);
    port.Unit(1).SetHandler(36, [](sim::SimUnit&, auto) { return sim::PositiveAnswer(36); });
    CKelStandardCommand command;
    command.SetCommand("MoveAbsolute", 36, 0, 0);
    command.AddSendParameter("position", TYPE_LINT, 4);
    const int32_t position = 1000;
    command.SetSendValue(0, &position, 4);
    command.SetDestination(1);
    ASSERT_EQ(command.SetPortName(port.name), 1);
    EXPECT_EQ(command.Execute(), 0);  // no owner yet

    ASSERT_EQ(Communication().AttachCommand(&command), 1);
    EXPECT_EQ(command.Execute(), 1);
    const auto requests = Requests(port);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].mtype, 36);
    EXPECT_EQ(requests[0].data, (std::vector<uint8_t>{0x00, 0x00, 0x03, 0xE8}));
}

TEST(FamilyCatalogue, ReadProfileFeedsSetProfileAndSetPosVelocity) {
    CParameterLinks links;
    Communication().DeclareLinks(&links);
    for (const char* name : {"profiletype", "accel", "decel"}) {
        SCOPED_TRACE(name);
        const auto from = links.FindFrom("ReadProfile", name);
        ASSERT_EQ(from.size(), 1u);
        EXPECT_EQ(from[0]->toCommand, "SetProfile");
        EXPECT_EQ(from[0]->sendParameter, name);
    }
    const auto ceiling = links.FindTo("SetPosVelocity", "posVelocity");
    ASSERT_EQ(ceiling.size(), 1u);
    EXPECT_EQ(ceiling[0]->fromCommand, "ReadProfile");
    EXPECT_EQ(ceiling[0]->returnParameter, "ceilVel");

    Communication().DeclareLinks(nullptr);  // nothing to declare into: nothing happens
}

}  // namespace
}  // namespace kelcmd

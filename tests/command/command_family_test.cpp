#include "command/command_family.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "api/catalogue_call.h"
#include "command/parameter_types.h"
#include "test_family.h"
#include "transport/kel_communication.h"

namespace kelcmd {
namespace {

using testing::RecordingStack;
using testing::TinyFamily;

template <class T>
T SendValueAs(const CKelStandardCommand& command, size_t index) {
    T value{};
    std::span<const uint8_t> bytes = command.Wire().GetSendValue(index);
    std::memcpy(&value, bytes.data(), std::min(bytes.size(), sizeof(T)));
    return value;
}

TEST(CommandFamilyTest, PrototypesFollowTheTable) {
    TinyFamily family;
    ASSERT_EQ(family.GetPrototypeCount(), 5u);
    EXPECT_EQ(family.GetDisplayName(), "Tiny");
    CKelStandardCommand& info = family.GetPrototypeAt(2);
    EXPECT_EQ(info.GetName(), "MoveAbsoluteInfo");
    EXPECT_EQ(info.GetCode(), 36);
    EXPECT_EQ(info.GetOwner(), &family);
    EXPECT_EQ(info.GetAuxiliaryWord(), 0u);
    ASSERT_EQ(info.Wire().GetSendCount(), 2);
    EXPECT_EQ(info.Wire().GetSendType(1), TYPE_BYTE);
    EXPECT_EQ(info.Wire().GetReturnName(1), "duration");
    EXPECT_EQ(info.Wire().GetReturnSize(1), 4u);
    EXPECT_EQ(info.GetAnswerTimeout(), 5000u);
    EXPECT_EQ(SendValueAs<int32_t>(info, 0), 7);

    const CKelStandardCommand* profile = family.GetPrototype("SetProfile");
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(SendValueAs<uint8_t>(*profile, 0), 1);
    EXPECT_EQ(SendValueAs<float>(*profile, 1), 0.5f);
    EXPECT_EQ(profile->GetAnswerTimeout(), 100u);
    EXPECT_EQ(family.GetPrototype("Unknown"), nullptr);

    const CKelStandardCommand* read = family.GetPrototype("ReadProfile");
    EXPECT_EQ(read->Extra().GetSendName(0), "samplePeriod");
    uint16_t period = 0;
    std::memcpy(&period, read->Extra().GetSendValue(0).data(), 2);
    EXPECT_EQ(period, 250);

    const CKelStandardCommand* stop = family.GetPrototype("StopMotion");
    EXPECT_EQ(stop->Wire().GetSendSize(0), 4u);  // the custom default's four bytes
}

TEST(CommandFamilyTest, SetDefaultsTellsApartCommandsSharingACode) {
    TinyFamily family;
    CKelStandardCommand move(*family.GetPrototype("MoveAbsolute"));
    CKelStandardCommand info(*family.GetPrototype("MoveAbsoluteInfo"));
    const int32_t elsewhere = 99;
    move.SetSendValue(0, &elsewhere, 4);
    info.SetSendValue(0, &elsewhere, 4);
    move.SetAnswerTimeout(1);

    EXPECT_EQ(family.SetDefaults(move), 1);
    EXPECT_EQ(family.SetDefaults(info), 1);
    EXPECT_EQ(SendValueAs<int32_t>(move, 0), 0);
    EXPECT_EQ(SendValueAs<int32_t>(info, 0), 7);
    EXPECT_EQ(move.GetAnswerTimeout(), 5000u);

    // A shared code with a name of neither gets nothing; so does an unknown code.
    CKelStandardCommand stranger(move);
    stranger.SetName("MoveSomewhere");
    stranger.SetSendValue(0, &elsewhere, 4);
    EXPECT_EQ(family.SetDefaults(stranger), 0);
    EXPECT_EQ(SendValueAs<int32_t>(stranger, 0), 99);
    stranger.SetCode(90);
    EXPECT_EQ(family.SetDefaults(stranger), 0);

    // A code only one command has needs no name.
    CKelStandardCommand renamed(*family.GetPrototype("SetProfile"));
    renamed.SetName("Whatever");
    EXPECT_EQ(family.SetDefaults(renamed), 1);
}

TEST(CommandFamilyTest, AdoptTakesOnlyTheFamilysCodes) {
    TinyFamily family;
    CKelStandardCommand command;
    command.SetCode(47);
    EXPECT_EQ(family.Adopt(command), 1);
    EXPECT_EQ(command.GetOwner(), &family);

    CKelStandardCommand other;
    for (uint8_t code : {31, 48, 199, 201}) {
        other.SetCode(code);
        EXPECT_EQ(family.Adopt(other), 0) << int(code);
    }
    EXPECT_EQ(other.GetOwner(), nullptr);
    other.SetCode(200);
    EXPECT_EQ(family.Adopt(other), 1);
}

TEST(CommandFamilyTest, LinksAreFoundByEitherEnd) {
    TinyFamily family;
    CParameterLinks links;
    family.DeclareLinks(links);
    family.DeclareLinks(links);  // declaring again adds nothing
    EXPECT_EQ(links.Count(), 3u);
    const ParameterLink* byReturn = links.Find("ReadProfile", "accel");
    const ParameterLink* bySend = links.Find("SetProfile", "accel");
    ASSERT_NE(byReturn, nullptr);
    EXPECT_EQ(byReturn, bySend);
    EXPECT_EQ(byReturn->toCommand, "SetProfile");
    EXPECT_EQ(links.FindFrom("ReadProfile", "decel").size(), 1u);
    EXPECT_TRUE(links.FindTo("ReadProfile", "decel").empty());
    EXPECT_EQ(links.Find("SetProfile", "speed"), nullptr);
}

TEST(CommandFamilyTest, ExecuteWithoutCommandOrPortFails) {
    TinyFamily family;
    EXPECT_EQ(family.Execute(nullptr), 0);
    CKelStandardCommand command(*family.GetPrototype("SetProfile"));
    command.SetPortName("Com1");
    EXPECT_EQ(family.Execute(&command), 0);  // no port table at all
    EXPECT_FALSE(command.IsMessageBuilt());

    CKelCommunication ports;
    family.SetLinks(&ports, nullptr);
    EXPECT_EQ(family.Execute(&command), 0);  // no port of that name is open
    EXPECT_FALSE(command.IsMessageBuilt());
    EXPECT_EQ(command.GetStatus(), STATUS_IDLE);
}

TEST(CommandFamilyTest, StackingAppendsACopyWithValuesAndBindings) {
    TinyFamily family;
    RecordingStack stack;
    family.SetLinks(nullptr, &stack);
    uint8_t flags = 0;
    uint32_t duration = 0;
    const int result = CallCatalogue(&family, "com1", 2, "MoveAbsoluteInfo", {Value(int32_t{1000})},
                                     {Out(&flags), Out(&duration)});
    EXPECT_EQ(result, 1);
    ASSERT_EQ(stack.appended.size(), 1u);
    auto* stacked = dynamic_cast<CKelStandardCommand*>(stack.appended[0].get());
    ASSERT_NE(stacked, nullptr);
    EXPECT_EQ(SendValueAs<int32_t>(*stacked, 0), 1000);
    EXPECT_EQ(SendValueAs<uint8_t>(*stacked, 1), 0);  // the prototype's option
    EXPECT_EQ(stacked->Wire().GetReturnBinding(0), &flags);
    EXPECT_EQ(stacked->Wire().GetReturnBinding(1), &duration);
    EXPECT_EQ(stacked->GetOwner(), &family);
    EXPECT_FALSE(stacked->IsMessageBuilt());

    // Another slave is not being stacked: it needs a port, and there is none.
    EXPECT_EQ(CallCatalogue(&family, "com1", 3, "MoveAbsolute", {Value(int32_t{1})}), 0);
    EXPECT_EQ(stack.appended.size(), 1u);
}

TEST(CatalogueCallTest, PreparesACopyWithDestinationPortValuesAndTimeout) {
    TinyFamily family;
    int32_t distance = 0;
    std::unique_ptr<CKelStandardCommand> call =
        PrepareCatalogueCall(&family, "COM7", 12, "MoveAbsolute", {Value(int32_t{-5})},
                             {Out(&distance)}, Timeout(20000));
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->GetDestination(), 12);
    EXPECT_EQ(call->GetPortName(), "COM7");
    EXPECT_EQ(call->GetAnswerTimeout(), 20000u);
    EXPECT_EQ(SendValueAs<int32_t>(*call, 0), -5);
    EXPECT_EQ(call->GetOwner(), &family);
    // The prototype is untouched.
    EXPECT_EQ(SendValueAs<int32_t>(*family.GetPrototype("MoveAbsolute"), 0), 0);
    EXPECT_EQ(family.GetPrototype("MoveAbsolute")->GetAnswerTimeout(), 5000u);
}

TEST(CatalogueCallTest, WritesWithTheArgumentsWidthAndKeepsSkippedValues) {
    TinyFamily family;
    auto call = PrepareCatalogueCall(&family, "Com1", 1, "SetProfile",
                                     {Value(uint32_t{2}), Keep(), Value(0.25f)});
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->Wire().GetSendSize(0), 4u);
    EXPECT_EQ(SendValueAs<uint8_t>(*call, 0), 2);
    EXPECT_EQ(SendValueAs<float>(*call, 1), 0.5f);
    EXPECT_EQ(SendValueAs<float>(*call, 2), 0.25f);
}

TEST(CatalogueCallTest, RefusesBadTargetsBeforeSending) {
    TinyFamily family;
    RecordingStack stack;
    stack.stacking = true;
    family.SetLinks(nullptr, &stack);
    EXPECT_EQ(CallCatalogue(&family, "com1", 0, "MoveAbsolute"), 0);
    EXPECT_EQ(CallCatalogue(&family, "com1", 256, "MoveAbsolute"), 0);
    EXPECT_EQ(CallCatalogue(&family, "com1", -1, "MoveAbsolute"), 0);
    EXPECT_EQ(CallCatalogue(&family, "Com100", 2, "MoveAbsolute"), 0);
    EXPECT_EQ(CallCatalogue(&family, "ttyS0", 2, "MoveAbsolute"), 0);
    EXPECT_EQ(CallCatalogue(&family, nullptr, 2, "MoveAbsolute"), 0);
    EXPECT_EQ(CallCatalogue(&family, "com1", 2, "NoSuchCommand"), 0);
    EXPECT_EQ(CallCatalogue(nullptr, "com1", 2, "MoveAbsolute"), 0);
    EXPECT_TRUE(stack.appended.empty());
    EXPECT_EQ(CallCatalogue(&family, "com1", 2, "MoveAbsolute"), 1);
}

TEST(CatalogueCallTest, OutBufferResizesTheReturnParameter) {
    TinyFamily family;
    uint8_t buffer[3] = {};
    auto call = PrepareCatalogueCall(&family, "Com1", 1, "ReadProfile", {},
                                     {Out(static_cast<uint8_t*>(nullptr)), OutBuffer(buffer, 3)});
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->Wire().GetReturnBinding(0), nullptr);
    EXPECT_EQ(call->Wire().GetReturnSize(1), 3u);
    EXPECT_EQ(call->Wire().GetReturnType(1), TYPE_FLOAT);
    EXPECT_EQ(call->Wire().GetReturnBinding(1), buffer);
}

TEST(CommandFamilyTest, SerializeRoundTripsThePrototypes) {
    TinyFamily source;
    const int32_t position = 4321;
    source.GetPrototype("MoveAbsolute")->SetSendValue(0, &position, 4);
    CArchive archive;
    source.Serialize(archive);
    const std::vector<uint8_t> stored = archive.TakeData();

    TinyFamily target;
    CKelStandardCommand* before = target.GetPrototype("MoveAbsolute");
    CArchive reader(stored);
    target.Serialize(reader);
    ASSERT_FALSE(reader.Failed());
    EXPECT_EQ(reader.Remaining(), 0u);
    EXPECT_EQ(target.GetPrototype("MoveAbsolute"), before);  // same object, new values
    EXPECT_EQ(SendValueAs<int32_t>(*before, 0), 4321);
    EXPECT_EQ(before->GetOwner(), &target);

    TinyFamily untouched;
    CArchive truncated(std::span<const uint8_t>(stored.data(), stored.size() - 1));
    untouched.Serialize(truncated);
    EXPECT_TRUE(truncated.Failed());
    EXPECT_EQ(SendValueAs<int32_t>(*untouched.GetPrototype("MoveAbsolute"), 0), 0);
}

}  // namespace
}  // namespace kelcmd

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
    CKelStandardCommand& info = family.GetPrototypeAt(2);
    EXPECT_EQ(info.GetName(), "MoveAbsoluteInfo");
    EXPECT_EQ(info.GetCode(), 36);
    EXPECT_EQ(info.GetOwner(), &family);
    EXPECT_EQ(info.Wire().GetReturnSize(1), 4u);
    EXPECT_EQ(info.GetAnswerTimeout(), 5000u);
    EXPECT_EQ(SendValueAs<int32_t>(info, 0), 7);

    const CKelStandardCommand* profile = family.GetPrototype("SetProfile");
    EXPECT_EQ(SendValueAs<uint8_t>(*profile, 0), 1);
    EXPECT_EQ(SendValueAs<float>(*profile, 1), 0.5f);
    EXPECT_EQ(profile->GetAnswerTimeout(), 100u);
    EXPECT_EQ(family.GetPrototype("ReadProfile")->Extra().GetSendValue(0)[0], 250);
    EXPECT_EQ(family.GetPrototype("StopMotion")->Wire().GetSendSize(0), 4u);
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
    ASSERT_NE(byReturn, nullptr);
    EXPECT_EQ(byReturn, links.Find("SetProfile", "accel"));
    EXPECT_EQ(links.FindFrom("ReadProfile", "decel").size(), 1u);
    EXPECT_TRUE(links.FindTo("ReadProfile", "decel").empty());
}

TEST(CommandFamilyTest, ExecuteWithoutCommandOrPortFails) {
    TinyFamily family;
    CKelCommunication ports;
    family.SetLinks(&ports, nullptr);
    EXPECT_EQ(family.Execute(nullptr), 0);
    CKelStandardCommand command(*family.GetPrototype("SetProfile"));
    command.SetPortName("Com1");
    EXPECT_EQ(family.Execute(&command), 0);  // no port of that name is open
    EXPECT_FALSE(command.IsMessageBuilt());
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

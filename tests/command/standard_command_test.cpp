#include <gtest/gtest.h>

#include "archive/object_io.h"
#include "command/kel_standard_command.h"
#include "command/parameter_types.h"
#include "test_family.h"

namespace kelcmd {
namespace {

using testing::TinyFamily;

std::vector<uint8_t> Store(CObject& object) {
    CArchive archive;
    object.Serialize(archive);
    return archive.TakeData();
}

CKelStandardCommand Prepared(TinyFamily& family) {
    CKelStandardCommand command(*family.GetPrototype("MoveAbsoluteInfo"));
    command.SetDestination(9);
    command.SetPortName("Com4");
    command.AddExtraSendParameter("note", TYPE_BYTE_ARRAY, 3);
    command.GetMessageBuffer()[7] = 0x5A;
    return command;
}

TEST(StandardCommandTest, CopyKeepsBindingsOwnerAndIsDeep) {
    TinyFamily family;
    CKelStandardCommand command = Prepared(family);
    uint32_t duration = 0;
    command.BindReturnValue(1, &duration);

    std::unique_ptr<CCommand> clone = command.Clone();
    auto* copy = dynamic_cast<CKelStandardCommand*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetOwner(), &family);
    EXPECT_EQ(copy->Wire().GetReturnBinding(1), &duration);
    EXPECT_EQ(copy->GetPortName(), "Com4");
    EXPECT_EQ(copy->GetMessageBuffer()[7], 0x5A);
    EXPECT_EQ(copy->Extra().GetSendName(0), "note");

    const int32_t changed = 1;
    command.SetSendValue(0, &changed, 4);
    EXPECT_EQ(copy->Wire().GetSendValue(0)[0], 7);
    copy->CopyFrom(*copy);  // copying itself keeps everything
    EXPECT_EQ(copy->Wire().GetSendCount(), 2);
}

TEST(StandardCommandTest, ArchiveRoundTripAsTaggedObject) {
    TinyFamily family;
    CKelStandardCommand command = Prepared(family);
    command.SetStatus(STATUS_SUCCEEDED);
    CArchive archive;
    WriteObject(archive, &command);
    const std::vector<uint8_t> stored = archive.TakeData();

    CArchive reader(stored);
    std::unique_ptr<CKelStandardCommand> loaded = ReadObjectAs<CKelStandardCommand>(reader);
    ASSERT_FALSE(reader.Failed());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetStatus(), STATUS_IDLE);
    EXPECT_EQ(loaded->GetOwner(), nullptr);  // adopted later by a family
    EXPECT_EQ(loaded->GetName(), "MoveAbsoluteInfo");
    EXPECT_EQ(loaded->GetCode(), 36);
    EXPECT_EQ(loaded->Extra().GetSendSize(0), 3u);
    EXPECT_EQ(Store(*loaded), Store(command));
}

TEST(StandardCommandTest, TruncatedLoadLeavesTheCommandUnchanged) {
    TinyFamily family;
    CKelStandardCommand source = Prepared(family);
    const std::vector<uint8_t> stored = Store(source);
    CKelStandardCommand target(*family.GetPrototype("SetProfile"));
    const std::vector<uint8_t> before = Store(target);
    // Every cut inside the lists (the bus part's own cuts are the base class's concern).
    for (size_t cut = stored.size() - 40; cut < stored.size(); ++cut) {
        CArchive reader(std::span<const uint8_t>(stored.data(), cut));
        target.Serialize(reader);
        EXPECT_TRUE(reader.Failed()) << cut;
        EXPECT_EQ(Store(target), before) << cut;
        EXPECT_EQ(target.GetOwner(), &family);
    }
}

}  // namespace
}  // namespace kelcmd

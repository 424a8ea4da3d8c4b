#include <gtest/gtest.h>

#include "archive/object_io.h"
#include "command/kel_customer_command.h"
#include "command/parameter_types.h"

namespace kelcmd {
namespace {

std::vector<uint8_t> Store(CObject& object) {
    CArchive archive;
    object.Serialize(archive);
    return archive.TakeData();
}

CKelCustomerCommand Sample() {
    CKelCustomerCommand command;
    command.SetCommand("ReadBlock", 0xA7, 0, 0);
    command.SetDestination(5);
    command.SetPortName("Com2");
    command.Parameters().AddSendParameter("select", TYPE_BYTE, 1);
    command.Parameters().AddSendParameter("header", TYPE_BYTE_ARRAY, 4);
    command.Parameters().AddReturnParameter("block", TYPE_BYTE_ARRAY, 10);
    command.SendAttachments().push_back(
        {CStructureDefinition("Header", {{"kind", ELEMENT_WORD, 1}, {"len", ELEMENT_WORD, 1}}), 1});
    command.ReturnAttachments().push_back(
        {CStructureDefinition("Block", {{"a", ELEMENT_BYTE, 1}, {"b", ELEMENT_LINT, 2}}), 0});
    command.ReturnAttachments().push_back({CStructureDefinition("Empty"), 0});
    return command;
}

// The offset where the send side's attachment counts start: after the bus part and the list.
size_t AttachmentsOffset(CKelCustomerCommand& command) {
    CKelCommand busPart;
    busPart.CopyKelCommand(command);
    CArchive list;
    command.Parameters().Serialize(list);
    return Store(busPart).size() + list.Data().size();
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(CustomerCommandTest, ArchiveRoundTripWithAttachments) {
    CKelCustomerCommand command = Sample();
    CArchive archive;
    WriteObject(archive, &command);
    const std::vector<uint8_t> stored = archive.TakeData();

    CArchive reader(stored);
    std::unique_ptr<CKelCustomerCommand> loaded = ReadObjectAs<CKelCustomerCommand>(reader);
    ASSERT_FALSE(reader.Failed());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(reader.Remaining(), 0u);
    EXPECT_EQ(loaded->GetCode(), 0xA7);
    EXPECT_EQ(loaded->SendAttachments(), command.SendAttachments());
    EXPECT_EQ(loaded->ReturnAttachments(), command.ReturnAttachments());
    EXPECT_EQ(Store(*loaded), Store(command));
}

TEST(CustomerCommandTest, DifferingCountsLeaveThatSideEmptyAndReadTheOther) {
    CKelCustomerCommand command = Sample();
    command.SendAttachments().clear();
    std::vector<uint8_t> stored = Store(command);
    const size_t at = AttachmentsOffset(command);
    ASSERT_EQ(stored[at], 0);
    PutU32(stored, at, 0xFFFFFFFF);  // send side: structures 0xFFFFFFFF, indices 0

    CKelCustomerCommand loaded;
    CArchive reader(stored);
    loaded.Serialize(reader);
    ASSERT_FALSE(reader.Failed());
    EXPECT_TRUE(loaded.SendAttachments().empty());
    EXPECT_EQ(loaded.ReturnAttachments(), command.ReturnAttachments());
}

TEST(CustomerCommandTest, EqualHostileCountsFailWithoutAllocating) {
    CKelCustomerCommand command = Sample();
    command.SendAttachments().clear();
    std::vector<uint8_t> stored = Store(command);
    const size_t at = AttachmentsOffset(command);
    PutU32(stored, at, 0x40000000);
    PutU32(stored, at + 4, 0x40000000);

    CKelCustomerCommand target = Sample();
    const std::vector<uint8_t> before = Store(target);
    CArchive reader(stored);
    target.Serialize(reader);
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(Store(target), before);
}

}  // namespace
}  // namespace kelcmd

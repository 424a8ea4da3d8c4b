#include <gtest/gtest.h>

#include <cstring>

#include "archive/archive.h"
#include "archive/object_io.h"
#include "batch_test_support.h"
#include "command/kel_batch_command.h"
#include "command/kel_customer_command.h"
#include "command/parameter_types.h"

namespace kelcmd::testing {
namespace {

std::vector<uint8_t> MessageData(const CKelBatchCommand& batch) {
    const FrameBuffer& message = batch.GetMessageBuffer();
    return {message.begin() + kDataOffset,
            message.begin() + kDataOffset + batch.GetMessageLength()};
}

void SetAnswer(CKelBatchCommand& batch, uint8_t mtype, const std::vector<uint8_t>& data) {
    FrameBuffer& answer = batch.GetAnswerBuffer();
    answer[4] = mtype;
    std::copy(data.begin(), data.end(), answer.begin() + kDataOffset);
    batch.SetAnswerLength(static_cast<uint16_t>(data.size()));
    batch.SetAnswerReceived(true);
}

// MoveAbsolute (36, position LInt), SetProfile (33, Byte, Float, Float) and ReadProfile (47,
// returns Byte, Float, Float) as batch members.
CKelBatchCommand ThreeMembers() {
    CKelBatchCommand batch;
    batch.SetDestination(3);
    auto move = MakeMember("MoveAbsolute", 36, {{"position", TYPE_LINT}}, {}, 5000);
    const int32_t position = 1000;
    move->SetSendValue(0, &position, 4);
    auto profile =
        MakeMember("SetProfile", 33,
                   {{"profiletype", TYPE_BYTE}, {"accel", TYPE_FLOAT}, {"decel", TYPE_FLOAT}});
    const uint8_t type = 2;
    const float half = 0.5f;
    profile->SetSendValue(0, &type, 1);
    profile->SetSendValue(1, &half, 4);
    profile->SetSendValue(2, &half, 4);
    batch.AppendCommand(std::move(move));
    batch.AppendCommand(std::move(profile));
    batch.AppendCommand(
        MakeMember("ReadProfile", 47, {},
                   {{"profiletype", TYPE_BYTE}, {"accel", TYPE_FLOAT}, {"decel", TYPE_FLOAT}}));
    return batch;
}

TEST(BatchMessageTest, MembersArePackedInOrderBehindTheirCodes) {
    CKelBatchCommand batch = ThreeMembers();
    ASSERT_TRUE(batch.BuildMessage());
    EXPECT_EQ(batch.GetMessageBuffer()[0], 3);
    EXPECT_EQ(batch.GetMessageBuffer()[4], kBatchCode);
    const std::vector<uint8_t> expected{36,   0x00, 0x00, 0x03, 0xE8, 33,   0x02, 0x3F,
                                        0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x00, 47};
    EXPECT_EQ(MessageData(batch), expected);

    ASSERT_TRUE(batch.SetBatchType(BATCH_QUIET_SEND));
    ASSERT_TRUE(batch.BuildMessage());
    EXPECT_EQ(batch.GetMessageBuffer()[4], kQuietBatchCode);
    EXPECT_EQ(MessageData(batch), expected);

    ASSERT_TRUE(batch.SetBatchType(BATCH_QUIET_READ));
    ASSERT_TRUE(batch.BuildMessage());
    EXPECT_EQ(batch.GetMessageBuffer()[4], kQuietBatchCode);
    EXPECT_EQ(batch.GetMessageLength(), 0);
    EXPECT_FALSE(batch.SetBatchType(3));
    EXPECT_EQ(batch.GetBatchType(), BATCH_QUIET_READ);
}

// A member whose single Byte[N] parameter makes the data exactly `total` bytes long.
CKelBatchCommand BatchOfSize(size_t total) {
    CKelBatchCommand batch;
    auto member = MakeMember("Block", 9);
    member->AddSendParameter("block", TYPE_BYTE_ARRAY, static_cast<uint32_t>(total - 1));
    batch.AppendCommand(std::move(member));
    return batch;
}

TEST(BatchMessageTest, ExactlyTheFrameLimitIsBuiltAndOneByteMoreIsRefusedWithAMessage) {
    RecordingPrompt prompt;
    CKelBatchCommand full = BatchOfSize(1023);
    EXPECT_TRUE(full.BuildMessage());
    EXPECT_EQ(full.GetMessageLength(), 1023);
    EXPECT_TRUE(prompt.messages.empty());

    CKelBatchCommand over = BatchOfSize(1024);
    EXPECT_FALSE(over.BuildMessage());
    EXPECT_FALSE(over.IsMessageBuilt());
    EXPECT_EQ(prompt.messages,
              std::vector<std::string>{"Message is too long!\nMore than 1023bytes"});
}

TEST(BatchMessageTest, AMemberCodeBeyondTheLimitIsRefusedToo) {
    RecordingPrompt prompt;
    CKelBatchCommand batch = BatchOfSize(1023);
    batch.AppendCommand(MakeMember("ReadPosition", 48));
    EXPECT_FALSE(batch.BuildMessage());
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST(BatchMessageTest, AnswerTimeoutIsTheSumUnlessAMemberWaitsWithoutLimit) {
    CKelBatchCommand batch;
    batch.AppendCommand(MakeMember("MoveAbsolute", 36, {{"position", TYPE_LINT}}, {}, 5000));
    batch.AppendCommand(MakeMember("SetRegMode", 32, {{"regmode", TYPE_BYTE}}, {}, 100));
    EXPECT_EQ(batch.ComputeAnswerTimeout(), 5100u);
    batch.AppendCommand(MakeMember("WaitForTargetPos", 38, {{"timeout", TYPE_LWORD}}, {}, 0));
    EXPECT_EQ(batch.ComputeAnswerTimeout(), 0u);
    batch.SetBatchType(BATCH_QUIET_SEND);
    EXPECT_EQ(batch.ComputeAnswerTimeout(), 100u);
    batch.SetBatchType(BATCH_QUIET_READ);
    EXPECT_EQ(batch.ComputeAnswerTimeout(), 100u);
}

TEST(BatchDecodeTest, ResultsGoToTheMembersAndTheirBoundVariables) {
    CKelBatchCommand batch = ThreeMembers();
    uint8_t profileType = 0;
    float accel = 0;
    auto* read = static_cast<CKelStandardCommand*>(batch.GetCommand(2));
    read->BindReturnValue(0, &profileType);
    read->BindReturnValue(1, &accel);
    SetAnswer(batch, kBatchCode,
              {36, 33, 47, 0x01, 0x3F, 0x80, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00});
    EXPECT_EQ(batch.DecodeAnswer(), 1);
    EXPECT_EQ(profileType, 1);
    EXPECT_EQ(accel, 1.0f);
    for (const auto& member : batch.GetCommands()) EXPECT_EQ(member->GetStatus(), STATUS_SUCCEEDED);
    EXPECT_TRUE(read->Wire().IsValid());
    float decel = 0;
    std::memcpy(&decel, read->Wire().GetReturnValue(2).data(), 4);
    EXPECT_EQ(decel, 2.0f);
}

TEST(BatchDecodeTest, AFailureRecordAloneFailsTheFirstMemberAndLeavesTheOthersIdle) {
    CKelBatchCommand batch = ThreeMembers();
    SetAnswer(batch, kBatchFailType, {36, 0x00, 0xAA});
    EXPECT_EQ(batch.DecodeAnswer(), 1);
    EXPECT_EQ(batch.GetCommand(0)->GetStatus(), STATUS_FAILED);
    EXPECT_EQ(batch.GetCommand(0)->GetWarning(), 170);
    EXPECT_EQ(batch.GetCommand(1)->GetStatus(), STATUS_IDLE);
    EXPECT_EQ(batch.GetCommand(2)->GetStatus(), STATUS_IDLE);
    EXPECT_EQ(batch.FindFailedCommand(), batch.GetCommand(0));
}

TEST(BatchDecodeTest, MembersBeforeTheFailureKeepTheirResults) {
    CKelBatchCommand batch = ThreeMembers();
    SetAnswer(batch, kBatchFailType, {36, 33, 0x00, 0x82});
    EXPECT_EQ(batch.DecodeAnswer(), 1);
    EXPECT_EQ(batch.GetCommand(0)->GetStatus(), STATUS_SUCCEEDED);
    EXPECT_EQ(batch.GetCommand(1)->GetStatus(), STATUS_FAILED);
    EXPECT_EQ(batch.GetCommand(1)->GetWarning(), 130);
    EXPECT_EQ(batch.GetCommand(2)->GetStatus(), STATUS_IDLE);
}

TEST(BatchDecodeTest, WrongCodesShortAnswersAndMissingAnswersAreNotTakenAsResults) {
    CKelBatchCommand batch = ThreeMembers();
    uint8_t profileType = 9;
    static_cast<CKelStandardCommand*>(batch.GetCommand(2))->BindReturnValue(0, &profileType);

    SetAnswer(batch, kBatchCode, {37, 33, 47, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(batch.DecodeAnswer(), 0);

    // Results that stop inside the last member: it did not run.
    SetAnswer(batch, kBatchCode, {36, 33, 47, 1, 0});
    EXPECT_EQ(batch.DecodeAnswer(), 1);
    EXPECT_EQ(batch.GetCommand(2)->GetStatus(), STATUS_IDLE);
    EXPECT_EQ(profileType, 9);

    batch.SetAnswerReceived(false);
    EXPECT_EQ(batch.DecodeAnswer(), 0);
    for (const auto& member : batch.GetCommands()) EXPECT_EQ(member->GetStatus(), STATUS_FAILED);
}

TEST(BatchCommandTest, MemberListOperations) {
    CKelBatchCommand batch;
    EXPECT_EQ(batch.AppendCommand(nullptr), 0);
    batch.AppendCommand(MakeMember("A", 48));
    batch.AppendCommand(MakeMember("C", 50));
    batch.InsertCommand(MakeMember("B", 49), 1);
    batch.InsertCommand(MakeMember("D", 51), 99);
    ASSERT_EQ(batch.GetCommandCount(), 4u);
    EXPECT_EQ(batch.GetCommand(1)->GetName(), "B");
    EXPECT_EQ(batch.GetCommand(3)->GetName(), "D");
    std::unique_ptr<CKelCommand> detached = batch.DetachCommand(0);
    ASSERT_NE(detached, nullptr);
    EXPECT_EQ(detached->GetName(), "A");
    EXPECT_FALSE(batch.RemoveCommand(3));
    EXPECT_TRUE(batch.RemoveCommand(0));
    EXPECT_EQ(batch.GetCommand(0)->GetName(), "C");
}

TEST(BatchCommandTest, CopiesAreDeepAndClearResultsReachesTheMembers) {
    CKelBatchCommand batch = ThreeMembers();
    batch.SetName("Copy me");
    batch.SetBatchType(BATCH_QUIET_SEND);
    CKelBatchCommand copy(batch);
    EXPECT_EQ(copy.GetName(), "Copy me");
    EXPECT_EQ(copy.GetBatchType(), BATCH_QUIET_SEND);
    EXPECT_EQ(copy.GetCode(), kQuietBatchCode);
    ASSERT_EQ(copy.GetCommandCount(), 3u);
    EXPECT_NE(copy.GetCommand(0), batch.GetCommand(0));
    EXPECT_EQ(copy.GetSendParameterCount(), 4u);
    EXPECT_EQ(copy.GetReturnParameterCount(), 3u);

    auto* read = static_cast<CKelStandardCommand*>(copy.GetCommand(2));
    read->Wire().SetValid(true);
    copy.SetAnswerReceived(true);
    copy.ClearResults();
    EXPECT_FALSE(copy.IsAnswerReceived());
    EXPECT_FALSE(read->Wire().IsValid());
}

CArchive Stored(const CKelBatchCommand& batch) {
    CArchive archive;
    const_cast<CKelBatchCommand&>(batch).Serialize(archive);
    return archive;
}

TEST(BatchArchiveTest, RoundTripKeepsTypeAndMembersOfEveryClass) {
    CKelBatchCommand batch = ThreeMembers();
    batch.SetName("Mixed");
    batch.SetBatchType(BATCH_QUIET_SEND);
    auto customer = std::make_unique<CKelCustomerCommand>();
    customer->SetCommand("Custom", 0x7A, 0, 0);
    customer->Parameters().AddSendParameter("value", TYPE_WORD, 2);
    batch.AppendCommand(std::move(customer));
    const std::vector<uint8_t> bytes = Stored(batch).TakeData();

    CArchive loading(bytes);
    CKelBatchCommand loaded;
    loaded.Serialize(loading);
    ASSERT_FALSE(loading.Failed());
    EXPECT_EQ(loaded.GetName(), "Mixed");
    EXPECT_EQ(loaded.GetBatchType(), BATCH_QUIET_SEND);
    ASSERT_EQ(loaded.GetCommandCount(), 4u);
    EXPECT_EQ(loaded.GetCommand(3)->GetRuntimeClass(), CKelCustomerCommand::StaticClass());
    EXPECT_EQ(Stored(loaded).Data(), bytes);
}

TEST(BatchArchiveTest, DamagedArchivesLeaveTheBatchAsItWas) {
    CKelBatchCommand source = ThreeMembers();
    const std::vector<uint8_t> bytes = Stored(source).TakeData();
    CKelBatchCommand target;
    target.SetName("Untouched");
    target.AppendCommand(MakeMember("Keep", 48));
    const std::vector<uint8_t> before = Stored(target).TakeData();
    for (size_t length = 0; length < bytes.size(); length += 7) {
        CArchive loading(std::span<const uint8_t>(bytes.data(), length));
        target.Serialize(loading);
        EXPECT_TRUE(loading.Failed()) << length;
        EXPECT_EQ(Stored(target).Data(), before) << length;
    }
}

TEST(BatchArchiveTest, ABatchInsideABatchIsAFormatError) {
    CKelBatchCommand outer;
    outer.AppendCommand(std::make_unique<CKelBatchCommand>());
    const std::vector<uint8_t> bytes = Stored(outer).TakeData();
    CArchive loading(bytes);
    CKelBatchCommand loaded;
    loaded.Serialize(loading);
    EXPECT_TRUE(loading.Failed());
    EXPECT_EQ(loaded.GetCommandCount(), 0u);
}

}  // namespace
}  // namespace kelcmd::testing

#include "command/parameter_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "command/parameter_types.h"
#include "transport/frame.h"

namespace kelcmd {
namespace {

std::vector<uint8_t> MessageData(const CKelCommand& command) {
    const FrameBuffer& message = command.GetMessageBuffer();
    return {message.begin() + kDataOffset,
            message.begin() + kDataOffset + command.GetMessageLength()};
}

// Puts an answer frame's data into the command as a reception would.
void Receive(CKelCommand& command, const std::vector<uint8_t>& data) {
    FrameBuffer& answer = command.GetAnswerBuffer();
    answer.fill(0);
    std::copy(data.begin(), data.end(), answer.begin() + kDataOffset);
    command.SetAnswerLength(static_cast<uint16_t>(data.size()));
    command.SetAnswerReceived(true);
}

TEST(ParameterCodecTest, BuildsHeaderValuesBigEndianAndFrame) {
    CKelCommand command;
    command.SetCommand("SetProfile", 33, 0, 0);
    ASSERT_EQ(command.SetDestination(3), 1);
    CParameterList list;
    list.AddSendParameter("profiletype", TYPE_BYTE, 1);
    list.AddSendParameter("accel", TYPE_FLOAT, 4);
    list.AddSendParameter("decel", TYPE_FLOAT, 4);
    const uint8_t type = 2;
    const float half = 0.5f;
    list.SetSendValue(0, &type, 1);
    list.SetSendValue(1, &half, 4);
    list.SetSendValue(2, &half, 4);

    ASSERT_TRUE(BuildParameterMessage(command, &list));
    EXPECT_EQ(MessageData(command), (std::vector<uint8_t>{0x02, 0x3F, 0, 0, 0, 0x3F, 0, 0, 0}));
    const FrameBuffer& message = command.GetMessageBuffer();
    EXPECT_EQ(message[0], 3);
    EXPECT_EQ(message[3], 0);
    EXPECT_EQ(message[4], 33);
    const uint16_t word = LengthWord(9);
    EXPECT_EQ(message[1], word >> 8);
    EXPECT_EQ(message[2], word & 0xFF);
    EXPECT_EQ(command.GetMessageCrc(),
              FrameCrc(std::span<const uint8_t>(message.data(), kHeaderSize + 9)));
    EXPECT_TRUE(command.IsMessageBuilt());
}

TEST(ParameterCodecTest, ValueWidthOtherThanTheTypesSendsTheTypesWidth) {
    CKelCommand command;
    CParameterList list;
    list.AddSendParameter("regmode", TYPE_BYTE, 1);
    list.AddSendParameter("position", TYPE_LINT, 4);
    const uint32_t wide = 0x00000102;
    const uint8_t narrow = 0x7F;
    list.SetSendValue(0, &wide, 4);    // the first byte goes: the low byte
    list.SetSendValue(1, &narrow, 1);  // zero-extended, never read past its buffer
    ASSERT_TRUE(BuildParameterMessage(command, &list));
    EXPECT_EQ(MessageData(command), (std::vector<uint8_t>{0x02, 0, 0, 0, 0x7F}));
}

TEST(ParameterCodecTest, ValuesBeyondTheFrameAreRefused) {
    CKelCommand command;
    CParameterList list;
    list.AddSendParameter("block", TYPE_BYTE_ARRAY, 1023);
    ASSERT_TRUE(BuildParameterMessage(command, &list));
    EXPECT_EQ(command.GetMessageLength(), 1023);

    list.AddSendParameter("one more", TYPE_BYTE, 1);
    CKelCommand second;
    EXPECT_FALSE(BuildParameterMessage(second, &list));
    EXPECT_FALSE(second.IsMessageBuilt());
}

TEST(ParameterCodecTest, DecodeWritesBoundVariablesWithExactlyTheParameterSize) {
    CKelCommand command;
    CParameterList list;
    list.AddReturnParameter("flags", TYPE_BITS8, 1);
    list.AddReturnParameter("duration", TYPE_LWORD, 4);
    list.AddReturnParameter("current", TYPE_INT, 2);
    // Guard bytes around each variable catch a write wider than the parameter.
    uint8_t flags[2] = {0xAA, 0xAA};
    uint32_t duration[2] = {0, 0xAAAAAAAA};
    int16_t current[2] = {0, 0x5555};
    list.BindReturnValue(0, &flags[0]);
    list.BindReturnValue(1, &duration[0]);
    list.BindReturnValue(2, &current[0]);

    Receive(command, {0x21, 0x00, 0x01, 0x02, 0x03, 0xFF, 0xFE});
    EXPECT_EQ(DecodeParameterAnswer(command, list), DecodeResult::kComplete);
    EXPECT_EQ(flags[0], 0x21);
    EXPECT_EQ(flags[1], 0xAA);
    EXPECT_EQ(duration[0], 0x00010203u);
    EXPECT_EQ(duration[1], 0xAAAAAAAAu);
    EXPECT_EQ(current[0], -2);
    EXPECT_EQ(current[1], 0x5555);
    EXPECT_TRUE(list.IsValid());
    EXPECT_EQ(list.GetReturnValue(1)[0], 0x03);  // installed in host order
}

TEST(ParameterCodecTest, DecodeStopsAtUnknownTypeAfterWritingEarlierVariables) {
    CKelCommand command;
    CParameterList list;
    list.AddReturnParameter("first", TYPE_WORD, 2);
    list.AddReturnParameter("strange", 14, 2);
    list.AddReturnParameter("last", TYPE_BYTE, 1);
    uint16_t first = 0;
    uint16_t strange = 0x7777;
    uint8_t last = 0x77;
    list.BindReturnValue(0, &first);
    list.BindReturnValue(1, &strange);
    list.BindReturnValue(2, &last);
    list.SetValid(true);

    Receive(command, {0x12, 0x34, 0x56, 0x78, 0x9A});
    EXPECT_EQ(DecodeParameterAnswer(command, list), DecodeResult::kStopped);
    EXPECT_EQ(first, 0x1234);
    EXPECT_EQ(strange, 0x7777);
    EXPECT_EQ(last, 0x77);
    EXPECT_FALSE(list.IsValid());
}

TEST(ParameterCodecTest, ValueBeyondTheAnswerAreaStopsWithoutWriting) {
    CKelCommand command;
    CParameterList list;
    list.AddReturnParameter("block", TYPE_BYTE_ARRAY, 2000);
    std::vector<uint8_t> target(2000, 0x33);
    list.BindReturnValue(0, target.data());
    Receive(command, {1, 2, 3});
    EXPECT_EQ(DecodeParameterAnswer(command, list), DecodeResult::kStopped);
    EXPECT_EQ(target[0], 0x33);
}

}  // namespace
}  // namespace kelcmd

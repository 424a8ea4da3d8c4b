#include "command/message_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "command/parameter_types.h"

namespace kelcmd {
namespace {

std::vector<uint8_t> Written(const FrameBuffer& message, const CMessageStream& stream) {
    return {message.begin() + kDataOffset, message.begin() + kDataOffset + stream.Count()};
}

template <class T>
std::vector<uint8_t> HostBytes(T value) {
    std::vector<uint8_t> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

TEST(MessageStreamTest, WritesMostSignificantByteFirst) {
    FrameBuffer message{};
    CMessageStream stream = CMessageStream::ForMessage(message);
    EXPECT_TRUE(stream.WriteFloat(1.0f));
    EXPECT_TRUE(stream.WriteInt(-2));
    EXPECT_TRUE(stream.WriteByte(0x7A));
    EXPECT_TRUE(stream.WriteWord(0xBEEF));
    EXPECT_TRUE(stream.WriteLWord(0x01020304));
    EXPECT_TRUE(stream.WriteLInt(-1));
    const std::vector<uint8_t> expected = {0x3F, 0x80, 0x00, 0x00, 0xFF, 0xFE, 0x7A, 0xBE, 0xEF,
                                           0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Written(message, stream), expected);
    EXPECT_EQ(stream.Count(), expected.size());
}

TEST(MessageStreamTest, WriteValueFollowsEachTypeRule) {
    FrameBuffer message{};
    CMessageStream stream = CMessageStream::ForMessage(message);
    stream.WriteValue(TYPE_BYTE, HostBytes<uint8_t>(0x81));
    stream.WriteValue(TYPE_WORD, HostBytes<uint16_t>(0x1234));
    stream.WriteValue(TYPE_INT, HostBytes<int16_t>(-2));
    stream.WriteValue(TYPE_LWORD, HostBytes<uint32_t>(0xA1B2C3D4));
    stream.WriteValue(TYPE_LINT, HostBytes<int32_t>(-300));
    stream.WriteValue(TYPE_FLOAT, HostBytes<float>(-2.5f));
    stream.WriteValue(TYPE_BITS16, HostBytes<uint16_t>(0x8001));
    stream.WriteValue(TYPE_BITS32, HostBytes<uint32_t>(0x00000010));
    stream.WriteValue(TYPE_BOOL, HostBytes<uint8_t>(1));
    stream.WriteValue(TYPE_BYTE_ARRAY, std::vector<uint8_t>{1, 2, 3});
    stream.WriteValue(TYPE_INT_ARRAY, std::vector<uint8_t>{4, 5});  // stored bytes unchanged
    stream.WriteValue(42, std::vector<uint8_t>{6});                 // unknown: bytes unchanged
    ASSERT_FALSE(stream.Failed());
    const std::vector<uint8_t> expected = {
        0x81, 0x12, 0x34, 0xFF, 0xFE, 0xA1, 0xB2, 0xC3, 0xD4, 0xFF, 0xFF, 0xFE, 0xD4, 0xC0, 0x20,
        0x00, 0x00, 0x80, 0x01, 0x00, 0x00, 0x00, 0x10, 0x01, 1,    2,    3,    4,    5,    6};
    EXPECT_EQ(Written(message, stream), expected);
}

TEST(MessageStreamTest, ReadsEachTypeFromTheAnswer) {
    FrameBuffer answer{};
    const uint8_t data[] = {0xFF, 0xFE, 0xC0, 0x20, 0x00, 0x00, 0xFF, 0xFF,
                            0xFE, 0xD4, 0x80, 0x01, 0x2A, 0x12, 0x34};
    std::memcpy(answer.data() + kDataOffset, data, sizeof data);
    CMessageStream stream = CMessageStream::ForAnswer(answer);
    EXPECT_EQ(stream.ReadInt(), -2);
    EXPECT_EQ(stream.ReadFloat(), -2.5f);

    int32_t lint = 0;
    uint16_t bits = 0;
    uint8_t byte = 0;
    EXPECT_TRUE(stream.ReadValue(TYPE_LINT, {reinterpret_cast<uint8_t*>(&lint), 4}));
    EXPECT_TRUE(stream.ReadValue(TYPE_BITS16, {reinterpret_cast<uint8_t*>(&bits), 2}));
    EXPECT_TRUE(stream.ReadValue(TYPE_BITS8, {&byte, 1}));
    EXPECT_EQ(lint, -300);
    EXPECT_EQ(bits, 0x8001);
    EXPECT_EQ(byte, 0x2A);
    EXPECT_EQ(stream.ReadWord(), 0x1234);
    EXPECT_EQ(stream.Position(), sizeof data);

    uint8_t unknown = 0;
    EXPECT_FALSE(stream.ReadValue(14, {&unknown, 1}));
    EXPECT_TRUE(stream.Failed());
}

TEST(MessageStreamTest, IntArrayReadsAtMost511Values) {
    FrameBuffer answer{};
    for (size_t i = 0; i < kDataAreaSize; ++i) answer[kDataOffset + i] = static_cast<uint8_t>(i);
    std::vector<uint8_t> value(2000, 0xAA);
    CMessageStream stream = CMessageStream::ForAnswer(answer);
    ASSERT_TRUE(stream.ReadValue(TYPE_INT_ARRAY, value));
    EXPECT_EQ(stream.Position(), 1022u);

    int16_t first = 0, last = 0;
    std::memcpy(&first, value.data(), 2);
    std::memcpy(&last, value.data() + 1020, 2);
    EXPECT_EQ(first, 0x0001);
    EXPECT_EQ(last, static_cast<int16_t>(0xFCFD));  // bytes 1020, 1021 as 0xFC, 0xFD
    EXPECT_EQ(value[1022], 0xAA);                   // values beyond 511 are left alone
    EXPECT_EQ(value[1999], 0xAA);
}

TEST(MessageStreamTest, NeverReadsPastTheDataArea) {
    FrameBuffer answer{};
    answer[kCrcOffset] = 0x55;  // the byte right behind the data area
    CMessageStream stream = CMessageStream::ForAnswer(answer);
    std::vector<uint8_t> all(kDataAreaSize - 1);
    ASSERT_TRUE(stream.ReadBytes(all));
    EXPECT_EQ(stream.ReadWord(), 0);  // one byte left, two asked
    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(stream.Position(), kDataAreaSize - 1);

    CMessageStream arrays = CMessageStream::ForAnswer(answer);
    std::vector<uint8_t> skip(1020);
    arrays.ReadBytes(skip);
    std::vector<uint8_t> value(10, 0xAA);
    EXPECT_FALSE(arrays.ReadValue(TYPE_INT_ARRAY, value));
    EXPECT_EQ(value, std::vector<uint8_t>(10, 0xAA));

    CMessageStream limited = CMessageStream::ForAnswer(answer, 3);
    EXPECT_EQ(limited.ReadWord(), 0);
    EXPECT_EQ(limited.ReadWord(), 0);
    EXPECT_TRUE(limited.Failed());

    CMessageStream beyond = CMessageStream::ForAnswer(answer, 5000);
    EXPECT_EQ(beyond.Remaining(), kDataAreaSize);
}

TEST(MessageStreamTest, NeverWritesMoreThanAFrameCarries) {
    FrameBuffer message{};
    CMessageStream stream = CMessageStream::ForMessage(message);
    std::vector<uint8_t> block(1022, 0x11);
    ASSERT_TRUE(stream.WriteBytes(block));
    EXPECT_FALSE(stream.WriteWord(0x2222));
    EXPECT_EQ(stream.Count(), 1022);
    EXPECT_EQ(message[kDataOffset + 1022], 0);
    EXPECT_FALSE(stream.WriteByte(1));  // failed streams stay failed
}

TEST(MessageStreamTest, StructuresAreRawWithoutALayout) {
    // The system parameter family installs its layout when the library loads: keep it aside.
    struct Layout {
        std::shared_ptr<const StructureLayout> saved = GetStructureLayout(TYPE_SYSPARAM);
        ~Layout() { SetStructureLayout(TYPE_SYSPARAM, saved ? *saved : StructureLayout{}); }
    } restore;
    SetStructureLayout(TYPE_SYSPARAM, {});
    // Host structure: Byte 0x01, Byte 0x02, Int 0x0304, LInt 0x05060708, then 2 raw bytes.
    std::vector<uint8_t> host = {0x01, 0x02};
    for (auto part : {HostBytes<int16_t>(0x0304), HostBytes<int32_t>(0x05060708)}) {
        host.insert(host.end(), part.begin(), part.end());
    }
    host.push_back(0xAA);
    host.push_back(0xBB);

    FrameBuffer message{};
    CMessageStream raw = CMessageStream::ForMessage(message);
    raw.WriteValue(TYPE_SYSPARAM, host);
    EXPECT_EQ(Written(message, raw), host);

    EXPECT_FALSE(SetStructureLayout(TYPE_SYSPARAM, {1, 3}));
    EXPECT_FALSE(SetStructureLayout(TYPE_INT, {1}));
    ASSERT_TRUE(SetStructureLayout(TYPE_SYSPARAM, {1, 1, 2, 4}));
    CMessageStream fields = CMessageStream::ForMessage(message);
    fields.WriteValue(TYPE_SYSPARAM, host);
    const std::vector<uint8_t> wire = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0xAA, 0xBB};
    EXPECT_EQ(Written(message, fields), wire);

    std::vector<uint8_t> back(host.size());
    CMessageStream reader = CMessageStream::Reader(wire);
    ASSERT_TRUE(reader.ReadValue(TYPE_SYSPARAM, back));
    EXPECT_EQ(back, host);
}

TEST(MessageStreamTest, ByteOrderHelpers) {
    EXPECT_EQ(CMessageStream::Swap16(0x1234), 0x3412);
    EXPECT_EQ(CMessageStream::Reverse32(0x01020304), 0x04030201u);
}

TEST(ParameterTypesTest, BatchNamesDifferOnlyForTheCompositeTypes) {
    EXPECT_EQ(ParameterTypeName(TYPE_INT_ARRAY), "Int[N]");
    EXPECT_EQ(ParameterTypeBatchName(TYPE_INT_ARRAY), "RecordedData");
    EXPECT_EQ(ParameterTypeBatchName(TYPE_BOOL), "Boolean");
    EXPECT_EQ(ParameterTypeBatchName(TYPE_BITS32), "Bits32");
    EXPECT_EQ(ParameterTypeName(14), "");
    EXPECT_EQ(ParameterTypeFromName("bits16"), std::nullopt);
    EXPECT_EQ(ParameterTypeSize(TYPE_SYSPARAM_EX), 256u);
}

}  // namespace
}  // namespace kelcmd

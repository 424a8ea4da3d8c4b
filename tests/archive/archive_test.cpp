#include "archive/archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelcmd {
namespace {

std::vector<uint8_t> StoredString(size_t length) {
    CArchive out;
    out.WriteString(std::string(length, 'x'));
    return out.TakeData();
}

TEST(ArchiveTest, IntegersAreLittleEndian) {
    CArchive out;
    out.WriteU8(0x12);
    out.WriteU16(0x3456);
    out.WriteU32(0x789ABCDE);
    out.WriteI32(-2);
    out.WriteFloat(1.0f);
    const std::vector<uint8_t> expected = {0x12, 0x56, 0x34, 0xDE, 0xBC, 0x9A, 0x78, 0xFE,
                                           0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F};
    ASSERT_EQ(out.Data(), expected);

    CArchive in(out.Data());
    EXPECT_TRUE(in.IsLoading());
    EXPECT_EQ(in.ReadU8(), 0x12);
    EXPECT_EQ(in.ReadU16(), 0x3456);
    EXPECT_EQ(in.ReadU32(), 0x789ABCDEu);
    EXPECT_EQ(in.ReadI32(), -2);
    EXPECT_EQ(in.ReadFloat(), 1.0f);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_FALSE(in.Failed());
}

TEST(ArchiveTest, StringLengthFormsAtTheirBoundaries) {
    struct Case {
        size_t length;
        std::vector<uint8_t> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::vector<uint8_t> bytes = StoredString(c.length);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length);
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin()));

        CArchive in(bytes);
        EXPECT_EQ(in.ReadString(), std::string(c.length, 'x'));
        EXPECT_FALSE(in.Failed());
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST(ArchiveTest, EveryTruncationFailsWithZerosAndNeverCrashes) {
    CArchive out;
    out.WriteU32(0xDEADBEEF);
    out.WriteString(std::string(300, 'y'));
    out.WriteU16(0x1234);
    const std::vector<uint8_t> full = out.TakeData();

    for (size_t cut = 0; cut < full.size(); ++cut) {
        SCOPED_TRACE(cut);
        CArchive in(std::span<const uint8_t>(full.data(), cut));
        in.ReadU32();
        in.ReadString();
        const uint16_t last = in.ReadU16();
        EXPECT_TRUE(in.Failed());
        EXPECT_EQ(last, 0);
    }
}

TEST(ArchiveTest, AfterAFailureEveryReadYieldsZero) {
    const std::vector<uint8_t> bytes = {0x05, 'a', 'b', 0x11};  // claims 5 characters, has 3
    CArchive in(bytes);
    EXPECT_EQ(in.ReadString(), "");
    EXPECT_TRUE(in.Failed());
    EXPECT_EQ(in.ReadU8(), 0);  // bytes remain, but the archive has failed
    std::vector<uint8_t> out = {9, 9};
    EXPECT_FALSE(in.ReadBytes(out, 1));
    EXPECT_EQ(out, (std::vector<uint8_t>{9, 9}));
}

TEST(ArchiveTest, HugeClaimedLengthsFailWithoutAllocating) {
    // 0xFF, 0xFFFF, then a 32-bit length of 4 GiB - 1 with three bytes behind it.
    const std::vector<uint8_t> bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'};
    CArchive in(bytes);
    EXPECT_EQ(in.ReadString(), "");
    EXPECT_TRUE(in.Failed());

    CArchive raw(bytes);
    std::vector<uint8_t> out;
    EXPECT_FALSE(raw.ReadBytes(out, size_t{1} << 40));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(raw.Failed());
}

}  // namespace
}  // namespace kelcmd

#include "command/parameter_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "command/parameter_types.h"

namespace kelcmd {
namespace {

std::vector<uint8_t> Bytes(std::span<const uint8_t> span) {
    return {span.begin(), span.end()};
}

std::vector<uint8_t> Store(CParameterList& list) {
    CArchive archive;
    list.Serialize(archive);
    return archive.TakeData();
}

CParameterList SampleList() {
    CParameterList list;
    list.AddSendParameter("position", TYPE_LINT, 4);
    list.AddSendParameter("option", TYPE_BYTE, 1);
    list.AddReturnParameter("flags", TYPE_BITS8, 1);
    list.AddReturnParameter("duration", TYPE_LWORD, 4);
    const int32_t position = -1000;
    list.SetSendValue(0, &position, 4);
    const uint8_t option = 7;
    list.SetSendValue(1, &option, 1);
    return list;
}

TEST(ParameterListTest, AddGivesZeroedBuffersAndStopsAt255) {
    CParameterList list;
    for (int i = 0; i < 255; ++i) ASSERT_EQ(list.AddSendParameter("p", TYPE_WORD, 2), 1);
    EXPECT_EQ(list.AddSendParameter("one too many", TYPE_WORD, 2), 0);
    EXPECT_EQ(list.GetSendCount(), 255);
    EXPECT_EQ(Bytes(list.GetSendValue(0)), (std::vector<uint8_t>{0, 0}));
    int variable = 0;
    list.BindReturnValue(0, &variable);  // beyond the return count: nothing
    EXPECT_EQ(list.GetReturnBinding(0), nullptr);
}

TEST(ParameterListTest, ChangeTypeKeepsTheLeadingBytes) {
    CParameterList list;
    list.AddSendParameter("value", TYPE_LWORD, 4);
    const uint8_t bytes[] = {1, 2, 3, 4};
    list.SetSendValue(0, bytes, 4);

    ASSERT_EQ(list.ChangeSendType(0, TYPE_WORD, 2), 1);
    EXPECT_EQ(list.GetSendType(0), TYPE_WORD);
    EXPECT_EQ(Bytes(list.GetSendValue(0)), (std::vector<uint8_t>{1, 2}));

    ASSERT_EQ(list.ChangeSendType(0, TYPE_FLOAT, 4), 1);
    EXPECT_EQ(Bytes(list.GetSendValue(0)), (std::vector<uint8_t>{1, 2, 0, 0}));
}

TEST(ParameterListTest, ArchiveRoundTripDropsBindingsAndValidFlag) {
    CParameterList list = SampleList();
    uint8_t flags = 0;
    list.BindReturnValue(0, &flags);
    list.SetValid(true);
    const std::vector<uint8_t> stored = Store(list);
    // send count, reserved word, then "position": name, type, size, value.
    const std::vector<uint8_t> head = {2,   0,   0,   0,    0,    8,    'p',       'o',
                                       's', 'i', 't', 'i',  'o',  'n',  TYPE_LINT, 4,
                                       0,   0,   0,   0x18, 0xFC, 0xFF, 0xFF};
    ASSERT_GE(stored.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), stored.begin()));

    CParameterList loaded;
    CArchive reader(stored);
    loaded.Serialize(reader);
    ASSERT_FALSE(reader.Failed());
    EXPECT_EQ(Store(loaded), stored);
    EXPECT_EQ(loaded.GetReturnBinding(0), nullptr);
    EXPECT_FALSE(loaded.IsValid());
}

TEST(ParameterListTest, ReturnCountZeroLoadsWithoutReturnsAndInvalid) {
    CParameterList stored;
    stored.AddSendParameter("timeout", TYPE_LWORD, 4);
    const std::vector<uint8_t> bytes = Store(stored);

    CParameterList loaded = SampleList();
    loaded.SetValid(true);
    CArchive reader(bytes);
    loaded.Serialize(reader);
    ASSERT_FALSE(reader.Failed());
    EXPECT_EQ(loaded.GetSendCount(), 1);
    EXPECT_EQ(loaded.GetReturnCount(), 0);
    EXPECT_FALSE(loaded.IsValid());
}

TEST(ParameterListTest, EveryTruncationFailsAndLeavesTheListUnchanged) {
    CParameterList source = SampleList();
    const std::vector<uint8_t> stored = Store(source);
    for (size_t length = 0; length < stored.size(); ++length) {
        CParameterList target;
        target.AddSendParameter("keep", TYPE_WORD, 2);
        const std::vector<uint8_t> before = Store(target);
        CArchive reader(std::span<const uint8_t>(stored.data(), length));
        target.Serialize(reader);
        EXPECT_TRUE(reader.Failed()) << "length " << length;
        EXPECT_EQ(Store(target), before) << "length " << length;
    }
}

TEST(ParameterListTest, HostileSizeFailsWithoutAllocating) {
    // One send parameter claiming 4 GiB of value bytes.
    std::vector<uint8_t> bytes = {1,    0,    0,    0,    0, 1, 'x', TYPE_BYTE_ARRAY,
                                  0xFF, 0xFF, 0xFF, 0xFF, 1};
    CParameterList list;
    CArchive reader(bytes);
    list.Serialize(reader);
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(list.GetSendCount(), 0);

    // A count of 255 parameters with no bytes behind it.
    std::vector<uint8_t> counted = {255, 0, 0, 0, 0};
    CArchive reader2(counted);
    list.Serialize(reader2);
    EXPECT_TRUE(reader2.Failed());
}

}  // namespace
}  // namespace kelcmd

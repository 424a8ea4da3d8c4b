#include "command/structure_definition.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace kelcmd {
namespace {

CStructureDefinition ByteWordByteLInt() {
    return CStructureDefinition("Mixed", {{"a", ELEMENT_BYTE, 1},
                                          {"b", ELEMENT_WORD, 1},
                                          {"c", ELEMENT_BYTE, 1},
                                          {"d", ELEMENT_LINT, 1}});
}

std::vector<uint64_t> Offsets(const CStructureDefinition& definition, bool aligned) {
    std::vector<uint64_t> offsets;
    for (const ElementPlacement& placement : definition.Layout(aligned)) {
        offsets.push_back(placement.offset);
    }
    return offsets;
}

TEST(StructureLayoutTest, AlignedPadsMultiByteElementsToEvenOffsets) {
    const CStructureDefinition definition = ByteWordByteLInt();
    EXPECT_EQ(Offsets(definition, true), (std::vector<uint64_t>{0, 2, 4, 6}));
    EXPECT_EQ(definition.Size(true), 10u);
    EXPECT_EQ(Offsets(definition, false), (std::vector<uint64_t>{0, 1, 3, 4}));
    EXPECT_EQ(definition.Size(false), 8u);
}

TEST(StructureLayoutTest, AlignedTotalIsEven) {
    CStructureDefinition one("One", {{"b", ELEMENT_BYTE, 1}});
    EXPECT_EQ(one.Size(true), 2u);
    EXPECT_EQ(one.Size(false), 1u);
    one.Elements().push_back({"f", ELEMENT_FLOAT, 1});
    EXPECT_EQ(one.Size(true), 6u);

    CStructureDefinition words("Words", {{"w", ELEMENT_WORD, 511}});
    EXPECT_EQ(words.Size(true), 1022u);
    words.Elements().push_back({"x", ELEMENT_BYTE, 1});
    EXPECT_EQ(words.Size(true), 1024u);
}

TEST(StructureLayoutTest, HugeCountsDoNotWrap) {
    CStructureDefinition huge("Huge",
                              {{"a", ELEMENT_LWORD, 0xFFFFFFFF}, {"b", ELEMENT_LWORD, 0xFFFFFFFF}});
    EXPECT_GT(huge.Size(false), uint64_t{0xFFFFFFFF});
    CStructureData data(huge, true);
    EXPECT_EQ(data.GetImage().size(), CStructureData::kMaxImageSize);
    EXPECT_FALSE(data.SetRaw(1, 0, 1));  // lies beyond any image
    EXPECT_EQ(data.GetRaw(0, 0xFFFFFFFE), 0u);
}

TEST(StructureDataTest, ValuesGoIntoTheImageMostSignificantByteFirst) {
    CStructureData data(ByteWordByteLInt(), true);
    ASSERT_EQ(data.GetImage().size(), 10u);
    EXPECT_TRUE(data.SetNumber(0, 0, 0x11));
    EXPECT_TRUE(data.SetNumber(1, 0, 0x2233));
    EXPECT_TRUE(data.SetNumber(2, 0, 0x44));
    EXPECT_TRUE(data.SetNumber(3, 0, -2));
    EXPECT_EQ(data.GetImage(),
              (std::vector<uint8_t>{0x11, 0, 0x22, 0x33, 0x44, 0, 0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(data.GetNumber(3, 0), -2.0);
}

TEST(StructureDataTest, ShortImageClearsElementsThatDoNotFitAndIgnoresSurplus) {
    CStructureData data(ByteWordByteLInt(), true);
    data.SetNumber(3, 0, 1234);
    data.LoadImage(std::vector<uint8_t>{1, 0, 2, 3, 4, 0, 5, 6}, true);  // d needs 6..9
    EXPECT_EQ(data.GetNumber(0, 0), 1);
    EXPECT_EQ(data.GetNumber(1, 0), 0x0203);
    EXPECT_EQ(data.GetNumber(2, 0), 4);
    EXPECT_EQ(data.GetNumber(3, 0), 0);

    data.LoadImage(std::vector<uint8_t>(50, 0xAB), false);
    EXPECT_EQ(data.GetImage().size(), 8u);
    EXPECT_EQ(data.GetNumber(3, 0), static_cast<int32_t>(0xABABABAB));
}

TEST(StructureStreamTest, RoundTripAndWireForm) {
    const CStructureDefinition definition = ByteWordByteLInt();
    const std::vector<uint8_t> stream = definition.ToStream();
    ASSERT_GE(stream.size(), 10u);
    EXPECT_EQ(stream[0], 5);  // "Mixed"
    EXPECT_EQ(std::vector<uint8_t>(stream.begin() + 6, stream.begin() + 10),
              (std::vector<uint8_t>{4, 0, 0, 0}));
    EXPECT_EQ(stream.size(), 10u + 4 * (2 + 4 + 4));

    CStructureDefinition loaded;
    ASSERT_TRUE(loaded.FromStream(stream));
    EXPECT_EQ(loaded, definition);
}

TEST(StructureStreamTest, HostileElementCountFailsAndKeepsTheDefinition) {
    // Name "S", then 0xFFFFFFFF elements, with only one element's bytes behind it.
    std::vector<uint8_t> stream = {1, 'S', 0xFF, 0xFF, 0xFF, 0xFF, 1, 'e', 0, 0, 0, 0, 1, 0, 0, 0};
    CStructureDefinition definition = ByteWordByteLInt();
    EXPECT_FALSE(definition.FromStream(stream));
    EXPECT_EQ(definition, ByteWordByteLInt());
}

TEST(StructureStreamTest, TruncationsAndUnknownTypesFail) {
    const std::vector<uint8_t> stream = ByteWordByteLInt().ToStream();
    for (size_t length = 0; length < stream.size(); ++length) {
        CStructureDefinition definition("Before");
        EXPECT_FALSE(definition.FromStream(std::span<const uint8_t>(stream.data(), length)));
        EXPECT_EQ(definition.GetName(), "Before");
    }
    std::vector<uint8_t> unknown = {0, 1, 0, 0, 0, 1, 'x', 10, 0, 0, 0, 1, 0, 0, 0};
    CStructureDefinition definition;
    EXPECT_FALSE(definition.FromStream(unknown));
}

}  // namespace
}  // namespace kelcmd

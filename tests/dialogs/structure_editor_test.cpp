// The structure editor's rules: names, the size limit on every change, ".usp" files and the
// value texts.
#include <gtest/gtest.h>

#include "command/command_files.h"
#include "dialogs/structures/structure_editing.h"

namespace kelcmd::dialogs {
namespace {

TEST(StructureEditor, AddingChecksNameAndSize) {
    StructureEditor editor(CStructureDefinition("S", {{"a", ELEMENT_BYTE, 1}}), 1023, true);
    EXPECT_EQ(editor.Size(), 2u);
    EXPECT_EQ(editor.Add({"f", ELEMENT_FLOAT, 1}), "");
    EXPECT_EQ(editor.Size(), 6u);
    EXPECT_EQ(editor.Add({"a", ELEMENT_WORD, 1}), "Name already exists!");
    EXPECT_EQ(editor.Add({"", ELEMENT_WORD, 1}), "Enter a name!");

    StructureEditor full(CStructureDefinition("W", {{"w", ELEMENT_WORD, 511}}), 1023, true);
    EXPECT_EQ(full.Size(), 1022u);
    EXPECT_EQ(full.Add({"b", ELEMENT_BYTE, 1}), "Structure is too long! (Max. 1023 bytes)");
    EXPECT_EQ(full.Definition().GetElementCount(), 1u);
}

TEST(StructureEditor, MovingAndLoadingKeepWithinTheLimit) {
    // 1 + pad + 1020 + 1 = 1023, padded to 1024 when the Byte moves in front of the Words.
    StructureEditor editor(
        CStructureDefinition(
            "S", {{"w", ELEMENT_WORD, 510}, {"a", ELEMENT_BYTE, 1}, {"b", ELEMENT_BYTE, 1}}),
        1022, true);
    EXPECT_EQ(editor.Size(), 1022u);
    EXPECT_EQ(editor.MoveUp(1), "Structure is too long! (Max. 1022 bytes)");
    EXPECT_EQ(editor.Definition().GetElements()[0].name, "w");
    EXPECT_EQ(editor.MoveDown(1), "");
    EXPECT_EQ(editor.Definition().GetElements()[2].name, "a");

    const std::vector<uint8_t> big =
        StoreStructureBytes(CStructureDefinition("Big", {{"x", ELEMENT_LWORD, 300}}));
    EXPECT_EQ(editor.Load(big), "Structure is too long! (Max. 1022 bytes)");
    EXPECT_EQ(editor.Definition().GetName(), "S");
    std::vector<uint8_t> old = StoreStructureBytes(CStructureDefinition("Old"));
    old[5] ^= 1;  // a character of the version text
    EXPECT_EQ(editor.Load(old), "File Version is too old!");
    EXPECT_NE(editor.Load(std::vector<uint8_t>{1, 2, 3}), "");
    const std::vector<uint8_t> small =
        StoreStructureBytes(CStructureDefinition("Small", {{"x", ELEMENT_INT, 2}}));
    EXPECT_EQ(editor.Load(small), "");
    EXPECT_EQ(editor.Store(), small);
}

TEST(StructureEditor, ValueTexts) {
    struct Row {
        uint32_t type;
        uint32_t raw;
        std::string text;
    };
    const std::vector<Row> rows = {
        {ELEMENT_BITS8, 0xA5, " | 1010 | 0101 | "},
        {ELEMENT_BITS16, 0x8001, " | 1000 | 0000 | 0000 | 0001 | "},
        {ELEMENT_BOOL, 1, "TRUE"},
        {ELEMENT_BOOL, 0, "FALSE"},
        {ELEMENT_BOOL, 2, "not valid"},
        {ELEMENT_INT, 0xFFFF, "-1"},
        {ELEMENT_WORD, 0xFFFF, "65535"},
        {ELEMENT_FLOAT, 0x3FC00000, "1.500000"},
    };
    for (const Row& row : rows) EXPECT_EQ(ItemValueText(row.type, row.raw), row.text);
    EXPECT_EQ(RawToBytes(ELEMENT_LINT, 0x01020304), (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(BytesToRaw(std::vector<uint8_t>{0x34, 0x12}), 0x1234u);
}

}  // namespace
}  // namespace kelcmd::dialogs

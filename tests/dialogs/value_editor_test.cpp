// The generic value editors: range checks with their messages and corrections, and the bit sets.
#include "command/parameter_types.h"
#include "dialog_test_support.h"
#include "dialogs/editors/value_editors.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::testing {
namespace {

struct NumberCase {
    uint8_t type;
    std::string typed;
    std::string message;  // empty: accepted
    std::string fieldAfter;
    std::vector<uint8_t> value;  // accepted value in memory order
};

TEST_F(DialogTest, NumberEditorChecksTheTypeRange) {
    const std::vector<NumberCase> cases = {
        {TYPE_BYTE, "255", "", "255", {0xFF}},
        {TYPE_BYTE, "256", "Type range exceeded", "0", {}},
        {TYPE_BYTE, "-1", "Type range exceeded", "0", {}},
        {TYPE_WORD, "65536", "Type range exceeded", "0", {}},
        {TYPE_LWORD, "4294967295", "", "4294967295", {0xFF, 0xFF, 0xFF, 0xFF}},
        {TYPE_LWORD, "4294967296", "Type range exceeded", "0", {}},
        {TYPE_INT, "40000", "Type range exceeded", "-32768", {}},
        {TYPE_INT, "-32768", "", "-32768", {0x00, 0x80}},
        {TYPE_LINT, "-2147483649", "Type range exceeded", "-32768", {}},
        {TYPE_LINT, "12x", "Please enter an integer.", "12x", {}},
        {TYPE_FLOAT, "2.5", "", "2.5", {0x00, 0x00, 0x20, 0x40}},
        {TYPE_FLOAT, "1e99", "Please enter a number.", "1e99", {}},
        {TYPE_SYSPARAM, "1", "Data Type failure", "1", {}},
    };
    for (const NumberCase& row : cases) {
        RecordingPrompt prompt;
        dialogs::NumberEditorDialog editor("value", row.type, {0, 0, 0, 0});
        Type(editor, "value", row.typed);
        Click(editor, "ok");
        const bool accepted = row.message.empty();
        EXPECT_EQ(editor.result() == QDialog::Accepted, accepted) << row.typed;
        EXPECT_EQ(prompt.messages,
                  accepted ? std::vector<std::string>{} : std::vector<std::string>{row.message})
            << row.typed;
        EXPECT_EQ(Text(editor, "value"), row.fieldAfter) << row.typed;
        if (accepted) {
            EXPECT_EQ(editor.Value(), row.value) << row.typed;
        }
    }
}

TEST_F(DialogTest, BitsEditorsShowOneBoxPerBit) {
    const std::vector<std::tuple<uint8_t, int, std::vector<uint8_t>>> cases = {
        {TYPE_BITS8, 8, {0x81}},
        {TYPE_BITS16, 16, {0x01, 0x80}},
        {TYPE_BITS32, 32, {1, 0, 0, 0x80}}};
    for (const auto& [type, bits, expected] : cases) {
        dialogs::BitsEditorDialog editor("flags", type, std::vector<uint8_t>(expected.size()));
        EXPECT_EQ(editor.findChildren<QCheckBox*>().size(), bits);
        Click(editor, "bit_0");
        Click(editor, ("bit_" + std::to_string(bits - 1)).c_str());
        Click(editor, "ok");
        EXPECT_EQ(editor.Value(), expected);
    }
    dialogs::BoolEditorDialog check("enabled", {1});
    EXPECT_TRUE(Checked(check, "value"));
    Click(check, "value");
    Click(check, "ok");
    EXPECT_EQ(check.Value(), std::vector<uint8_t>{0});
}

}  // namespace
}  // namespace kelcmd::testing

// The motion control, RS232 input/output and system parameter dialogs driven against a simulated
// unit: the requests that reach it, what the dialogs show, and what the exports return.
#include <QComboBox>

#include "api/families.h"
#include "api/family_test_support.h"
#include "dialog_test_support.h"
#include "dialogs/toolkit/command_runner.h"
#include "kelcmd/kelcmd_dialogs.h"

namespace kelcmd::testing {
namespace {

using Dialog = int32_t (*)(const char*, uint8_t);

struct Answer {
    uint8_t code;
    std::vector<uint8_t> data;
};

struct FamilyDialogCase {
    const char* name;
    Dialog dialog;
    std::vector<Answer> answers;
    std::vector<ModalScript::Step> steps;
    int32_t result;
    std::vector<WireRequest> requests;
    std::vector<std::string> titles;
    std::vector<std::string> messages = {};
};

void PrintTo(const FamilyDialogCase& row, std::ostream* out) {
    *out << row.name;
}

void Choose(QDialog& dialog, const char* list, int index) {
    Find<QComboBox>(dialog, list).setCurrentIndex(index);
}

// Presses "&OK" on a form whose check refuses it, then cancels.
ModalScript::Step Refused(std::function<void(QDialog&)> fill) {
    return [fill](QDialog& dialog) {
        fill(dialog);
        Click(dialog, "ok");
        EXPECT_TRUE(dialog.isVisible());
        Click(dialog, "cancel");
    };
}

const std::vector<FamilyDialogCase>& Cases() {
    static const std::vector<FamilyDialogCase> cases = {
        {"MoveAbsoluteSendsOnlyThePosition",
         MP_MoveAbsoluteDlg,
         {{36, {}}},
         {Ok([](QDialog& d) {
             Type(d, "position", "1000");
             Type(d, "timeout", "5000");
         })},
         1,
         {{1, 36, {0x00, 0x00, 0x03, 0xE8}}},
         {"MoveAbsolute"}},
        {"MoveAbsoluteInfoShowsDurationAndFlags",
         MP_MoveAbsoluteInfoDlg,
         {{36, {0x05, 0x00, 0x00, 0x01, 0xF4}}},
         {Ok([](QDialog& d) { Type(d, "position", "-2"); }), Ok([](QDialog& d) {
              EXPECT_EQ(Text(d, "duration"), "500");
              EXPECT_TRUE(Checked(d, "done") && Checked(d, "trapez"));
              EXPECT_FALSE(Checked(d, "overshoot") || Checked(d, "lolimit"));
          })},
         1,
         {{1, 36, {0xFF, 0xFF, 0xFF, 0xFE, 0x00}}},
         {"MoveAbsolute", "MoveAbsoluteInfo"}},
        {"FindHomeExSendsItsWholeBlock",
         MP_FindHomeExDlg,
         {{42, {}}},
         {Ok([](QDialog& d) {
             Choose(d, "type_of_home_procedure", 3);
             Type(d, "home_velocity", "2.5");
             Type(d, "current_threshold_for_home", "300");
             Type(d, "home_offset_position", "-10");
             Type(d, "home_position", "1234");
             Type(d, "timeout", "7000");
         })},
         1,
         {{1,
           42,
           {0x04, 0x01, 0x2C, 0x40, 0x20, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xF6, 0x00, 0x00, 0x1B,
            0x58, 0x00, 0x00, 0x04, 0xD2}}},
         {"FindHomeEx"}},
        {"CancelledFindHomeSendsNothing",
         MP_FindHomeDlg,
         {{42, {}}},
         {Cancel()},
         0,
         {},
         {"FindHome"}},
        {"ReadIndexDistance",
         MP_ReadIndexDistanceDlg,
         {{46, {0x00, 0x00, 0x01, 0x00}}},
         {Ok([](QDialog& d) { EXPECT_EQ(Text(d, "index_distance"), "256"); })},
         1,
         {{1, 46, {}}},
         {"ReadIndexDistance"}},
        {"EditProfileReadsThenWrites",
         MP_EditProfileDlg,
         {{47, {0x02, 0x3F, 0x00, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00, 0x41, 0x20, 0x00, 0x00}},
          {33, {}}},
         {Ok([](QDialog& d) {
             EXPECT_TRUE(Checked(d, "sinusoidal_acceleration"));
             EXPECT_EQ(Text(d, "deceleration"), "1");
             Type(d, "acceleration", "0.25");
         })},
         1,
         {{1, 47, {}}, {1, 33, {0x02, 0x3E, 0x80, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00}}},
         {"SetProfile"}},
        {"EditPosVelocityWritesTheCeiling",
         MP_EditPosVelocityDlg,
         {{47, {0x01, 0x3F, 0x00, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00, 0x41, 0x20, 0x00, 0x00}},
          {34, {}}},
         {Ok([](QDialog& d) { EXPECT_EQ(Text(d, "ceiling_velocity"), "10"); })},
         1,
         {{1, 47, {}}, {1, 34, {0x41, 0x20, 0x00, 0x00}}},
         {"SetPosVelocity"}},
        {"EditProfileCancelledWritesNothing",
         MP_EditProfileDlg,
         {{47, std::vector<uint8_t>(13, 0)}},
         {Cancel()},
         0,
         {{1, 47, {}}},
         {"SetProfile"}},

        {"PutNumberWidthTooShortSendsNothing",
         MP_PutWord_DecDlg,
         {},
         {Refused([](QDialog& d) {
             Type(d, "data", "12345");
             Type(d, "number_of_digits", "4");
         })},
         0,
         {},
         {"PutWord_Dec"},
         {"Width is too short!"}},
        {"PutNumberRefusesText",
         MP_PutLong_DecDlg,
         {},
         {Refused([](QDialog& d) { Type(d, "data", "12a"); })},
         0,
         {},
         {"PutLong_Dec"},
         {"Enter a correct number"}},
        {"PutWordHex",
         MP_PutWord_HexDlg,
         {{0x4D, {}}},
         {Ok([](QDialog& d) {
             Type(d, "data", "4660");
             Type(d, "number_of_digits", "4");
         })},
         1,
         {{1, 0x4D, {0x22, 0x12, 0x34, 0x04}}},
         {"PutWord_Hex"}},
        {"PutFloatRefusesTextThenSends",
         MP_PutFloat_DecDlg,
         {{0x4D, {}}},
         {[](QDialog& d) {
             Type(d, "data", "1,5x");
             Click(d, "ok");
             EXPECT_TRUE(d.isVisible());
             Type(d, "data", "1.5");
             Type(d, "number_of_digits", "6");
             Type(d, "number_of_decimal_places", "2");
             Click(d, "ok");
         }},
         1,
         {{1, 0x4D, {0x16, 0x3F, 0xC0, 0x00, 0x00, 0x66, 0x06, 0x02}}},
         {"PutFloat_Dec"},
         {"Enter a correct float number"}},
        {"PutCharPrintable",
         MP_PutCharDlg,
         {{0x4B, {}}},
         {Ok([](QDialog& d) {
             EXPECT_EQ(Text(d, "selected_ascii_number"), "65");
             Click(d, "control_char");
             Choose(d, "control_chars", 14);  // CR
             EXPECT_EQ(Text(d, "selected_ascii_number"), "13");
             Click(d, "printable_char");
             Choose(d, "printable_chars", 'X' - 31);
         })},
         1,
         {{1, 0x4B, {0x01, 0x58}}},
         {"PutChar"}},
        {"PutString",
         MP_PutStringDlg,
         {{0x4B, {}}},
         {Ok([](QDialog& d) { Type(d, "string", "Hi!"); })},
         1,
         {{1, 0x4B, {0x02, 'H', 'i', '!'}}},
         {"PutString"}},
        {"GetCharShowsItsName",
         MP_GetCharDlg,
         {{0x4C, {13}}},
         {},
         1,
         {{1, 0x4C, {0x01}}},
         {},
         {"The following char has been read:\n\n CR / carriage return"}},
        {"GetStringOfTheLengthAsked",
         MP_GetStringDlg,
         {{0x4C, {'O', 'K', 0, 0}}},
         {Ok([](QDialog& d) { Type(d, "number_of_characters", "4"); })},
         1,
         {{1, 0x4C, {0x02}}},
         {"GetString"},
         {"The following string has been read:\n\nOK"}},
        {"GetIntIsSigned",
         MP_GetInt_DecDlg,
         {{0x4E, {0xFF, 0xFE}}},
         {},
         1,
         {{1, 0x4E, {0x13}}},
         {},
         {"The following number has been read:\n\n-2"}},
        {"IsCharAvailable",
         MP_IsCharAvailableDlg,
         {{0x4C, {0}}},
         {},
         1,
         {{1, 0x4C, {0x00}}},
         {},
         {"No char is available!"}},

        {"ReadVersionTexts",
         MP_ReadVersionDlg,
         {{0x1F, {0, 171, 0, 5, 0x03, 0xF4, 0, 12, 0, 7, 0, 100}}},
         {Ok([](QDialog& d) {
             EXPECT_EQ(Text(d, "command_interpreter"), "V 1.71");
             EXPECT_EQ(Text(d, "runtime_library"), "V 0.05");
             EXPECT_EQ(Text(d, "hardware_revision"), "Rev. 1.0A Var. B");
             EXPECT_EQ(Text(d, "bootrom_version"), "V 1.2");
             EXPECT_EQ(Text(d, "application_number"), "7");
         })},
         1,
         {{1, 0x1F, {}}},
         {"ReadVersion"}},
        {"EditCurRegGains",
         MP_EditCurRegGainsDlg,
         {{0x1A, {0x00, 0x64, 0x00, 0x33, 0xFF, 0xFF}}, {0x1B, {}}},
         {Ok([](QDialog& d) {
             EXPECT_EQ(Text(d, "gain_3"), "-1");
             Type(d, "proportional_gain", "200");
         })},
         1,
         {{1, 0x1A, {}}, {1, 0x1B, {0x00, 0xC8, 0x00, 0x33, 0xFF, 0xFF}}},
         {"SetCurrentGains"}},
        {"EditPosRegGainsReadRefused",
         MP_EditPosRegGainsDlg,
         {},
         {},
         0,
         {{1, 0x1C, {}}},
         {},
         {"Error reading position regulation gains!"}},
        {"EditTempParamGearRatio",
         MP_EditTempParamDlg,
         {{0x10, {15, 0x3F, 0x80, 0x00, 0x00}}, {0x12, {}}},
         {Ok([](QDialog& d) { Choose(d, "parameter", 14); }), Ok([](QDialog& d) {
              EXPECT_EQ(Text(d, "name"), "Gear ratio");
              EXPECT_EQ(Text(d, "value_float"), "1");
              Type(d, "value_float", "2.5");
          })},
         1,
         {{1, 0x10, {15}}, {1, 0x12, {15, 0x40, 0x20, 0x00, 0x00}}},
         {"ReadTempParam", "SetTempParam"}},
        {"ReadPermanentParamAxisNumber",
         MP_ReadPermanentParamDlg,
         {{0x11, {1, 5}}},
         {Ok([](QDialog& d) { Choose(d, "parameter", 1); }), Ok([](QDialog& d) {
              EXPECT_EQ(Text(d, "name"), "Axis Number");
              EXPECT_EQ(Text(d, "value"), "5");
          })},
         1,
         {{1, 0x11, {1}}},
         {"ReadPermanentParam", "ReadPermanentParam"}},
    };
    return cases;
}

class FamilyDialogTest : public DialogTest,
                         public ::testing::WithParamInterface<FamilyDialogCase> {};

TEST_P(FamilyDialogTest, SendsWhatTheUserEnteredAndShowsTheAnswer) {
    const FamilyDialogCase& row = GetParam();
    SimPort port(40);
    ASSERT_EQ(port.openResult, 0);
    for (const Answer& answer : row.answers) {
        AnswerCodes(port.Unit(1), answer.code, answer.code, answer.data);
    }
    if (row.answers.empty()) {
        port.Unit(1).SetHandler(0x1C, [](sim::SimUnit&, auto) { return sim::NoAnswerFrame(); });
    }
    RecordingPrompt prompt;
    ModalScript script(row.steps);

    EXPECT_EQ(row.dialog(port.name.c_str(), 1), row.result);
    EXPECT_EQ(WireRequests(port), row.requests);
    EXPECT_EQ(script.titles, row.titles);
    EXPECT_EQ(prompt.messages, row.messages);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, FamilyDialogTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The four combinations of the two waits give the codes the unit knows.
TEST_F(DialogTest, SetWaitModeCombinations) {
    struct Row {
        const char* trajectory;
        const char* homing;
        uint8_t code;
    };
    const Row rows[] = {{"no_waiting", "homing_no_waiting", 2},
                        {"no_waiting", "waiting_for_homing", 0},
                        {"waiting_for_trajectory", "waiting_for_homing", 1},
                        {"waiting_for_trajectory", "homing_no_waiting", 3}};
    for (const Row& row : rows) {
        SimPort port(41);
        AnswerCodes(port.Unit(1), 35, 35, {});
        ModalScript script({Ok([&row](QDialog& d) {
            Click(d, row.trajectory);
            Click(d, row.homing);
        })});
        EXPECT_EQ(MP_SetWaitModeDlg(port.name.c_str(), 1), 1);
        EXPECT_EQ(WireRequests(port), (std::vector<WireRequest>{{1, 35, {row.code}}}));
        // The dialog opens again with the combination that code stands for.
        ModalScript again({[&row](QDialog& d) {
            EXPECT_TRUE(Checked(d, row.trajectory) && Checked(d, row.homing)) << int(row.code);
            Click(d, "cancel");
        }});
        EXPECT_EQ(MP_SetWaitModeDlg(port.name.c_str(), 1), 0);
    }
}

// The move's timeout is its answer timeout, and the dialog opens again with both values.
TEST_F(DialogTest, MoveAbsoluteKeepsPositionAndTimeout) {
    SimPort port(42);
    AnswerCodes(port.Unit(1), 36, 36, {});
    {
        ModalScript script({Ok([](QDialog& d) {
            Type(d, "position", "1000");
            Type(d, "timeout", "20000");
        })});
        ASSERT_EQ(MP_MoveAbsoluteDlg(port.name.c_str(), 1), 1);
    }
    const auto prototype = dialogs::CopyPrototype(Families().MotionControl(), "MoveAbsolute");
    EXPECT_EQ(prototype->GetAnswerTimeout(), 20000U);
    std::string position;
    std::string timeout;
    ModalScript again({[&](QDialog& d) {
        position = Text(d, "position");
        timeout = Text(d, "timeout");
        Click(d, "cancel");
    }});
    EXPECT_EQ(MP_MoveAbsoluteDlg(port.name.c_str(), 1), 0);
    EXPECT_EQ(position, "1000");
    EXPECT_EQ(timeout, "20000");
}

}  // namespace
}  // namespace kelcmd::testing

namespace kelcmd::testing {
namespace {

// Every dialog that asks before it writes opens against the simulated unit and, cancelled, sends
// nothing but the reads it shows.
TEST_F(DialogTest, CancelledDialogsWriteNothing) {
    struct Row {
        const char* name;
        Dialog dialog;
        std::vector<uint8_t> reads;  // the codes it may send before its window opens
    };
    const std::vector<Row> rows = {
        {"DefinePosition", MP_DefinePositionDlg, {}},
        {"FindHome", MP_FindHomeDlg, {}},
        {"FindHomeEx", MP_FindHomeExDlg, {}},
        {"FindHomeSys", MP_FindHomeSysDlg, {}},
        {"FindIndex", MP_FindIndexDlg, {}},
        {"MoveAbsolute", MP_MoveAbsoluteDlg, {}},
        {"MoveAbsoluteInfo", MP_MoveAbsoluteInfoDlg, {}},
        {"MoveRelative", MP_MoveRelativeDlg, {}},
        {"MoveRelativeInfo", MP_MoveRelativeInfoDlg, {}},
        {"SetRegMode", MP_SetRegModeDlg, {}},
        {"SetVelocity", MP_SetVelocityDlg, {}},
        {"SetVelocityInfo", MP_SetVelocityInfoDlg, {}},
        {"SetWaitMode", MP_SetWaitModeDlg, {}},
        {"StopMotion", MP_StopMotionDlg, {}},
        {"WaitForPosition", MP_WaitForPositionDlg, {}},
        {"WaitForTargetPos", MP_WaitForTargetPosDlg, {}},
        {"EditProfile", MP_EditProfileDlg, {47}},
        {"EditPosVelocity", MP_EditPosVelocityDlg, {47}},
        {"PutChar", MP_PutCharDlg, {}},
        {"PutString", MP_PutStringDlg, {}},
        {"PutWord_Dec", MP_PutWord_DecDlg, {}},
        {"PutInt_Dec", MP_PutInt_DecDlg, {}},
        {"PutLWord_Dec", MP_PutLWord_DecDlg, {}},
        {"PutLong_Dec", MP_PutLong_DecDlg, {}},
        {"PutFloat_Dec", MP_PutFloat_DecDlg, {}},
        {"PutWord_Hex", MP_PutWord_HexDlg, {}},
        {"PutLWord_Hex", MP_PutLWord_HexDlg, {}},
        {"PutByte_Bin", MP_PutByte_BinDlg, {}},
        {"PutWord_Bin", MP_PutWord_BinDlg, {}},
        {"GetString", MP_GetStringDlg, {}},
        {"EditTempParam", MP_EditTempParamDlg, {}},
        {"ReadPermanentParam", MP_ReadPermanentParamDlg, {}},
        {"EditCurRegGains", MP_EditCurRegGainsDlg, {0x1A}},
        {"EditPosRegGains", MP_EditPosRegGainsDlg, {0x1C}},
        {"EditAllTempParam", MP_EditAllTempParamDlg, {0x16}},
        {"EditAllPermParam", MP_EditAllPermParamDlg, {0x17}},
    };
    for (const Row& row : rows) {
        SimPort port(43);
        RecordingPrompt prompt;
        ModalScript script({});
        EXPECT_EQ(row.dialog(port.name.c_str(), 1), 0) << row.name;
        EXPECT_EQ(script.titles.size(), 1U) << row.name;
        EXPECT_TRUE(prompt.messages.empty()) << row.name;
        for (const WireRequest& request : WireRequests(port)) {
            EXPECT_NE(std::find(row.reads.begin(), row.reads.end(), request.mtype), row.reads.end())
                << row.name << " sent " << int(request.mtype);
        }
    }
}

}  // namespace
}  // namespace kelcmd::testing

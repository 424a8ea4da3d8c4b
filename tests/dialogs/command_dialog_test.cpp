// The command dialogs driven as a user would, against a simulated unit: what reached the unit,
// what the dialogs showed, and what the exports returned.
#include <QComboBox>

#include "api/family_test_support.h"
#include "dialog_test_support.h"
#include "kelcmd/kelcmd_dialogs.h"

namespace kelcmd::testing {
namespace {

using Dialog = int32_t (*)(const char*, uint8_t);

struct DialogCase {
    const char* name;
    Dialog dialog;
    // The unit answers `code` positively with `answer` (no code: its own behaviour).
    uint8_t code;
    std::vector<uint8_t> answer;
    std::vector<ModalScript::Step> steps;
    int32_t result;
    std::vector<WireRequest> requests;
    std::vector<std::string> titles;
    std::vector<std::string> messages = {};
    uint8_t slave = 1;
};

void PrintTo(const DialogCase& row, std::ostream* out) {
    *out << row.name;
}

void Choose(QDialog& dialog, const char* list, int index) {
    Find<QComboBox>(dialog, list).setCurrentIndex(index);
}

const std::vector<DialogCase>& Cases() {
    static const std::vector<DialogCase> cases = {
        {"ReadPosition",
         MP_ReadPositionDlg,
         48,
         {0x00, 0x00, 0x30, 0x39},
         {Ok([](QDialog& d) { EXPECT_EQ(Text(d, "effective_position"), "12345"); })},
         1,
         {{1, 48, {}}},
         {"ReadPosition"}},
        // Nobody answers at address 9: four transmissions, then the failure.
        {"FailedCommandShowsNoResult",
         MP_ReadPositionDlg,
         0,
         {},
         {},
         0,
         std::vector<WireRequest>(4, {9, 48, {}}),
         {},
         {"Command failed!"},
         9},
        {"ReadAxisStatus",
         MP_ReadAxisStatusDlg,
         11,
         {0x80, 0x01},
         {Ok([](QDialog& d) {
             EXPECT_TRUE(Checked(d, "moving") && Checked(d, "left"));
             EXPECT_FALSE(Checked(d, "cmdactive") || Checked(d, "right") || Checked(d, "error"));
         })},
         1,
         {{1, 11, {}}},
         {"ReadAxisStatus"}},
        {"ReadAxisInfo",
         MP_ReadAxisInfoDlg,
         63,
         {0x00, 0x10, 0x01, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0x40, 0x20, 0x00, 0x00, 0x00, 0x64},
         {Ok([](QDialog& d) {
             EXPECT_TRUE(Checked(d, "cmdactive") && Checked(d, "input_1"));
             EXPECT_TRUE(Checked(d, "predefined_inputs_home"));
             EXPECT_FALSE(Checked(d, "moving") || Checked(d, "home") || Checked(d, "input_2"));
             EXPECT_EQ(Text(d, "effective_position"), "-1");
             EXPECT_EQ(Text(d, "mean_velocity"), "2.5");
             EXPECT_EQ(Text(d, "mean_current"), "100");
         })},
         1,
         {{1, 63, {}}},
         {"ReadAxisInfo"}},
        {"ReadECStatus",
         MP_ReadECStatusDlg,
         74,
         {0x80, 45},
         {Ok([](QDialog& d) {
             EXPECT_TRUE(Checked(d, "overcurrent_protection_disabled"));
             EXPECT_FALSE(Checked(d, "pwrovcur") || Checked(d, "dcmode"));
             EXPECT_EQ(Text(d, "temperature_of_printed_circuit_board_near_the_power_transistors"),
                       "45");
         })},
         1,
         {{1, 74, {}}},
         {"ReadECStatus"}},
        {"SetOutputByte",
         MP_SetOutputByteDlg,
         68,
         {},
         {Ok([](QDialog& d) {
             Click(d, "output_1");
             Click(d, "output_6");
         })},
         1,
         {{1, 68, {0x21}}},
         {"SetOutputByte"}},
        {"ResetSlave",
         MP_ResetSlaveDlg,
         0,
         {},
         {Ok([](QDialog& d) { Click(d, "watchdog_reset_endless_loop"); })},
         1,
         {{1, 8, {2}}},
         {"ResetSlave"}},
        {"CancelledSendsNothing", MP_SetCurrentDlg, 73, {}, {Cancel()}, 0, {}, {"SetCurrent"}},
        {"SetCurrent",
         MP_SetCurrentDlg,
         73,
         {},
         {Ok([](QDialog& d) {
             EXPECT_EQ(Text(d, "current"), "500");
             Type(d, "current", "-700");
         })},
         1,
         {{1, 73, {0xFD, 0x44}}},
         {"SetCurrent"}},
        {"DutyCycleOutOfRangeStaysOpen",
         MP_SetUserPWMDlg,
         70,
         {},
         {[](QDialog& d) {
             Type(d, "duty_cycle", "1001");
             Click(d, "ok");
             EXPECT_TRUE(d.isVisible());
             Click(d, "cancel");
         }},
         0,
         {},
         {"SetUserPWM"},
         {"Please enter an integer between 0 and 1000."}},
        {"WaitTimeBehindWaitWindow",
         MP_WaitTimeDlg,
         72,
         {},
         {Ok([](QDialog& d) { Type(d, "time", "0"); })},
         1,
         {{1, 72, {0, 0, 0, 0}}},
         {"WaitTime"}},
        {"WaitForInput",
         MP_WaitForInputDlg,
         66,
         {},
         {Ok([](QDialog& d) {
             Choose(d, "input_number", 2);
             Click(d, "wait_until_signal_is_set");
             Type(d, "timeout", "20000");
         })},
         1,
         {{1, 66, {3, 1, 0x00, 0x00, 0x4E, 0x20}}},
         {"WaitForInput"}},
        {"ReadInputHome",
         MP_ReadInputDlg,
         64,
         {1},
         {Ok([](QDialog& d) { Click(d, "home"); })},
         1,
         {{1, 64, {12}}},
         {"ReadInput"},
         {"The input 'HOME' is active!"}},
        {"ReadInputByte",
         MP_ReadInputByteDlg,
         65,
         {0x81},
         {Ok([](QDialog& d) { Click(d, "read_the_predefined_inputs"); }), Ok([](QDialog& d) {
              EXPECT_TRUE(Checked(d, "bit_0") && Checked(d, "bit_7"));
              EXPECT_FALSE(Checked(d, "bit_1"));
          })},
         1,
         {{1, 65, {1}}},
         {"ReadInputByte", "ReadInputByte"}},
        {"SetOutput",
         MP_SetOutputDlg,
         67,
         {},
         {Ok([](QDialog& d) {
             Choose(d, "output_number", 3);
             Click(d, "set_output_active");
         })},
         1,
         {{1, 67, {4, 1}}},
         {"SetOutput"}},
        {"ReadAnalogInput",
         MP_ReadAnalogInputDlg,
         69,
         {0x01, 0x23},
         {Ok([](QDialog& d) { Choose(d, "analog_input", 2); })},
         1,
         {{1, 69, {2}}},
         {"ReadAnalogInput"},
         {"Analog input 2: 291"}},
        {"ReadMaxStack",
         MP_ReadMaxStackDlg,
         79,
         {0x01, 0x23},
         {},
         1,
         {{1, 79, {}}},
         {},
         {"The highest level reached by the CPU stack is 291 !"}},
        {"InitMoveRelative",
         MP_InitMoveRelativeDlg,
         81,
         {},
         {Ok([](QDialog& d) { Type(d, "step", "-500"); })},
         1,
         {{1, 81, {0xFF, 0xFF, 0xFE, 0x0C}}},
         {"InitMoveRelative"}},
        {"InitSetVelocityInfo",
         MP_InitSetVelocityInfoDlg,
         82,
         {0x03, 0x00, 0x00, 0x01, 0xF4},
         {Ok([](QDialog& d) { Type(d, "velocity", "2.5"); }), Ok([](QDialog& d) {
              EXPECT_EQ(Text(d, "duration"), "500");
              EXPECT_TRUE(Checked(d, "done") && Checked(d, "overshoot"));
              EXPECT_FALSE(Checked(d, "trapez"));
          })},
         1,
         {{1, 82, {0x40, 0x20, 0x00, 0x00, 0x00}}},
         {"InitSetVelocityInfo", "InitSetVelocityInfo"}},
    };
    return cases;
}

class CommandDialogTest : public DialogTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(CommandDialogTest, SendsWhatTheUserEnteredAndShowsTheAnswer) {
    const DialogCase& row = GetParam();
    SimPort port(3);
    ASSERT_EQ(port.openResult, 0);
    if (row.code != 0) AnswerCodes(port.Unit(1), row.code, row.code, row.answer);
    RecordingPrompt prompt;
    ModalScript script(row.steps);

    EXPECT_EQ(row.dialog(port.name.c_str(), row.slave), row.result);
    EXPECT_EQ(WireRequests(port), row.requests);
    EXPECT_EQ(script.titles, row.titles);
    EXPECT_EQ(prompt.messages, row.messages);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, CommandDialogTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The dialog opens with what was entered last time: the prototype keeps it.
TEST_F(DialogTest, ADialogOpensWithTheValuesLastEntered) {
    SimPort port(4);
    AnswerCodes(port.Unit(1), 73, 73, {});
    RecordingPrompt prompt;
    {
        ModalScript script({Ok([](QDialog& d) { Type(d, "current", "321"); })});
        ASSERT_EQ(MP_SetCurrentDlg(port.name.c_str(), 1), 1);
    }
    std::string shown;
    ModalScript again({[&shown](QDialog& d) {
        shown = Text(d, "current");
        Click(d, "cancel");
    }});
    EXPECT_EQ(MP_SetCurrentDlg(port.name.c_str(), 1), 0);
    EXPECT_EQ(shown, "321");
}

// A port without a slave asks for the destination first; 0 is refused with its minimum.
TEST_F(DialogTest, AMissingSlaveIsAskedFor) {
    SimPort port(5, "1-2");
    AnswerCodes(port.Unit(2), 48, 48, {0, 0, 0, 7});
    RecordingPrompt prompt;
    ModalScript script({[](QDialog& d) {
                            Find<QSpinBox>(d, "destination").setValue(0);
                            Click(d, "ok");
                            Find<QSpinBox>(d, "destination").setValue(2);
                            Click(d, "ok");
                        },
                        Ok()});
    EXPECT_EQ(MP_ReadPositionDlg(port.name.c_str(), 0), 1);
    EXPECT_EQ(script.titles, (std::vector<std::string>{"Enter Destination", "ReadPosition"}));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Destination is smaller than 1 !"});
    EXPECT_EQ(WireRequests(port), (std::vector<WireRequest>{{2, 48, {}}}));
}

// ReadError shows the number with its texts; "&Clear" clears it on the same unit and reads again.
TEST_F(DialogTest, ClearOfTheErrorDialogClearsAndReadsAgain) {
    SimPort port(6);
    int16_t error = 23;
    port.Unit(1).SetHandler(12, [&error](sim::SimUnit&, std::span<const uint8_t>) {
        return sim::PositiveAnswer(
            12, {static_cast<uint8_t>(error >> 8), static_cast<uint8_t>(error & 0xFF)});
    });
    port.Unit(1).SetHandler(13, [&error](sim::SimUnit&, std::span<const uint8_t>) {
        error = 0;
        return sim::PositiveAnswer(13);
    });
    ModalScript script({[](QDialog& d) {
        EXPECT_EQ(Text(d, "mnemonic"), "ERROR_HOME");
        Click(d, "clear");
        EXPECT_EQ(Text(d, "number"), "0");
        EXPECT_EQ(Text(d, "mnemonic"), "NO_ERROR");
        EXPECT_FALSE(Find<QAbstractButton>(d, "clear").isEnabled());
        Click(d, "ok");
    }});
    EXPECT_EQ(MP_ReadErrorDlg(port.name.c_str(), 1), 1);
    EXPECT_EQ(WireRequests(port),
              (std::vector<WireRequest>{{1, 12, {}}, {1, 13, {}}, {1, 12, {}}}));
}

}  // namespace
}  // namespace kelcmd::testing

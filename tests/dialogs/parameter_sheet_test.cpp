// The system parameter sheet: what it writes back, its fallback to the short set, and the checks
// made while editing.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <cstring>

#include "api/family_test_support.h"
#include "command/system_parameter_table.h"
#include "dialog_test_support.h"
#include "dialogs/sheet/parameter_sheet_dialog.h"
#include "kelcmd/kelcmd_dialogs.h"

namespace kelcmd::testing {
namespace {

using dialogs::ParameterSheetDialog;
using dialogs::ParameterSheetModel;

// A set with values the defaults do not have, so that a field written from the wrong place shows.
T_SysParamEx UnitSet() {
    T_SysParamEx set = DefaultSysParamEx();
    set.sysParam.axisNumber = 5;
    set.sysParam.rs232Baudrate = 57600;
    set.sysParam.rs485Baudrate = 12345;  // not in the list: kept while nobody touches it
    set.sysParam.startUpMode = 7;        // a code without a name
    set.sysParam.sysConfig = 0x4321;
    set.sysParam.sysConfig2 = -3;
    set.sysParam.changeCount = 17;
    set.sysParam.gearRatio = 0.1f;
    set.sysParam.enableUpperPositionLimit = 5;
    set.sysParam.homePositionHi = -1;
    set.sysParam.homePositionLo = 0x1234;
    set.sysParam.rotorRevolution = 2000;
    set.extParam[3] = -7;
    set.extParam[35] = 0xBEEF;
    return set;
}

std::vector<uint8_t> Wire(const T_SysParamEx& set, bool extended) {
    if (extended) {
        const auto bytes = SysParamExToWire(set);
        return {bytes.begin(), bytes.end()};
    }
    const auto bytes = SysParamToWire(set.sysParam);
    return {bytes.begin(), bytes.end()};
}

// The unit answers the extended read, or refuses it (no answer) and answers the short one.
void ServeSet(SimPort& port, uint8_t readCode, const T_SysParamEx& set, bool extended) {
    port.Unit(1).SetHandler(
        readCode, [set, extended, readCode](sim::SimUnit&, std::span<const uint8_t> data) {
            if (!data.empty() && !extended) return sim::RefusalAnswer(1, 1);
            return sim::PositiveAnswer(readCode, Wire(set, data.size() == 1));
        });
    AnswerCodes(port.Unit(1), readCode + 2, readCode + 2, {});
}

using Dialog = int32_t (*)(const char*, uint8_t);

struct RoundTrip {
    const char* name;
    Dialog dialog;
    uint8_t readCode;
    bool extended;
};

void PrintTo(const RoundTrip& row, std::ostream* out) {
    *out << row.name;
}

class UnchangedSheetTest : public DialogTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(UnchangedSheetTest, WritesBackExactlyTheBytesItRead) {
    const RoundTrip& row = GetParam();
    SimPort port(50);
    ServeSet(port, row.readCode, UnitSet(), row.extended);
    RecordingPrompt prompt;
    std::string title;
    ModalScript script({Ok([&title](QDialog& d) {
        title = d.windowTitle().toStdString();
        EXPECT_EQ(Find<QLabel>(d, "sheet_caption").text().toStdString(),
                  "System Parameter of Slave 1");
    })});
    EXPECT_EQ(row.dialog(port.name.c_str(), 1), 1);
    const std::vector<WireRequest> requests = WireRequests(port);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back(), (WireRequest{1, static_cast<uint8_t>(row.readCode + 2),
                                            Wire(UnitSet(), row.extended)}));
    EXPECT_EQ(requests.front(), (WireRequest{1, row.readCode, {0}}));
    EXPECT_EQ(title,
              row.readCode == 0x16 ? "Temporary System Parameter" : "Permanent System Parameter");
    EXPECT_TRUE(prompt.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, UnchangedSheetTest,
    ::testing::Values(RoundTrip{"TemporaryExtended", MP_EditAllTempParamDlg, 0x16, true},
                      RoundTrip{"TemporaryShortAfterRefusal", MP_EditAllTempParamDlg, 0x16, false},
                      RoundTrip{"PermanentExtended", MP_EditAllPermParamDlg, 0x17, true},
                      RoundTrip{"PermanentShortAfterRefusal", MP_EditAllPermParamDlg, 0x17, false}),
    [](const auto& info) { return std::string(info.param.name); });

// What the user changes reaches the unit in the set's wire layout.
TEST_F(DialogTest, EditedFieldsReachTheUnit) {
    SimPort port(51);
    ServeSet(port, 0x16, UnitSet(), true);
    RecordingPrompt prompt;
    ModalScript script({Ok([](QDialog& d) {
        Type(d, "gear_ratio", "2.5");
        Find<QComboBox>(d, "rs232_baudrate").setCurrentIndex(6);  // 9600
        Find<QComboBox>(d, "start_up_mode").setCurrentIndex(3);   // KELBus Mode -> RS485
        Find<QComboBox>(d, "type_of_home_procedure").setCurrentIndex(3);
        Click(d, "check_enable_input");
        Type(d, "home_position", "65536");
    })});
    ASSERT_EQ(MP_EditAllTempParamDlg(port.name.c_str(), 1), 1);
    const std::vector<uint8_t> sent = WireRequests(port).back().data;
    ASSERT_EQ(sent.size(), 256U);
    const auto at = [&sent](size_t offset, size_t size) {
        return std::vector<uint8_t>(sent.begin() + offset, sent.begin() + offset + size);
    };
    EXPECT_EQ(at(32, 4), (std::vector<uint8_t>{0x40, 0x20, 0x00, 0x00}));  // gear ratio 2.5
    EXPECT_EQ(at(4, 4), (std::vector<uint8_t>{0x00, 0x00, 0x25, 0x80}));   // 9600 baud itself
    EXPECT_EQ(at(2, 2), (std::vector<uint8_t>{0x00, 0x05}));               // start-up mode 5
    EXPECT_EQ(at(76, 2), (std::vector<uint8_t>{0x00, 0x04}));              // left limit switch
    EXPECT_EQ(at(14, 2), (std::vector<uint8_t>{0x43, 0x31}));              // bit 4 joins 0x4321
    EXPECT_EQ(at(98, 4), (std::vector<uint8_t>{0x00, 0x01, 0x00, 0x00}));  // home position halves
}

TEST_F(DialogTest, NoSetReadShowsTheReadError) {
    SimPort port(52);
    for (const uint8_t code : {0x16, 0x17}) {
        port.Unit(1).SetHandler(code, [](sim::SimUnit&, auto) { return sim::RefusalAnswer(1, 1); });
    }
    RecordingPrompt prompt;
    ModalScript script({});
    EXPECT_EQ(MP_EditAllPermParamDlg(port.name.c_str(), 1), 0);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Error reading parameter!"});
    EXPECT_TRUE(script.titles.empty());
}

TEST_F(DialogTest, CancelledSheetWritesNothing) {
    SimPort port(53);
    ServeSet(port, 0x16, UnitSet(), true);
    ModalScript script({Cancel()});
    EXPECT_EQ(MP_EditAllTempParamDlg(port.name.c_str(), 1), 0);
    EXPECT_EQ(WireRequests(port).size(), 1U);
}

// The checks made when a field is left.
class SheetChecks : public DialogTest {
  protected:
    ParameterSheetModel model{true, UnitSet()};
    ParameterSheetDialog sheet{model, {"Temporary System Parameter", "Slave 1", true}};
    RecordingPrompt prompt;

    void Leave(const char* field, const std::string& text) {
        auto& edit = Find<QLineEdit>(sheet, field);
        edit.setText(QString::fromStdString(text));
        Q_EMIT edit.editingFinished();
    }
};

TEST_F(SheetChecks, AddressesAreClampedWhenLeft) {
    const std::vector<std::tuple<const char*, const char*, const char*>> rows = {
        {"group_address", "300", "254"},
        {"group_address", "5", "128"},
        {"axis_number", "200", "127"},
        {"axis_number", "0", "1"},
        {"axis_number", "64", "64"}};
    for (const auto& [field, typed, shown] : rows) {
        Leave(field, typed);
        EXPECT_EQ(Text(sheet, field), shown) << field << " " << typed;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(SheetChecks, ATextNotInItsListIsReplacedByTheDefault) {
    auto& baud = Find<QComboBox>(sheet, "rs232_baudrate");
    baud.setEditText("12345");
    Q_EMIT baud.lineEdit()->editingFinished();
    EXPECT_EQ(baud.currentText().toStdString(), "19200");
    auto& home = Find<QComboBox>(sheet, "type_of_home_procedure");
    home.setEditText("Index");
    Q_EMIT home.lineEdit()->editingFinished();
    EXPECT_EQ(home.currentText().toStdString(), "Current index");
    EXPECT_EQ(prompt.messages,
              (std::vector<std::string>{"Incorrect Baudrate!", "Incorrect Home Procedure!"}));
}

TEST_F(SheetChecks, PulseLengthAsksAndNoRestores200) {
    prompt.answer = false;
    Leave("max_pulse_length_speed", "300");
    EXPECT_EQ(Text(sheet, "max_pulse_length_speed"), "200");
    prompt.answer = true;
    Leave("max_pulse_length_speed", "250");
    EXPECT_EQ(Text(sheet, "max_pulse_length_speed"), "250");
    EXPECT_EQ(prompt.questions.size(), 2U);
}

TEST_F(SheetChecks, CurrentThresholdOnlyForCurrentIndexSearches) {
    auto& home = Find<QComboBox>(sheet, "type_of_home_procedure");
    auto& threshold = Find<QLineEdit>(sheet, "current_threshold_for_home");
    home.setCurrentIndex(0);
    EXPECT_FALSE(threshold.isEnabled());
    home.setCurrentIndex(8);
    EXPECT_TRUE(threshold.isEnabled());
}

TEST_F(SheetChecks, DefaultValuesResetOnlyTheirPage) {
    Click(sheet, "default_values_3");  // drive unit
    EXPECT_EQ(Text(sheet, "gear_ratio"), "1");
    EXPECT_EQ(Text(sheet, "axis_number"), "5");
    EXPECT_EQ(prompt.questions,
              std::vector<std::string>{"Do you really want to reset the parameters?"});
}

// Without data the sheet says so once and holds the default set.
TEST_F(DialogTest, SheetWithoutDataHoldsTheDefaultSet) {
    ParameterSheetModel model(false, std::nullopt);
    RecordingPrompt prompt;
    ParameterSheetDialog sheet(model, {"Temporary System Parameter", "Slave 1", true});
    ModalScript script({Ok()});
    EXPECT_EQ(sheet.exec(), QDialog::Accepted);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Attention! Default values are set."});
    const T_SysParamEx result = model.Result();
    EXPECT_EQ(std::memcmp(&result.sysParam, &DefaultSysParam(), sizeof(T_SysParam)), 0);
}

}  // namespace
}  // namespace kelcmd::testing

// "Enter Parameter" and "Show Return Parameter": the texts of the rows, the refusal of "&OK" while
// a structure has no value, Enter in the list, a customer command's values on the wire, and the
// bespoke windows that commands run from the command tree open.
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>

#include "api/families.h"
#include "api/family_test_support.h"
#include "api/recorder_test_support.h"
#include "command/kel_customer_command.h"
#include "command/parameter_list.h"
#include "command/parameter_types.h"
#include "dialog_test_support.h"
#include "dialogs/graph/recorded_data_window.h"
#include "dialogs/parameter_set/parameter_set_dialog.h"
#include "dialogs/structures/structure_dialogs.h"
#include "dialogs/tree/command_tree_view.h"
#include "dialogs/tree/execute_command_dialog.h"

namespace kelcmd::testing {
namespace {

using namespace kelcmd::dialogs;

class ParameterSetTest : public DialogTest {};

const CStructureDefinition kAxis("Axis", {{"count", ELEMENT_BYTE, 1}, {"speed", ELEMENT_WORD, 1}});

void PressEnter(QWidget& widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

std::vector<uint8_t> Bytes(uint32_t value, size_t width) {
    std::vector<uint8_t> bytes(width);
    for (size_t i = 0; i < width; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
}

TEST(ParameterSetRows, TypeAndValueTexts) {
    struct Row {
        uint8_t type;
        std::vector<uint8_t> value;
        std::string typeText;
        std::string valueText;
    };
    const std::vector<Row> rows = {
        {TYPE_BYTE, {200}, "Byte", "200"},
        {TYPE_BYTE, Bytes(0x12345678, 4), "Byte", "120"},  // the wire carries the first byte
        {TYPE_WORD, Bytes(65535, 2), "Word", "65535"},
        {TYPE_INT, Bytes(0xFFFB, 2), "Int", "-5"},
        {TYPE_LINT, Bytes(static_cast<uint32_t>(-100000), 4), "LInt", "-100000"},
        {TYPE_FLOAT, Bytes(0x3FC00000, 4), "Float", "1.500000"},
        {TYPE_SYSPARAM, std::vector<uint8_t>(110), "Struct", "not impl"},
        {TYPE_SYSPARAM_EX, std::vector<uint8_t>(256), "StructEx", "not impl"},
        {TYPE_INT_ARRAY, {1, 2}, "RecordedData", "not impl"},
        {TYPE_BYTE_ARRAY, {1, 2}, "Struct", "doubleclick to see values"},  // attached below
        {TYPE_BYTE_ARRAY, {1, 2}, "Struct", "not impl"},                   // nothing describes it
        {TYPE_BITS8, {0xA5}, "Bits8", " | 1010 | 0101 | "},
        {TYPE_BITS16, Bytes(0x8001, 2), "Bits16", " | 1000 | 0000 | 0000 | 0001 | "},
        {TYPE_BOOL, {1}, "Bool", "TRUE"},
        {TYPE_BOOL, {0}, "Bool", "FALSE"},
        {14, {1}, "", ""},
    };
    CParameterList list;
    for (size_t i = 0; i < rows.size(); ++i) {
        list.AddReturnParameter("p" + std::to_string(i), rows[i].type, 0);
        list.SetReturnValue(i, rows[i].value.data(), static_cast<uint32_t>(rows[i].value.size()));
    }
    const std::vector<StructureAttachment> attachments = {{kAxis, 9}};
    const ParameterSetModel model(list, ParameterSide::kReturn, attachments);
    ASSERT_EQ(model.Count(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(ParameterSetTypeText(model.Row(i)->type), rows[i].typeText) << i;
        EXPECT_EQ(model.ValueText(i), rows[i].valueText) << i;
    }
    EXPECT_TRUE(model.AllValid()) << "results are shown as they came";
    EXPECT_EQ(model.Row(rows.size()), nullptr);
}

TEST_F(ParameterSetTest, OkIsRefusedUntilTheStructureHasAValue) {
    CParameterList list;
    list.AddSendParameter("gain", TYPE_WORD, 2);
    list.AddSendParameter("setup", TYPE_BYTE_ARRAY, 0);
    const std::vector<StructureAttachment> attachments = {{kAxis, 1}};
    ParameterSetModel model(list, ParameterSide::kSend, attachments);
    ParameterSetDialog dialog(model, "Jog ( 0x7A )");
    dialog.show();
    RecordingPrompt prompt;
    Click(dialog, "ok");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kNotAllParametersValid});
    EXPECT_TRUE(dialog.isVisible());

    ModalScript script({[](QDialog& values) {
                            QTimer::singleShot(0, &values, [&values] {
                                static_cast<StructureDataDialog&>(values).EditRow(1);
                                Click(values, "ok");
                            });
                        },
                        Ok([](QDialog& d) { Type(d, "value", "4660"); })});
    EXPECT_TRUE(dialog.EditRow(1));
    EXPECT_EQ(script.titles, (std::vector<std::string>{"Edit Data of Axis", "Edit Value"}));
    Click(dialog, "ok");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(prompt.messages.size(), 1u);
    model.Store(list);
    const std::span<const uint8_t> image = list.GetSendValue(1);
    EXPECT_EQ(std::vector<uint8_t>(image.begin(), image.end()),
              (std::vector<uint8_t>{0, 0, 0x12, 0x34}));  // padded, most significant byte first
}

TEST_F(ParameterSetTest, EnterInTheListEditsTheSelectedRowInsteadOfClosing) {
    CParameterList list;
    list.AddSendParameter("speed", TYPE_WORD, 2);
    ParameterSetModel model(list, ParameterSide::kSend);
    ParameterSetDialog dialog(model, "Jog ( 0x7A )");
    dialog.show();
    RecordingPrompt prompt;
    {
        ModalScript script({Ok([](QDialog& d) { Type(d, "value", "42"); })});
        dialog.List().setFocus();
        PressEnter(dialog.List());
        EXPECT_EQ(script.titles, std::vector<std::string>{"Edit Value"});
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.List().topLevelItem(0)->text(2), "42");

    dialog.List().clearSelection();
    PressEnter(dialog.List());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kNoItemSelected});
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ParameterSetTest, CustomerCommandSendsWhatWasEntered) {
    SimPort port(86);
    ASSERT_EQ(port.openResult, 0);
    AnswerCodes(port.Unit(1), 0x7A, 0x7A, {});
    CKelCustomerCommand command;
    command.SetCommand("Jog", 0x7A, 0, 0);
    command.Parameters().AddSendParameter("speed", TYPE_WORD, 2);
    command.Parameters().AddSendParameter("forward", TYPE_BOOL, 1);
    command.SetPortList(&Communication());
    command.SetPortName(port.name);
    command.SetDestination(1);
    RecordingPrompt prompt;
    ModalScript script({[](QDialog& entry) {
                            EXPECT_EQ(Find<QLabel>(entry, "caption").text(), "Jog ( 0x7A )");
                            QTimer::singleShot(0, &entry, [&entry] {
                                auto& parameters = static_cast<ParameterSetDialog&>(entry);
                                parameters.EditRow(0);
                                parameters.EditRow(1);
                                Click(entry, "ok");
                            });
                        },
                        Ok([](QDialog& d) { Type(d, "value", "1000"); }),
                        Ok([](QDialog& d) { Find<QCheckBox>(d, "value").setChecked(true); })});
    ASSERT_EQ(command.EditParameters(), 1);
    EXPECT_EQ(script.titles,
              (std::vector<std::string>{"Enter Parameter", "Edit Value", "Edit Value"}));
    ASSERT_EQ(command.Execute(), 1);
    EXPECT_EQ(WireRequests(port), (std::vector<WireRequest>{{1, 0x7A, {0x03, 0xE8, 0x01}}}));
}

TEST_F(ParameterSetTest, RecorderCommandsFromTheTreeOpenTheirOwnWindows) {
    RecorderPort port(87);
    ASSERT_EQ(port.openResult, 0);
    port.Peripherals().recorder.Store({0, 1, 4, 5}, 1000, {{{1, 2}, {3, 4}, {5, 6}, {7, 8}}});
    RecordingPrompt prompt;
    ExecuteStandardCommandsDialog dialog(Families().InOrder(), port.name, 1);
    dialog.show();
    {
        ModalScript script({Ok([](QDialog& d) {
            Find<QComboBox>(d, "measuring_interval").setCurrentIndex(3);
            Find<QComboBox>(d, "data").setCurrentIndex(1);
        })});
        dialog.Tree().setCurrentItem(Row(dialog.Tree(), "Recording", "SetupRecorder"));
        dialog.ExecuteSelected();
        EXPECT_EQ(script.titles, std::vector<std::string>{"SetupRecorder"});
    }
    std::vector<std::string> curves;
    ModalScript script({Ok([](QDialog& d) { Type(d, "amplitude_of_the_current_jump", "500"); }),
                        [&](QDialog& window) {
                            const auto& view = static_cast<RecordedDataWindow&>(window).View();
                            for (size_t i = 0; i < view.CurveCount(); ++i)
                                curves.push_back(view.Curve(i).name);
                            window.accept();
                        }});
    dialog.Tree().setCurrentItem(Row(dialog.Tree(), "Autotuning", "SquareCurrentTest"));
    dialog.ExecuteSelected();
    const std::vector<RecorderRequest> requests = RecorderRequests(port);
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[0], (RecorderRequest{0x68, {0x00, 0x08, 0x02, 0x01}}));
    EXPECT_EQ(requests[1], (RecorderRequest{0x62, {0x01, 0xF4}}));
    EXPECT_EQ(requests[2].mtype, 0x6A) << "the recording is read after the test";
    ASSERT_GE(curves.size(), 4u);
    EXPECT_EQ(curves[0], "current integrator");
    EXPECT_TRUE(prompt.messages.empty());
}

}  // namespace
}  // namespace kelcmd::testing

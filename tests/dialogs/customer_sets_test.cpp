// The customer command set editors: type numbers, parameter rows and their own-direction indices,
// the set list's loading, storing and unique client names, and the store handed back only on OK.
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <optional>

#include "command/command_files.h"
#include "command/parameter_types.h"
#include "dialog_test_support.h"
#include "dialogs/customer/customer_command_dialog.h"
#include "dialogs/customer/customer_set_dialog.h"
#include "dialogs/customer/customer_set_dialogs.h"
#include "dialogs/customer/customer_sets_dialog.h"
#include "dialogs/structures/structure_dialogs.h"

namespace kelcmd::testing {
namespace {

using namespace kelcmd::dialogs;

std::vector<std::string> Names(const std::vector<CustomerParameterRow>& rows) {
    std::vector<std::string> names;
    for (const auto& row : rows) names.push_back(row.name);
    return names;
}

std::vector<std::string> SendNames(const CParameterList& list) {
    std::vector<std::string> names;
    for (size_t i = 0; i < list.GetSendCount(); ++i) names.push_back(list.GetSendName(i));
    return names;
}

std::vector<std::string> ReturnNames(const CParameterList& list) {
    std::vector<std::string> names;
    for (size_t i = 0; i < list.GetReturnCount(); ++i) names.push_back(list.GetReturnName(i));
    return names;
}

std::unique_ptr<CCustomerCommandSet> Set(const std::string& client,
                                         const std::vector<std::string>& commands = {}) {
    auto set = std::make_unique<CCustomerCommandSet>(client);
    for (const std::string& name : commands) {
        auto command = std::make_unique<CKelCustomerCommand>();
        command->SetCommand(name, 0x42, 0, 0);
        set->AddCommand(std::move(command));
    }
    return set;
}

void PressEnter(QWidget& widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

class CustomerSetsTest : public DialogTest {};

TEST(CustomerTypeNumber, HexadecimalOneOrTwoDigits) {
    const std::vector<std::pair<std::string, std::optional<uint8_t>>> cases = {
        {"7", 0x07},          {"0A", 0x0A},       {"ff", 0xFF},         {"100", std::nullopt},
        {"G1", std::nullopt}, {"", std::nullopt}, {" 7", std::nullopt}, {"-1", std::nullopt}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseTypeNumber(text), expected) << text;
        CustomerCommandEditor editor(CKelCustomerCommand(), true);
        editor.SetName("Jog");
        editor.SetTypeNumber(text);
        EXPECT_EQ(editor.Check(), expected ? "" : kTypeNumberNotCorrect) << text;
    }
    CustomerCommandEditor unnamed(CKelCustomerCommand(), true);
    unnamed.SetTypeNumber("7");
    EXPECT_EQ(unnamed.Check(), kEnterName);
}

TEST(CustomerCommandEditing, ExistingNameIsRefusedAndChangesNothing) {
    CustomerCommandEditor editor(CKelCustomerCommand(), true);
    ASSERT_EQ(editor.AddParameter("speed", TYPE_LINT, false), "");
    ASSERT_EQ(editor.AddParameter("state", TYPE_BITS16, true), "");
    EXPECT_EQ(editor.AddParameter("speed", TYPE_WORD, true), kNameExists);
    EXPECT_EQ(editor.AddParameter("state", TYPE_BYTE, false), kNameExists);
    EXPECT_EQ(Names(editor.Rows()), (std::vector<std::string>{"speed", "state"}));
    EXPECT_EQ(editor.Length(0), 4u);
    EXPECT_EQ(editor.Length(1), 2u);
}

TEST(CustomerCommandEditing, RowsMovePastTheOtherDirectionKeepingTheirIndices) {
    CKelCustomerCommand original;
    original.SetCommand("Drive", 0x7A, 0, 0);
    CustomerCommandEditor editor(original, false);
    EXPECT_EQ(editor.TypeNumber(), "7A");
    for (const auto& [name, type, incoming] :
         {std::tuple{"target", TYPE_LINT, false}, std::tuple{"reached", TYPE_BOOL, true},
          std::tuple{"block", TYPE_BYTE_ARRAY, false}}) {
        ASSERT_EQ(editor.AddParameter(name, type, incoming), "");
    }
    ASSERT_TRUE(editor.SetStructure(
        2, CStructureDefinition(
               "block", {{"a", ELEMENT_WORD, 1}, {"b", ELEMENT_BYTE, 1}, {"c", ELEMENT_LINT, 1}})));
    EXPECT_EQ(editor.Length(2), 8u) << "a structure's size as the unit holds it, aligned";

    // "reached" up past "target": both stay first of their direction.
    ASSERT_TRUE(editor.MoveUp(1));
    EXPECT_EQ(Names(editor.Rows()), (std::vector<std::string>{"reached", "target", "block"}));
    EXPECT_EQ(editor.DirectionIndex(0), 0u);
    EXPECT_EQ(editor.DirectionIndex(1), 0u);
    auto command = editor.Result();
    EXPECT_EQ(SendNames(command->Parameters()), (std::vector<std::string>{"target", "block"}));
    EXPECT_EQ(ReturnNames(command->Parameters()), std::vector<std::string>{"reached"});

    // "block" up past "target": the outgoing order changes and its structure follows it.
    ASSERT_TRUE(editor.MoveUp(2));
    EXPECT_FALSE(editor.MoveUp(0));
    command = editor.Result();
    EXPECT_EQ(SendNames(command->Parameters()), (std::vector<std::string>{"block", "target"}));
    EXPECT_EQ(command->Parameters().GetSendSize(0), 8u);
    ASSERT_EQ(command->SendAttachments().size(), 1u);
    EXPECT_EQ(command->SendAttachments()[0].parameterIndex, 0u);
    EXPECT_TRUE(command->ReturnAttachments().empty());
    EXPECT_EQ(command->GetCode(), 0x7A);

    // Reopened, the command shows the same parameters.
    CustomerCommandEditor reopened(*command, false);
    EXPECT_EQ(Names(reopened.Rows()), (std::vector<std::string>{"block", "target", "reached"}));
    EXPECT_EQ(reopened.Length(0), 8u);
}

TEST(CustomerCommandEditing, MessageLimitBoundsStructuresAndParameters) {
    CustomerCommandEditor editor(CKelCustomerCommand(), true);
    ASSERT_EQ(editor.AddParameter("block", TYPE_BYTE_ARRAY, false), "");
    ASSERT_EQ(editor.AddParameter("count", TYPE_LWORD, false), "");
    EXPECT_EQ(editor.StructureLimit(0), 1019u);
    // 1019 bytes pad to 1020 as the unit holds them.
    EXPECT_FALSE(editor.SetStructure(0, CStructureDefinition("b", {{"x", ELEMENT_BYTE, 1019}})));
    ASSERT_TRUE(editor.SetStructure(0, CStructureDefinition("b", {{"x", ELEMENT_BYTE, 1018}})));
    EXPECT_EQ(editor.AddParameter("more", TYPE_WORD, false), kMessageTooLong);
    EXPECT_EQ(editor.AddParameter("answer", TYPE_LINT, true), "") << "the answer has its own";
}

TEST_F(CustomerSetsTest, SameFileLoadedTwiceIsRefusedAndTheListStays) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("Press.ccs").toStdString();
    ASSERT_EQ(WriteCustomerSetFile(path, *Set("Press", {"Jog", "Stop"})), FileStatus::kOk);
    CCustomerCommandSets store;
    CustomerSetsEditor editor(store);
    EXPECT_EQ(editor.Load({path}).added, 1);
    const SetLoadOutcome again = editor.Load({path});
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.messages, std::vector<std::string>{"Client 'Press' is already loaded!"});
    ASSERT_EQ(editor.Sets().size(), 1u);
    EXPECT_EQ(editor.Sets()[0]->GetCommands().size(), 2u);

    // The entry function loads into the store itself with the same rule.
    RecordingPrompt prompt;
    EXPECT_EQ(LoadCustomerSetFiles({QString::fromStdString(path)}, store), 1);
    EXPECT_EQ(LoadCustomerSetFiles({QString::fromStdString(path)}, store), 0);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Client 'Press' is already loaded!"});
    EXPECT_EQ(store.Count(), 1u);
}

TEST_F(CustomerSetsTest, AClientNameOfAnotherSetIsRefused) {
    CCustomerCommandSets store;
    for (const char* client : {"Press", "Lathe"}) {
        auto set = Set(client);
        ASSERT_TRUE(store.Add(set));
    }
    CustomerSetsEditor editor(store);
    EXPECT_EQ(editor.Replace(1, *Set("Press")), "Client 'Press' is already loaded!");
    EXPECT_EQ(editor.Add(*Set("Lathe")), "Client 'Lathe' is already loaded!");
    EXPECT_EQ(editor.Replace(1, *Set("Lathe", {"Feed"})), "") << "its own name is kept";
    ASSERT_EQ(editor.Sets().size(), 2u);
    EXPECT_EQ(editor.Sets()[0]->GetClientName(), "Press");
    EXPECT_EQ(editor.Sets()[1]->GetCommands().size(), 1u);

    // The set dialog refuses it on "&OK" and stays open.
    RecordingPrompt prompt;
    CustomerCommandSetDialog dialog(*editor.Sets()[1], editor.NamesExcept(1));
    dialog.show();
    Type(dialog, "client_name", "Press");
    Click(dialog, "ok");
    Type(dialog, "client_name", "");
    Click(dialog, "ok");
    EXPECT_EQ(prompt.messages,
              (std::vector<std::string>{"Client 'Press' is already loaded!", kEnterName}));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(CustomerSetsTest, StoreAllWritesOneFilePerClientAndNeverLeavesTheFolder) {
    QTemporaryDir folder;
    CCustomerCommandSets store;
    for (const char* client : {"Press", "../Escape"}) {
        auto set = Set(client, {"Jog"});
        ASSERT_TRUE(store.Add(set));
    }
    CustomerSetsEditor editor(store);
    const std::string target = folder.filePath("out").toStdString();
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(target)));
    const auto messages = editor.StoreAll(target);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("../Escape.ccs"), std::string::npos);
    EXPECT_FALSE(QFile::exists(folder.filePath("Escape.ccs")));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(target + "/Press.ccs", bytes));
    EXPECT_EQ(bytes, StoreCustomerSetBytes(*store.GetSets()[0]));
}

TEST_F(CustomerSetsTest, TheStoreChangesOnlyOnOk) {
    CCustomerCommandSets store;
    auto set = Set("Press", {"Jog"});
    ASSERT_TRUE(store.Add(set));
    const auto deleteAllThen = [](const char* button) {
        return [button](QDialog& dialog) {
            Click(dialog, "delete_all");
            EXPECT_EQ(
                Find<QTreeWidget>(dialog, "defined_customer_command_sets").topLevelItemCount(), 0);
            Click(dialog, button);
        };
    };
    {
        ModalScript script({deleteAllThen("cancel")});
        EXPECT_FALSE(EditCustomerCommandSets(store, nullptr));
        EXPECT_EQ(script.titles, std::vector<std::string>{"Customer Command Sets"});
    }
    ASSERT_EQ(store.Count(), 1u);
    EXPECT_EQ(store.GetSets()[0]->GetCommands().size(), 1u);
    {
        ModalScript script({deleteAllThen("ok")});
        EXPECT_TRUE(EditCustomerCommandSets(store, nullptr));
    }
    EXPECT_EQ(store.Count(), 0u);
}

TEST_F(CustomerSetsTest, EnterInTheListsEditsOrStaysInsteadOfClosing) {
    RecordingPrompt prompt;
    CustomerCommandSetDialog setDialog(*Set("Press", {"Jog"}), {});
    setDialog.show();
    ModalScript script({[](QDialog& command) {
        // Enter in the parameter list leaves "Customer Command" open; a bad number is refused.
        auto& parameters = Find<QTreeWidget>(command, "defined_parameters");
        parameters.setFocus();
        PressEnter(parameters);
        EXPECT_TRUE(command.isVisible());
        Type(command, "type_number", "G1");
        Click(command, "ok");
        EXPECT_TRUE(command.isVisible());
        Type(command, "type_number", "1f");
        Click(command, "ok");
    }});
    setDialog.Commands().setFocus();
    PressEnter(setDialog.Commands());
    EXPECT_EQ(script.titles, std::vector<std::string>{"Customer Command"});
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kTypeNumberNotCorrect});
    EXPECT_TRUE(setDialog.isVisible());
    ASSERT_EQ(setDialog.Commands().topLevelItemCount(), 1);
    EXPECT_EQ(setDialog.Commands().topLevelItem(0)->text(1), "0x1F");
}

TEST_F(CustomerSetsTest, DoubleClickOnAStructRowDefinesItsStructure) {
    CKelCustomerCommand original;
    CustomerCommandDialog dialog(original, true);
    ASSERT_TRUE(dialog.AddParameter("recipe", TYPE_BYTE_ARRAY, false));
    ModalScript script({[](QDialog& define) {
        dynamic_cast<DefineStructureDialog&>(define).AddElement({"force", ELEMENT_FLOAT, 2});
        Click(define, "ok");
    }});
    QTreeWidgetItem* row = dialog.Parameters().topLevelItem(0);
    Q_EMIT dialog.Parameters().itemDoubleClicked(row, 0);
    EXPECT_EQ(script.titles, std::vector<std::string>{"Define Data Structure"});
    EXPECT_EQ(dialog.Parameters().topLevelItem(0)->text(3), "8");
    const auto command = dialog.Result();
    ASSERT_EQ(command->SendAttachments().size(), 1u);
    EXPECT_EQ(command->SendAttachments()[0].structure.GetElementCount(), 1u);
    EXPECT_EQ(command->Parameters().GetSendSize(0), 8u);
}

}  // namespace
}  // namespace kelcmd::testing

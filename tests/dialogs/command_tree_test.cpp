// The command tree dialogs and the command report: what the tree lists, what executing a row
// sends to a simulated unit, how the customer sets are loaded and handed back, and the report's
// lines on narrow and wide surfaces.
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <set>

#include "api/families.h"
#include "api/family_test_support.h"
#include "command/catalogue_trees.h"
#include "command/command_files.h"
#include "dialog_test_support.h"
#include "dialogs/report/command_report.h"
#include "dialogs/report/report_painter.h"
#include "dialogs/toolkit/command_runner.h"
#include "dialogs/tree/command_tree_view.h"
#include "dialogs/tree/execute_command_dialog.h"
#include "dialogs/tree/execute_customer_dialog.h"

namespace kelcmd::testing {
namespace {

using dialogs::ExecuteCustomerCommandsDialog;
using dialogs::ExecuteStandardCommandsDialog;

void PressEnter(QWidget& widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

class CommandTreeTest : public DialogTest {};

TEST_F(CommandTreeTest, ExecuteCommandShowsTheTwelveFamiliesInOrder) {
    ExecuteStandardCommandsDialog dialog(Families().InOrder(), "Com35", 1);
    QTreeWidget& tree = dialog.Tree();
    std::vector<std::string> rows;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        rows.push_back(tree.topLevelItem(i)->text(0).toStdString());
        EXPECT_GT(tree.topLevelItem(i)->childCount(), 0) << rows.back();
        EXPECT_EQ(dialogs::CommandOfRow(tree.topLevelItem(i)), nullptr);
    }
    const auto order = StandardFamilyOrder();
    EXPECT_EQ(rows, std::vector<std::string>(order.begin(), order.end()));
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(tree.currentItem(), tree.topLevelItem(0));
    QTreeWidgetItem* leaf = Row(tree, "MotionControl", "MoveAbsolute");
    ASSERT_NE(leaf, nullptr);
    ASSERT_NE(dialogs::CommandOfRow(leaf), nullptr);
    EXPECT_EQ(dialogs::CommandOfRow(leaf)->GetName(), "MoveAbsolute");
}

TEST_F(CommandTreeTest, EnterInTheTreeExecutesAndEnterOnAButtonCloses) {
    SimPort port(35);
    AnswerCodes(port.Unit(1), 48, 48, {0x00, 0x00, 0x30, 0x39});
    RecordingPrompt prompt;
    ExecuteStandardCommandsDialog dialog(Families().InOrder(), port.name, 1);
    std::vector<std::string> executed;
    QObject::connect(&dialog, &dialogs::ExecuteTreeDialog::CommandExecuted,
                     [&](const CCommand& command) { executed.push_back(command.GetName()); });
    dialog.show();

    // A folder row runs nothing.
    PressEnter(dialog.Tree());
    EXPECT_TRUE(WireRequests(port).empty());

    dialog.Tree().setCurrentItem(Row(dialog.Tree(), "MotionInfo", "ReadPosition"));
    ModalScript script({Ok([](QDialog& d) { EXPECT_EQ(Text(d, "effective_position"), "12345"); })});
    PressEnter(dialog.Tree());
    EXPECT_EQ(WireRequests(port), (std::vector<WireRequest>{{1, 48, {}}}));
    EXPECT_EQ(script.titles, std::vector<std::string>{"ReadPosition"});
    EXPECT_EQ(executed, std::vector<std::string>{"ReadPosition"});
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Tree().currentItem()->text(0), "ReadPosition");

    auto& exit = Find<QPushButton>(dialog, "ok");
    exit.setFocus();
    PressEnter(exit);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(CommandTreeTest, FailedExecutionReportsAndStaysOpen) {
    SimPort port(36);
    RecordingPrompt prompt;
    ExecuteStandardCommandsDialog dialog(Families().InOrder(), port.name, 9);  // nobody at 9
    dialog.show();
    dialog.Tree().setCurrentItem(Row(dialog.Tree(), "MotionInfo", "ReadPosition"));
    dialog.ExecuteSelected();
    EXPECT_EQ(prompt.messages, std::vector<std::string>{dialogs::kCommandFailed});
    EXPECT_TRUE(dialog.isVisible());
}

// A ".ccs" file of one client with one command.
std::string WriteClientFile(const QTemporaryDir& folder, const std::string& client) {
    CCustomerCommandSet set(client);
    auto command = std::make_unique<CKelCustomerCommand>();
    command->SetCommand("Jog", 0x7A, 0, 0);
    set.AddCommand(std::move(command));
    const std::string path = folder.filePath(QString::fromStdString(client) + ".ccs").toStdString();
    EXPECT_EQ(WriteCustomerSetFile(path, set), FileStatus::kOk);
    return path;
}

TEST_F(CommandTreeTest, ClientLoadedTwiceIsRefusedAndTheStoreChangesOnlyOnExit) {
    QTemporaryDir folder;
    const std::string path = WriteClientFile(folder, "Press");
    CCustomerCommandSets store(&Communication());
    RecordingPrompt prompt;
    {
        ExecuteCustomerCommandsDialog dialog(store, "Com37", 1);
        dialog.LoadClients({QString::fromStdString(path)});
        dialog.LoadClients({QString::fromStdString(path)});
        EXPECT_EQ(prompt.messages, std::vector<std::string>{"Client 'Press' is already loaded!"});
        ASSERT_EQ(dialog.Tree().topLevelItemCount(), 1);
        EXPECT_EQ(dialog.Tree().topLevelItem(0)->childCount(), 1);
        EXPECT_EQ(dialog.Clients().Count(), 1u);
        dialog.reject();
    }
    EXPECT_EQ(store.Count(), 0u) << "cancelled: the store is as it was";

    ExecuteCustomerCommandsDialog dialog(store, "Com37", 1);
    dialog.LoadClients({QString::fromStdString(path)});
    Click(dialog, "ok");
    ASSERT_EQ(store.Count(), 1u);
    EXPECT_EQ(store.GetSets()[0]->GetClientName(), "Press");

    ExecuteCustomerCommandsDialog again(store, "Com37", 1);
    EXPECT_EQ(again.Tree().topLevelItemCount(), 1);
    Click(again, "delete_all");
    EXPECT_EQ(again.Tree().topLevelItemCount(), 0);
    EXPECT_EQ(store.Count(), 1u);
}

TEST_F(CommandTreeTest, CustomerRowsExecuteByTheirRunningNumber) {
    SimPort port(38);
    QTemporaryDir folder;
    CCustomerCommandSets store(&Communication());
    RecordingPrompt prompt;
    ExecuteCustomerCommandsDialog dialog(store, port.name, 1);
    dialog.LoadClients({QString::fromStdString(WriteClientFile(folder, "A")),
                        QString::fromStdString(WriteClientFile(folder, "B"))});
    dialog.show();
    dialog.Tree().setCurrentItem(dialog.Tree().topLevelItem(1)->child(0));
    dialog.ExecuteSelected();
    // The simulated unit does not know the code: the request went out, the failure is reported.
    ASSERT_FALSE(WireRequests(port).empty());
    EXPECT_EQ(WireRequests(port)[0].mtype, 0x7A);
}

// Fixed metrics: every character 100 units wide, text 200 high.
dialogs::ReportMetrics Metrics(double rightEdge) {
    return {[](const std::string& text, dialogs::ReportFont) { return 100.0 * text.size(); }, 200,
            rightEdge};
}

std::vector<std::string> Texts(const dialogs::ReportLayout& layout) {
    std::vector<std::string> texts;
    for (const auto& text : layout.texts) texts.push_back(text.text);
    return texts;
}

TEST_F(CommandTreeTest, ReportOfMoveAbsoluteOnNarrowAndWideSurfaces) {
    SimPort port(39);
    auto command = dialogs::CopyPrototype(Families().MotionControl(), "MoveAbsolute");
    ASSERT_NE(command, nullptr);
    command->SetPortName(port.name);
    command->SetDestination(1);
    const int32_t target = 0x01020304;
    command->SetSendValue(0, &target, sizeof target);
    ASSERT_NE(Families().MotionControl().Execute(command.get()), 0);

    const auto narrow = Texts(dialogs::LayOutCommandReport(*command, {}, Metrics(2249), 0, 0));
    ASSERT_GE(narrow.size(), 4u);
    EXPECT_EQ(narrow[0], "KelBus Standard Command: MoveAbsolute ( 0x24 )");
    EXPECT_EQ(narrow[1].rfind("Command Succeeded | Receive Trials: 1 | Time: ", 0), 0u)
        << narrow[1];
    EXPECT_EQ(narrow[2], "Remark: ");
    EXPECT_EQ(narrow[3], "Message Out");
    const auto data = std::find(narrow.begin(), narrow.end(), "data");
    ASSERT_NE(data, narrow.end());
    EXPECT_EQ(*(data + 1), ": not visible");

    dialogs::ReportOptions hex;
    hex.hexadecimal = true;
    const auto wide = Texts(dialogs::LayOutCommandReport(*command, hex, Metrics(20000), 0, 0));
    const std::vector<std::string> header = {"dest",   ": 0x01", "len",    ": 0x0004", "send",
                                             ": 0x00", "mtype",  ": 0x24", "data"};
    const auto out = std::find(wide.begin(), wide.end(), "Message Out");
    ASSERT_GE(wide.end() - out, 11);
    EXPECT_EQ(std::vector<std::string>(out + 1, out + 10), header);
    EXPECT_EQ(*(out + 10), ": | 0x01 | 0x02 | 0x03 | 0x04 |");
    EXPECT_NE(std::find(wide.begin(), wide.end(), "Message In"), wide.end());
}

TEST_F(CommandTreeTest, ReportDataWrapsBeforeTheMarginAndTheImageIsNotBlank) {
    SimPort port(54);
    auto command = dialogs::CopyPrototype(Families().MotionControl(), "MoveAbsolute");
    command->SetPortName(port.name);
    command->SetDestination(1);
    ASSERT_NE(Families().MotionControl().Execute(command.get()), 0);
    // Four items of " 0 |" (400 units) after ": |" from x 600: 3 fit left of 2300 - 300.
    const auto layout = dialogs::LayOutCommandReport(*command, {}, Metrics(2300), 0, 0);
    const auto texts = Texts(layout);
    const auto data = std::find(texts.begin(), texts.end(), "data");
    ASSERT_NE(data, texts.end());
    EXPECT_EQ(*(data + 1), ": | 0 | 0 |");
    EXPECT_EQ(*(data + 2), "  | 0 | 0 |");
    for (const auto& text : layout.texts) EXPECT_LE(text.x, layout.rightmost);

    const QImage image = dialogs::CommandReportImage(*command, {}, 19000);
    ASSERT_FALSE(image.isNull());
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 2u);
}

}  // namespace
}  // namespace kelcmd::testing

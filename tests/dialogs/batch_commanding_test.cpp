// "Batch Commanding" against a simulated unit: one batch frame for the whole batch, the result
// texts, and "Auto Repetition" ending by itself when the unit stops answering.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "api/families.h"
#include "api/family_test_support.h"
#include "command/batch_command_store.h"
#include "command/command_files.h"
#include "command/kel_batch_command.h"
#include "dialog_test_support.h"
#include "dialogs/batch/batch_commanding_dialog.h"
#include "dialogs/batch/batch_editor_dialog.h"
#include "dialogs/toolkit/command_runner.h"
#include "dialogs/toolkit/typed_value.h"
#include "dialogs/tree/command_tree_view.h"
#include "sim/fault.h"

namespace kelcmd::testing {
namespace {

using dialogs::BatchCommandingDialog;
using dialogs::BatchEditorDialog;

// A batch "Read" of ReadPosition and ReadAxisStatus in the store.
void AddReadBatch(CBatchCommandStore& store) {
    auto batch = std::make_unique<CKelBatchCommand>();
    batch->SetName("Read");
    batch->AppendCommand(dialogs::CopyPrototype(Families().MotionInfo(), "ReadPosition"));
    batch->AppendCommand(dialogs::CopyPrototype(Families().Status(), "ReadAxisStatus"));
    ASSERT_TRUE(store.Add(batch));
}

std::vector<std::string> Column(QDialog& dialog, int column) {
    auto& list = Find<QTreeWidget>(dialog, "stacked");
    std::vector<std::string> texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        texts.push_back(list.topLevelItem(i)->text(column).toStdString());
    }
    return texts;
}

class BatchCommandingTest : public DialogTest {};

TEST_F(BatchCommandingTest, ExecutesTheBatchInOneFrameAndShowsTheMembersResults) {
    SimPort port(55);
    AnswerCodes(port.Unit(1), 48, 48, {0x00, 0x00, 0x30, 0x39});
    AnswerCodes(port.Unit(1), 11, 11, {0x80, 0x01});
    CBatchCommandStore store(&Communication());
    AddReadBatch(store);
    RecordingPrompt prompt;
    BatchCommandingDialog dialog(store, port.name, 1);
    EXPECT_EQ(Column(dialog, 1), (std::vector<std::string>{"ReadPosition", "ReadAxisStatus"}));
    EXPECT_EQ(Column(dialog, 2), (std::vector<std::string>(2, "CKelStandardCommand")));
    auto& stacked = Find<QTreeWidget>(dialog, "stacked");
    stacked.setCurrentItem(stacked.topLevelItem(0));
    dialog.EnterParameter();  // ReadPosition sends nothing
    EXPECT_EQ(dialog.Information(), "No parameter!");

    dialog.ExecuteBatch();
    const auto requests = WireRequests(port);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].mtype, kBatchCode);
    EXPECT_EQ(dialog.Information(), "Executing 'Batch' command succeeded!");
    EXPECT_EQ(Column(dialog, 0), (std::vector<std::string>(2, "Succeeded")));
    EXPECT_TRUE(prompt.messages.empty());
    const auto* position =
        static_cast<const CKelStandardCommand*>(store.GetBatches()[0]->GetCommand(0));
    EXPECT_EQ(dialogs::ReadUnsigned(position->Wire().GetReturnValue(0)), 12345u);
}

TEST_F(BatchCommandingTest, FailingMemberShowsTheBatchFailure) {
    SimPort port(56);
    AnswerCodes(port.Unit(1), 48, 48, {0x00, 0x00, 0x30, 0x39});
    port.Unit(1).RemoveHandler(11);  // ReadAxisStatus is refused
    CBatchCommandStore store(&Communication());
    AddReadBatch(store);
    RecordingPrompt prompt;
    BatchCommandingDialog dialog(store, port.name, 1);
    dialog.ExecuteBatch();
    EXPECT_EQ(WireRequests(port).size(), 1u);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Failed executing 'Batch' command!"});
    EXPECT_NE(dialog.Information(), "Executing 'Batch' command succeeded!");
    EXPECT_FALSE(dialog.Information().empty());
    EXPECT_NE(Column(dialog, 0)[1], "Succeeded");
}

TEST_F(BatchCommandingTest, NothingSelectedSaysSo) {
    CBatchCommandStore store(&Communication());
    BatchCommandingDialog dialog(store, "Com57", 1);
    dialog.ExecuteBatch();
    EXPECT_EQ(dialog.Information(), "No batch command selected!");
    Find<QCheckBox>(dialog, "auto_repetition").setChecked(true);
    EXPECT_FALSE(Checked(dialog, "auto_repetition"));
    EXPECT_FALSE(dialog.Repeating());
}

TEST_F(BatchCommandingTest, LoadingABatchTwiceStopsAtTheDuplicate) {
    QTemporaryDir folder;
    CBatchCommandStore source(&Communication());
    AddReadBatch(source);
    const QString path = folder.filePath("Read.kbc");
    ASSERT_EQ(WriteBatchFile(path.toStdString(), *source.GetBatches()[0]), FileStatus::kOk);
    CBatchCommandStore store(&Communication());
    RecordingPrompt prompt;
    BatchCommandingDialog dialog(store, "Com57", 1);
    dialog.LoadBatches({path, path, folder.filePath("missing.kbc")});
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"BatchCommand 'Read' is already loaded!"});
    ASSERT_EQ(store.Count(), 1u);
    EXPECT_EQ(Column(dialog, 1), (std::vector<std::string>{"ReadPosition", "ReadAxisStatus"}));
    Click(dialog, "delete_all");
    EXPECT_EQ(store.Count(), 0u);
    EXPECT_EQ(Find<QComboBox>(dialog, "batches").currentText(), "No batch command");
}

QTreeWidgetItem* AvailableRow(QTreeWidget& tree, const std::string& name) {
    const auto rows =
        tree.findItems(QString::fromStdString(name), Qt::MatchExactly | Qt::MatchRecursive);
    return rows.empty() ? nullptr : rows.front();
}

TEST_F(BatchCommandingTest, EditorBuildsABatchOnACopy) {
    CBatchCommandStore store(&Communication());
    AddReadBatch(store);
    const auto families = Families().InOrder();
    CCustomerCommandSets customers;
    RecordingPrompt prompt;
    BatchEditorDialog editor(store.GetBatches(), families, customers);
    EXPECT_FALSE(editor.NewBatch("read"));
    EXPECT_TRUE(editor.NewBatch("Move"));
    editor.AppendSelected();  // the tree's first row is a folder
    editor.Available().setCurrentItem(AvailableRow(editor.Available(), "MoveAbsolute"));
    editor.AppendSelected();
    editor.Available().setCurrentItem(AvailableRow(editor.Available(), "ReadPosition"));
    editor.InsertSelected();  // before the selected, just added, MoveAbsolute
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"Name already exists!\nEnter a new name!",
                                                         "No KelCommand selected!"}));
    ASSERT_EQ(editor.Batches().size(), 2u);
    const CKelBatchCommand& move = *editor.Batches()[1];
    ASSERT_EQ(move.GetCommandCount(), 2u);
    EXPECT_EQ(move.GetCommand(0)->GetName(), "ReadPosition");
    EXPECT_EQ(move.GetCommand(1)->GetName(), "MoveAbsolute");
    editor.reject();
    EXPECT_EQ(store.Count(), 1u) << "cancelled: the store is as it was";
}

TEST_F(BatchCommandingTest, EditorLoadsAndSavesWhatTheUserSeesWithoutTouchingTheStore) {
    QTemporaryDir folder;
    CBatchCommandStore source(&Communication());
    AddReadBatch(source);
    const QString path = folder.filePath("in.kbc");
    ASSERT_EQ(WriteBatchFile(path.toStdString(), *source.GetBatches()[0]), FileStatus::kOk);
    CBatchCommandStore store(&Communication());
    CCustomerCommandSets customers;
    RecordingPrompt prompt;
    BatchEditorDialog editor(store.GetBatches(), Families().InOrder(), customers);
    editor.LoadBatches({path, path});
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"BatchCommand 'Read' is already loaded!"});
    EXPECT_TRUE(editor.NewBatch("Empty"));
    ASSERT_TRUE(editor.SaveAll(folder.path()));
    EXPECT_EQ(store.Count(), 0u) << "loading goes into the edited copy only";

    CBatchCommandStore reread(&Communication());
    for (const char* name : {"Read.kbc", "Empty.kbc"}) {
        EXPECT_EQ(ReadBatchFile(folder.filePath(name).toStdString(), reread), FileStatus::kOk)
            << name;
    }
    ASSERT_EQ(reread.Count(), 2u);
    EXPECT_EQ(reread.Find("Read")->GetCommandCount(), 2u);
}

TEST_F(BatchCommandingTest, AutoRepetitionEndsWhenTheUnitStopsAnswering) {
    SimPort port(58);
    AnswerCodes(port.Unit(1), 48, 48, {0x00, 0x00, 0x30, 0x39});
    AnswerCodes(port.Unit(1), 11, 11, {0x80, 0x01});
    CBatchCommandStore store(&Communication());
    AddReadBatch(store);
    RecordingPrompt prompt;
    BatchCommandingDialog dialog(store, port.name, 1);
    dialog.show();
    Find<QSpinBox>(dialog, "delay").setValue(5);
    Find<QCheckBox>(dialog, "auto_repetition").setChecked(true);
    EXPECT_FALSE(Find<QPushButton>(dialog, "execute").isEnabled());

    auto waitFor = [](const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    };
    ASSERT_TRUE(waitFor([&] { return WireRequests(port).size() >= 3; }));
    port.Unit(1).Misbehave(sim::Fault::Silent, sim::kAlways);
    ASSERT_TRUE(waitFor([&] { return !Checked(dialog, "auto_repetition"); }));
    EXPECT_FALSE(dialog.Repeating());
    EXPECT_TRUE(Find<QPushButton>(dialog, "execute").isEnabled());
    EXPECT_EQ(dialog.Information().rfind("Executing 'Batch' command failed!", 0), 0u)
        << dialog.Information();
    EXPECT_TRUE(prompt.messages.empty()) << "the repetition reports on the information line";
}

TEST_F(BatchCommandingTest, ClosingStopsARunningRepetition) {
    SimPort port(59);
    AnswerCodes(port.Unit(1), 48, 48, {0x00, 0x00, 0x30, 0x39});
    AnswerCodes(port.Unit(1), 11, 11, {0x80, 0x01});
    CBatchCommandStore store(&Communication());
    AddReadBatch(store);
    BatchCommandingDialog dialog(store, port.name, 1);
    dialog.show();
    Find<QSpinBox>(dialog, "delay").setValue(1000);
    Find<QCheckBox>(dialog, "auto_repetition").setChecked(true);
    EXPECT_TRUE(dialog.Repeating());
    QElapsedTimer timer;
    timer.start();
    dialog.reject();
    EXPECT_FALSE(dialog.Repeating());
    EXPECT_LT(timer.elapsed(), 900) << "the delay is cut short";
}

}  // namespace
}  // namespace kelcmd::testing

// "Batch Commanding" against a simulated unit: one batch frame for the whole batch, the result
// texts, and "Auto Repetition" ending by itself when the unit stops answering.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstring>

#include "api/families.h"
#include "api/family_test_support.h"
#include "command/batch_command_store.h"
#include "command/command_files.h"
#include "command/kel_batch_command.h"
#include "command/kel_customer_command.h"
#include "command/parameter_types.h"
#include "dialog_test_support.h"
#include "dialogs/batch/batch_commanding_dialog.h"
#include "dialogs/batch/batch_editor_dialog.h"
#include "dialogs/batch/batch_parameters.h"
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

// Unit 1 answers the members of "Read": position 12345, axis status 0x8001.
void AnswerReadBatch(SimPort& port) {
    AnswerCodes(port.Unit(1), 48, 48, {0x00, 0x00, 0x30, 0x39});
    AnswerCodes(port.Unit(1), 11, 11, {0x80, 0x01});
}

std::vector<std::string> Column(QDialog& dialog, int column, const char* listName = "stacked") {
    auto& list = Find<QTreeWidget>(dialog, listName);
    std::vector<std::string> texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        texts.push_back(list.topLevelItem(i)->text(column).toStdString());
    }
    return texts;
}

class BatchCommandingTest : public DialogTest {};

TEST_F(BatchCommandingTest, ExecutesTheBatchInOneFrameAndShowsTheMembersResults) {
    SimPort port(55);
    AnswerReadBatch(port);
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
    EXPECT_EQ(Column(dialog, 2, "return_parameters"), std::vector<std::string>{"12345"});
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

TEST_F(BatchCommandingTest, DefineBatchComesBackWithTheEditorsSelection) {
    CBatchCommandStore store(&Communication());
    AddReadBatch(store);
    BatchCommandingDialog dialog(store, "Com1", 1);
    ModalScript script({Ok([](QDialog& editor) {
        ASSERT_TRUE(static_cast<BatchEditorDialog&>(editor).NewBatch("Second"));
    })});
    Click(dialog, "define_batch");
    ASSERT_EQ(store.Count(), 2u);
    EXPECT_EQ(Find<QComboBox>(dialog, "batches").currentText(), "Second");
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
    AnswerReadBatch(port);
    CBatchCommandStore store(&Communication());
    AddReadBatch(store);
    RecordingPrompt prompt;
    // Not shown: painting a large window would run Qt's own image threads, which the thread
    // checker cannot see into.
    BatchCommandingDialog dialog(store, port.name, 1);
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
    AnswerReadBatch(port);
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

void PressEnter(QWidget& widget) {
    widget.setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

void TypeAndLeave(QDialog& dialog, const char* field, const std::string& text) {
    auto& edit = Find<QLineEdit>(dialog, field);
    edit.setText(QString::fromStdString(text));
    edit.setModified(true);  // as typed by the user
    Q_EMIT edit.editingFinished();
}

TEST_F(BatchCommandingTest, ParameterListsShowTypesAndValues) {
    const float onePointFive = 1.5f;
    std::vector<uint8_t> floatBytes(4);
    std::memcpy(floatBytes.data(), &onePointFive, 4);
    struct Case {
        uint8_t type;
        std::vector<uint8_t> bytes;
        std::string typeName;
        std::string value;
    };
    const std::vector<Case> cases = {
        {TYPE_BYTE, {200}, "Byte", "200"},
        {TYPE_WORD, {0xE8, 0x03}, "Word", "1000"},
        {TYPE_INT, {0xFF, 0xFF}, "Int", "-1"},
        {TYPE_LWORD, {0xFF, 0xFF, 0xFF, 0xFF}, "LWord", "4294967295"},
        {TYPE_LINT, {0xFE, 0xFF, 0xFF, 0xFF}, "LInt", "-2"},
        {TYPE_FLOAT, floatBytes, "Float", "1.500000"},
        {TYPE_SYSPARAM, std::vector<uint8_t>(kSysParamSize), "SysParam", "NAN"},
        {TYPE_SYSPARAM_EX, std::vector<uint8_t>(kSysParamExSize), "SysParamEx", "NAN"},
        {TYPE_INT_ARRAY, {1, 0, 2, 0}, "RecordedData", "NAN"},
        {TYPE_BYTE_ARRAY, {7}, "MemoryBlock", "NAN"},
        {TYPE_BITS8, {0xA5}, "Bits8", " | 1010 | 0101 | "},
        {TYPE_BITS16, {0x01, 0x80}, "Bits16", " | 1000 | 0000 | 0000 | 0001 | "},
        {TYPE_BITS32,
         {0x0F, 0, 0, 0x80},
         "Bits32",
         " | 1000 | 0000 | 0000 | 0000 | 0000 | 0000 | 0000 | 1111 | "},
        {TYPE_BOOL, {1}, "Boolean", "TRUE"},
        {TYPE_BOOL, {0}, "Boolean", "FALSE"},
        {TYPE_WORD, {0x01}, "Word", "not valid"},  // a byte short
        {TYPE_SYSPARAM, std::vector<uint8_t>(10), "SysParam", "not valid"},
    };
    auto custom = std::make_unique<CKelCustomerCommand>();
    custom->SetName("Custom");
    CParameterList& list = custom->Parameters();
    for (size_t i = 0; i < cases.size(); ++i) {
        ASSERT_EQ(list.AddSendParameter("p" + std::to_string(i), cases[i].type, 0), 1);
        list.SetSendValue(i, cases[i].bytes.data(), static_cast<uint32_t>(cases[i].bytes.size()));
    }
    list.AddReturnParameter("answer", TYPE_LINT, 4);
    auto batch = std::make_unique<CKelBatchCommand>();
    batch->SetName("Types");
    batch->AppendCommand(std::move(custom));
    CBatchCommandStore store(&Communication());
    ASSERT_TRUE(store.Add(batch));
    BatchCommandingDialog dialog(store, "Com57", 1);

    const auto types = Column(dialog, 1, "parameters");
    const auto values = Column(dialog, 2, "parameters");
    ASSERT_EQ(values.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(types[i], cases[i].typeName) << "row " << i;
        EXPECT_EQ(values[i], cases[i].value) << "row " << i;
    }
    EXPECT_EQ(Column(dialog, 2, "return_parameters"), std::vector<std::string>{"not valid"})
        << "no answer has filled it";
    EXPECT_EQ(dialogs::BatchParameterValueText(kParameterTypeCount, {}), "not valid");
}

TEST_F(BatchCommandingTest, TypedTimeoutsReachTheCommandAndTheBatch) {
    SimPort port(60);
    AnswerReadBatch(port);
    port.Unit(1).Misbehave(sim::Fault::LateAnswer, sim::kAlways, 400);
    CBatchCommandStore store(&Communication());
    AddReadBatch(store);
    CKelBatchCommand& batch = *store.GetBatches()[0];
    batch.GetCommand(0)->SetAnswerTimeout(100);
    batch.GetCommand(1)->SetAnswerTimeout(100);
    RecordingPrompt prompt;
    BatchCommandingDialog dialog(store, port.name, 1);
    EXPECT_EQ(Text(dialog, "timeout"), "100") << "the first stacked command is selected";
    EXPECT_EQ(Text(dialog, "total_timeout"), "200");

    // The answer comes 400 ms late: a total typed above that lets the batch wait for it.
    TypeAndLeave(dialog, "total_timeout", "3000");
    EXPECT_EQ(batch.GetFixedTimeout(), 3000u);
    dialog.ExecuteBatch();
    EXPECT_EQ(dialog.Information(), "Executing 'Batch' command succeeded!");

    // Emptied, the total is computed again; a typed member timeout counts in it.
    TypeAndLeave(dialog, "total_timeout", "");
    TypeAndLeave(dialog, "timeout", "50");
    EXPECT_EQ(batch.GetCommand(0)->GetAnswerTimeout(), 50u);
    EXPECT_EQ(Text(dialog, "total_timeout"), "150");
    dialog.ExecuteBatch();
    EXPECT_EQ(dialog.Information().rfind("Executing 'Batch' command failed!", 0), 0u)
        << dialog.Information();

    // A fixed total does not survive a change of the batch type.
    TypeAndLeave(dialog, "total_timeout", "0");
    EXPECT_EQ(batch.GetFixedTimeout(), 0u);
    Click(dialog, "type_quiet_send");
    EXPECT_FALSE(batch.GetFixedTimeout().has_value());
    EXPECT_EQ(Text(dialog, "total_timeout"), "100");
}

TEST_F(BatchCommandingTest, EnterActsOnTheControlThatHasTheFocus) {
    SimPort port(61);
    AnswerCodes(port.Unit(1), 48, 48, {0x00, 0x00, 0x30, 0x39});
    CBatchCommandStore store(&Communication());
    auto batch = std::make_unique<CKelBatchCommand>();
    batch->SetName("Move");
    batch->AppendCommand(dialogs::CopyPrototype(Families().MotionControl(), "MoveAbsolute"));
    batch->AppendCommand(dialogs::CopyPrototype(Families().MotionInfo(), "ReadPosition"));
    ASSERT_TRUE(store.Add(batch));
    RecordingPrompt prompt;
    BatchCommandingDialog dialog(store, port.name, 1);
    dialog.show();

    {  // in the stacked list: the selected command's parameters are entered, nothing is sent
        ModalScript script({Ok([](QDialog& form) { Type(form, "position", "5000"); })});
        PressEnter(Find<QTreeWidget>(dialog, "stacked"));
        EXPECT_EQ(script.titles, std::vector<std::string>{"MoveAbsolute"});
    }
    EXPECT_TRUE(WireRequests(port).empty());
    EXPECT_EQ(Column(dialog, 2, "parameters"), std::vector<std::string>{"5000"});

    {  // entering every parameter first, cancelled: the batch is not sent
        Find<QCheckBox>(dialog, "enter_all_automatically").setChecked(true);
        ModalScript script({Cancel()});
        PressEnter(Find<QPushButton>(dialog, "execute"));
        EXPECT_EQ(dialog.Information(), "Failed entering parameter of command 'MoveAbsolute' !");
        EXPECT_TRUE(WireRequests(port).empty());
        Find<QCheckBox>(dialog, "enter_all_automatically").setChecked(false);
    }

    // on "Execute Batch": one batch frame, and the window stays open with the button focused
    auto& execute = Find<QPushButton>(dialog, "execute");
    PressEnter(execute);
    ASSERT_EQ(WireRequests(port).size(), 1u);
    EXPECT_EQ(WireRequests(port)[0].mtype, kBatchCode);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), &execute);

    PressEnter(Find<QPushButton>(dialog, "ok"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(BatchCommandingTest, SavedBatchLoadsBackEqual) {
    QTemporaryDir folder;
    CBatchCommandStore store(&Communication());
    AddReadBatch(store);
    RecordingPrompt prompt;
    BatchCommandingDialog dialog(store, "Com57", 1);
    const QString path = folder.filePath("Read.kbc");
    ASSERT_TRUE(dialog.SaveSelected(path));
    EXPECT_FALSE(dialog.SaveSelected(folder.filePath("missing/Read.kbc")));
    EXPECT_EQ(prompt.messages.size(), 1u) << "a file that cannot be written says so";

    CBatchCommandStore reread(&Communication());
    BatchCommandingDialog other(reread, "Com57", 1);
    other.LoadBatches({path});
    ASSERT_EQ(reread.Count(), 1u);
    EXPECT_EQ(StoreBatchBytes(*reread.GetBatches()[0]), StoreBatchBytes(*store.GetBatches()[0]));

    CBatchCommandStore empty(&Communication());
    BatchCommandingDialog nothing(empty, "Com57", 1);
    EXPECT_FALSE(nothing.SaveSelected(folder.filePath("none.kbc")));
    EXPECT_FALSE(QFile::exists(folder.filePath("none.kbc")));
}

}  // namespace
}  // namespace kelcmd::testing

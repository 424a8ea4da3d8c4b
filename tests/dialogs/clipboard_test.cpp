// Commands on the Qt clipboard and in drag and drop: the MIME data, copying only from the GUI
// thread, pasting into the command trees, and dropping and pasting onto the batch editor's list.
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QTreeWidget>
#include <thread>

#include "api/families.h"
#include "api/family_test_support.h"
#include "command/command_clipboard.h"
#include "command/kel_batch_command.h"
#include "dialog_test_support.h"
#include "dialogs/batch/batch_editor_dialog.h"
#include "dialogs/clipboard/clipboard_texts.h"
#include "dialogs/clipboard/command_mime.h"
#include "dialogs/toolkit/command_runner.h"
#include "dialogs/toolkit/typed_value.h"
#include "dialogs/tree/command_tree_view.h"
#include "dialogs/tree/execute_command_dialog.h"

namespace kelcmd::testing {
namespace {

using dialogs::BatchEditorDialog;
using dialogs::ExecuteStandardCommandsDialog;

QTreeWidgetItem* RowNamed(QTreeWidget& tree, const std::string& name) {
    const auto rows =
        tree.findItems(QString::fromStdString(name), Qt::MatchExactly | Qt::MatchRecursive);
    return rows.empty() ? nullptr : rows.front();
}

std::unique_ptr<CKelStandardCommand> MoveTo(int32_t position) {
    auto command = dialogs::CopyPrototype(Families().MotionControl(), "MoveAbsolute");
    command->SetSendValue(0, &position, 4);
    return command;
}

int32_t Position(const CCommand* command) {
    auto* standard = dynamic_cast<const CKelStandardCommand*>(command);
    return static_cast<int32_t>(dialogs::ReadUnsigned(standard->Wire().GetSendValue(0)));
}

// Puts raw bytes on the clipboard under a command format's MIME type.
void PutRaw(const char* format, const QByteArray& bytes) {
    auto* data = new QMimeData;
    data->setData(dialogs::CommandMimeType(format), bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

std::vector<std::string> StackedNames(BatchEditorDialog& editor) {
    std::vector<std::string> names;
    for (int i = 0; i < editor.Stacked().topLevelItemCount(); ++i) {
        names.push_back(editor.Stacked().topLevelItem(i)->text(0).toStdString());
    }
    return names;
}

std::vector<std::string> MemberNames(const CKelBatchCommand& batch) {
    std::vector<std::string> names;
    for (const auto& member : batch.GetCommands()) names.push_back(member->GetName());
    return names;
}

class ClipboardTest : public DialogTest {};

TEST_F(ClipboardTest, ACommandTravelsUnderItsMimeTypeAndOnlyFromTheGuiThread) {
    const auto command = MoveTo(4321);
    ASSERT_EQ(command->CopyToClipboard(), 1);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->formats(), QStringList{"application/x-kelcmd-KelStandardCommand"});
    const QByteArray bytes = data->data("application/x-kelcmd-KelStandardCommand");
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), ClipboardBytes(*command));

    int copiedElsewhere = -1;
    bool pastedElsewhere = true;
    std::thread other([&] {
        copiedElsewhere = MoveTo(1)->CopyToClipboard();
        pastedElsewhere = PasteCommand(nullptr) != nullptr;
    });
    other.join();
    EXPECT_EQ(copiedElsewhere, 0);
    EXPECT_FALSE(pastedElsewhere);

    const auto pasted = PasteCommand(&Communication());
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(ClipboardBytes(*pasted), ClipboardBytes(*command)) << "the first copy stays";
    EXPECT_EQ(static_cast<CKelStandardCommand&>(*pasted).GetOwner(), &Families().MotionControl());
}

TEST_F(ClipboardTest, PastingIntoTheTreeGivesTheSameNamedCommandItsValues) {
    RecordingPrompt prompt;
    ExecuteStandardCommandsDialog dialog(Families().InOrder(), "Com40", 1);
    QTreeWidgetItem* move = RowNamed(dialog.Tree(), "MoveAbsolute");
    ASSERT_NE(move, nullptr);
    ASSERT_EQ(MoveTo(777)->CopyToClipboard(), 1);
    ASSERT_TRUE(dialog.PasteCommand());
    EXPECT_EQ(Position(dialogs::CommandOfRow(move)), 777);
    EXPECT_EQ(dialog.Tree().currentItem(), move);

    dialog.Tree().setCurrentItem(dialog.Tree().topLevelItem(0));
    EXPECT_FALSE(dialog.CopySelected()) << "a folder has no command";
    const std::vector<uint8_t> before = ClipboardBytes(*dialogs::CommandOfRow(move));
    auto stranger = MoveTo(5);
    stranger->SetName("NoSuchCommand");
    const struct {
        const char* what;
        std::function<void()> put;
        std::string message;
    } cases[] = {
        {"garbage", [] { PutRaw(kStandardCommandFormat, "\xFF\xFF\x01"); },
         dialogs::kNoCommandOnClipboard},
        {"unknown name", [&] { stranger->CopyToClipboard(); },
         dialogs::NoMatchingCommand("NoSuchCommand")},
    };
    for (const auto& c : cases) {
        prompt.messages.clear();
        c.put();
        EXPECT_FALSE(dialog.PasteCommand()) << c.what;
        EXPECT_EQ(prompt.messages, std::vector<std::string>{c.message}) << c.what;
        EXPECT_EQ(ClipboardBytes(*dialogs::CommandOfRow(move)), before) << c.what;
        EXPECT_EQ(dialog.Tree().currentItem(), dialog.Tree().topLevelItem(0)) << c.what;
    }

    dialog.Tree().setCurrentItem(move);
    ASSERT_TRUE(dialog.CopySelected());
    EXPECT_EQ(ClipboardBytes(*PasteCommand(nullptr)), before);
}

class BatchEditorClipboardTest : public DialogTest {
  protected:
    BatchEditorClipboardTest()
        : editor_(std::vector<std::unique_ptr<CKelBatchCommand>>{}, Families().InOrder(),
                  customers_) {
        EXPECT_TRUE(editor_.NewBatch("Edited"));
    }
    // Appends the available command of that name with "<<".
    void Append(const std::string& name) {
        editor_.Available().setCurrentItem(RowNamed(editor_.Available(), name));
        editor_.AppendSelected();
    }
    const CKelBatchCommand& Batch() const { return *editor_.Batches().front(); }
    void SelectStacked(int row) {
        editor_.Stacked().setCurrentItem(editor_.Stacked().topLevelItem(row));
    }

    RecordingPrompt prompt_;
    CCustomerCommandSets customers_;
    BatchEditorDialog editor_;
};

// Drags `data` onto the list and drops it there, as the window system delivers a drag: the drop
// goes to the widget that accepted the drag's entry.
bool Drop(QTreeWidget& list, const QMimeData& data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &drop);
    return enter.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

TEST_F(BatchEditorClipboardTest, ADroppedTreeRowIsAddedAsByAppend) {
    Append("MoveAbsolute");
    QTreeWidgetItem* row = RowNamed(editor_.Available(), "MoveAbsolute");
    const std::unique_ptr<QMimeData> data = editor_.Available().DragData(row);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(editor_.Available().DragData(editor_.Available().topLevelItem(0)), nullptr);

    ASSERT_TRUE(Drop(editor_.Stacked(), *data));
    ASSERT_EQ(Batch().GetCommandCount(), 2u);
    EXPECT_EQ(ClipboardBytes(*Batch().GetCommand(1)), ClipboardBytes(*Batch().GetCommand(0)));
    EXPECT_EQ(StackedNames(editor_), MemberNames(Batch()));

    // A batch is no member: its drag is not taken.
    CKelBatchCommand batch;
    const std::unique_ptr<QMimeData> batchData = dialogs::CommandMimeData(batch);
    EXPECT_FALSE(Drop(editor_.Stacked(), *batchData));
    EXPECT_EQ(Batch().GetCommandCount(), 2u);
    EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(BatchEditorClipboardTest, PasteInsertsBeforeTheSelectedAndCopyTakesTheSelected) {
    Append("ReadPosition");
    Append("MoveAbsolute");
    SelectStacked(1);
    ASSERT_TRUE(editor_.CopyStacked());
    SelectStacked(0);
    ASSERT_TRUE(editor_.PasteCommand());
    EXPECT_EQ(MemberNames(Batch()),
              (std::vector<std::string>{"MoveAbsolute", "ReadPosition", "MoveAbsolute"}));
    EXPECT_EQ(ClipboardBytes(*Batch().GetCommand(0)), ClipboardBytes(*Batch().GetCommand(2)));
    EXPECT_EQ(editor_.Stacked().currentItem(), editor_.Stacked().topLevelItem(0));

    PutRaw(kCustomerCommandFormat, "not a command");
    EXPECT_FALSE(editor_.PasteCommand());
    CKelBatchCommand batch;
    ASSERT_EQ(batch.CopyToClipboard(), 1);
    EXPECT_FALSE(editor_.PasteCommand());
    EXPECT_EQ(prompt_.messages, (std::vector<std::string>{dialogs::kNoCommandOnClipboard,
                                                          dialogs::kBatchCannotBeStacked}));
    EXPECT_EQ(Batch().GetCommandCount(), 3u);
}

TEST_F(BatchEditorClipboardTest, MovesKeepTheListAndTheBatchInStep) {
    for (const char* name : {"ReadPosition", "ReadAxisStatus", "MoveAbsolute"}) Append(name);
    SelectStacked(2);
    const struct {
        bool up;
        std::vector<std::string> order;
        int selected;
    } steps[] = {
        {true, {"ReadPosition", "MoveAbsolute", "ReadAxisStatus"}, 1},
        {true, {"MoveAbsolute", "ReadPosition", "ReadAxisStatus"}, 0},
        {true, {"MoveAbsolute", "ReadPosition", "ReadAxisStatus"}, 0},  // already at the top
        {false, {"ReadPosition", "MoveAbsolute", "ReadAxisStatus"}, 1},
        {false, {"ReadPosition", "ReadAxisStatus", "MoveAbsolute"}, 2},
        {false, {"ReadPosition", "ReadAxisStatus", "MoveAbsolute"}, 2},  // already at the bottom
    };
    for (const auto& step : steps) {
        step.up ? editor_.MoveUp() : editor_.MoveDown();
        EXPECT_EQ(MemberNames(Batch()), step.order);
        EXPECT_EQ(StackedNames(editor_), step.order);
        EXPECT_EQ(editor_.Stacked().indexOfTopLevelItem(editor_.Stacked().currentItem()),
                  step.selected);
    }
    editor_.DeleteAllCommands();
    EXPECT_EQ(Batch().GetCommandCount(), 0u);
    EXPECT_EQ(editor_.Stacked().topLevelItemCount(), 0);

    editor_.DeleteAllBatches();
    editor_.MoveUp();
    editor_.MoveDown();
    editor_.DeleteAllCommands();
    EXPECT_EQ(prompt_.messages, std::vector<std::string>(3, "No Batch Command selected!"));
}

}  // namespace
}  // namespace kelcmd::testing

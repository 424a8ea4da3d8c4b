#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "command/command_tree.h"
#include "command/kel_batch_command.h"
#include "dialogs/tree/command_tree_view.h"

class QComboBox;
class QMimeData;
class QRadioButton;
class QTreeWidget;

namespace kelcmd {
class CCustomerCommandSets;
class CCommandFamily;
}  // namespace kelcmd

namespace kelcmd::dialogs {

class CommandDropList;

// "Define KelBatchCommands": edits a copy of a list of batch commands. "&OK" leaves the edited
// list in Batches() for the caller to take over; "&Cancel" discards it, the caller's list
// untouched. Commands reach the stacked list also by dragging a row of the available tree onto it
// (as "<<") and by pasting (Ctrl+V, as "|<<"); Ctrl+C copies the selected stacked command.
class BatchEditorDialog : public QDialog {
    Q_OBJECT
  public:
    BatchEditorDialog(const std::vector<std::unique_ptr<CKelBatchCommand>>& batches,
                      std::span<CCommandFamily* const> families, CCustomerCommandSets& customers,
                      QWidget* parent = nullptr);

    const std::vector<std::unique_ptr<CKelBatchCommand>>& Batches() const { return batches_; }
    // The index in Batches() of the batch selected when the dialog closed; -1 when none.
    int SelectedIndex() const;
    CommandTreeWidget& Available() { return *available_; }
    QTreeWidget& Stacked();

    // The buttons' actions, also for tests.
    bool NewBatch(const std::string& name);
    void AppendSelected();        // "<<"
    void InsertSelected();        // "|<<"
    void DeleteStackedCommand();  // "Dele&te Command"
    void DeleteAllCommands();     // "&Delete All Co&mmands"
    void MoveUp();                // "Move &Up"
    void MoveDown();              // "&Move Do&wn"
    void DeleteAllBatches();      // "D&elete All"
    // Drag and drop and the clipboard: the command in the dropped data is appended; the
    // clipboard's command is inserted before the selected stacked command. False (with a
    // message, the batch unchanged) for bad data or a command a batch cannot hold.
    bool DropCommand(const QMimeData& data);
    bool PasteCommand();
    // The selected stacked command onto the clipboard.
    bool CopyStacked();
    // "&Load": into the edited list only (names checked against it), stopping at a duplicate.
    void LoadBatches(const QStringList& paths);
    // "&Save &All": every batch of the edited list, as the user sees it, to folder/name.kbc.
    // False when a file could not be written.
    bool SaveAll(const QString& folder);

  private:
    void BuildAvailable();
    CKelBatchCommand* Selected() const;
    void FillBatches(int select);
    void BatchSelected();
    void RefreshStacked(int select = -1);
    void AddSelected(bool beforeSelection);
    // The batch that a stacked-list button acts on; null, with "No Batch Command selected!".
    CKelBatchCommand* BatchForButton();
    bool AddMember(std::unique_ptr<CKelCommand> command, bool beforeSelection);
    int StackedIndex() const;
    void Move(int by);
    void AddStackedActions();
    void AskNewBatch();

    std::vector<std::unique_ptr<CKelBatchCommand>> batches_;
    std::vector<CCommandFamily*> families_;
    CCustomerCommandSets& customers_;
    CCommandTree commands_;
    QComboBox* names_;
    QRadioButton* types_[3];
    CommandDropList* stacked_;
    CommandTreeWidget* available_;
};

}  // namespace kelcmd::dialogs

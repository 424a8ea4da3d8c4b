#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "command/command_tree.h"
#include "command/kel_batch_command.h"

class QComboBox;
class QRadioButton;
class QTreeWidget;

namespace kelcmd {
class CCustomerCommandSets;
class CCommandFamily;
}  // namespace kelcmd

namespace kelcmd::dialogs {

// "Define KelBatchCommands": edits a copy of a list of batch commands. "&OK" leaves the edited
// list in Batches() for the caller to take over; "&Cancel" discards it, the caller's list
// untouched.
class BatchEditorDialog : public QDialog {
    Q_OBJECT
  public:
    BatchEditorDialog(const std::vector<std::unique_ptr<CKelBatchCommand>>& batches,
                      std::span<CCommandFamily* const> families,
                      const CCustomerCommandSets& customers, QWidget* parent = nullptr);

    const std::vector<std::unique_ptr<CKelBatchCommand>>& Batches() const { return batches_; }
    QTreeWidget& Available() { return *available_; }

    // The buttons' actions, also for tests.
    bool NewBatch(const std::string& name);
    void AppendSelected();        // "<<"
    void InsertSelected();        // "|<<"
    void DeleteStackedCommand();  // "Dele&te Command"
    // "&Load": into the edited list only (names checked against it), stopping at a duplicate.
    void LoadBatches(const QStringList& paths);
    // "&Save &All": every batch of the edited list, as the user sees it, to folder/name.kbc.
    // False when a file could not be written.
    bool SaveAll(const QString& folder);

  private:
    CKelBatchCommand* Selected() const;
    void FillBatches(int select);
    void BatchSelected();
    void RefreshStacked(int select = -1);
    void AddSelected(bool beforeSelection);
    void AskNewBatch();

    std::vector<std::unique_ptr<CKelBatchCommand>> batches_;
    CCommandTree commands_;
    QComboBox* names_;
    QRadioButton* types_[3];
    QTreeWidget* stacked_;
    QTreeWidget* available_;
};

}  // namespace kelcmd::dialogs

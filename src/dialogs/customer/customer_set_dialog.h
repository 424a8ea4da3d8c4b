#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "dialogs/customer/customer_set_editing.h"

class QLineEdit;
class QTreeWidget;

namespace kelcmd::dialogs {

// "Customer Command Set": the client name and the commands of one set, edited on a copy. Enter in
// the command list edits the selected command instead of closing.
class CustomerCommandSetDialog final : public QDialog {
  public:
    // `takenNames`: the client names of the other sets of the list.
    CustomerCommandSetDialog(const CCustomerCommandSet& set, std::vector<std::string> takenNames,
                             QWidget* parent = nullptr);

    QSize sizeHint() const override { return {520, 340}; }
    CustomerSetEditor& Editor() { return editor_; }
    const CCustomerCommandSet& Set() const { return editor_.Set(); }
    QTreeWidget& Commands() { return *commands_; }

    // The buttons' actions: each opens "Customer Command"; messages go through the prompt.
    void AddCommand();
    void EditCommand(int row);
    void Confirm();

  private:
    void Fill(int selectRow);

    CustomerSetEditor editor_;
    QLineEdit* clientName_;
    QTreeWidget* commands_;
};

}  // namespace kelcmd::dialogs

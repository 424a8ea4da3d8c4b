#pragma once

#include <QDialog>
#include <memory>

#include "dialogs/customer/customer_command_editing.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace kelcmd::dialogs {

// "Add": a parameter's "Name" (not empty), "Type" and "Return Parameter" (ticked: incoming).
class AddParameterDialog final : public QDialog {
  public:
    explicit AddParameterDialog(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {340, QDialog::sizeHint().height()}; }
    std::string Name() const;
    uint8_t Type() const;
    bool Incoming() const;
    void accept() override;

  private:
    QLineEdit* name_;
    QComboBox* type_;
    QCheckBox* incoming_;
};

// "Customer Command": name, hexadecimal type number and the parameters of one customer command,
// edited on a copy. Enter in the parameter list does not close the dialog; double-clicking a
// "Struct" row defines its structure.
class CustomerCommandDialog final : public QDialog {
  public:
    CustomerCommandDialog(const CKelCustomerCommand& command, bool newCommand,
                          QWidget* parent = nullptr);

    QSize sizeHint() const override { return {600, 380}; }
    CustomerCommandEditor& Editor() { return editor_; }
    QTreeWidget& Parameters() { return *parameters_; }
    std::unique_ptr<CKelCustomerCommand> Result() const { return editor_.Result(); }

    // The buttons' actions; messages go through the prompt.
    bool AddParameter(const std::string& name, uint8_t type, bool incoming);
    void DeleteSelected();
    void MoveSelected(bool up);
    // Opens the structure editor for a "Struct" row; true when its structure changed.
    bool EditStructure(int row);
    void Confirm();

  private:
    void Fill(int selectRow);

    CustomerCommandEditor editor_;
    QLineEdit* name_;
    QLineEdit* typeNumber_;
    QTreeWidget* parameters_;
};

}  // namespace kelcmd::dialogs

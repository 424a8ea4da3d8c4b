#pragma once

#include <QDialog>
#include <string>

#include "command/structure_definition.h"
#include "dialogs/structures/structure_editing.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace kelcmd::dialogs {

// "Add": "Name" (not empty), "Number of Elements" and "Type".
class AddElementDialog final : public QDialog {
  public:
    explicit AddElementDialog(QWidget* parent);
    StructureElement Element() const;
    void accept() override;

  private:
    QLineEdit* name_;
    QLineEdit* count_;
    QComboBox* type_;
};

// "Define Data Structure" ("Define Structure for ..." for a user parameter set).
class DefineStructureDialog final : public QDialog {
  public:
    DefineStructureDialog(CStructureDefinition definition, uint32_t maxSize, bool aligned,
                          const std::string& title, QWidget* parent);
    QSize sizeHint() const override { return {560, 380}; }
    StructureEditor& Editor() { return editor_; }
    const CStructureDefinition& Definition() const { return editor_.Definition(); }
    // The buttons' actions on the selected row; shown messages go through the prompt.
    void AddElement(const StructureElement& element);
    void MoveSelected(bool up);
    void LoadFile(const std::string& path);
    bool StoreFile(const std::string& path);
    void Select(int row);

  private:
    void Fill(int selectRow);
    int SelectedRow() const;
    void Tell(const std::string& message);

    StructureEditor editor_;
    QLineEdit* name_;
    QTreeWidget* list_;
    QLabel* size_;
};

// "Edit Data of ..." / "Show Data of ...": one row per item with "Name", "Type" and "Value";
// editing a row opens the value editor. The data are changed in place.
class StructureDataDialog final : public QDialog {
  public:
    StructureDataDialog(CStructureData& data, bool editable, QWidget* parent);
    QSize sizeHint() const override { return {460, 380}; }
    // Edits row `row` with the value editor; true when the value changed.
    bool EditRow(int row);

  private:
    void Fill();

    CStructureData& data_;
    QTreeWidget* list_;
    std::vector<std::pair<size_t, uint32_t>> items_;  // element and item of each row
};

}  // namespace kelcmd::dialogs

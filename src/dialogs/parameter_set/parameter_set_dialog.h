#pragma once

#include <QDialog>
#include <string>

#include "dialogs/parameter_set/parameter_set_model.h"

class QTreeWidget;

namespace kelcmd::dialogs {

inline constexpr const char* kNoItemSelected = "No item selected!";
inline constexpr const char* kNotAllParametersValid =
    "Not all parameter are valid!\nEdit all structures!";

// "Enter Parameter" (the outgoing side, editable) or "Show Return Parameter" (the incoming side,
// read-only): a caption above the "Parameter Set" list with "Name", "Type" and "Value". Editing a
// row opens the value editor of its type, or the structure's data dialog for a structure.
class ParameterSetDialog final : public QDialog {
  public:
    ParameterSetDialog(ParameterSetModel& model, const std::string& caption,
                       QWidget* parent = nullptr);

    QSize sizeHint() const override { return {500, 300}; }
    QTreeWidget& List() { return *list_; }
    bool Editable() const { return model_.Side() == ParameterSide::kSend; }
    // A structure's values (read-only when showing), or the value editor of the row's type when
    // entering. True when a value changed.
    bool EditRow(int row);
    // The current row, or "No item selected!".
    void EditSelected();
    // "&OK": refused while a parameter has no valid value.
    void TryAccept();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Fill();
    void FitColumns();

    ParameterSetModel& model_;
    QTreeWidget* list_;
};

}  // namespace kelcmd::dialogs

#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "dialogs/sheet/parameter_sheet_model.h"

class QCheckBox;
class QGridLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace kelcmd::dialogs {

// How the sheet names itself: the window title ("Temporary System Parameter"), the caption above
// the pages ("System Parameter of Slave 1"), and whether the pages say "Temporary Parameter".
struct SheetTexts {
    std::string windowTitle;
    std::string caption;
    bool temporary = true;
};

// "System Parameter of " + caption text; without one, "System Parameter of KEL" when there is no
// slave address (0), else "System Parameter of Slave %i".
std::string SheetCaption(const std::string& captionText, int slave);

// The tabbed property sheet over a ParameterSheetModel: the seven pages (and "Extended Parameter"
// for the extended set), each with its caption and "&Default values ". Checks run when a field is
// left and on "&OK". Usable without exec(): tests fill the named widgets and press the buttons.
class ParameterSheetDialog : public QDialog {
    Q_OBJECT

  public:
    ParameterSheetDialog(ParameterSheetModel& model, const SheetTexts& texts,
                         QWidget* parent = nullptr);

    // Without valid data "Attention! Default values are set." is shown once, when the sheet opens.
    int exec() override;
    void TryAccept();
    // Leaving field `index` (the editors call it when they lose the focus).
    void Leave(size_t index);
    void PageDefaults(int page);

  private:
    QWidget* BuildPage(int page, bool temporary);
    void AddField(QGridLayout& grid, size_t index);
    void Show();
    void ShowDependents();

    ParameterSheetModel& model_;
    std::vector<QLineEdit*> edits_;
    std::vector<QComboBox*> lists_;
    std::vector<QCheckBox*> checks_;
    QTableWidget* extParams_ = nullptr;
    QLabel* tagStatus_ = nullptr;
    bool showing_ = false;
};

}  // namespace kelcmd::dialogs

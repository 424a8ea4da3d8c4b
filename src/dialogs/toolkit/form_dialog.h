#pragma once

#include <QDialog>
#include <utility>
#include <vector>

#include "dialogs/toolkit/form_model.h"
#include "dialogs/toolkit/object_names.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;

namespace kelcmd::dialogs {

// The window of a command form: thin widgets over a FormModel. An input form has "&OK" and
// "&Cancel" and checks its fields on "&OK"; a result form shows read-only fields and "&OK".
// Usable without exec(): tests fill the named widgets and press the buttons.
class FormDialog : public QDialog {
    Q_OBJECT

  public:
    explicit FormDialog(FormModel& model, QWidget* parent = nullptr);

    // "&OK" of an input form: the widgets' values go into the model; the first refused field
    // shows its message (through the prompt), takes its corrected text and the focus, and the
    // dialog stays open; otherwise it is accepted.
    void TryAccept();

  private:
    struct FieldWidgets {
        QLineEdit* edit = nullptr;
        QButtonGroup* choices = nullptr;
        QComboBox* list = nullptr;
        std::vector<std::pair<int, QCheckBox*>> bits;
        QCheckBox* check = nullptr;
    };

    void AddField(QGridLayout& grid, size_t index);
    void Show(size_t index);
    void Pull(size_t index);
    bool Editable() const;

    FormModel& model_;
    std::vector<FieldWidgets> widgets_;
    ObjectNamer namer_;
};

// Makes a check box or radio button show a state without taking clicks or focus (result forms).
void MakeReadOnly(QWidget& widget);

}  // namespace kelcmd::dialogs

#include "dialogs/families/command_windows.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "command/kel_standard_command.h"
#include "command/parameter_types.h"
#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"
#include "dialogs/toolkit/form_dialog.h"
#include "dialogs/toolkit/object_names.h"
#include "dialogs/toolkit/typed_value.h"

namespace kelcmd::dialogs {
namespace {

bool AnswerTimeoutField(const FieldLayout& field) {
    return field.parameter.empty() && field.timeout;
}

}  // namespace

int EditCommandForm(const FormLayout& form, CKelStandardCommand& command, const FillFields& fill,
                    const TakeFields& take) {
    FormModel model(form, FormSide::kSend);
    model.Load(command.Wire());
    for (size_t i = 0; i < form.fields.size(); ++i) {
        if (AnswerTimeoutField(form.fields[i])) {
            model.Values()[i].text = std::to_string(command.GetAnswerTimeout());
        }
    }
    if (fill) fill(model.Values());
    FormDialog dialog(model, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return 0;
    model.Store(command.Wire(), &command);
    for (size_t i = 0; i < form.fields.size(); ++i) {
        if (!AnswerTimeoutField(form.fields[i])) continue;
        const NumberCheck check = ParseNumber(TYPE_LWORD, model.Values()[i].text);
        if (check.ok) command.SetAnswerTimeout(ReadUnsigned(check.bytes));
    }
    if (take) take(model.Values());
    return 1;
}

TextsDialog::TextsDialog(const std::string& title,
                         const std::vector<std::pair<std::string, std::string>>& rows,
                         QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromStdString(title));
    setObjectName(ObjectNameFor(title));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout();
    ObjectNamer namer;
    for (const auto& [label, text] : rows) {
        const int row = grid->rowCount();
        auto* field = new QLineEdit(QString::fromStdString(text), this);
        grid->addWidget(NewFieldLabel(QString::fromStdString(label), *field, this), row, 0);
        field->setObjectName(namer.Name(label));
        field->setReadOnly(true);
        field->setMinimumWidth(180);
        grid->addWidget(field, row, 1);
    }
    layout->addLayout(grid);
    AddOkRow(*this, *layout);
}

int ShowTexts(const std::string& title,
              const std::vector<std::pair<std::string, std::string>>& rows) {
    TextsDialog dialog(title, rows, QApplication::activeWindow());
    dialog.exec();
    return 1;
}

}  // namespace kelcmd::dialogs

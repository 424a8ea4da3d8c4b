#include "dialogs/toolkit/form_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/field_labels.h"
#include "dialogs/toolkit/object_names.h"
#include "platform/prompt.h"

namespace kelcmd::dialogs {
namespace {

// Columns of check boxes: 16 or 32 bits in rows of four, up to eight bits in two columns.
int BitColumns(size_t count) {
    if (count > 8) return 4;
    return count > 4 ? 2 : 1;
}

}  // namespace

void MakeReadOnly(QWidget& widget) {
    widget.setAttribute(Qt::WA_TransparentForMouseEvents);
    widget.setFocusPolicy(Qt::NoFocus);
}

FormDialog::FormDialog(FormModel& model, QWidget* parent)
    : QDialog(parent), model_(model), widgets_(model.Form().fields.size()) {
    const FormLayout& form = model_.Form();
    setWindowTitle(QString::fromStdString(form.title));
    setObjectName(ObjectNameFor(form.title));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Consecutive fields of one group share a frame; fields without a group share the plain grid
    // that precedes the next group.
    size_t index = 0;
    while (index < form.fields.size()) {
        const std::string& group = form.fields[index].group;
        QWidget* host = nullptr;
        if (group.empty()) {
            host = new QWidget(this);
        } else {
            host = new QGroupBox(QString::fromStdString(group), this);
            host->setObjectName(ObjectNameFor(group));
        }
        auto* grid = new QGridLayout(host);
        if (group.empty()) grid->setContentsMargins(0, 0, 0, 0);
        while (index < form.fields.size() && form.fields[index].group == group) {
            AddField(*grid, index);
            ++index;
        }
        grid->setColumnStretch(1, 1);
        layout->addWidget(host);
    }

    layout->addSpacing(6);
    if (Editable()) {
        AddOkCancelRow(*this, *layout, [this] { TryAccept(); });
    } else {
        AddOkRow(*this, *layout, [this] { TryAccept(); });
    }

    for (size_t i = 0; i < widgets_.size(); ++i) Show(i);
}

bool FormDialog::Editable() const {
    return model_.Side() == FormSide::kSend;
}

void FormDialog::AddField(QGridLayout& grid, size_t index) {
    const FieldLayout& field = model_.Form().fields[index];
    FieldWidgets& widgets = widgets_[index];
    const QString label = QString::fromStdString(field.label);
    const int row = grid.rowCount();
    QWidget* parent = grid.parentWidget();

    switch (field.kind) {
        case FieldKind::kNumber:
        case FieldKind::kText: {
            widgets.edit = new QLineEdit(parent);
            grid.addWidget(NewFieldLabel(label, *widgets.edit, parent), row, 0);
            widgets.edit->setObjectName(namer_.Name(field.label));
            widgets.edit->setReadOnly(!Editable() || field.readOnly);
            widgets.edit->setMinimumWidth(110);
            grid.addWidget(widgets.edit, row, 1);
            if (!field.unit.empty()) {
                grid.addWidget(new QLabel(QString::fromStdString(field.unit), parent), row, 2);
            }
            if (field.timeout) grid.addWidget(new QLabel("( 0 = infinite )", parent), row, 3);
            break;
        }
        case FieldKind::kList: {
            widgets.list = new QComboBox(parent);
            grid.addWidget(NewFieldLabel(label, *widgets.list, parent), row, 0);
            widgets.list->setObjectName(namer_.Name(field.label));
            for (const std::string& choice : field.choices) {
                widgets.list->addItem(QString::fromStdString(choice));
            }
            widgets.list->setEnabled(Editable());
            grid.addWidget(widgets.list, row, 1, 1, 3);
            break;
        }
        case FieldKind::kChoice: {
            auto* box = new QGroupBox(label, parent);
            box->setObjectName(namer_.Name(field.label + " group"));
            auto* choices = new QGridLayout(box);
            widgets.choices = new QButtonGroup(this);
            // Long lists in two columns, filled top to bottom.
            const size_t count = field.choices.size();
            const size_t rows = count > 8 ? (count + 1) / 2 : count;
            for (size_t i = 0; i < count; ++i) {
                auto* button = new QRadioButton(QString::fromStdString(field.choices[i]), box);
                button->setObjectName(namer_.Name(field.choices[i], field.label));
                if (!Editable()) MakeReadOnly(*button);
                widgets.choices->addButton(button, static_cast<int>(i));
                choices->addWidget(button, static_cast<int>(i % rows), static_cast<int>(i / rows));
            }
            grid.addWidget(box, row, 0, 1, 4);
            break;
        }
        case FieldKind::kBits: {
            auto* box = new QGroupBox(label, parent);
            box->setObjectName(namer_.Name(field.label + " group"));
            auto* bits = new QGridLayout(box);
            const int columns = BitColumns(field.bits.size());
            for (size_t i = 0; i < field.bits.size(); ++i) {
                auto* check = new QCheckBox(QString::fromStdString(field.bits[i].label), box);
                check->setObjectName(namer_.Name(field.bits[i].label, field.label));
                if (!Editable()) MakeReadOnly(*check);
                bits->addWidget(check, static_cast<int>(i) / columns,
                                static_cast<int>(i) % columns);
                widgets.bits.emplace_back(field.bits[i].bit, check);
            }
            grid.addWidget(box, row, 0, 1, 4);
            break;
        }
        case FieldKind::kCheck: {
            widgets.check = new QCheckBox(label, parent);
            widgets.check->setObjectName(namer_.Name(field.label));
            if (!Editable()) MakeReadOnly(*widgets.check);
            grid.addWidget(widgets.check, row, 0, 1, 4);
            break;
        }
    }
}

void FormDialog::Show(size_t index) {
    const FieldValue& value = model_.Values()[index];
    FieldWidgets& widgets = widgets_[index];
    if (widgets.edit != nullptr) widgets.edit->setText(QString::fromStdString(value.text));
    if (widgets.list != nullptr) widgets.list->setCurrentIndex(value.choice);
    if (widgets.choices != nullptr) {
        for (QAbstractButton* button : widgets.choices->buttons()) {
            button->setChecked(widgets.choices->id(button) == value.choice);
        }
    }
    for (const auto& [bit, check] : widgets.bits)
        check->setChecked(((value.bits >> bit) & 1U) != 0);
    if (widgets.check != nullptr) widgets.check->setChecked(value.checked);
}

void FormDialog::Pull(size_t index) {
    FieldValue& value = model_.Values()[index];
    const FieldWidgets& widgets = widgets_[index];
    if (widgets.edit != nullptr) value.text = widgets.edit->text().toStdString();
    if (widgets.list != nullptr) value.choice = widgets.list->currentIndex();
    if (widgets.choices != nullptr && widgets.choices->checkedId() >= 0) {
        value.choice = widgets.choices->checkedId();
    }
    for (const auto& [bit, check] : widgets.bits) {
        const uint32_t mask = 1U << bit;
        value.bits = check->isChecked() ? (value.bits | mask) : (value.bits & ~mask);
    }
    if (widgets.check != nullptr) value.checked = widgets.check->isChecked();
}

void FormDialog::TryAccept() {
    if (!Editable()) {
        accept();
        return;
    }
    for (size_t i = 0; i < widgets_.size(); ++i) Pull(i);
    const std::optional<FieldProblem> problem = model_.Check();
    if (!problem) {
        accept();
        return;
    }
    CurrentPrompt().ShowMessage(problem->message);
    QLineEdit* edit = widgets_[problem->field].edit;
    if (problem->corrected) {
        model_.Values()[problem->field].text = *problem->corrected;
        if (edit != nullptr) edit->setText(QString::fromStdString(*problem->corrected));
    }
    if (edit != nullptr) {
        edit->setFocus();
        edit->selectAll();
    }
}

}  // namespace kelcmd::dialogs

#include "dialogs/customer/customer_command_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "command/parameter_types.h"
#include "dialogs/customer/list_widgets.h"
#include "dialogs/structures/structure_dialogs.h"
#include "dialogs/toolkit/button_row.h"
#include "dialogs/toolkit/enter_key.h"
#include "dialogs/toolkit/field_labels.h"

namespace kelcmd::dialogs {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

AddParameterDialog::AddParameterDialog(QWidget* parent)
    : QDialog(parent), name_(new QLineEdit), type_(new QComboBox), incoming_(new QCheckBox) {
    setObjectName("add_parameter");
    setWindowTitle("Add");
    name_->setObjectName("name");
    type_->setObjectName("type");
    for (const OfferedParameterType& offered : OfferedParameterTypes()) {
        type_->addItem(offered.text);
    }
    incoming_->setText("Return Parameter");
    incoming_->setObjectName("return_parameter");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow("Name", name_);
    form->addRow("Type", type_);
    form->addRow("", incoming_);
    layout->addLayout(form);
    AddOkCancelRow(*this, *layout);
}

std::string AddParameterDialog::Name() const {
    return name_->text().toStdString();
}

uint8_t AddParameterDialog::Type() const {
    const auto& types = OfferedParameterTypes();
    const int index = std::clamp(type_->currentIndex(), 0, static_cast<int>(types.size()) - 1);
    return types[static_cast<size_t>(index)].type;
}

bool AddParameterDialog::Incoming() const {
    return incoming_->isChecked();
}

void AddParameterDialog::accept() {
    if (name_->text().isEmpty()) {
        Tell(kEnterName);
        return;
    }
    QDialog::accept();
}

CustomerCommandDialog::CustomerCommandDialog(const CKelCustomerCommand& command, bool newCommand,
                                             QWidget* parent)
    : QDialog(parent),
      editor_(command, newCommand),
      name_(new QLineEdit(Q(editor_.Name()))),
      typeNumber_(new QLineEdit(Q(editor_.TypeNumber()))),
      parameters_(NewList("Defined Parameters", {"Name", "Out/In", "Type", "Length"})) {
    setObjectName("customer_command");
    setWindowTitle("Customer Command");
    name_->setObjectName("command_name");
    typeNumber_->setObjectName("type_number");
    typeNumber_->setMaxLength(8);  // long enough to show what is wrong, short enough to stay put
    typeNumber_->setMaximumWidth(80);
    connect(name_, &QLineEdit::textChanged, this,
            [this](const QString& text) { editor_.SetName(text.toStdString()); });
    connect(typeNumber_, &QLineEdit::textChanged, this,
            [this](const QString& text) { editor_.SetTypeNumber(text.toStdString()); });

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(typeNumber_);
    typeRow->addWidget(new QLabel("( hex ) "));
    typeRow->addStretch(1);
    auto* form = new QFormLayout;
    form->addRow("Command Name", name_);
    form->addRow(NewFieldLabel("Type Number", *typeNumber_), typeRow);

    OnEnterKey(*parameters_, {});
    connect(parameters_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        EditStructure(parameters_->indexOfTopLevelItem(item));
    });

    auto* buttons = new QVBoxLayout;
    connect(AddButton("&Add Parameter", *buttons), &QPushButton::clicked, this, [this] {
        AddParameterDialog add(this);
        if (add.exec() == QDialog::Accepted) AddParameter(add.Name(), add.Type(), add.Incoming());
    });
    connect(AddButton("&Delete Parameter", *buttons), &QPushButton::clicked, this,
            [this] { DeleteSelected(); });
    connect(AddButton("D&elete All", *buttons), &QPushButton::clicked, this, [this] {
        editor_.DeleteAll();
        Fill(-1);
    });
    connect(AddButton("M&ove Up", *buttons), &QPushButton::clicked, this,
            [this] { MoveSelected(true); });
    connect(AddButton("Move Do&wn", *buttons), &QPushButton::clicked, this,
            [this] { MoveSelected(false); });
    buttons->addStretch(1);

    auto* body = new QHBoxLayout;
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(NewFieldLabel("Defined Parameters", *parameters_));
    listColumn->addWidget(parameters_, 1);
    body->addLayout(listColumn, 1);
    body->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(body, 1);
    AddClosingRow(*this, *layout, "&Cancel", [this] { Confirm(); });
    Fill(0);
}

void CustomerCommandDialog::Fill(int selectRow) {
    parameters_->clear();
    const auto& rows = editor_.Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        auto* item = new QTreeWidgetItem(parameters_);
        item->setText(0, Q(rows[i].name));
        item->setText(1, rows[i].incoming ? kIncomingText : kOutgoingText);
        item->setText(2, Q(CustomerTypeName(rows[i].type)));
        item->setText(3, QString::number(editor_.Length(i)));
    }
    SelectRow(*parameters_, selectRow);
}

bool CustomerCommandDialog::AddParameter(const std::string& name, uint8_t type, bool incoming) {
    if (Tell(editor_.AddParameter(name, type, incoming))) return false;
    Fill(static_cast<int>(editor_.Rows().size()) - 1);
    return true;
}

void CustomerCommandDialog::DeleteSelected() {
    const int row = SelectedRow(*parameters_);
    if (row < 0) return;
    editor_.Delete(static_cast<size_t>(row));
    Fill(row);
}

void CustomerCommandDialog::MoveSelected(bool up) {
    const int row = SelectedRow(*parameters_);
    if (row < 0) return;
    const auto index = static_cast<size_t>(row);
    const bool moved = up ? editor_.MoveUp(index) : editor_.MoveDown(index);
    Fill(moved ? row + (up ? -1 : 1) : row);
}

bool CustomerCommandDialog::EditStructure(int row) {
    if (row < 0 || static_cast<size_t>(row) >= editor_.Rows().size()) return false;
    const CustomerParameterRow& shown = editor_.Rows()[static_cast<size_t>(row)];
    if (shown.type != TYPE_BYTE_ARRAY) return false;
    const auto index = static_cast<size_t>(row);
    DefineStructureDialog define(
        shown.structure.value_or(CStructureDefinition(shown.name)), editor_.StructureLimit(index),
        CustomerCommandEditor::kStructureAligned, "Define Data Structure", this);
    if (define.exec() != QDialog::Accepted) return false;
    const bool changed = editor_.SetStructure(index, define.Definition());
    Fill(row);
    return changed;
}

void CustomerCommandDialog::Confirm() {
    if (!Tell(editor_.Check())) accept();
}

}  // namespace kelcmd::dialogs

#include "dialogs/customer/customer_set_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/customer/customer_command_dialog.h"
#include "dialogs/customer/list_widgets.h"
#include "dialogs/toolkit/enter_key.h"
#include "dialogs/toolkit/field_labels.h"

namespace kelcmd::dialogs {

CustomerCommandSetDialog::CustomerCommandSetDialog(const CCustomerCommandSet& set,
                                                   std::vector<std::string> takenNames,
                                                   QWidget* parent)
    : QDialog(parent),
      editor_(set, std::move(takenNames)),
      clientName_(new QLineEdit(QString::fromStdString(set.GetClientName()))),
      commands_(NewList("Defined Cusomter Commands", {"Name", "Type Number"})) {
    setObjectName("customer_command_set");
    setWindowTitle("Customer Command Set");
    clientName_->setObjectName("client_name");
    connect(clientName_, &QLineEdit::textChanged, this,
            [this](const QString& text) { editor_.SetClientName(text.toStdString()); });
    OnEnterKey(*commands_, [this] { EditCommand(SelectedRow(*commands_)); });
    connect(commands_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { EditCommand(commands_->indexOfTopLevelItem(item)); });

    auto* buttons = new QVBoxLayout;
    connect(AddButton("&Add Command", *buttons), &QPushButton::clicked, this,
            [this] { AddCommand(); });
    connect(AddButton("&Edit Command", *buttons), &QPushButton::clicked, this,
            [this] { EditCommand(SelectedRow(*commands_)); });
    connect(AddButton("&Delete Command", *buttons), &QPushButton::clicked, this, [this] {
        const int row = SelectedRow(*commands_);
        if (row < 0) return;
        editor_.DeleteCommand(static_cast<size_t>(row));
        Fill(row);
    });
    connect(AddButton("D&elete All", *buttons), &QPushButton::clicked, this, [this] {
        editor_.DeleteAll();
        Fill(-1);
    });
    buttons->addStretch(1);

    auto* form = new QFormLayout;
    form->addRow("Client Name", clientName_);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(NewFieldLabel("Defined Cusomter Commands", *commands_));
    listColumn->addWidget(commands_, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(listColumn, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(body, 1);
    AddClosingRow(*this, *layout, "&Abbrechen", [this] { Confirm(); });
    Fill(0);
}

void CustomerCommandSetDialog::Fill(int selectRow) {
    commands_->clear();
    for (const auto& command : editor_.Set().GetCommands()) {
        auto* item = new QTreeWidgetItem(commands_);
        item->setText(0, QString::fromStdString(command->GetName()));
        item->setText(1, QString::fromStdString(TypeNumberColumn(command->GetCode())));
    }
    SelectRow(*commands_, selectRow);
}

void CustomerCommandSetDialog::AddCommand() {
    CustomerCommandDialog dialog(CKelCustomerCommand(), true, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (Tell(editor_.AddCommand(dialog.Result()))) return;
    Fill(static_cast<int>(editor_.Set().GetCommands().size()) - 1);
}

void CustomerCommandSetDialog::EditCommand(int row) {
    const auto& commands = editor_.Set().GetCommands();
    if (row < 0 || static_cast<size_t>(row) >= commands.size()) return;
    CustomerCommandDialog dialog(*commands[static_cast<size_t>(row)], false, this);
    if (dialog.exec() != QDialog::Accepted) return;
    Tell(editor_.ReplaceCommand(static_cast<size_t>(row), dialog.Result()));
    Fill(row);
}

void CustomerCommandSetDialog::Confirm() {
    if (!Tell(editor_.Check())) accept();
}

}  // namespace kelcmd::dialogs
